// The undo history on the model: taking back and making again restores the exact positions,
// through the camera's silent whole-cube turns too, and a stopped undo or redo keeps the
// history in step with the cube.

#include <gtest/gtest.h>

#include <random>

#include "headless/headless_host.h"
#include "headless/random_positions.h"
#include "history/hand_solve.h"
#include "platform/text.h"
#include "history/turn_history.h"
#include "model/facelets.h"
#include "model/velmo.h"

namespace velmo {
namespace {

// A cube whose turns are fed to a history, made at once.
struct Recorded {
    HeadlessHost host;
    TVelmo cube{host};
    TurnHistory history;
    Recorded() {
        cube.TurnDuration = 0;
        host.SetAutoTurnDuration(0);
        cube.OnTurnMade = [this](Move move, bool silent) { history.TurnMade(move, silent); };
    }
    void Command(const std::vector<Move>& moves, std::string label = {}) {
        history.BeginCommand(std::move(label));
        for (Move m : moves) cube.Turn(m);
        EXPECT_EQ(history.End(), moves.empty() ? TurnHistory::Outcome::Nothing
                                               : TurnHistory::Outcome::Recorded);
    }
    void Make(const std::vector<Move>& moves) {
        for (Move m : moves) cube.Turn(m);
    }
    void Undo() {
        Make(history.BeginUndo());
        history.End();
    }
    void Redo() {
        Make(history.BeginRedo());
        history.End();
    }
    std::string Facelets() const { return ToFacelets(cube); }
};

// Whatever the camera did in between, undo takes back exactly the user's turns and redo makes
// them again: compared with the same silent turns made without them. A history that named the
// recorded turns afresh (П stays П) fails here.
TEST(TurnHistory, UndoAndRedoThroughSilentCameraTurns) {
    std::mt19937 random(17);
    for (int round = 0; round < 40; ++round) {
        const std::vector<Move> first = RandomMoves(random, 5), second = RandomMoves(random, 3);
        std::vector<Move> silent;
        for (int k = 0; k < 4; ++k)
            silent.push_back(random() % 2 ? Move::CubeTop : Move::CubeTopInv);
        const auto swing = [](Recorded& c, const std::vector<Move>& turns) {
            for (Move s : turns) c.cube.Turn(s, true);
        };

        Recorded r;
        r.Command(first);
        swing(r, {silent[0], silent[1]});
        r.Command(second);
        swing(r, {silent[2]});
        r.Undo();
        r.Undo();
        Recorded onlySilent;
        swing(onlySilent, {silent[0], silent[1], silent[2]});
        EXPECT_EQ(r.Facelets(), onlySilent.Facelets()) << "round " << round;
        EXPECT_FALSE(r.history.CanUndo());

        swing(r, {silent[3]});
        r.Redo();
        r.Redo();
        Recorded replay;
        replay.Make(first);
        swing(replay, {silent[0], silent[1]});
        replay.Make(second);
        swing(replay, {silent[2], silent[3]});
        EXPECT_EQ(r.Facelets(), replay.Facelets()) << "round " << round;
    }
}

TEST(TurnHistory, AStoppedUndoKeepsWhatWasNotTakenBack) {
    Recorded r;
    r.Command({Move::Right, Move::Top, Move::FrontInv}, "последовательность П В Ф'");
    const std::vector<Move> plan = r.history.BeginUndo();
    ASSERT_EQ(plan, (std::vector<Move>{Move::Front, Move::TopInv, Move::RightInv}));
    r.Make({plan[0]});  // Esc after the first turn
    EXPECT_EQ(r.history.End(), TurnHistory::Outcome::Recorded);
    EXPECT_EQ(r.history.NextUndo().turns, 2u);
    EXPECT_EQ(r.history.NextRedo().turns, 1u);
    EXPECT_EQ(r.history.NextRedo().label, "последовательность П В Ф'");

    r.Undo();  // the rest
    Recorded start;
    EXPECT_EQ(r.Facelets(), start.Facelets());
    // Made again in two parts, in the original order.
    EXPECT_EQ(r.history.BeginRedo(), (std::vector<Move>{Move::Right, Move::Top}));
    r.history.End();
    r.Redo();
    r.Redo();
    start.Make({Move::Right, Move::Top, Move::FrontInv});
    EXPECT_EQ(r.Facelets(), start.Facelets());
    EXPECT_FALSE(r.history.CanRedo());
}

TEST(TurnHistory, EntriesAreNamedAndANewCommandDropsTheRedoList) {
    Recorded r;
    r.Command({Move::SliceRightInv});
    r.cube.Turn(Move::CubeTop, true);
    EXPECT_EQ(r.history.NextUndo().label, "вращение Сп'");  // as made, before the camera moved
    r.Command({});
    EXPECT_EQ(r.history.UndoDepth(), 1u);
    r.Undo();
    r.Command({});
    r.cube.Turn(Move::CubeTopInv, true);
    EXPECT_TRUE(r.history.CanRedo());
    r.Command({Move::Left});
    EXPECT_FALSE(r.history.CanRedo());
    // A turn made outside any command leaves nothing the history could take back.
    r.cube.Turn(Move::Left);
    EXPECT_FALSE(r.history.CanUndo());
}

TEST(TurnHistory, KeepsAtMostTheBoundDroppingTheOldestEntries) {
    Recorded r;
    r.Command({Move::Front}, "первая");
    r.history.BeginCommand("длинная");
    for (std::size_t i = 0; i < TurnHistory::kMaxTurns; ++i) r.history.TurnMade(Move::Top, false);
    EXPECT_EQ(r.history.End(), TurnHistory::Outcome::Recorded);
    EXPECT_EQ(r.history.UndoDepth(), 1u);  // the first went to make room
    EXPECT_EQ(r.history.NextUndo().label, "длинная");

    for (std::size_t i = 0; i < TurnHistory::kMaxEntries; ++i) r.Command({Move::Back});
    EXPECT_LE(r.history.UndoDepth(), TurnHistory::kMaxEntries);
    EXPECT_EQ(r.history.NextUndo().label, "вращение Т");

    r.history.BeginCommand("слишком длинная");
    for (std::size_t i = 0; i <= TurnHistory::kMaxTurns; ++i) r.history.TurnMade(Move::Top, false);
    EXPECT_EQ(r.history.End(), TurnHistory::Outcome::TooLong);
    EXPECT_FALSE(r.history.CanUndo());
    EXPECT_LT(r.history.MemoryBytes(), 4096u);
}

TEST(HandSolve, CountsTurnsAndEndsWhenTheStartIsTakenBack) {
    HandSolveWatch watch;
    watch.Restart(false, 1000, "после запутывания", 1);
    watch.CountTurns(21);
    EXPECT_EQ(watch.Check(false, 5000, 2), std::nullopt);
    EXPECT_EQ(watch.Check(true, 1000 + 185'000, 3),
              "Кубик Вельмо собран вручную: 21 вращение, 3 мин 05 с после запутывания");
    EXPECT_FALSE(watch.Watching());
    // Undone past the scramble: solved, but not by hand.
    watch.Restart(false, 0, "после запутывания", 1);
    EXPECT_EQ(watch.Check(true, 10, 0), std::nullopt);
    EXPECT_EQ(CountText(12, "вращение", "вращения", "вращений"), "12 вращений");
    EXPECT_EQ(CountText(104, "вращение", "вращения", "вращений"), "104 вращения");
    EXPECT_EQ(DurationText(3'725'000), "1 ч 02 мин 05 с");
}

}  // namespace
}  // namespace velmo
