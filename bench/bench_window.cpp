// The program's window: from the main window's creation to the first frame on the desk, frames
// per second during a turn and while dragging the camera, the time from the mouse move that
// completes a sticker drag to the turn's first frame, from OK on a long pasted string to its
// first turn, and «Отменить» of a 150-turn solve at the default speed and finished at once.
// Under an X server (DISPLAY set) the desk
// draws with the OpenGL device, otherwise on the offscreen platform with the reference device.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QInputDialog>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <optional>

#include "app/app_host.h"
#include "app/data_module.h"
#include "app/desk.h"
#include "app/cube_history.h"
#include "app/main_window.h"
#include "app/run_guard.h"
#include "model/facelets.h"
#include "model/velmo.h"
#include "solve_length.h"
#include "view/scene.h"

namespace {

using namespace velmo;

AppPaths PathsIn(const QTemporaryDir& dir) {
    return {dir.path(), dir.filePath("config"), dir.filePath("home")};
}

void Settle() {
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
}

// A main window whose desk is `size` logical pixels square.
struct Window {
    QTemporaryDir dir;
    Tfm_Main main{PathsIn(dir)};

    explicit Window(int size) {
        main.show();
        Settle();
        main.resize(main.width() + size, size + main.height() - main.Desk().height());
        Settle();
    }
    bool Ready(benchmark::State& state, int size) {
        if (main.Desk().height() == size && main.Desk().width() == size) return true;
        state.SkipWithError("the desk did not reach its size");
        return false;
    }
    void Send(QEvent::Type type, Qt::MouseButton button, QPointF at) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, at, main.Desk().mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&main.Desk(), &event);
    }
    std::optional<QPointF> Sticker(int cell, int slot) {
        const std::optional<PickMap> map = main.DM().Scene().PickAll();
        for (int y = 0; map && y < map->height; y += 4)
            for (int x = 0; x < map->width; x += 4) {
                const PickResult pick = map->At(x, y);
                if (!pick.Disc() && pick.red5 == cell && pick.blue5 == slot)
                    return QPointF(x + 6, y + 6);
            }
        return std::nullopt;
    }
    void Counters(benchmark::State& state) {
        state.counters["desk_px"] = main.Desk().DevicePixelWidth();
        state.counters["hardware"] = main.DM().Scene().IsHardwareDevice();
    }
};

// Everything after the libraries are loaded: the window, the data module with its settings
// and scene, showing it, and the event loop's first idle moment, which draws the first frame.
void StartToFirstFrame(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        Tfm_Main window(PathsIn(dir));
        bool drawn = false;
        window.DM().Host().SetFrameListener([&] { drawn = true; });
        window.show();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (window.Desk().PresentedFrames() > 0 || drawn) loop.quit();
        });
        poll.start(0);
        loop.exec();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// One 700 ms quarter turn: the frames it puts on screen per second.
void FramesDuringATurn(benchmark::State& state) {
    Window window(static_cast<int>(state.range(0)));
    if (!window.Ready(state, static_cast<int>(state.range(0)))) return;
    int frames = 0;
    window.main.DM().Host().SetFrameListener([&] { ++frames; });
    TVelmo& cube = window.main.DM().Cube();
    for (auto _ : state) {
        frames = 0;
        QElapsedTimer clock;
        clock.start();
        cube.TurnDuration = 700;
        cube.TurnRight();
        state.counters["fps"] = frames / (clock.nsecsElapsed() / 1e9);
    }
    window.Counters(state);
}
BENCHMARK(FramesDuringATurn)->Arg(512)->Unit(benchmark::kMillisecond)->Iterations(3);

