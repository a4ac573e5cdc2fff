// Positions that turns cannot reach, built as a hand reassembly would: the solver must end in
// its failure (message box, notice, logging off, no beep), never in a report of success.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "solver/solver.h"
#include "solver_test_util.h"

namespace velmo {
namespace {

using testing::InstantCube;

// Records what the user saw when the message box came up.
class RecordingHost : public HeadlessHost {
public:
    void ShowWarning(const std::string& caption, const std::string& text) override {
        busyDepthAtWarning = BusyDepth();
        logLinesAtWarning = static_cast<int>(Log().Lines().size());
        HeadlessHost::ShowWarning(caption, text);
    }
    int busyDepthAtWarning = -1;
    int logLinesAtWarning = -1;
};

struct FailedSolve {
    explicit FailedSolve(const std::string& facelets) : cube(host) {
        host.SetAutoTurnDuration(0);
        cube.LogTurns = host.DoLog();
        EXPECT_EQ(SetFacelets(cube, facelets), "");
        solved = Solve(cube);
    }
    const std::vector<std::string>& Lines() { return host.Log().Lines(); }
    // The last stage title written.
    std::string LastTitle() {
        for (auto it = Lines().rbegin(); it != Lines().rend(); ++it)
            if (it->rfind("Этап ", 0) == 0 || it->rfind("Общая ориентация", 0) == 0) return *it;
        return {};
    }

    // The lines the last stage wrote after its title, blank lines and the notice left out.
    std::vector<std::string> LastStageLines() {
        std::vector<std::string> lines;
        auto line = std::find(Lines().rbegin(), Lines().rend(), LastTitle()).base();
        for (; line != Lines().end(); ++line)
            if (line->find_first_not_of(' ') != std::string::npos &&
                line->find("собрать невозможно") == std::string::npos)
                lines.push_back(*line);
        return lines;
    }

    RecordingHost host;
    TVelmo cube;
    bool solved = true;
};

void ExpectFailureReport(FailedSolve& run) {
    EXPECT_FALSE(run.solved);
    ASSERT_EQ(run.host.Warnings().size(), 1u);
    EXPECT_EQ(run.host.Warnings()[0].caption, "Кубик Вельмо");
    EXPECT_EQ(run.host.Warnings()[0].text, "Кубик Вельмо собрать невозможно!");
    // The cursor is normal before the box comes up, and the box comes before the notice.
    EXPECT_EQ(run.host.busyDepthAtWarning, 0);
    EXPECT_EQ(run.host.BusyDepth(), 0);
    EXPECT_EQ(run.host.logLinesAtWarning + 4, static_cast<int>(run.Lines().size()));
    // The notice: appended to the last line, its line breaks starting new lines; the blank
    // that every appended word gets ends up alone on the last line.
    const std::vector<std::string> notice = {"", "*** Кубик Вельмо собрать невозможно! ***", "", " "};
    ASSERT_GE(run.Lines().size(), notice.size());
    EXPECT_EQ(std::vector<std::string>(run.Lines().end() - 4, run.Lines().end()), notice);
    EXPECT_FALSE(run.cube.LogTurns);
    EXPECT_EQ(run.host.Beeps(), 0);
    EXPECT_EQ(std::count(run.Lines().begin(), run.Lines().end(), "Общая ориентация Кубика Вельмо"), 1)
        << "the final orientation must not run";
}

TEST(SolverFailure, OneTwistedCornerFailsInStage6) {
    FailedSolve run(testing::TwistedCorner());
    ExpectFailureReport(run);
    EXPECT_EQ(run.LastTitle(), "Этап 6. Окончательное ориентирование блоков");
    // The twists of stage 6 stay made: the cube is not solved, and not put back either.
    EXPECT_FALSE(IsSolved(run.cube));
    EXPECT_NE(ToFacelets(run.cube), testing::TwistedCorner());
}

TEST(SolverFailure, TwoCornersExchangedFailInStage5) {
    FailedSolve run(testing::TwoCornersExchanged());
    ExpectFailureReport(run);
    EXPECT_EQ(run.LastTitle(), "Этап 5. Неориентированный нижний слой");
    // Three corners in order and the fourth exchanged: it gives up at once, without a turn.
    EXPECT_EQ(run.LastStageLines(), std::vector<std::string>{});
}

TEST(SolverFailure, TwoEdgesExchangedFailInStage5) {
    FailedSolve run(testing::TwoEdgesExchanged());
    ExpectFailureReport(run);
    EXPECT_EQ(run.LastTitle(), "Этап 5. Неориентированный нижний слой");
}

// Six stages pass a single flipped edge; the run still must not end with the beep.
TEST(SolverFailure, OneFlippedEdgeFailsAfterStage6) {
    FailedSolve run(testing::FlippedEdge());
    ExpectFailureReport(run);
    EXPECT_EQ(run.LastTitle(), "Этап 6. Окончательное ориентирование блоков");
    // Stage 6 finished its four top turns before the check: the notice follows their line.
    ASSERT_GE(run.Lines().size(), 5u);
    std::istringstream words(run.Lines()[run.Lines().size() - 5]);
    int topTurns = 0;
    for (std::string word; words >> word;) topTurns += word == "В";
    EXPECT_EQ(topTurns, 4) << run.Lines()[run.Lines().size() - 5];
}

// The same faults hidden in scrambled positions, the centres turned too: never reported
// solved, and always caught where the method catches them.
TEST(SolverFailure, ScrambledUnreachablePositionsAlwaysFail) {
    struct Fault {
        std::string facelets;
        std::vector<std::string> stages;  // where it is caught
    };
    const std::vector<Fault> faults = {
        {testing::TwistedCorner(), {"Этап 6. Окончательное ориентирование блоков"}},
        {testing::FlippedEdge(), {"Этап 6. Окончательное ориентирование блоков"}},
        {testing::TwoCornersExchanged(),
         {"Этап 5. Неориентированный нижний слой"}},
        {testing::TwoEdgesExchanged(),
         {"Этап 5. Неориентированный нижний слой"}},
    };
    std::mt19937 random(5);
    for (const Fault& fault : faults) {
        for (int trial = 0; trial < 150; ++trial) {
            InstantCube setup;
            ASSERT_EQ(SetFacelets(setup.cube, fault.facelets), "");
            const std::vector<Move> moves = RandomMoves(random, 30);
            MakeMoves(setup.cube, moves);
            FailedSolve run(ToFacelets(setup.cube));
            ASSERT_FALSE(run.solved) << fault.facelets << " then " << MovesText(moves);
            EXPECT_EQ(run.host.Warnings().size(), 1u);
            EXPECT_EQ(run.host.Beeps(), 0);
            EXPECT_NE(std::find(fault.stages.begin(), fault.stages.end(), run.LastTitle()),
                      fault.stages.end())
                << fault.facelets << " then " << MovesText(moves) << ": " << run.LastTitle();
        }
    }
}

}  // namespace
}  // namespace velmo
