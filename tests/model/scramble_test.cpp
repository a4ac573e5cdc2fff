#include <gtest/gtest.h>

#include <set>

#include "log/message_log.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::Words;

TEST(Scramble, ElevenToFortyFaceAndSliceTurnsOnOneLogLine) {
    const std::set<std::string> allowed = {"Л", "Л'", "П", "П'", "В", "В'", "Н", "Н'", "Ф",
                                           "Ф'", "Т", "Т'", "Сп", "Сп'", "Св", "Св'", "Сф", "Сф'"};
    int fewest = 100, most = 0;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        HeadlessHost host;
        host.SetAutoTurnDuration(0);
        host.SetSeed(seed);
        TVelmo cube(host);
        cube.LogTurns = true;
        cube.UserLineOpen = true;
        cube.Scramble();
        ASSERT_EQ(host.Log().Lines().size(), 1u);
        const std::string& line = host.Log().Lines()[0];
        ASSERT_EQ(line.rfind("Запутывание Кубика Вельмо: ", 0), 0u) << line;
        ASSERT_EQ(line.back(), ' ');
        std::vector<std::string> words = Words(line);
        words.erase(words.begin(), words.begin() + 3);  // the title and its colon
        const int turns = static_cast<int>(words.size());
        EXPECT_EQ(turns, host.Frames());
        fewest = std::min(fewest, turns);
        most = std::max(most, turns);
        for (const std::string& w : words) EXPECT_TRUE(allowed.count(w)) << w;
        EXPECT_FALSE(cube.UserLineOpen);
        EXPECT_EQ(cube.TurnDuration, 0);
        EXPECT_EQ(host.BusyDepth(), 0);
    }
    EXPECT_GE(fewest, 11);
    EXPECT_LE(most, 40);
    EXPECT_LT(fewest, 16);  // the whole range is reached, not just its middle
    EXPECT_GT(most, 33);
}

TEST(Scramble, WithoutLoggingOnlyTheBareTitle) {
    HeadlessHost host;
    host.SetDoLog(false);
    host.SetAutoTurnDuration(0);
    host.SetSeed(99);
    TVelmo cube(host);
    cube.Scramble();
    EXPECT_EQ(host.Log().Lines(), std::vector<std::string>{"Запутывание Кубика Вельмо"});
    EXPECT_GE(host.Frames(), 11);
    EXPECT_LE(host.Frames(), 40);
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
