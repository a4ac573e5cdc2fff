// Solutions made on the model end at the start position: random positions in thousands, the
// hard end of the range within 20 moves, positions turns cannot reach refused.

#include <gtest/gtest.h>

#include "twophase_test_util.h"

namespace velmo::testing {
namespace {

using namespace twophase;

// Random positions standing turned as a whole, most of them solved to a looser length, which
// the search reaches sooner; the solution must still be right in every detail.
TEST(TwophaseSolve, RandomPositionsEndAtTheStartOnTheModel) {
    std::mt19937 random(5);
    SearchOptions loose;
    loose.target = 24;
    for (int n = 0; n < 2000; ++n) {
        const std::string facelets = RandomTurnedFacelets(random);
        const Solution solution = SolveFacelets(facelets, TestTables(), loose);
        ASSERT_EQ(solution.status, Solution::Status::kSolved) << facelets;
        ASSERT_LE(solution.turns.size(), 24u) << facelets;
        ASSERT_TRUE(SolvesOnModel(facelets, solution)) << facelets;
    }
}

// With a budget far beyond what a search needs, so that the length does not depend on the
// machine's speed; a search stops as soon as it has 20 moves.
SearchOptions WithinTwenty() {
    SearchOptions options;
    options.budget = std::chrono::minutes(5);
    return options;
}

TEST(TwophaseSolve, RandomPositionsWithinTwentyMoves) {
    std::mt19937 random(6);
    for (int n = 0; n < 100; ++n) {
        const std::string facelets = RandomTurnedFacelets(random);
        const Solution solution = SolveFacelets(facelets, TestTables(), WithinTwenty());
        ASSERT_LE(solution.turns.size(), 20u) << facelets;
        ASSERT_TRUE(SolvesOnModel(facelets, solution)) << facelets;
    }
}

// Positions far from the start: every edge flipped in place (20 moves from it); that with
// every corner twisted in place too, four one way and four the other; the same with the
// middle layer's edges exchanged in pairs.
TEST(TwophaseSolve, HardPositionsWithinTwentyMoves) {
    CubieCube superflip;
    superflip.eo.fill(1);
    CubieCube twisted = superflip;
    twisted.co = {1, 2, 1, 2, 2, 1, 2, 1};
    CubieCube exchanged = twisted;
    exchanged.ep = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 8, 9};
    for (const CubieCube& cube : {superflip, twisted, exchanged}) {
        ASSERT_EQ(Reachability(cube), Reach::kReachable);
        const std::string facelets = FaceletsFromCubie(cube);
        const Solution solution = SolveFacelets(facelets, TestTables(), WithinTwenty());
        EXPECT_LE(solution.turns.size(), 20u) << facelets;
        EXPECT_TRUE(SolvesOnModel(facelets, solution)) << facelets;
    }
}

// A position made by a few face turns comes back in no more turns than that, not in the
// first total of at most 20 that turns up.
TEST(TwophaseSolve, PositionsAFewTurnsAwayComeBackInAsFew) {
    std::mt19937 random(10);
    std::uniform_int_distribution<int> anyTurn(0, kMoves - 1);
    for (int length = 1; length <= 8; ++length)
        for (int n = 0; n < 20; ++n) {
            CubieCube cube;
            for (int k = 0; k < length; ++k) cube = Multiply(cube, MoveCubes()[anyTurn(random)]);
            const std::string facelets = FaceletsFromCubie(cube);
            const Solution solution = SolveFacelets(facelets, TestTables());
            EXPECT_LE(solution.turns.size(), static_cast<std::size_t>(length)) << facelets;
            EXPECT_TRUE(SolvesOnModel(facelets, solution)) << facelets;
        }
}

TEST(TwophaseSolve, SolvedAndNearlySolvedPositions) {
    EXPECT_TRUE(SolveFacelets(kSolvedFacelets, TestTables()).turns.empty());
    // One half turn, and the cube turned as a whole on top: the half turn alone, counted once.
    InstantCube c;
    c.cube.TurnFront();
    c.cube.TurnFront();
    c.cube.TurnCubeRight(true);
    const Solution solution = SolveFacelets(ToFacelets(c.cube), TestTables());
    EXPECT_EQ(solution.turns, (std::vector<FaceTurn>{{kF, 2}}));
    EXPECT_EQ(solution.rotation.turns, (std::vector<Move>{Move::CubeRightInv}));
    EXPECT_EQ(Notation(solution.turns), "Ф2");
}

TEST(TwophaseSolve, PositionsTurnsCannotReachAreRefusedWithTheirReason) {
    const auto reason = [](const std::string& facelets) {
        const Analysis analysis = Analyse(facelets);
        EXPECT_EQ(analysis.kind == Analysis::Kind::kUnreachable, analysis.reach != Reach::kReachable);
        return analysis.reach;
    };
    EXPECT_EQ(reason(TwistedCorner()), Reach::kTwistedCorner);
    EXPECT_EQ(reason(FlippedEdge()), Reach::kFlippedEdge);
    EXPECT_EQ(reason(TwoEdgesExchanged()), Reach::kSwappedPieces);
    EXPECT_EQ(reason(TwoCornersExchanged()), Reach::kSwappedPieces);
    // Two faults that cancel leave a position turns do reach.
    const std::string twoTwists = WithFacelets({{"U7", 'F'}, {"F1", 'L'}, {"L3", 'U'}}, TwistedCorner());
    EXPECT_EQ(reason(twoTwists), Reach::kReachable);
    const std::string bothExchanged = WithFacelets({{"F3", 'L'}, {"R1", 'F'}, {"F1", 'R'}, {"L3", 'F'}},
                                                   TwoEdgesExchanged());
    EXPECT_EQ(reason(bothExchanged), Reach::kReachable);
    for (const std::string& reachable : {twoTwists, bothExchanged})
        EXPECT_TRUE(SolvesOnModel(reachable, SolveFacelets(reachable, TestTables())));

    // Turned as a whole, the flipped edge is still found out.
    InstantCube c;
    SetFacelets(c.cube, FlippedEdge());
    c.cube.TurnCubeTop(true);
    c.cube.TurnCubeFront(true);
    const Solution refused = SolveFacelets(ToFacelets(c.cube), TestTables());
    EXPECT_EQ(refused.status, Solution::Status::kUnreachable);
    EXPECT_TRUE(refused.turns.empty());
}

TEST(TwophaseSolve, StringsThatAreNoPositionOfTheCubeAreInvalid) {
    std::string mirrored(kSolvedFacelets);
    std::swap(mirrored[8], mirrored[9]);  // U9 and R1: the corner's colours run the other way
    for (const std::string& bad : {std::string(), std::string(54, 'U'), std::string(kSolvedFacelets) + "U",
                                   WithFacelets({{"U5", 'R'}, {"R5", 'U'}}), mirrored,
                                   WithFacelets({{"U1", 'x'}})})
        EXPECT_EQ(SolveFacelets(bad, TestTables()).status, Solution::Status::kInvalid) << bad;
}

}  // namespace
}  // namespace velmo::testing
