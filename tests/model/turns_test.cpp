#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "log/message_log.h"
#include "model/facelets.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::Snapshot;

class Turns : public ::testing::Test {
protected:
    Turns() : cube(host) { cube.TurnDuration = 100; }
    HeadlessHost host;
    TVelmo cube;
};

// The texture coordinates of the face that carries the logo, wherever it stands; only that
// face is drawn with them.
std::vector<TexCoord> LogoCoords(const TVelmo& cube, const HeadlessHost& host) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        for (int slot = 1; slot <= kSlotCount; ++slot)
            if (cube.Colour(cell, slot) < 0) {
                const auto& all = host.TexCoords();
                return {all.begin() + 6 * (slot - 1), all.begin() + 6 * slot};
            }
    return {};
}

// Scrambles the cube deterministically with every kind of turn, so that blocks stand turned.
void Mix(TVelmo& cube) {
    for (int i = 0; i < 40; ++i) cube.Turn(static_cast<Move>((i * 7 + 3) % kMoveCount));
}

TEST_F(Turns, EachTurnAndItsInverseRestoreEveryBlock) {
    Mix(cube);
    const auto before = Snapshot(cube);
    const std::vector<TexCoord> coords = LogoCoords(cube, host);
    ASSERT_EQ(coords.size(), 6u);
    for (int m = 0; m < kMoveCount; ++m) {
        const Move move = static_cast<Move>(m);
        cube.Turn(move);
        EXPECT_NE(Snapshot(cube), before) << TurnOf(move).notation;
        cube.Turn(InverseOf(move));
        EXPECT_EQ(Snapshot(cube), before) << TurnOf(move).notation;
        EXPECT_EQ(LogoCoords(cube, host), coords) << TurnOf(move).notation;
    }
}

TEST_F(Turns, FourEqualTurnsRestoreEveryBlock) {
    Mix(cube);
    const auto before = Snapshot(cube);
    for (int m = 0; m < kMoveCount; ++m) {
        for (int k = 0; k < 4; ++k) cube.Turn(static_cast<Move>(m));
        EXPECT_EQ(Snapshot(cube), before) << TurnOf(static_cast<Move>(m)).notation;
    }
}

TEST_F(Turns, WholeCubeTurnsEqualTheirThreeLayers) {
    const struct {
        Move whole;
        Move layers[3];
    } cases[] = {
        {Move::CubeRight, {Move::Right, Move::SliceRight, Move::LeftInv}},
        {Move::CubeTop, {Move::Top, Move::SliceTop, Move::BottomInv}},
        {Move::CubeFront, {Move::Front, Move::SliceFront, Move::BackInv}},
        {Move::CubeRightInv, {Move::RightInv, Move::SliceRightInv, Move::Left}},
    };
    for (const auto& c : cases) {
        HeadlessHost wholeHost, layersHost;
        TVelmo whole(wholeHost), layers(layersHost);
        whole.TurnDuration = layers.TurnDuration = 0;
        Mix(whole);
        Mix(layers);
        whole.Turn(c.whole);
        for (Move layer : c.layers) layers.Turn(layer);
        EXPECT_EQ(Snapshot(whole), Snapshot(layers)) << TurnOf(c.whole).notation;
        EXPECT_EQ(LogoCoords(whole, wholeHost), LogoCoords(layers, layersHost))
            << TurnOf(c.whole).notation;
    }
}

