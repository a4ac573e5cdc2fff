#include <gtest/gtest.h>

#include "settings/settings.h"
#include "settings/settings_location.h"
#include "settings_fixture.h"

namespace velmo {
namespace {

using Entries = std::vector<std::string>;

TEST_F(SettingsFile, NoFileGivesTheDefaultsAndASaveWritesAllThreeSections) {
    const Settings settings = LoadSettings(path_);
    EXPECT_EQ(settings.handTurnMs, 1000);
    EXPECT_EQ(settings.autoTurnMs, 700);
    EXPECT_TRUE(settings.doLog);
    EXPECT_TRUE(settings.popular.empty() && settings.user.empty());

    path_ = (folder_ / "a" / "b" / "velmo.ini").string();
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_EQ(Bytes(),
              "[GENERAL]\r\nSpeedHand=10\r\nSpeedAuto=7\r\nDoLog=1\r\n\r\n"
              "[POPULAR]\r\nCount=0\r\n\r\n[USER]\r\nCount=0\r\n");
}

TEST_F(SettingsFile, AValidCountIsTrustedAndAnyOtherKeepsTheEntriesTheFileHolds) {
    Put("[POPULAR]\nCount=3\nPos2=Крест {Ф П}\nPos4=past count\n"
        "[USER]\nCount=-4\nPos3=c\nPos1=a\n");
    Settings settings = LoadSettings(path_);
    EXPECT_EQ(settings.popular, (Entries{"", "Крест {Ф П}", ""}));
    EXPECT_EQ(settings.user, (Entries{"a", "c"}));
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_NE(Bytes().find("[POPULAR]\nPos1=\nPos2=Крест {Ф П}\nPos3=\nCount=3\n"),
              std::string::npos);
    EXPECT_NE(Bytes().find("[USER]\nPos1=a\nPos2=c\nCount=2\n"), std::string::npos);

    for (const std::string count : {"", "Count=\n", "Count=two\n"}) {
        Put("[USER]\n" + count + "Pos2=b\nPos1=a\n");
        EXPECT_EQ(LoadSettings(path_).user, (Entries{"a", "b"})) << count;
    }
}

TEST_F(SettingsFile, DeletedEntriesLeaveNoStaleKeysAndOtherContentSurvives) {
    Put("[GENERAL]\nTheme=dark\nSpeedHand=15\n[USER]\nCount=3\nPos1=a {Ф}\nPos2=b {Т}\n"
        "Pos3=c {В}\n[Mine]\nk=v\n[user]\nPos7=old\n");
    Settings settings = LoadSettings(path_);
    EXPECT_EQ(settings.handTurnMs, 1500);
    EXPECT_EQ(settings.user, (Entries{"a {Ф}", "b {Т}", "c {В}"}));
    settings.user = {"b {Т}"};
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_EQ(Bytes(),
              "[GENERAL]\nTheme=dark\nSpeedHand=15\nSpeedAuto=7\nDoLog=1\n"
              "[Mine]\nk=v\n[POPULAR]\nCount=0\n\n[USER]\nPos1=b {\xD2}\nCount=1\n");
}

TEST_F(SettingsFile, RussianTextRoundTripsThroughWindows1251ByteForByte) {
    const std::string bytes =
        "[GENERAL]\r\nSpeedHand=3\r\nSpeedAuto=20\r\nDoLog=0\r\n\r\n"
        "[POPULAR]\r\nPos1=\xC0 {(\xCF \xC2 \xCF' \xC2)2}\r\nCount=1\r\n\r\n"
        "[USER]\r\nPos1=\xB8\xEB\xEA\xE0 \xB9" "1 {\xD4}\r\nPos2=\" \xE8\xEC\xFF \"\r\nCount=2\r\n";
    Put(bytes);
    const Settings settings = LoadSettings(path_);
    EXPECT_EQ(settings.popular, (Entries{"А {(П В П' В)2}"}));
    EXPECT_EQ(settings.user, (Entries{"ёлка №1 {Ф}", " имя "}));
    EXPECT_EQ(settings.autoTurnMs, 2000);
    EXPECT_FALSE(settings.doLog);
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_EQ(Bytes(), bytes);
}

TEST_F(SettingsFile, HandWrittenUtf8FileReadsAsUtf8) {
    Put("[USER]\nCount=2\nPos1=Ёлка {Ф Т}\nPos2=Узор ✓ {Ф}\n");
    EXPECT_EQ(LoadSettings(path_).user, (Entries{"Ёлка {Ф Т}", "Узор ✓ {Ф}"}));
}

TEST_F(SettingsFile, EachLineKeepsItsOwnEncodingThroughASave) {
    // UTF-8 with a byte order mark, and one entry added in Windows-1251 ("Ёлка {Т}").
    const std::string bytes =
        "\xEF\xBB\xBF[GENERAL]\r\n  SpeedHand = 4 \r\nSpeedAuto=7\r\nDoLog=1\r\n; Заметка\r\n\r\n"
        "[POPULAR]\r\nCount=0\r\n\r\n"
        "[USER]\r\nPos1=Игра {Ф}\r\nPos2=\xA8\xEB\xEA\xE0 {\xD2}\r\nCount=2\r\n";
    Put(bytes);
    Settings settings = LoadSettings(path_);
    EXPECT_EQ(settings.handTurnMs, 400);
    EXPECT_EQ(settings.user, (Entries{"Игра {Ф}", "Ёлка {Т}"}));
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_EQ(Bytes(), bytes);

    settings.user.push_back("Крест {Ф}");
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_EQ(Bytes(), bytes.substr(0, bytes.size() - 9) +
                           "Pos3=\xCA\xF0\xE5\xF1\xF2 {\xD4}\r\nCount=3\r\n");
}

TEST_F(SettingsFile, HugeCountLoadsBoundedAndKeepsEveryEntryTheFileHolds) {
    Put("[USER]\nCount=2000000000\nPos3=a\nPOS1999999999=far\nPos2000000001=past count\n"
        "Pos010001=not a save's key\n");
    const Settings settings = LoadSettings(path_);
    ASSERT_EQ(settings.user.size(), static_cast<std::size_t>(kTrustedListEntries) + 1);
    EXPECT_EQ(settings.user[2], "a");
    EXPECT_EQ(settings.user.back(), "far");
    EXPECT_EQ(SaveAndLoad(settings).user, settings.user);
}

TEST_F(SettingsFile, SpeedsOfZeroOrLessTakeTheDefaultsAndHugeOnesCannotOverflow) {
    Put("[GENERAL]\nSpeedHand=0\nSpeedAuto=-3\n");
    Settings settings = LoadSettings(path_);
    EXPECT_EQ(settings.handTurnMs, 1000);
    EXPECT_EQ(settings.autoTurnMs, 700);
    Put("[GENERAL]\nSpeedHand=2147483647\nSpeedAuto=25\n");
    settings = LoadSettings(path_);
    EXPECT_EQ(settings.handTurnMs, 2147483600);
    EXPECT_EQ(settings.autoTurnMs, 2500);
}

TEST_F(SettingsFile, UnwritableExecutableFolderSendsSavesToTheUserConfigFolder) {
    const std::string config = (folder_ / "config").string();
    SettingsLocation location = LocateSettings("/proc", config, "/home/nobody");
    EXPECT_EQ(location.readPath, "/proc/velmo.ini");
    EXPECT_EQ(location.writePath, config + "/velmo/velmo.ini");
    EXPECT_EQ(LocateSettings("/proc/", "relative/path", "/home/u").writePath,
              "/home/u/.config/velmo/velmo.ini");

    ASSERT_EQ(SaveSettings(location.writePath, Settings{}), "");
    location = LocateSettings("/proc", config, "/home/nobody");
    EXPECT_EQ(location.readPath, location.writePath);

    const SettingsLocation beside = LocateSettings(folder_.string(), config, "/home/nobody");
    EXPECT_EQ(beside.readPath, path_);
    EXPECT_EQ(beside.writePath, path_);
}

// The window's place lives in its own section; a file without it, or with a size that is no
// size, leaves the window as designed, and a save without a place writes no section.
TEST_F(SettingsFile, WindowSectionRoundTripsAndAbsentOrBrokenSizesGiveNone) {
    Settings settings;
    EXPECT_FALSE(SaveAndLoad(settings).window);
    EXPECT_EQ(Bytes().find("[WINDOW]"), std::string::npos);
    settings.window = WindowGeometry{-20, 40, 700, 520, true, 200, true};
    const Settings loaded = SaveAndLoad(settings);
    ASSERT_TRUE(loaded.window);
    EXPECT_EQ(loaded.window->left, -20);
    EXPECT_EQ(loaded.window->height, 520);
    EXPECT_TRUE(loaded.window->maximized && loaded.window->messagesCollapsed);
    EXPECT_EQ(loaded.window->messagesHeight, 200);
    Put("[window]\nWidth=0\nHeight=400\n");
    EXPECT_FALSE(LoadSettings(path_).window);
    Put("[WINDOW]\nWidth=99999999\nHeight=x\n");
    EXPECT_FALSE(LoadSettings(path_).window);
}

}  // namespace
}  // namespace velmo
