#include "model/velmo.h"

#include <numbers>

#include "log/message_log.h"

namespace velmo {

namespace {
constexpr int kFlySteps = 11;
constexpr float kFlyStep = 0.25f;
constexpr std::uint32_t kFlySleepMs = 10;
}  // namespace

TVelmo::TVelmo(IModelHost& host) : host_(host) {
    for (int cell = 1; cell <= kCellCount; ++cell) Blocks[cell] = std::make_unique<TBlock>(cell);
}

std::uint32_t TVelmo::RandomBelow(std::uint32_t n) {
    // Rejection keeps every value equally likely whatever n is.
    const std::uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % n;
    std::uint32_t r;
    do r = static_cast<std::uint32_t>(random_()); while (r >= limit);
    return r % n;
}

void TVelmo::ShuffleCells(std::array<int, kCellCount>& cells) {
    for (int exchange = 0; exchange < 101; ++exchange) {
        const std::uint32_t i = RandomBelow(kCellCount), j = RandomBelow(kCellCount);
        std::swap(cells[i], cells[j]);
    }
}

void TVelmo::ResetToStart() {
    BusyCursor busy(host_);
    UserLineOpen = false;
    host_.Log().AddMessage("Переход в исходную позицию");
    std::array<int, kCellCount> order;
    for (int i = 0; i < kCellCount; ++i) order[i] = i + 1;
    SeedRandom(host_.ClockSeed());
    ShuffleCells(order);
    for (int cell : order) {
        if (host_.StopRequested()) CompleteStoppedReset();
        if (host_.SkipAnimation()) return PutAllBlocksHome();
        if (Block(cell).InCube) FlyOutBlock(cell);
    }
    ShuffleCells(order);
    for (int cell : order) {
        if (host_.StopRequested()) CompleteStoppedReset();
        if (host_.SkipAnimation()) return PutAllBlocksHome();
        Blocks[cell] = std::make_unique<TBlock>(cell);
        FlyInBlock(cell);
    }
}

void TVelmo::PutAllBlocksHome() {
    for (int cell = 1; cell <= kCellCount; ++cell) Blocks[cell] = std::make_unique<TBlock>(cell);
}

// A stopped reset still ends in the start position, only without the rest of its flight.
void TVelmo::CompleteStoppedReset() {
    PutAllBlocksHome();
    host_.RenderFrame();
    throw RunStopped{};
}

void TVelmo::EndStoppedRun() {
    LogTurns = host_.DoLog();
    UserLineOpen = false;
    host_.Log().AddMessage("Выполнение остановлено пользователем");
}

void TVelmo::FlyOutBlock(int cell) {
    const CellPos p = CellPosition(cell);
    const Matrix4 step = MatrixTranslation(kFlyStep * p.x, kFlyStep * p.y, kFlyStep * p.z);
    TBlock& block = Block(cell);
    for (int i = 0; i < kFlySteps && !host_.SkipAnimation(); ++i) {
        block.Matrix = block.Matrix * step;
        host_.RenderFrame();
        host_.Sleep(kFlySleepMs);
    }
    block.InCube = false;
    host_.RenderFrame();
    host_.Sleep(kFlySleepMs);
    Blocks[cell] = std::make_unique<TBlock>(cell);
    Blocks[cell]->InCube = false;
}

void TVelmo::FlyInBlock(int cell) {
    const CellPos p = CellPosition(cell);
    const Matrix4 out = MatrixTranslation(kFlyStep * p.x, kFlyStep * p.y, kFlyStep * p.z);
    const Matrix4 in = MatrixTranslation(-kFlyStep * p.x, -kFlyStep * p.y, -kFlyStep * p.z);
    TBlock& block = Block(cell);
    block.InCube = true;
    for (int i = 0; i < kFlySteps; ++i) block.Matrix = block.Matrix * out;
    host_.RenderFrame();
    host_.Sleep(kFlySleepMs);
    for (int i = 0; i < kFlySteps && !host_.SkipAnimation(); ++i) {
        block.Matrix = block.Matrix * in;
        host_.RenderFrame();
        host_.Sleep(kFlySleepMs);
    }
    block.Matrix = CellMatrix(cell);
}

void TVelmo::CycleBlocks(int p, int q, int r, int s) {
    std::unique_ptr<TBlock> first = std::move(Blocks.at(p));
    Blocks[p] = std::move(Blocks.at(q));
    Blocks[q] = std::move(Blocks.at(r));
    Blocks[r] = std::move(Blocks.at(s));
    Blocks[s] = std::move(first);
}

void TVelmo::Turn(Move move, bool silent) {
    const TurnInfo& turn = TurnOf(move);
    if (turn.wholeCube && silent) {
        ApplyTurn(turn);
        TurnMade(move, true);
        return;
    }
    if (host_.StopRequested()) throw RunStopped{};
    if (LogTurns) host_.Log().AppendMessage(turn.notation);
    if (host_.SkipAnimation()) {
        // Finishing at once: the frame comes when the run is over.
        ApplyTurn(turn);
    } else if (TurnDuration <= 0) {
        // No time to animate in: the turn is made at once and shown once.
        ApplyTurn(turn);
        host_.RenderFrame();
    } else {
        AnimateTurn(turn);
        ApplyTurn(turn);
        host_.RenderFrame();
    }
    TurnMade(move, false);
}

// Paced by the clock, not by frames: a step is drawn at most every 20 ms and turns by the
// share of the quarter turn that the time since the last step is worth, until the turn's
// duration has passed. Tick differences are unsigned, so the counter's wrap does no harm.
// A stop or finish request ends the animation early; the caller then completes the turn exactly.
void TVelmo::AnimateTurn(const TurnInfo& turn) {
    const std::uint32_t duration = static_cast<std::uint32_t>(TurnDuration);
    const std::uint32_t start = host_.TickCount();
    std::uint32_t last = start;
    std::uint32_t now;
    host_.RenderFrame();
    do {
        now = host_.TickCount();
        if (now - last >= 20) {
            const double share = static_cast<double>(now - last) / duration;
            const float angle = static_cast<float>(turn.a * std::numbers::pi * share / 2.0);
            for (int cell : turn.cells) Block(cell).Spin(turn.axis, angle);
            host_.RenderFrame();
            if (host_.IsHardwareDevice()) host_.Sleep(5);
            last = now;
        }
    } while (now - start < duration && !host_.StopRequested() && !host_.SkipAnimation());
}

// The exact model update: every block of the set turns into its new cell, then the four-cycles
// move the references so that the block from cell c stands at R(c).
void TVelmo::ApplyTurn(const TurnInfo& turn) {
    const QuarterTurn& quarter = QuarterTurnOf(turn.axis, turn.a);
    const auto& to = quarter.cellTo;
    for (int cell : turn.cells) Block(cell).Rotate(turn.axis, turn.a, to[cell], host_);
    std::array<bool, kCellCount + 1> moved{};
    for (int cell : turn.cells) {
        if (moved[cell] || to[cell] == cell) continue;
        const int r1 = to[cell], r2 = to[r1], r3 = to[r2];
        CycleBlocks(cell, r3, r2, r1);
        moved[cell] = moved[r1] = moved[r2] = moved[r3] = true;
    }
}

}  // namespace velmo
