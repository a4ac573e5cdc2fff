// Quarter turns per second on the headless model, and the move-string normaliser.

#include <benchmark/benchmark.h>

#include "headless/headless_host.h"
#include "model/velmo.h"

namespace {

using velmo::HeadlessHost;
using velmo::Move;
using velmo::TVelmo;

// Animation at its cheapest: every frame costs as long as the whole turn, so each turn draws
// one step between its first and last frame.
void BM_AnimatedQuarterTurn(benchmark::State& state) {
    HeadlessHost host;
    host.SetFrameCost(1000);
    TVelmo cube(host);
    cube.TurnDuration = 700;
    int m = 0;
    for (auto _ : state) {
        cube.Turn(static_cast<Move>(m));
        m = (m + 5) % velmo::kMoveCount;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["frames/turn"] = static_cast<double>(host.Frames()) / state.iterations();
}
BENCHMARK(BM_AnimatedQuarterTurn);

// The model update alone: a turn with no animation and one frame.
void BM_InstantQuarterTurn(benchmark::State& state) {
    HeadlessHost host;
    TVelmo cube(host);
    cube.TurnDuration = 0;
    int m = 0;
    for (auto _ : state) {
        cube.Turn(static_cast<Move>(m));
        m = (m + 5) % velmo::kMoveCount;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InstantQuarterTurn);

void BM_NormalizeMoveString(benchmark::State& state) {
    std::string s;
    while (s.size() < 10000) s += "((Ф' В Ф В') (в' п2 В П'))2 ";
    s.resize(10000);
    while (static_cast<unsigned char>(s.back()) >= 0x80) s.pop_back();  // whole characters only
    for (auto _ : state) benchmark::DoNotOptimize(TVelmo::NormalizeMoveString(s));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.size()));
}
BENCHMARK(BM_NormalizeMoveString);

}  // namespace

BENCHMARK_MAIN();
