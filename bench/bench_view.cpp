// The 3-D view on the software device: whole frames, picks, and one animated quarter turn
// drawing real frames on a real clock.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

#include "headless/headless_host.h"
#include "model/velmo.h"
#include "platform/d3d8/software_device.h"
#include "view/pictures.h"
#include "view/recording_shell.h"
#include "view/scene.h"
#include "view/sticker_tex_coords.h"

namespace {

using namespace velmo;

// A host on the real clock: frames are drawn by the scene, sleeps really sleep, and the
// logo's texture coordinates live in the scene's buffer, as in the application.
class RealClockHost : public HeadlessHost {
public:
    TScene* scene = nullptr;
    int frames = 0;

    void RenderFrame() override {
        ++frames;
        if (scene) scene->RenderFrame();
    }
    std::uint32_t TickCount() override {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start_)
                                              .count());
    }
    void Sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void ReadStickerTexCoords(StickerTexCoords& coords) override {
        if (scene) SceneTexCoords(*scene).Read(coords);
    }
    void WriteStickerTexCoords(const StickerTexCoords& coords) override {
        if (scene) SceneTexCoords(*scene).Write(coords);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

struct Bench {
    explicit Bench(int size, bool hardware = true) : desk{size, size, &frames} {
        d3d8::SoftwareDeviceOptions options;
        options.actAsHardware = hardware;
        SceneEnvironment env;
        env.direct3DCreate8 = d3d8::SoftwareDirect3DFactory(options);
        env.desk = &desk;
        env.shell = &shell;
        env.stickerPicture = GrainPicture();
        env.logoPicture = LogoPicture();
        env.modelHost = &host;
        scene = std::make_unique<TScene>(std::move(env));
        host.scene = scene.get();
        host.SetHardwareDevice(hardware);
        if (!scene->InitScene(true)) std::abort();
    }

    d3d8::FrameCollector frames;
    d3d8::DeskWindow desk;
    RecordingShell shell;
    RealClockHost host;
    std::unique_ptr<TScene> scene;
};

// Mirror image, disc, ring and cube, presented. The 16 x 16 desk leaves almost no pixels to
// fill, so it shows the per-call cost of the view and the device apart from rasterisation.
void BM_RenderFrame(benchmark::State& state) {
    Bench bench(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state)
        if (FAILED(bench.scene->RenderFrame())) state.SkipWithError("frame failed");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderFrame)
    ->ArgNames({"size", "hardware"})
    ->Args({512, 1})
    ->Args({1024, 1})
    ->Args({16, 1})
    ->Args({512, 0})
    ->Unit(benchmark::kMillisecond);

void BM_PickAt(benchmark::State& state) {
    Bench bench(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto result = bench.scene->PickAt(300, 300);
        if (!result) state.SkipWithError("pick failed");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_PickAt)->ArgName("size")->Arg(512)->Arg(16)->Unit(benchmark::kMillisecond);

// One quarter turn of 700 ms at 512 x 512: the model paces itself on the real clock (at least
// 20 ms a step, 5 ms sleep after each frame on a hardware device), so the turn should take
// its 700 ms and draw as many frames as the device allows in that time.
void BM_AnimatedQuarterTurn(benchmark::State& state) {
    Bench bench(512);
    TVelmo& cube = *bench.scene->Model();
    cube.TurnDuration = 700;
    cube.LogTurns = false;
    int frames = 0;
    for (auto _ : state) {
        bench.host.frames = 0;
        cube.TurnTop();
        frames += bench.host.frames;
    }
    state.counters["frames_per_turn"] =
        benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
    state.counters["failures"] = static_cast<double>(bench.shell.messages.size());
}
BENCHMARK(BM_AnimatedQuarterTurn)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
