// The undo history: «Отменить» of a 150-turn solve at the default automatic speed (700 ms a
// turn; the headless host's virtual clock gives the time a window would take, frames drawn at
// 20 ms each) and finished at once (real time, the model and the log without a window); and
// the memory that 10,000 recorded turns take, as single hand turns and as one long command.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

#include "headless/headless_host.h"
#include "history/turn_history.h"
#include "solve_length.h"

namespace {

using namespace velmo;

struct SolvedAndRecorded {
    HeadlessHost host;
    TVelmo cube{host};
    TurnHistory history;
    explicit SolvedAndRecorded(int turns) {
        MakeMoves(cube, PositionSolvedIn(turns));
        cube.LogTurns = true;
        cube.OnTurnMade = [this](Move move, bool silent) { history.TurnMade(move, silent); };
        host.RequestFinish();
        history.BeginCommand("сборка Кубика Вельмо");
        Solve(cube);
        history.End();
        host.RequestFinish(false);
    }
    void Undo() {
        for (Move move : history.BeginUndo()) cube.Turn(move);
        history.End();
    }
    void Redo() {
        for (Move move : history.BeginRedo()) cube.Turn(move);
        history.End();
    }
};

void UndoOfASolveAtTheDefaultSpeed(benchmark::State& state) {
    SolvedAndRecorded s(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::uint32_t start = s.host.Clock();
        s.cube.TurnDuration = s.host.AutoTurnDuration();
        s.Undo();
        state.counters["virtual_s"] = (s.host.Clock() - start) / 1000.0;
        state.PauseTiming();
        s.host.RequestFinish();
        s.Redo();
        s.host.RequestFinish(false);
        state.ResumeTiming();
    }
    state.counters["turns"] = static_cast<double>(state.range(0));
}
BENCHMARK(UndoOfASolveAtTheDefaultSpeed)->Arg(150)->Unit(benchmark::kMillisecond)->Iterations(3);

void UndoOfASolveFinishedAtOnce(benchmark::State& state) {
    SolvedAndRecorded s(static_cast<int>(state.range(0)));
    s.host.RequestFinish();
    for (auto _ : state) {
        s.Undo();
        s.Redo();
    }
    state.counters["turns"] = static_cast<double>(state.range(0));
    state.SetLabel("an undo and a redo per iteration");
}
BENCHMARK(UndoOfASolveFinishedAtOnce)->Arg(150)->Unit(benchmark::kMicrosecond);

// Bytes the history holds for 10,000 turns: counted by the history itself and measured as the
// heap's growth.
void MemoryOf10000Turns(benchmark::State& state) {
    const bool handTurns = state.range(0) == 1;
    constexpr int kTurns = 10000;
    for (auto _ : state) {
        const std::size_t heapBefore = mallinfo2().uordblks;
        auto history = std::make_unique<TurnHistory>();
        if (!handTurns) history->BeginCommand("последовательность");
        for (int i = 0; i < kTurns; ++i) {
            if (handTurns) history->BeginCommand("");
            history->TurnMade(static_cast<Move>(i % 18), false);
            if (handTurns) history->End();
        }
        if (!handTurns) history->End();
        state.counters["history_bytes"] = static_cast<double>(history->MemoryBytes());
        state.counters["heap_bytes"] =
            static_cast<double>(mallinfo2().uordblks - heapBefore + sizeof(TurnHistory));
        benchmark::DoNotOptimize(history);
    }
    state.SetLabel(handTurns ? "10,000 hand turns" : "one command of 10,000 turns");
}
BENCHMARK(MemoryOf10000Turns)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
