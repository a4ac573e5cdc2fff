// The solver's view of the cube against the model's own: facelets and pieces, the 18 moves,
// the coordinates and their move tables, the whole-cube turns that bring centres home.

#include <gtest/gtest.h>

#include "twophase/coordinates.h"
#include "twophase/move_tables.h"
#include "twophase_test_util.h"

namespace velmo::testing {
namespace {

using namespace twophase;

// The model's cube set to a position given as pieces.
struct ModelCube : InstantCube {
    explicit ModelCube(const CubieCube& pieces) { SetFacelets(cube, FaceletsFromCubie(pieces)); }
    CubieCube Pieces() const { return *CubieFromFacelets(ToFacelets(cube)); }
};

TEST(TwophaseCube, PiecesAndFaceletsAreTheModelsPositions) {
    std::mt19937 random(1);
    for (int n = 0; n < 200; ++n) {
        const CubieCube pieces = RandomCube(random);
        const std::string facelets = FaceletsFromCubie(pieces);
        ASSERT_EQ(FaceletsProblem(facelets), "") << facelets;
        ModelCube model(pieces);
        EXPECT_EQ(ToFacelets(model.cube), facelets);
        EXPECT_EQ(model.Pieces(), pieces);
    }
    // Twists are counted clockwise: the model's right turn brings the corner from DFR to URF
    // with its D colour on the F facelet, the last of U9 R1 F3.
    EXPECT_EQ(CornerFacelets()[0], (std::array<int, 3>{8, 9, 20}));
    EXPECT_EQ(MoveCubes()[(FaceTurn{kR, 1}.Index())].co[0], 2);
}

TEST(TwophaseCube, EveryMoveIsTheModelsTurn) {
    std::mt19937 random(2);
    for (int move = 0; move < kMoves; ++move) {
        const CubieCube pieces = RandomCube(random);
        ModelCube model(pieces);
        for (Move turn : ModelTurns(FaceTurn::OfIndex(move))) model.cube.Turn(turn);
        EXPECT_EQ(model.Pieces(), Multiply(pieces, MoveCubes()[move])) << "move " << move;
    }
}

// A walk of random turns made on the model, the coordinates read from it after each turn and
// followed through the move tables from the start.
TEST(TwophaseCube, CoordinatesFollowTheModelsTurnsThroughTheMoveTables) {
    const MoveTables tables = BuildMoveTables();
    std::mt19937 random(3);
    InstantCube model;
    int twist = 0, flip = 0, slice = 0;
    std::uniform_int_distribution<int> anyMove(0, kMoves - 1), phase2Move(0, kPhase2Moves - 1);
    for (int step = 0; step < 300; ++step) {
        const int move = anyMove(random);
        for (Move turn : ModelTurns(FaceTurn::OfIndex(move))) model.cube.Turn(turn);
        twist = tables.twist[twist * kMoves + move];
        flip = tables.flip[flip * kMoves + move];
        slice = tables.slice[slice * kMoves + move];
        const CubieCube read = *CubieFromFacelets(ToFacelets(model.cube));
        ASSERT_EQ(twist, Twist(read));
        ASSERT_EQ(flip, Flip(read));
        ASSERT_EQ(slice, Slice(read));
    }
    InstantCube model2;
    int corners = 0, edges = 0, middle = 0;
    for (int step = 0; step < 300; ++step) {
        const int i = phase2Move(random);
        for (Move turn : ModelTurns(FaceTurn::OfIndex(Phase2MoveIndices()[i]))) model2.cube.Turn(turn);
        corners = tables.cornerPerm[corners * kPhase2Moves + i];
        edges = tables.edgePerm[edges * kPhase2Moves + i];
        middle = tables.slicePerm[middle * kPhase2Moves + i];
        const CubieCube read = *CubieFromFacelets(ToFacelets(model2.cube));
        ASSERT_EQ(Twist(read) + Flip(read) + Slice(read), 0) << "phase 2 left its group";
        ASSERT_EQ(corners, CornerPerm(read));
        ASSERT_EQ(edges, EdgePerm(read));
        ASSERT_EQ(middle, SlicePerm(read));
    }
}

TEST(TwophaseCube, EveryCoordinateValueNamesOnePosition) {
    const auto check = [](int size, auto with, auto read) {
        for (int value = 0; value < size; ++value)
            if (read(with(value)) != value) return value;
        return -1;
    };
    EXPECT_EQ(check(kTwists, WithTwist, Twist), -1);
    EXPECT_EQ(check(kFlips, WithFlip, Flip), -1);
    EXPECT_EQ(check(kSlices, WithSlice, Slice), -1);
    EXPECT_EQ(check(kCornerPerms, WithCornerPerm, CornerPerm), -1);
    EXPECT_EQ(check(kEdgePerms, WithEdgePerm, EdgePerm), -1);
    EXPECT_EQ(check(kSlicePerms, WithSlicePerm, SlicePerm), -1);
}

// From each of the 24 ways the cube can stand, the rotation found brings every centre home,
// and made on the model gives the position the rotated letters say.
TEST(TwophaseCube, TheRotationFoundBringsTheCentresHome) {
    std::mt19937 random(4);
    std::vector<std::string> orientations;
    for (int n = 0; n < 300 && orientations.size() < 24; ++n) {
        const std::string facelets = RandomTurnedFacelets(random);
        std::string centres;
        for (int face = 0; face < kFaces; ++face) centres += facelets[9 * face + 4];
        if (std::find(orientations.begin(), orientations.end(), centres) != orientations.end())
            continue;
        orientations.push_back(centres);
        const std::optional<Rotation> rotation = RotationHomingCentres(facelets);
        ASSERT_TRUE(rotation) << facelets;
        EXPECT_LE(rotation->turns.size(), 3u);
        InstantCube model;
        SetFacelets(model.cube, facelets);
        for (Move move : rotation->turns) model.cube.Turn(move);
        EXPECT_EQ(ToFacelets(model.cube), RotateFacelets(facelets, *rotation, false));
        EXPECT_TRUE(CubieFromFacelets(ToFacelets(model.cube))) << "centres not home";
    }
    EXPECT_EQ(orientations.size(), 24u);
}

}  // namespace
}  // namespace velmo::testing
