#pragma once
// The cube model: 26 blocks in their cells, the turn operations, move names and move strings,
// scrambling and the animated reset. Everything it needs from outside (drawing, the log, the
// clock, the cursor, settings) comes through its host.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "model/block.h"
#include "model/host.h"
#include "model/turns.h"

namespace velmo {

class TVelmo {
public:
    // The start position; LogTurns stays false until the creator copies the setting in.
    explicit TVelmo(IModelHost& host);
    TVelmo(const TVelmo&) = delete;
    TVelmo& operator=(const TVelmo&) = delete;

    // Entry n is the block standing in cell n (index 0 is unused). Between operations the
    // block in entry n has Cell n.
    std::array<std::unique_ptr<TBlock>, kCellCount + 1> Blocks;
    int TurnDuration = 700;   // milliseconds of one animated quarter turn
    bool LogTurns = false;    // every animated turn appends its notation to the log
    bool UserLineOpen = false;
    int PickedCell = -1;
    int PickFilter = 3;
    // Told of every turn once the model has made it, silent whole-cube turns included (the
    // undo history follows the camera's turns through them).
    std::function<void(Move move, bool silent)> OnTurnMade;

    TBlock& Block(int cell) { return *Blocks.at(cell); }
    const TBlock& Block(int cell) const { return *Blocks.at(cell); }
    // Colour of a face slot (1..6) of the block in a cell.
    int Colour(int cell, int slot) const { return Block(cell).Face(slot); }
    IModelHost& Host() { return host_; }

    // Animated reset to the start position: every present block flies out, then all 26 fly
    // back in, in random order. Asked to stop, it puts every block home at once and throws
    // RunStopped; asked to finish at once, it puts every block home and returns.
    void ResetToStart();
    void FlyOutBlock(int cell);
    void FlyInBlock(int cell);

    // The 24 turns. The whole-cube turns with Silent true change the model only.
    void TurnFront() { Turn(Move::Front); }
    void TurnFrontInv() { Turn(Move::FrontInv); }
    void TurnBack() { Turn(Move::Back); }
    void TurnBackInv() { Turn(Move::BackInv); }
    void TurnTop() { Turn(Move::Top); }
    void TurnTopInv() { Turn(Move::TopInv); }
    void TurnBottom() { Turn(Move::Bottom); }
    void TurnBottomInv() { Turn(Move::BottomInv); }
    void TurnLeft() { Turn(Move::Left); }
    void TurnLeftInv() { Turn(Move::LeftInv); }
    void TurnRight() { Turn(Move::Right); }
    void TurnRightInv() { Turn(Move::RightInv); }
    void TurnSliceFront() { Turn(Move::SliceFront); }
    void TurnSliceFrontInv() { Turn(Move::SliceFrontInv); }
    void TurnSliceTop() { Turn(Move::SliceTop); }
    void TurnSliceTopInv() { Turn(Move::SliceTopInv); }
    void TurnSliceRight() { Turn(Move::SliceRight); }
    void TurnSliceRightInv() { Turn(Move::SliceRightInv); }
    void TurnCubeFront(bool Silent) { Turn(Move::CubeFront, Silent); }
    void TurnCubeFrontInv(bool Silent) { Turn(Move::CubeFrontInv, Silent); }
    void TurnCubeTop(bool Silent) { Turn(Move::CubeTop, Silent); }
    void TurnCubeTopInv(bool Silent) { Turn(Move::CubeTopInv, Silent); }
    void TurnCubeRight(bool Silent) { Turn(Move::CubeRight, Silent); }
    void TurnCubeRightInv(bool Silent) { Turn(Move::CubeRightInv, Silent); }
    // Any of the 24; silent applies to the whole-cube turns only. When the host asks to stop,
    // a turn in progress completes at once and the next one throws RunStopped instead of
    // starting (silent turns change the model only and always run).
    void Turn(Move move, bool silent = false);

    // Ends a run that RunStopped cut short as a normal end would: turn logging back to the
    // setting, the user's line closed; and says in the log that the run was stopped.
    void EndStoppedRun();

    // Executes one move by name (upper-cased; unknown names are ignored). Here and in move
    // strings the typographic apostrophes ’ ‘ ′ ʼ and ` stand for '.
    void ExecuteMove(std::string_view name);
    // Whether ExecuteMove knows the name, in any letter case.
    static bool IsKnownMove(std::string_view name);
    // The canonical form of a move string, or "" when it is not a correct move string.
    static std::string NormalizeMoveString(std::string_view s);
    static bool IsValidMoveString(std::string_view s);
    // Checks and executes a move string. A top-level run logs the string as one line and
    // runs its turns unlogged.
    void ExecuteMoveString(std::string_view s, bool topLevel);
    // The quarter turns a correct move string makes (unknown move names make none), counted
    // from its groups without expanding them; kTurnCountOverflow when the count does not fit
    // 64 bits. nullopt when s is not a correct move string.
    static constexpr std::uint64_t kTurnCountOverflow = UINT64_MAX;
    static std::optional<std::uint64_t> CountMoveStringTurns(std::string_view s);

    // 11 to 20 random face and slice steps of one or two quarter turns each.
    void Scramble();

    // Blocks at p := block at q, q := r, r := s, s := the old block at p.
    void CycleBlocks(int p, int q, int r, int s);

    // The random generator of resets and scrambles; SeedRandom restarts it.
    void SeedRandom(std::uint32_t seed) { random_.seed(seed); }
    // Uniform in 0..n-1.
    std::uint32_t RandomBelow(std::uint32_t n);

private:
    void AnimateTurn(const TurnInfo& turn);
    void ApplyTurn(const TurnInfo& turn);
    void ShuffleCells(std::array<int, kCellCount>& cells);
    void ExecuteNormalized(const std::string& normalized);
    void CompleteStoppedReset();
    void PutAllBlocksHome();
    void TurnMade(Move move, bool silent) {
        if (OnTurnMade) OnTurnMade(move, silent);
    }

    IModelHost& host_;
    std::mt19937 random_;
};

}  // namespace velmo