TEST_F(Turns, FaceTurnsGiveTheKnownFacelets) {
    // Independent of the cell tables: the well-known results of each face turn on a solved cube.
    const struct {
        Move move;
        const char* facelets;
    } cases[] = {
        {Move::Right, "UUFUUFUUFRRRRRRRRRFFDFFDFFDDDBDDBDDBLLLLLLLLLUBBUBBUBB"},
        {Move::Top, "UUUUUUUUUBBBRRRRRRRRRFFFFFFDDDDDDDDDFFFLLLLLLLLLBBBBBB"},
        {Move::Front, "UUUUUULLLURRURRURRFFFFFFFFFRRRDDDDDDLLDLLDLLDBBBBBBBBB"},
        {Move::Bottom, "UUUUUUUUURRRRRRFFFFFFFFFLLLDDDDDDDDDLLLLLLBBBBBBBBBRRR"},
        {Move::Left, "BUUBUUBUURRRRRRRRRUFFUFFUFFFDDFDDFDDLLLLLLLLLBBDBBDBBD"},
        {Move::Back, "RRRUUUUUURRDRRDRRDFFFFFFFFFDDDDDDLLLULLULLULLBBBBBBBBB"},
    };
    for (const auto& c : cases) {
        HeadlessHost h;
        TVelmo fresh(h);
        fresh.Turn(c.move);
        EXPECT_EQ(ToFacelets(fresh), c.facelets) << TurnOf(c.move).notation;
    }
}

TEST_F(Turns, WorkedExamplesFromTheStartPosition) {
    const TBlock* corner = &cube.Block(3);
    cube.TurnRight();
    EXPECT_EQ(&cube.Block(20), corner);
    EXPECT_EQ(corner->Cell, 20);
    EXPECT_EQ(corner->Faces, (std::array<int, 6>{0, 1, 3, 2, 0, 0}));

    HeadlessHost h;
    TVelmo fresh(h);
    const TBlock* topLeft = &fresh.Block(1);
    fresh.TurnTop();
    EXPECT_EQ(&fresh.Block(18), topLeft);
    EXPECT_EQ(topLeft->Faces, (std::array<int, 6>{0, 2, 0, 6, 0, 1}));
}

TEST_F(Turns, CellCyclesMatchTheTurnTables) {
    // The block in the first cell moves to the next: "Сп" 2->19->25->8, "Св" 4->21->23->6,
    // "Сф" 11->14->16->13, "Н" 8->17->25->15.
    const struct {
        Move move;
        int cycle[4];
    } cases[] = {{Move::SliceRight, {2, 19, 25, 8}},
                 {Move::SliceTop, {4, 21, 23, 6}},
                 {Move::SliceFront, {11, 14, 16, 13}},
                 {Move::Bottom, {8, 17, 25, 15}},
                 {Move::Back, {18, 24, 26, 20}}};
    for (const auto& c : cases) {
        HeadlessHost h;
        TVelmo fresh(h);
        const TBlock* blocks[4];
        for (int i = 0; i < 4; ++i) blocks[i] = &fresh.Block(c.cycle[i]);
        fresh.Turn(c.move);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(&fresh.Block(c.cycle[(i + 1) % 4]), blocks[i]) << TurnOf(c.move).notation;
    }
}

TEST_F(Turns, SliceCarriesTheLogoToTheBackFace) {
    const StickerTexCoords before = host.TexCoords();
    cube.TurnSliceRight();
    EXPECT_EQ(cube.Block(22).Faces, (std::array<int, 6>{0, 0, 0, -2, 0, 0}));
    const StickerTexCoords& after = host.TexCoords();
    // "Сп" turns about x: a top-face corner (x, 0.5, z) goes to (x, -z, 0.5) on the back face.
    int matched = 0;
    for (int k = 18; k < 24; ++k) {
        const Vec3 p = TemplatePointAt(TemplateVertexPoint(k)).position;
        for (int j = 6; j < 12; ++j) {
            const Vec3 q = TemplatePointAt(TemplateVertexPoint(j)).position;
            if (std::fabs(q.x - p.x) < 1e-5f && std::fabs(-q.z - p.y) < 1e-5f) {
                EXPECT_EQ(after[k], before[j]) << "vertex " << k;
                ++matched;
            }
        }
    }
    EXPECT_GE(matched, 6);
    // The other faces keep their coordinates.
    for (int k = 0; k < 18; ++k) EXPECT_EQ(after[k], before[k]) << k;
    for (int k = 24; k < 36; ++k) EXPECT_EQ(after[k], before[k]) << k;
}

