// Random reachable positions: every solve ends solved, in the start orientation; and each
// stage leaves what the next one builds on.

#include <gtest/gtest.h>

#include "solver/solver.h"
#include "solver/stages.h"
#include "solver_test_util.h"

namespace velmo {
namespace {

using testing::InstantCube;

// Random strings over all 24 turns, so that the centres move too. 20,000 positions in four
// shards, which CTest can run side by side.
constexpr int kShards = 4;
constexpr int kPositionsPerShard = 5000;

class SolverProperty : public ::testing::TestWithParam<int> {};

TEST_P(SolverProperty, EveryRandomPositionEndsSolvedInStartOrientation) {
    std::mt19937 random(20261208 + GetParam());
    int failures = 0;
    for (int n = 0; n < kPositionsPerShard; ++n) {
        const std::vector<Move> moves = RandomMoves(random, 25 + n % 16);
        InstantCube c;
        MakeMoves(c.cube, moves);
        const bool reported = Solve(c.cube);
        const bool ok = reported && testing::AtStart(c.cube) && c.host.Beeps() == 1 &&
                        c.host.Warnings().empty() && c.cube.LogTurns && c.host.BusyDepth() == 0;
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << "position " << n << (reported ? " (reported solved)" : "")
                          << ": " << MovesText(moves);
    }
    EXPECT_EQ(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(Shards, SolverProperty, ::testing::Range(0, kShards));

// A block in its own place, its colours matching the centres around it.
bool InPlace(const TVelmo& cube, int cell) {
    const CellPos p = CellPosition(cell);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const CellPos d = SlotDirection(slot);
        const bool outward = (d.x != 0 && d.x == p.x) || (d.y != 0 && d.y == p.y) ||
                             (d.z != 0 && d.z == p.z);
        const int centre = std::abs(cube.Colour(CellAt(d), slot));
        if (cube.Colour(cell, slot) != (outward ? centre : 0)) return false;
    }
    return true;
}

// Its own block in the cell, in any twist.
bool Placed(const TVelmo& cube, int cell) {
    int colours[3] = {0, 0, 0}, k = 0;
    const CellPos p = CellPosition(cell);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const CellPos d = SlotDirection(slot);
        if ((d.x != 0 && d.x == p.x) || (d.y != 0 && d.y == p.y) || (d.z != 0 && d.z == p.z))
            colours[k++] = std::abs(cube.Colour(CellAt(d), slot));
    }
    return CellHasColours(cube, cell, colours[0], colours[1], colours[2]);
}

::testing::AssertionResult AllInPlace(const TVelmo& cube, std::initializer_list<int> cells) {
    for (int cell : cells)
        if (!InPlace(cube, cell)) return ::testing::AssertionFailure() << "cell " << cell;
    return ::testing::AssertionSuccess();
}

// The stages depend on one another's leftovers: the free corner slot of stage 2, the free
// middle slot that stage 4 works through, the working corner of stage 5.
TEST(SolverStages, EachStageLeavesWhatTheNextBuildsOn) {
    std::mt19937 random(99);
    for (int n = 0; n < 1500; ++n) {
        const std::vector<Move> moves = RandomMoves(random, 30);
        SCOPED_TRACE(MovesText(moves));
        InstantCube c;
        MakeMoves(c.cube, moves);
        c.cube.TurnDuration = 0;
        c.cube.LogTurns = true;
        TVelmo& cube = c.cube;

        OrientCube(cube);
        for (int cell : {5, 11, 13, 14, 16, 22})
            ASSERT_EQ(cube.Block(cell).Faces, StartFaces(cell)) << "centre " << cell;

        solver::SolveTopCross(cube);
        ASSERT_TRUE(AllInPlace(cube, {2, 10, 12, 19})) << "stage 1";

        // Three top corners; the one of the front-right column is left free.
        solver::SolveTopCorners(cube);
        ASSERT_TRUE(AllInPlace(cube, {2, 10, 12, 19, 1, 18, 20})) << "stage 2";

        // Upside down: the finished layer at the bottom, its free corner slot under the
        // front-right column (cell 9); three middle edges, the front-right one (cell 6) free.
        solver::SolveMiddleLayer(cube);
        ASSERT_TRUE(AllInPlace(cube, {7, 8, 15, 17, 24, 25, 26, 4, 21, 23})) << "stage 3";

        // The top cross, and the working edge home in cell 6.
        solver::SolveBottomCross(cube);
        ASSERT_TRUE(AllInPlace(cube, {7, 8, 15, 17, 24, 25, 26, 4, 21, 23, 2, 10, 12, 19, 6}))
            << "stage 4";

        // The four top corners and the working corner in their places, in any twist.
        solver::SolveBottomCorners(cube);
        ASSERT_TRUE(AllInPlace(cube, {7, 8, 15, 17, 24, 25, 26, 4, 21, 23, 2, 10, 12, 19, 6}))
            << "stage 5";
        for (int cell : {1, 3, 18, 20, 9}) ASSERT_TRUE(Placed(cube, cell)) << "stage 5, cell " << cell;

        solver::OrientCorners(cube);
        ASSERT_TRUE(IsSolved(cube)) << "stage 6";
    }
}

// IsSolved judges by the centres, so it holds in every orientation of a solved cube and fails
// for any one wrong sticker.
TEST(IsSolved, HoldsInAnyOrientationAndFailsForAnyWrongBlock) {
    InstantCube c;
    c.cube.LogTurns = false;
    c.cube.TurnDuration = 0;
    for (Move move : {Move::CubeFront, Move::CubeRight, Move::CubeTopInv}) {
        c.cube.Turn(move);
        EXPECT_TRUE(IsSolved(c.cube));
    }
    c.cube.TurnSliceTop();
    EXPECT_FALSE(IsSolved(c.cube));
    EXPECT_TRUE(IsSolved(InstantCube().cube));
    for (const std::string& facelets : {testing::FlippedEdge(), testing::TwistedCorner(),
                                        testing::TwoEdgesExchanged(), testing::TwoCornersExchanged()}) {
        InstantCube u;
        ASSERT_EQ(SetFacelets(u.cube, facelets), "");
        EXPECT_FALSE(IsSolved(u.cube)) << facelets;
    }
}

}  // namespace
}  // namespace velmo
