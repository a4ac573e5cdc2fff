// Stopping a long run (Esc, closing the window): the model must stay exact, whatever moment
// the request arrives at.

#include <gtest/gtest.h>

#include "headless/random_positions.h"
#include "log/message_log.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::Snapshot;

// "((((Ф)9)9)9)9" would be 6,561 animated turns; a request in the middle of the third turn
// completes that turn and makes no fourth.
TEST(Stop, AMoveStringEndsAfterTheTurnInProgressAsAtANormalEnd) {
    HeadlessHost host;
    TVelmo cube(host);
    cube.LogTurns = true;
    int frames = 0;
    // A 700 ms turn draws a frame before its loop and one per 20 ms step: stop mid third turn.
    host.SetFrameListener([&] {
        if (++frames == 2 * 38 + 10) host.RequestStop();
    });
    EXPECT_THROW(cube.ExecuteMoveString("((((Ф)9)9)9)9", true), RunStopped);
    cube.EndStoppedRun();

    HeadlessHost reference;
    TVelmo expected(reference);
    MakeMoves(expected, {Move::Front, Move::Front, Move::Front});
    EXPECT_EQ(Snapshot(cube), Snapshot(expected));
    EXPECT_EQ(host.BusyDepth(), 0);
    EXPECT_TRUE(cube.LogTurns);
    EXPECT_FALSE(cube.UserLineOpen);
    EXPECT_EQ(host.Log().Lines().back(), "Выполнение остановлено пользователем");
}

TEST(Stop, AResetStoppedInFlightStillEndsInTheStartPosition) {
    HeadlessHost host;
    TVelmo cube(host);
    cube.TurnDuration = 0;
    cube.TurnRight();
    cube.TurnCubeTop(false);
    int frames = 0;
    host.SetFrameListener([&] {
        if (++frames == 100) host.RequestStop();
    });
    EXPECT_THROW(cube.ResetToStart(), RunStopped);

    HeadlessHost reference;
    TVelmo fresh(reference);
    EXPECT_EQ(Snapshot(cube), Snapshot(fresh));
    EXPECT_LT(frames, 200);
    EXPECT_EQ(host.BusyDepth(), 0);
}

TEST(Stop, SilentTurnsStillRunSoTheCameraWrapKeepsTheViewExact) {
    HeadlessHost host;
    TVelmo cube(host);
    host.RequestStop();
    cube.TurnCubeTop(true);
    EXPECT_EQ(cube.Block(3).Cell, 3);
    EXPECT_EQ(cube.Colour(3, kFront), 3);  // blue came round from the right
    EXPECT_THROW(cube.TurnCubeTop(false), RunStopped);
}

}  // namespace
}  // namespace velmo
