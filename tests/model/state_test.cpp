#include <gtest/gtest.h>

#include <algorithm>

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

TEST(Reset, EveryFlightFrameIsFollowedByATenMillisecondPause) {
    testing::RecordingHost host;
    TVelmo cube(host);
    cube.FlyOutBlock(5);
    EXPECT_EQ(host.events, testing::Times(12, "FS10"));
    host.events.clear();
    // The jump frame far out, then eleven steps home.
    cube.FlyInBlock(5);
    EXPECT_EQ(host.events, testing::Times(12, "FS10"));
}

TEST(Reset, BlocksFlyOutAndBackInTwoDifferentShuffledOrders) {
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        HeadlessHost host;
        host.SetSeed(seed);
        TVelmo cube(host);
        // Every flight of a whole cube takes 12 frames; its first shows the block away from home.
        std::vector<int> out, in;
        int frame = 0;
        host.SetFrameListener([&] {
            if (frame++ % 12 != 0) return;
            for (int cell = 1; cell <= kCellCount; ++cell)
                if (cube.Block(cell).Matrix != CellMatrix(cell))
                    (frame <= kCellCount * 12 ? out : in).push_back(cell);
        });
        cube.ResetToStart();
        std::vector<int> cells(kCellCount);
        for (int i = 0; i < kCellCount; ++i) cells[i] = i + 1;
        for (std::vector<int>* order : {&out, &in}) {
            ASSERT_EQ(order->size(), cells.size()) << seed;
            std::vector<int> sorted = *order;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(sorted, cells) << seed;
            // 101 random exchanges leave few cells where they were.
            int unmoved = 0;
            for (int i = 0; i < kCellCount; ++i) unmoved += (*order)[i] == cells[i];
            EXPECT_LE(unmoved, 5) << seed;
        }
        // The second shuffle goes on from the first order with the random sequence running on:
        // neither the same order nor the same exchanges again.
        EXPECT_NE(in, out) << seed;
        std::vector<int> sameExchangesAgain(kCellCount);
        for (int i = 0; i < kCellCount; ++i) sameExchangesAgain[i] = out[out[i] - 1];
        EXPECT_NE(in, sameExchangesAgain) << seed;
    }
}

}  // namespace
}  // namespace velmo
