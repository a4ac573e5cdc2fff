#include <gtest/gtest.h>

#include "log/message_log.h"
#include "model/facelets.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::Snapshot;

TEST(CellNumbering, PositionsAndCellsAgree) {
    for (int cell = 1; cell <= kCellCount; ++cell) EXPECT_EQ(CellAt(CellPosition(cell)), cell);
    EXPECT_EQ(CellAt({0, 0, 0}), 0);
    EXPECT_EQ(CellPosition(1), (CellPos{-1, 1, -1}));
    EXPECT_EQ(CellPosition(14), (CellPos{1, 0, 0}));
    EXPECT_EQ(CellPosition(26), (CellPos{1, -1, 1}));
    int corners = 0, edges = 0, centres = 0;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        corners += IsCornerCell(cell);
        edges += IsEdgeCell(cell);
        centres += IsCentreCell(cell);
    }
    EXPECT_EQ(corners, 8);
    EXPECT_EQ(edges, 12);
    EXPECT_EQ(centres, 6);
    for (int cell : {5, 11, 13, 14, 16, 22}) EXPECT_TRUE(IsCentreCell(cell)) << cell;
}

TEST(StartPosition, BlocksStandInTheirCellsWithStartColours) {
    HeadlessHost host;
    TVelmo cube(host);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const TBlock& b = cube.Block(cell);
        EXPECT_EQ(b.Cell, cell);
        EXPECT_TRUE(b.InCube);
        EXPECT_EQ(b.Matrix, CellMatrix(cell));
        EXPECT_EQ(b.Matrix.m[3][0], static_cast<float>(CellPosition(cell).x));
    }
    for (int cell = 1; cell <= 9; ++cell) EXPECT_EQ(cube.Colour(cell, kFront), 1);
    EXPECT_EQ(cube.Block(1).Faces, (std::array<int, 6>{1, 2, 0, 0, 0, 6}));
    EXPECT_EQ(cube.Block(10).Faces, (std::array<int, 6>{0, 2, 0, 0, 0, 6}));
    EXPECT_EQ(cube.Block(11).Faces, (std::array<int, 6>{0, -2, 0, 0, 0, 0}));
    EXPECT_EQ(cube.Block(22).Faces, (std::array<int, 6>{0, 0, 0, 4, 0, 0}));
    EXPECT_EQ(cube.TurnDuration, 700);
    EXPECT_FALSE(cube.LogTurns);
    EXPECT_FALSE(cube.UserLineOpen);
    EXPECT_EQ(cube.PickedCell, -1);
    EXPECT_EQ(cube.PickFilter, 3);
    EXPECT_EQ(ToFacelets(cube), "UUUUUUUUURRRRRRRRRFFFFFFFFFDDDDDDDDDLLLLLLLLLBBBBBBBBB");
}

TEST(Reset, FromAPartlyTakenApartCubeFliesOutOnlyPresentBlocks) {
    HeadlessHost host;
    TVelmo cube(host);
    cube.Host().Log().AddMessage("Операции пользователя: ");
    cube.UserLineOpen = true;
    cube.TurnDuration = 0;
    cube.TurnRight();
    cube.TurnSliceTop();
    // Take three blocks out, as the reassembly mode does.
    for (int cell : {1, 2, 20}) cube.Block(cell).InCube = false;
    host.ResetCounters();

    cube.ResetToStart();

    // 23 fly-outs and 26 fly-ins of 12 frames each.
    EXPECT_EQ(host.Frames(), (23 + 26) * 12);
    for (int cell = 1; cell <= kCellCount; ++cell) EXPECT_EQ(cube.Block(cell).InCube, true);
    TVelmo fresh(host);
    EXPECT_EQ(Snapshot(cube), Snapshot(fresh));
    ASSERT_EQ(host.Log().Lines().size(), 2u);
    EXPECT_EQ(host.Log().Lines().back(), "Переход в исходную позицию");
    EXPECT_FALSE(cube.UserLineOpen);
    EXPECT_EQ(host.BusyDepth(), 0);
    EXPECT_EQ(host.BusyStarts(), 1);
}

TEST(Reset, WritesItsLineEvenWithLoggingOffAndTheFlightsEndAtRest) {
    HeadlessHost host;
    host.SetDoLog(false);
    TVelmo cube(host);
    // Watch one block fly: 11 steps of a quarter cell outwards, then back.
    std::vector<float> xs;
    host.SetFrameListener([&] { xs.push_back(cube.Block(3).Matrix.m[3][0]); });
    cube.FlyOutBlock(3);
    EXPECT_FALSE(cube.Block(3).InCube);
    EXPECT_EQ(cube.Block(3).Matrix, CellMatrix(3));
    ASSERT_EQ(xs.size(), 12u);
    EXPECT_FLOAT_EQ(xs[10], 1.0f + 2.75f);
    xs.clear();
    cube.FlyInBlock(3);
    ASSERT_EQ(xs.size(), 12u);
    EXPECT_FLOAT_EQ(xs.front(), 3.75f);
    EXPECT_NEAR(xs.back(), 1.0f, 1e-5);
    EXPECT_EQ(cube.Block(3).Matrix, CellMatrix(3));
    EXPECT_TRUE(cube.Block(3).InCube);

    cube.ResetToStart();
    EXPECT_EQ(host.Log().Lines(), std::vector<std::string>{"Переход в исходную позицию"});
}

TEST(Reset, SleepsTenMillisecondsAfterEveryFlightFrame) {
    HeadlessHost host;
    host.SetFrameCost(0);
    TVelmo cube(host);
    const std::uint32_t before = host.Clock();
    cube.FlyOutBlock(5);
    EXPECT_EQ(host.Clock() - before, 12u * 10u);
}

}  // namespace
}  // namespace velmo
