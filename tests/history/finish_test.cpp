// Finishing a run at once: the turns and flights left are made without animation, and the run
// ends with exactly the log and the position the full run gives.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "headless/headless_host.h"
#include "headless/random_positions.h"
#include "log/message_log.h"
#include "model/facelets.h"
#include "model/velmo.h"
#include "solver/solver.h"

namespace velmo {
namespace {

struct Outcome {
    std::vector<std::string> log;
    std::string facelets;
    int framesAfterFinish = 0;
    int frames = 0;
};

// Runs `run` on a cube set up by `setUp`; at frame `finishAt` (0: never) the user asks to
// finish at once.
Outcome Run(const std::vector<Move>& setUp, const std::function<void(TVelmo&)>& run,
            int finishAt) {
    HeadlessHost host;
    host.SetSeed(2026);
    TVelmo cube(host);
    cube.LogTurns = true;
    MakeMoves(cube, setUp);
    Outcome outcome;
    int frames = 0;
    host.SetFrameListener([&] {
        if (++frames == finishAt) host.RequestFinish();
        else if (finishAt > 0 && frames > finishAt) ++outcome.framesAfterFinish;
    });
    run(cube);
    outcome.log = host.Log().Lines();
    outcome.facelets = ToFacelets(cube);
    outcome.frames = frames;
    return outcome;
}

void ExpectFinishedAsFull(const std::vector<Move>& setUp, const std::function<void(TVelmo&)>& run,
                          int finishAt) {
    const Outcome full = Run(setUp, run, 0);
    const Outcome finished = Run(setUp, run, finishAt);
    EXPECT_EQ(finished.log, full.log);
    EXPECT_EQ(finished.facelets, full.facelets);
    // The turn or flight in progress completes at once; nothing more is drawn.
    EXPECT_LE(finished.framesAfterFinish, 2);
    EXPECT_GT(full.frames, finishAt + 100);
}

TEST(FinishAtOnce, AScrambleEndsAsTheFullOne) {
    ExpectFinishedAsFull({}, [](TVelmo& cube) { cube.Scramble(); }, 100);
}

TEST(FinishAtOnce, ASolveWritesTheWholeProtocolAndEndsSolved) {
    std::mt19937 random(5);
    const std::vector<Move> scrambled = RandomMoves(random, 40);
    ExpectFinishedAsFull(scrambled, [](TVelmo& cube) { EXPECT_TRUE(Solve(cube)); }, 500);
}

TEST(FinishAtOnce, ALongStringAndAResetToo) {
    ExpectFinishedAsFull({}, [](TVelmo& cube) { cube.ExecuteMoveString("((П В П' В')9 Сф)3", true); },
                         200);
    ExpectFinishedAsFull({Move::Right, Move::CubeFront},
                         [](TVelmo& cube) { cube.ResetToStart(); }, 150);
}

}  // namespace
}  // namespace velmo
