// How many random positions the solver solves per second, headless, with the whole protocol
// written, and with turns at their cheapest (instant: one model update and one frame each).
// Every solve gets a fresh host, so the log starts empty and memory stays flat.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "headless/headless_host.h"
#include "model/facelets.h"
#include "headless/random_positions.h"
#include "solver/solver.h"

namespace {

using namespace velmo;

const std::vector<std::string>& Positions() {
    static const std::vector<std::string> positions = [] {
        std::mt19937_64 random(20261208);
        std::vector<std::string> all;
        for (int n = 0; n < 4096; ++n) {
            HeadlessHost host;
            TVelmo cube(host);
            MakeMoves(cube, RandomMoves(random, 40));
            all.push_back(ToFacelets(cube));
        }
        return all;
    }();
    return positions;
}

// The set-up alone (host, model, position), to subtract from the solve figure.
void BM_SetUpPosition(benchmark::State& state) {
    const std::vector<std::string>& positions = Positions();
    std::size_t next = 0;
    for (auto _ : state) {
        HeadlessHost host;
        host.SetAutoTurnDuration(0);
        TVelmo cube(host);
        SetFacelets(cube, positions[next++ % positions.size()]);
        benchmark::DoNotOptimize(cube.Blocks[1]->Faces);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetUpPosition);

void BM_SolveRandomPosition(benchmark::State& state) {
    const std::vector<std::string>& positions = Positions();
    std::size_t next = 0;
    for (auto _ : state) {
        HeadlessHost host;
        host.SetAutoTurnDuration(0);
        TVelmo cube(host);
        SetFacelets(cube, positions[next++ % positions.size()]);
        if (!Solve(cube)) state.SkipWithError("a reachable position was not solved");
        benchmark::DoNotOptimize(host.Log().Lines().data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolveRandomPosition);

// The solved cube: the fixed cost of every solve (headings, the empty block lines, the
// orientation, the 21 turns that even a solved cube gets).
void BM_SolveSolvedCube(benchmark::State& state) {
    for (auto _ : state) {
        HeadlessHost host;
        host.SetAutoTurnDuration(0);
        TVelmo cube(host);
        Solve(cube);
        benchmark::DoNotOptimize(host.Log().Lines().data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolveSolvedCube);

}  // namespace

BENCHMARK_MAIN();
