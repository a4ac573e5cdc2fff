#include <gtest/gtest.h>

#include <string_view>

#include "log/message_log.h"
#include "test_support.h"

namespace velmo {
namespace {

constexpr std::string_view kTitle = "Запутывание Кубика Вельмо";

// The turns a scramble seeded with `seed` makes, replayed from the model's own random
// generator: n from 0..9 and n + 11 steps; each step a name of the table and r from 0..99,
// turning once when r is odd and twice when it is even.
std::vector<std::string> ReplayedScramble(std::uint32_t seed) {
    static const char* const kTable[18] = {"Л",  "Л'", "П",  "П'",  "В",  "В'",  "Н",  "Н'",  "Ф",
                                           "Ф'", "Т",  "Т'", "Сп", "Сп'", "Св", "Св'", "Сф", "Сф'"};
    HeadlessHost host;
    TVelmo dice(host);
    dice.SeedRandom(seed);
    const std::uint32_t n = dice.RandomBelow(10);
    std::vector<std::string> turns;
    for (std::uint32_t step = 0; step < n + 11; ++step) {
        const char* name = kTable[dice.RandomBelow(18)];
        const int times = dice.RandomBelow(100) % 2 == 1 ? 1 : 2;
        for (int k = 0; k < times; ++k) turns.push_back(name);
    }
    return turns;
}

// One log line: the title, ":" and a blank when the setting is on, and the notations when the
// model's switch is on; the two may differ.
TEST(Scramble, ElevenToTwentyStepsOfOneOrTwoTurnsOnOneLogLine) {
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        const std::vector<std::string> turns = ReplayedScramble(seed);
        EXPECT_GE(turns.size(), 11u);
        EXPECT_LE(turns.size(), 40u);
        for (const bool doLog : {true, false}) {
            for (const bool logTurns : {true, false}) {
                HeadlessHost host;
                host.SetDoLog(doLog);
                host.SetAutoTurnDuration(0);
                host.SetSeed(seed);
                TVelmo cube(host);
                cube.LogTurns = logTurns;
                cube.UserLineOpen = true;
                cube.Scramble();
                std::string expected(kTitle);
                if (doLog) expected += ": ";
                if (logTurns)
                    for (const std::string& turn : turns) expected += turn + " ";
                ASSERT_EQ(host.Log().Lines(), std::vector<std::string>{expected})
                    << "seed " << seed << (doLog ? ", setting on" : ", setting off");
                EXPECT_EQ(host.Frames(), static_cast<int>(turns.size()));
                EXPECT_FALSE(cube.UserLineOpen);
                EXPECT_EQ(cube.TurnDuration, 0);
                EXPECT_EQ(host.BusyDepth(), 0);
            }
        }
    }
}

TEST(Scramble, SameSeedSamePositionAndItStartsFromWhereTheCubeIs) {
    HeadlessHost a, b;
    for (HeadlessHost* h : {&a, &b}) {
        h->SetAutoTurnDuration(0);
        h->SetSeed(7);
    }
    TVelmo first(a), second(b);
    second.TurnRight();
    first.Scramble();
    second.Scramble();
    EXPECT_NE(testing::Snapshot(first), testing::Snapshot(second));
    TVelmo third(b);
    third.Scramble();
    EXPECT_EQ(testing::Snapshot(first), testing::Snapshot(third));
}

}  // namespace
}  // namespace velmo
