// The software device against the OpenGL device: the same full frame (mirror image, disc, ring
// and cube, presented) and the same pick, on 512 x 512 and 1024 x 1024 desks, in one run, with
// the ratio of the software device's time to the OpenGL device's at the end.
//
// The OpenGL device needs an X display with OpenGL (Mesa's llvmpipe under Xvfb in CI):
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_devices
// To compare on one core, pin the whole run, X server included, and keep llvmpipe in the
// drawing thread:
//   LP_NUM_THREADS=0 taskset -c 0 xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_devices
// Times are wall-clock: llvmpipe draws in threads of its own and the X server shows the frame.
// With a display both devices' frames reach the screen: the OpenGL device swaps, the software
// device's frames are painted into a window's backing store and flushed, as the desk shows them.

#include <benchmark/benchmark.h>

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/gl/gl_desk_window.h"
#include "headless/headless_host.h"
#include "model/velmo.h"
#include "platform/d3d8/gl_direct3d.h"
#include "platform/d3d8/software_device.h"
#include "view/pictures.h"
#include "view/recording_shell.h"
#include "view/scene.h"

namespace {

using namespace velmo;

// Shows software frames on the screen: painted into the window's backing store and flushed.
class ScreenPresenter : public d3d8::IPresenter {
public:
    explicit ScreenPresenter(int size) : store_(&window_) {
        window_.setSurfaceType(QSurface::RasterSurface);
        window_.resize(size, size);
        window_.setPosition(0, 0);
        window_.show();
        store_.resize(window_.size());
    }
    void PresentFrame(const void* pixels, int width, int height, int pitch,
                      D3DFORMAT) override {
        const QImage frame(static_cast<const uchar*>(pixels), width, height, pitch,
                           QImage::Format_RGB32);
        const QRect area(0, 0, width, height);
        store_.beginPaint(area);
        {
            QPainter painter(store_.paintDevice());
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, frame);
        }
        store_.endPaint();
        store_.flush(area);
    }

private:
    QWindow window_;
    QBackingStore store_;
};

// A scene on one of the devices over a desk of size x size device pixels.
class Desk {
public:
    Desk(int size, bool opengl) : desk_{size, size, &frames_} {
        SceneEnvironment env;
        if (!opengl && qGuiApp) {
            screen_ = std::make_unique<ScreenPresenter>(size);
            desk_.presenter = screen_.get();
        }
        if (opengl) {
            window_ = std::make_unique<GlDeskWindow>();
            window_->resize(size, size);
            window_->setPosition(0, 0);
            if (!window_->CreateContext()) return;
            window_->show();
            if (!window_->WaitUntilExposed()) return;
            desk_.gl = window_.get();
            desk_.clientWidth = desk_.clientHeight = window_->DevicePixelSize().width();
            env.direct3DCreate8 = d3d8::OpenGLDirect3DFactory(&desk_);
        } else {
            d3d8::SoftwareDeviceOptions options;
            options.actAsHardware = true;
            env.direct3DCreate8 = d3d8::SoftwareDirect3DFactory(options);
        }
        env.desk = &desk_;
        env.shell = &shell_;
        env.stickerPicture = GrainPicture();
        env.logoPicture = LogoPicture();
        env.modelHost = &host_;
        scene_ = std::make_unique<TScene>(std::move(env));
        if (!scene_->InitScene(true) || !scene_->IsHardwareDevice()) scene_.reset();
    }

    TScene* Scene() { return scene_.get(); }

private:
    d3d8::FrameCollector frames_;  // without a display: the frames are handed over and kept
    std::unique_ptr<ScreenPresenter> screen_;
    d3d8::DeskWindow desk_;
    std::unique_ptr<GlDeskWindow> window_;
    RecordingShell shell_;
    HeadlessHost host_;
    std::unique_ptr<TScene> scene_;
};

// Made on first use and kept for the whole run; dropped before the application goes.
std::map<std::pair<int, bool>, std::unique_ptr<Desk>> g_desks;

Desk& DeskFor(int size, bool opengl) {
    auto& desk = g_desks[{size, opengl}];
    if (!desk) desk = std::make_unique<Desk>(size, opengl);
    return *desk;
}

void Frame(benchmark::State& state, bool opengl) {
    TScene* scene = DeskFor(static_cast<int>(state.range(0)), opengl).Scene();
    if (!scene) return state.SkipWithError("no device");
    for (auto _ : state)
        if (FAILED(scene->RenderFrame())) return state.SkipWithError("frame failed");
}

void Pick(benchmark::State& state, bool opengl) {
    const int size = static_cast<int>(state.range(0));
    TScene* scene = DeskFor(size, opengl).Scene();
    if (!scene) return state.SkipWithError("no device");
    for (auto _ : state) {
        const auto result = scene->PickAt(size / 2, size / 2);
        if (!result) return state.SkipWithError("pick failed");
        benchmark::DoNotOptimize(result);
    }
}

// Prints the runs as usual and then, for each frame and pick size, software time / OpenGL time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the mean stands for the benchmark.
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean"))
                times_[run.run_name.str()] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nsoftware / OpenGL time (goal: 0.5 or less)\n");
        for (const char* kind : {"Frame", "Pick"})
            for (const char* size : {"512", "1024"}) {
                const auto sw = times_.find(std::string(kind) + "/software/" + size + "/real_time");
                const auto gl = times_.find(std::string(kind) + "/opengl/" + size + "/real_time");
                if (sw == times_.end() || gl == times_.end()) continue;
                std::printf("  %-5s %4s x %-4s  %.2f\n", kind, size, size, sw->second / gl->second);
            }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::unique_ptr<QGuiApplication> app;
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (display) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        std::fprintf(stderr, "no X display: the OpenGL device is left out\n");
    }
    for (const auto& [name, run] : {std::pair{"Frame", &Frame}, std::pair{"Pick", &Pick}})
        for (const bool opengl : {false, true}) {
            if (opengl && !display) continue;
            const std::string device = opengl ? "opengl" : "software";
            benchmark::RegisterBenchmark((std::string(name) + "/" + device).c_str(), run, opengl)
                ->Arg(512)
                ->Arg(1024)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_desks.clear();
    benchmark::Shutdown();
    return 0;
}
