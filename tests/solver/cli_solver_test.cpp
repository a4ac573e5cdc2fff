// velmo-cli's --facelets and --solve: exit codes, output and order among the options.

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "cli/cli.h"
#include "solver_test_util.h"

namespace velmo {
namespace {

struct CliRun {
    explicit CliRun(std::vector<std::string> args) {
        std::vector<cli::Option> options = cli::CubeOptions();
        for (cli::Option& option : cli::SolverOptions()) options.push_back(std::move(option));
        code = cli::RunCli(args, options, out, err);
    }
    std::string Out() const { return out.str(); }
    std::string Err() const { return err.str(); }
    std::ostringstream out, err;
    int code = -1;
};

std::string StateLine(std::string_view facelets) { return "state: " + std::string(facelets) + "\n"; }

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(CliFacelets, SetsThePositionWhereItStandsAmongTheOptions) {
    const std::string flipped = testing::FlippedEdge();
    // A move before it is overwritten; a move after it acts on the new position.
    CliRun before({"--move", "П", "--facelets", flipped, "--state"});
    EXPECT_EQ(before.code, 0);
    EXPECT_TRUE(EndsWith(before.Out(), StateLine(flipped))) << before.Out();

    CliRun after({"--facelets", flipped, "--move", "Ф", "--state"});
    testing::InstantCube c;
    ASSERT_EQ(SetFacelets(c.cube, flipped), "");
    c.cube.TurnFront();
    EXPECT_TRUE(EndsWith(after.Out(), StateLine(ToFacelets(c.cube)))) << after.Out();
}

TEST(CliFacelets, RefusesBadLettersBeforeAnythingRuns) {
    CliRun run({"--move", "П", "--facelets", "UUUU", "--state"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.Out(), "") << "nothing ran, nothing printed";
    EXPECT_NE(run.Err().find("--facelets"), std::string::npos);
    EXPECT_NE(run.Err().find("54"), std::string::npos);
    EXPECT_EQ(run.Err().find('\n'), run.Err().size() - 1) << "one line: " << run.Err();
}

TEST(CliSolve, SolvesAndExitsZero) {
    std::mt19937 random(23);
    testing::InstantCube c;
    MakeMoves(c.cube, RandomMoves(random, 30));
    CliRun run({"--facelets", ToFacelets(c.cube), "--solve", "--state"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.Err(), "");
    EXPECT_NE(run.Out().find("*** Сборка Кубика Вельмо ***"), std::string::npos);
    EXPECT_TRUE(EndsWith(run.Out(), "\n\n" + StateLine(testing::kSolvedFacelets))) << run.Out();
}

TEST(CliSolve, UnsolvableStopsPrintsLogAndStateAndExitsThree) {
    CliRun run({"--facelets", testing::TwistedCorner(), "--solve", "--move", "П", "--state"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.Err(), "Кубик Вельмо собрать невозможно!\n");
    const std::string out = run.Out();
    EXPECT_NE(out.find("\n\n*** Кубик Вельмо собрать невозможно! ***\n\n \nstate: "), std::string::npos)
        << out;
    // The --move after it did not run: no user line.
    EXPECT_EQ(out.find("Операции пользователя"), std::string::npos);
}

}  // namespace
}  // namespace velmo
