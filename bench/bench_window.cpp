// The program's window on the offscreen platform: from the main window's creation to the first
// frame on the desk, and frames per second on the desk while a turn animates at 512 x 512.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "app/data_module.h"
#include "app/desk.h"
#include "app/main_window.h"
#include "model/velmo.h"

namespace {

using namespace velmo;

velmo::AppPaths PathsIn(const QTemporaryDir& dir) {
    return {dir.path(), dir.filePath("config"), dir.filePath("home")};
}

// Everything after the libraries are loaded: the window, the data module with its settings
// and scene, showing it, and the event loop's first idle moment, which draws the first frame.
void StartToFirstFrame(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        Tfm_Main window(PathsIn(dir));
        window.show();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (window.Desk().PresentedFrames() > 0) loop.quit();
        });
        poll.start(0);
        loop.exec();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// One 700 ms quarter turn on a 512 x 512 desk: the frames it puts on screen per second.
void FramesDuringATurn(benchmark::State& state) {
    QTemporaryDir dir;
    Tfm_Main window(PathsIn(dir));
    window.show();
    window.resize(window.width() + 512, 512 + window.height() - window.Desk().height());
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    if (window.Desk().height() != 512) state.SkipWithError("the desk is not 512 pixels high");
    TVelmo& cube = window.DM().Cube();
    for (auto _ : state) {
        const int before = window.Desk().PresentedFrames();
        QElapsedTimer clock;
        clock.start();
        cube.TurnDuration = 700;
        cube.TurnRight();
        const double seconds = clock.nsecsElapsed() / 1e9;
        state.counters["fps"] = (window.Desk().PresentedFrames() - before) / seconds;
        state.counters["desk"] = window.Desk().DevicePixelWidth();
    }
}
BENCHMARK(FramesDuringATurn)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