TEST_F(Turns, TopTurnRotatesTheLogoInPlace) {
    auto corner = [&](float x, float z) {
        std::vector<TexCoord> found;
        for (int k = 6; k < 12; ++k) {
            const Vec3 p = TemplatePointAt(TemplateVertexPoint(k)).position;
            if (std::fabs(p.x - x) < 1e-5f && std::fabs(p.z - z) < 1e-5f)
                found.push_back(host.TexCoords()[k]);
        }
        return found;
    };
    using TC = std::vector<TexCoord>;
    EXPECT_EQ(corner(-0.4f, -0.4f), (TC{{0, 0}, {0, 0}}));
    EXPECT_EQ(corner(-0.4f, 0.4f), (TC{{0, 1}}));
    cube.TurnTop();
    EXPECT_EQ(cube.Block(11).Faces[kTop - 1], -2);
    EXPECT_EQ(corner(-0.4f, -0.4f), (TC{{1, 0}, {1, 0}}));
    EXPECT_EQ(corner(-0.4f, 0.4f), (TC{{0, 0}}));
    EXPECT_EQ(corner(0.4f, 0.4f), (TC{{0, 1}, {0, 1}}));
    EXPECT_EQ(corner(0.4f, -0.4f), (TC{{1, 1}}));
    // A silent whole-cube turn the same way carries the logo just as far, without a frame.
    HeadlessHost quiet;
    TVelmo whole(quiet);
    whole.TurnCubeTop(true);
    EXPECT_EQ(quiet.Frames(), 0);
    EXPECT_EQ(quiet.TexCoords(), host.TexCoords());
    for (int k = 0; k < 3; ++k) cube.TurnTop();
    EXPECT_EQ(host.TexCoords(), TemplateStickerTexCoords());
}

TEST_F(Turns, StepsComeTwentyMillisecondsApartAndHardwareSleepsFiveAfterEach) {
    // Polled every millisecond, a 700 ms turn steps exactly every 20 ms: 35 steps between the
    // frame before the loop and the one after the exact update.
    for (const bool hardware : {false, true}) {
        testing::RecordingHost recorder;
        recorder.SetFrameCost(0);
        recorder.SetHardwareDevice(hardware);
        TVelmo turning(recorder);
        turning.TurnDuration = 700;
        std::vector<std::uint32_t> frameTimes;
        recorder.SetFrameListener([&] { frameTimes.push_back(recorder.Clock()); });
        turning.TurnTop();
        ASSERT_EQ(frameTimes.size(), 37u) << hardware;
        for (std::size_t i = 1; i <= 35; ++i)
            EXPECT_EQ(frameTimes[i] - frameTimes[i - 1], 20u) << "step " << i;
        const std::string step = hardware ? "FS5" : "F";
        EXPECT_EQ(recorder.events, "F" + testing::Times(35, step) + "F") << hardware;
    }
}

TEST_F(Turns, EveryStepTurnsTheMovingBlockTowardsItsNewCell) {
    // One move of each cycle table: the block in the first cell goes to the second; the
    // inverse turn takes it back.
    const struct {
        Move move;
        int from, to;
    } cases[] = {{Move::Front, 1, 3},      {Move::Back, 18, 24},      {Move::Top, 1, 18},
                 {Move::Bottom, 7, 9},     {Move::Left, 1, 7},        {Move::Right, 3, 20},
                 {Move::SliceFront, 10, 12}, {Move::SliceTop, 4, 21}, {Move::SliceRight, 2, 19},
                 {Move::CubeFront, 1, 3},  {Move::CubeTop, 1, 18},    {Move::CubeRight, 3, 20}};
    for (const auto& c : cases) {
        for (const bool inverse : {false, true}) {
            const Move move = inverse ? InverseOf(c.move) : c.move;
            const CellPos goal = CellPosition(inverse ? c.from : c.to);
            HeadlessHost h;
            h.SetFrameCost(0);
            TVelmo fresh(h);
            fresh.TurnDuration = 700;
            const TBlock& moving = fresh.Block(inverse ? c.to : c.from);
            std::vector<float> distances;
            h.SetFrameListener([&] {
                const auto& m = moving.Matrix.m;
                distances.push_back(std::hypot(m[3][0] - goal.x, m[3][1] - goal.y, m[3][2] - goal.z));
            });
            fresh.Turn(move);
            ASSERT_EQ(distances.size(), 37u) << TurnOf(move).notation;
            for (std::size_t i = 1; i < distances.size(); ++i)
                ASSERT_LT(distances[i], distances[i - 1]) << TurnOf(move).notation << " frame " << i;
        }
    }
}

