// «Кратчайшая сборка» on the model and velmo-cli --shortest: the log, the turns made, the
// notice for a position turns cannot reach, a stop while the tables are made.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "twophase/shortest.h"
#include "twophase_test_util.h"

namespace velmo::testing {
namespace {

using namespace twophase;

std::vector<std::string> Tail(const std::vector<std::string>& lines, std::size_t from) {
    return {lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end()};
}

// What follows "prefix" on a log line, as a move string.
std::string MovesAfter(const std::string& line, const std::string& prefix) {
    EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
    return line.substr(prefix.size());
}

TEST(ShortestCommand, LogsTheSolutionInOneLineAndTurnsItVisibly) {
    std::mt19937 random(7);
    InstantCube c;
    c.host.SetDoLog(false);
    c.cube.LogTurns = false;
    MakeMoves(c.cube, RandomMoves(random, 40));  // whole-cube and slice turns among them
    const std::string start = ToFacelets(c.cube);
    const std::size_t before = c.Lines().size();
    const int frames = c.host.Frames();

    const ShortestRun run = SolveShortest(c.cube);
    ASSERT_TRUE(run.solved);
    EXPECT_TRUE(AtStart(c.cube));
    const std::vector<std::string> lines = Tail(c.Lines(), before);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "*** Кратчайшая сборка Кубика Вельмо ***");
    const std::string orientation = MovesAfter(lines[2], "Общая ориентация: ");
    const std::string count = MovesCountText(static_cast<int>(run.turns.size()));
    const std::string moves = MovesAfter(lines[3], count + ": ");
    EXPECT_EQ(moves, Notation(run.turns) + " ");
    EXPECT_EQ(lines[4], "");

    // One frame per quarter turn made: a half turn is made as two.
    int quarters = static_cast<int>(Words(orientation).size());
    for (const FaceTurn& turn : run.turns) quarters += turn.power == 2 ? 2 : 1;
    EXPECT_EQ(c.host.Frames() - frames, quarters);
    EXPECT_EQ(c.host.Beeps(), 1);
    EXPECT_FALSE(c.cube.LogTurns) << "the logging setting is back";
    EXPECT_EQ(c.host.BusyDepth(), 0);