// A right-button drag across the desk, one frame per mouse move: frames per second.
void FramesWhileDraggingTheCamera(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    Window window(size);
    if (!window.Ready(state, size)) return;
    for (auto _ : state) {
        window.Send(QEvent::MouseButtonPress, Qt::RightButton, {10, size / 2.0});
        QElapsedTimer clock;
        clock.start();
        constexpr int kMoves = 60;
        for (int i = 1; i <= kMoves; ++i)
            window.Send(QEvent::MouseMove, Qt::RightButton, {10.0 + i * 3, size / 2.0 + i});
        state.counters["fps"] = kMoves / (clock.nsecsElapsed() / 1e9);
        window.Send(QEvent::MouseButtonRelease, Qt::RightButton, {10.0 + kMoves * 3, size / 2.0});
    }
    window.Counters(state);
}
BENCHMARK(FramesWhileDraggingTheCamera)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// From the mouse move that completes a sticker drag to the first frame of the turn it starts.
void StickerDragToFirstFrame(benchmark::State& state) {
    Window window(512);
    if (!window.Ready(state, 512)) return;
    window.main.DM().Settings.handTurnDuration = 100;
    const std::optional<QPointF> sticker = window.Sticker(3, kFront);
    if (!sticker) {
        state.SkipWithError("no sticker found");
        return;
    }
    for (auto _ : state) {
        window.Send(QEvent::MouseButtonPress, Qt::LeftButton, *sticker);
        QElapsedTimer clock;
        qint64 first = -1;
        window.main.DM().Host().SetFrameListener([&] {
            if (first < 0) first = clock.nsecsElapsed();
        });
        clock.start();
        window.Send(QEvent::MouseMove, Qt::LeftButton, *sticker + QPointF(-40, 0));
        window.main.DM().Host().SetFrameListener(nullptr);
        window.Send(QEvent::MouseButtonRelease, Qt::LeftButton, *sticker + QPointF(-40, 0));
        state.SetIterationTime(first / 1e9);
    }
    window.Counters(state);
}
BENCHMARK(StickerDragToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// A string of 100,000 characters pasted into «Выполнить...»: from OK to the first frame of
// its first turn (the check, the turn count, the log line and the turn's start).
void PastedStringToFirstTurn(benchmark::State& state) {
    Window window(512);
    if (!window.Ready(state, 512)) return;
    QString text;
    for (int i = 0; i < 10'000; ++i) text += "П В П' В' ";
    state.counters["chars"] = text.size();
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 first = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            box->setTextValue(text);
            clock.start();
            box->accept();
        });
        window.main.DM().Host().SetFrameListener([&] {
            if (first >= 0 || !clock.isValid()) return;
            first = clock.nsecsElapsed();
            window.main.Guard().RequestStop();
        });
        window.main.DM().ac_ServiceStringExecute();
        window.main.DM().Host().SetFrameListener(nullptr);
        if (first < 0) {
            state.SkipWithError("the string did not start");
            return;
        }
        state.SetIterationTime(first / 1e9);
    }
    window.Counters(state);
}
BENCHMARK(PastedStringToFirstTurn)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The space bar, as the user presses it once the next run has begun.
void FinishNextRunAtOnce(Window& window) {
    QTimer::singleShot(0, [&window] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QApplication::sendEvent(&window.main.Desk(), &press);
    });
}

// «Отменить» of a solve of 150 turns, at the default automatic speed (700 ms) or finished at
// once by the space bar right after it began; each iteration makes the solve again at once.
void UndoOfASolve(benchmark::State& state, bool atOnce) {
    Window window(512);
    if (!window.Ready(state, 512)) return;
    TDM& dm = window.main.DM();
    HeadlessHost host;
    TVelmo position(host);
    position.TurnDuration = 0;
    MakeMoves(position, PositionSolvedIn(150));
    dm.SetUpPosition(ToFacelets(position), "", "");
    FinishNextRunAtOnce(window);
    dm.ac_VelmoSolveExecute();
    for (auto _ : state) {
        if (atOnce) FinishNextRunAtOnce(window);
        QElapsedTimer clock;
        clock.start();
        dm.ac_EditUndoExecute();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        FinishNextRunAtOnce(window);
        dm.ac_EditRedoExecute();
    }
    state.counters["turns"] = static_cast<double>(dm.History()->History().NextUndo().turns);
    window.Counters(state);
}
BENCHMARK_CAPTURE(UndoOfASolve, default_speed, false)->UseManualTime()->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(UndoOfASolve, finished_at_once, true)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
