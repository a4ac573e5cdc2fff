// The protocol the solver writes, line by line, and what a successful run leaves behind.

#include <gtest/gtest.h>

#include <algorithm>

#include "solver/solver.h"
#include "solver_test_util.h"

namespace velmo {
namespace {

using testing::AtStart;
using testing::InstantCube;

const std::vector<std::string> kSolvedCubeProtocol = {
    "",
    "*** Сборка Кубика Вельмо ***",
    "",
    "Общая ориентация Кубика Вельмо",
    "",
    "",
    "Этап 1. Верхний крест",
    "",
    "Блок №1: Ов ",
    "Блок №2: Ов ",
    "Блок №3: Ов ",
    "Блок №4: Ов ",
    "",
    "Этап 2. Неполный верхний слой",
    "",
    "Ов ",
    "Блок №1: Ов ",
    "Блок №2: Ов ",
    "Блок №3: Ов ",
    "",
    "Этап 3. Неполный средний слой",
    "",
    "Оф' Оф' ",
    "Блок №1: Ов ",
    "Блок №2: Ов ",
    "Блок №3: Ов ",
    "",
    "Этап 4. Нижний крест",
    "",
    "",
    "Этап 5. Неориентированный нижний слой",
    "",
    "",
    "Этап 6. Окончательное ориентирование блоков",
    "",
    "В В В В ",
    "",
    "Общая ориентация Кубика Вельмо",
    "",
    "Оп Оп Ов ",
    "",
};

TEST(SolverProtocol, SolvedCubeInStartOrientation) {
    InstantCube c;
    ASSERT_TRUE(Solve(c.cube));
    EXPECT_EQ(c.Lines(), kSolvedCubeProtocol);
    EXPECT_TRUE(AtStart(c.cube));
    EXPECT_EQ(c.host.Beeps(), 1);
    EXPECT_TRUE(c.host.Warnings().empty());
}

TEST(SolverProtocol, CubeTurnedOnlyByOpIsOrientedByOneTurn) {
    InstantCube c;
    c.cube.LogTurns = false;
    c.cube.TurnCubeRight(false);
    ASSERT_TRUE(Solve(c.cube));
    const std::vector<std::string> start = {
        "", "*** Сборка Кубика Вельмо ***", "", "Общая ориентация Кубика Вельмо", "",
        "Оп' ", "", "Этап 1. Верхний крест",
    };
    ASSERT_GE(c.Lines().size(), start.size());
    EXPECT_EQ(std::vector<std::string>(c.Lines().begin(), c.Lines().begin() + start.size()), start);
    // From there on the solved cube's protocol.
    EXPECT_EQ(std::vector<std::string>(c.Lines().begin() + start.size() - 2, c.Lines().end()),
              std::vector<std::string>(kSolvedCubeProtocol.begin() + 5, kSolvedCubeProtocol.end()));
    EXPECT_TRUE(AtStart(c.cube));
}

// The log shows a turn as its notation followed by one blank; every block line of a
// random solve is a block heading followed by such words and nothing else.
TEST(SolverProtocol, BlockLinesHoldOnlyNotationsEachFollowedByOneBlank) {
    InstantCube c;
    std::mt19937 random(7);
    MakeMoves(c.cube, RandomMoves(random, 40));
    ASSERT_TRUE(Solve(c.cube));
    int blockLines = 0;
    for (const std::string& line : c.Lines()) {
        if (line.rfind("Блок №", 0) != 0) continue;
        ++blockLines;
        const std::size_t colon = line.find(": ");
        ASSERT_NE(colon, std::string::npos) << line;
        const std::string turns = line.substr(colon + 2);
        EXPECT_TRUE(turns.empty() || (turns.back() == ' ' && turns.find("  ") == std::string::npos &&
                                      turns.front() != ' '))
            << '"' << line << '"';
        // Every block line ends with the "Ов" that brings the next target to the front.
        EXPECT_TRUE(turns.size() >= 5 && turns.substr(turns.size() - 5) == "Ов ") << line;
    }
    EXPECT_EQ(blockLines, 4 + 3 + 3);
}

TEST(SolverProtocol, TurnsAreLoggedWithLoggingOffAndLoggingStaysOff) {
    InstantCube c;
    c.host.SetDoLog(false);
    c.cube.LogTurns = false;
    std::mt19937 random(11);
    MakeMoves(c.cube, RandomMoves(random, 30));
    ASSERT_TRUE(Solve(c.cube));
    EXPECT_FALSE(c.cube.LogTurns);
    // Stage 6's line of four top turns is there, as is every block line's turn.
    EXPECT_NE(std::find(c.Lines().begin(), c.Lines().end(), "Блок №1: Ов "), c.Lines().end());
    const auto stage6 = std::find(c.Lines().begin(), c.Lines().end(),
                                  "Этап 6. Окончательное ориентирование блоков");
    ASSERT_NE(stage6, c.Lines().end());
    EXPECT_NE(std::find_if(stage6, c.Lines().end(),
                           [](const std::string& l) { return l.find("В ") != std::string::npos; }),
              c.Lines().end());
}

TEST(SolverProtocol, LoggingSettingOnIsRestoredAfterSolve) {
    InstantCube c;
    c.cube.LogTurns = false;  // as after an earlier failed solve
    ASSERT_TRUE(Solve(c.cube));
    EXPECT_TRUE(c.cube.LogTurns);
}

// The driver's settings: the automatic turn duration, the user's log line closed, the busy
// cursor held while turns run and given back at the end.
TEST(SolverProtocol, DriverSetsDurationClosesUserLineAndHoldsBusyCursor) {
    HeadlessHost host;
    TVelmo cube(host);
    host.SetAutoTurnDuration(100);
    cube.TurnDuration = 1000;
    cube.UserLineOpen = true;
    int framesWithoutBusyCursor = 0;
    host.SetFrameListener([&] { framesWithoutBusyCursor += host.BusyDepth() == 0; });
    ASSERT_TRUE(Solve(cube));
    EXPECT_EQ(cube.TurnDuration, 100);
    EXPECT_FALSE(cube.UserLineOpen);
    EXPECT_EQ(framesWithoutBusyCursor, 0);
    EXPECT_EQ(host.BusyDepth(), 0);
    EXPECT_EQ(host.BusyStarts(), 1);
    EXPECT_TRUE(AtStart(cube));
}

// Whatever way the whole cube has been turned, the orientation brings every centre home with
// at most four turns, and removes its empty line only when it made none.
TEST(OrientCube, EveryWholeCubeOrientationComesHome) {
    const Move wholeCube[] = {Move::CubeFront, Move::CubeTop, Move::CubeRight};
    std::mt19937 random(3);
    int orientationsSeen = 0;
    std::vector<std::string> seen;
    for (int trial = 0; trial < 400; ++trial) {
        InstantCube c;
        c.cube.LogTurns = false;
        c.cube.TurnDuration = 0;
        // Quarter turns of the whole cube are odd: an odd count reaches the other half.
        const int count = static_cast<int>(random() % 8);
        for (int k = 0; k < count; ++k) c.cube.Turn(wholeCube[random() % 3]);
        const std::string facelets = ToFacelets(c.cube);
        if (std::find(seen.begin(), seen.end(), facelets) != seen.end()) continue;
        seen.push_back(facelets);
        ++orientationsSeen;
        c.cube.LogTurns = true;
        c.host.ResetCounters();
        OrientCube(c.cube);
        EXPECT_TRUE(AtStart(c.cube)) << facelets;
        EXPECT_LE(c.host.Frames(), 4);
        const bool turned = c.host.Frames() > 0;
        EXPECT_EQ(c.Lines().size(), turned ? 4u : 3u);
        EXPECT_EQ(c.Lines()[1], "Общая ориентация Кубика Вельмо");
    }
    EXPECT_EQ(orientationsSeen, 24);
}

TEST(CellHasColours, FindsBlockByColoursInAnyTwistAndComparesValuesAsStored) {
    InstantCube c;
    // Cell 3 at the start: front 1, top 2, right 3.
    EXPECT_TRUE(CellHasColours(c.cube, 3, 1, 2, 3));
    EXPECT_TRUE(CellHasColours(c.cube, 3, 3, 1, 0));
    EXPECT_FALSE(CellHasColours(c.cube, 3, 1, 2, 4));
    EXPECT_FALSE(CellHasColours(c.cube, 2, 1, 3, 0));
    // The logo stays negative: the top centre shows -2, not 2.
    EXPECT_TRUE(CellHasColours(c.cube, 11, -2, -2, 0));
    EXPECT_FALSE(CellHasColours(c.cube, 11, 2, 2, 0));
    c.cube.LogTurns = false;
    c.cube.TurnRight();  // the corner from cell 3 goes to cell 20, twisted
    EXPECT_TRUE(CellHasColours(c.cube, 20, 2, 3, 1));
}

}  // namespace
}  // namespace velmo