    // The two lines, run as move strings on the position, solve it too.
    InstantCube twin;
    SetFacelets(twin.cube, start);
    ASSERT_TRUE(TVelmo::IsValidMoveString(orientation + moves));
    twin.cube.ExecuteMoveString(orientation + moves, false);
    EXPECT_TRUE(AtStart(twin.cube));
}

TEST(ShortestCommand, ASolvedCubeStandingRightNeedsNoMoves) {
    InstantCube c;
    const ShortestRun run = SolveShortest(c.cube);
    EXPECT_TRUE(run.solved);
    EXPECT_TRUE(run.turns.empty());
    EXPECT_EQ(Tail(c.Lines(), 0),
              (std::vector<std::string>{"", "*** Кратчайшая сборка Кубика Вельмо ***", "0 ходов", ""}));
    EXPECT_EQ(c.host.Frames(), 0);
    EXPECT_EQ(MovesCountText(1) + " " + MovesCountText(3) + " " + MovesCountText(11) + " " +
                  MovesCountText(21) + " " + MovesCountText(22),
              "1 ход 3 хода 11 ходов 21 ход 22 хода");
}

// As «Собрать» ends on it, but before any turn: the box, the notice, no beep, logging off.
TEST(ShortestCommand, APositionTurnsCannotReachGetsTheNoticeAndNoTurn) {
    InstantCube c;
    SetFacelets(c.cube, TwoEdgesExchanged());
    c.cube.TurnCubeTop(true);
    const std::string position = ToFacelets(c.cube);
    const int frames = c.host.Frames();

    EXPECT_FALSE(SolveShortest(c.cube).solved);
    EXPECT_EQ(ToFacelets(c.cube), position);
    EXPECT_EQ(c.host.Frames(), frames);
    ASSERT_EQ(c.host.Warnings().size(), 1u);
    EXPECT_EQ(c.host.Warnings()[0].caption, "Кубик Вельмо");
    EXPECT_EQ(c.host.Warnings()[0].text, "Кубик Вельмо собрать невозможно!");
    EXPECT_EQ(Tail(c.Lines(), 0),
              (std::vector<std::string>{"", "*** Кратчайшая сборка Кубика Вельмо ***", "",
                                        "*** Кубик Вельмо собрать невозможно! ***", "", " "}));
    EXPECT_EQ(c.host.Beeps(), 0);
    EXPECT_FALSE(c.cube.LogTurns);
    EXPECT_EQ(c.host.BusyDepth(), 0);
}

// Esc while the tables are made: nothing written, nothing turned; the next use makes them.
TEST(ShortestCommand, AStopWhileTheTablesAreMadeEndsTheRunAndTheNextUseMakesThem) {
    if (SharedTablesReady()) GTEST_SKIP() << "this process has its tables already";
    const std::filesystem::path empty = std::filesystem::path(VELMO_TEST_CACHE_HOME) / "stopped";
    std::filesystem::remove_all(empty);
    setenv("XDG_CACHE_HOME", empty.c_str(), 1);
    InstantCube c;
    c.cube.TurnRight();
    const std::size_t before = c.Lines().size();
    std::vector<bool> notices;
    const TablesNotice notice = [&](bool working) { notices.push_back(working); };
    c.host.RequestStop();
    EXPECT_THROW(SolveShortest(c.cube, {}, notice), RunStopped);
    EXPECT_EQ(c.Lines().size(), before);
    EXPECT_EQ(c.host.BusyDepth(), 0);
    EXPECT_EQ(notices, (std::vector<bool>{true, false}));
    EXPECT_FALSE(SharedTablesReady());

    c.host.RequestStop(false);
    EXPECT_TRUE(SolveShortest(c.cube, {}, notice).solved);
    EXPECT_TRUE(AtStart(c.cube));
    EXPECT_EQ(notices, (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(std::filesystem::exists(empty / "velmo" / "twophase-tables.bin"));
    setenv("XDG_CACHE_HOME", VELMO_TEST_CACHE_HOME, 1);
}

struct CliRun {
    explicit CliRun(std::vector<std::string> args) {
        code = cli::RunCli(args, cli::AllOptions(), out, err);
    }
    std::vector<std::string> OutLines() const {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::ostringstream out, err;
    int code = -1;
};

// Each --shortest adds its line after the log, in order, before the state line; the moves
// of each, made on its position, solve it.
TEST(ShortestCli, ReportsEachSolutionAfterTheLog) {
    std::mt19937 random(8);
    const std::string first = RandomTurnedFacelets(random), second = RandomTurnedFacelets(random);
    CliRun run({"--facelets", first, "--shortest", "--facelets", second, "--shortest", "--state"});
    ASSERT_EQ(run.code, 0) << run.err.str();
    EXPECT_EQ(run.err.str(), "");
    const std::vector<std::string> lines = run.OutLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "state: " + std::string(kSolvedFacelets));
    for (int k = 0; k < 2; ++k) {
        const std::string& line = lines[lines.size() - 3 + k];
        const std::vector<std::string> words = Words(line);
        ASSERT_GE(words.size(), 2u) << line;
        EXPECT_EQ(words[0], "shortest:");
        EXPECT_EQ(std::stoul(words[1]), words.size() - 2) << line;
        // The position with its centres home, then the moves.
        InstantCube twin;
        SetFacelets(twin.cube, RotateFacelets(k == 0 ? first : second,
                                              *RotationHomingCentres(k == 0 ? first : second), false));
        twin.cube.ExecuteMoveString(line.substr(line.find(' ', 10) + 1), false);
        EXPECT_TRUE(AtStart(twin.cube)) << line;
    }
}

TEST(ShortestCli, AnUnreachablePositionExitsThreeAndStops) {
    CliRun run({"--facelets", FlippedEdge(), "--shortest", "--move", "П", "--state"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err.str(), "Кубик Вельмо собрать невозможно!\n");
    const std::vector<std::string> lines = run.OutLines();
    EXPECT_EQ(lines.back(), "state: " + FlippedEdge()) << "no turn, and the --move did not run";
    for (const std::string& line : lines) EXPECT_NE(line.rfind("shortest:", 0), 0u) << line;
}

}  // namespace
}  // namespace velmo::testing