TEST_F(Turns, StepsSpinByTheElapsedShareOfAQuarterTurn) {
    cube.TurnDuration = 700;
    host.SetFrameCost(33);
    std::vector<float> sines;
    host.SetFrameListener([&] { sines.push_back(cube.Block(5).Matrix.m[0][1]); });
    cube.TurnFront();
    // Block 5 sits on the axis; its matrix turns by the summed angle, a = -1 about z.
    ASSERT_GE(sines.size(), 3u);
    sines.pop_back();  // the frame after the exact update
    const float total = std::asin(-sines.back());
    EXPECT_NEAR(total, std::numbers::pi / 2, std::numbers::pi / 2 * 60 / 700);
    EXPECT_EQ(cube.Block(5).Matrix, CellMatrix(5));
}

TEST_F(Turns, SlowFramesStillEndWithAnExactModel) {
    host.SetFrameCost(250);  // every frame slower than the whole turn
    cube.TurnDuration = 100;
    host.ResetCounters();
    cube.TurnRight();
    EXPECT_EQ(host.Frames(), 3);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        EXPECT_EQ(cube.Block(cell).Cell, cell);
        EXPECT_EQ(cube.Block(cell).Matrix, CellMatrix(cell));
    }
}

TEST_F(Turns, TickCounterWrapDoesNotStopTheTurnEarly) {
    host.SetClock(0xFFFFFFFFu - 50);
    cube.TurnDuration = 700;
    host.ResetCounters();
    cube.TurnLeft();
    EXPECT_GE(host.Frames(), 20);
    EXPECT_EQ(cube.Block(1).Matrix, CellMatrix(1));
}

TEST_F(Turns, ZeroOrNegativeDurationTurnsAtOnceWithOneFrame) {
    for (int duration : {0, -5}) {
        cube.TurnDuration = duration;
        host.ResetCounters();
        const TBlock* moving = &cube.Block(1);
        cube.TurnFront();
        EXPECT_EQ(host.Frames(), 1);
        EXPECT_EQ(&cube.Block(3), moving);
        cube.TurnFrontInv();
    }
}

TEST_F(Turns, LoggingAppendsNotationsAndSilentTurnsStayQuiet) {
    host.Log().AddMessage("Операции пользователя: ");
    cube.LogTurns = true;
    // The notation is in the log before the turn's first frame.
    std::string lineAtFirstFrame;
    host.SetFrameListener([&] {
        if (lineAtFirstFrame.empty()) lineAtFirstFrame = host.Log().Lines().back();
    });
    cube.TurnFrontInv();
    host.SetFrameListener(nullptr);
    EXPECT_EQ(lineAtFirstFrame, "Операции пользователя: Ф' ");
    cube.TurnSliceRightInv();
    cube.TurnCubeTop(false);
    host.ResetCounters();
    const auto before = Snapshot(cube);
    cube.TurnCubeTop(true);
    EXPECT_EQ(host.Frames(), 0);
    EXPECT_NE(Snapshot(cube), before);  // the silent turn changes the model all the same
    cube.TurnCubeTopInv(true);
    EXPECT_EQ(Snapshot(cube), before);
    cube.LogTurns = false;
    cube.TurnBack();
    EXPECT_EQ(host.Log().Lines(), std::vector<std::string>{"Операции пользователя: Ф' Сп' Ов "});
}

}  // namespace
}  // namespace velmo
