#include <gtest/gtest.h>

#include "platform/profile.h"
#include "platform/text.h"

namespace velmo {
namespace {

TEST(Profile, ReadsNamesAndValuesAsThePlatformDoes) {
    const Profile profile(
        "Loose=1\r\n"
        "[ general ]\r\n"
        "  SpeedHand = 15 \r\n"
        "speedhand=3\r\n"
        "no equals sign\r"
        "Name = \"  quoted  \"\n"
        "Single='x'\r\n"
        "Half=\"x\r\n"
        "Huge=2147483648\r\n"
        "Min=-2147483648\r\n"
        "Plus=+7\r\n"
        "Trailing=12abc\r\n"
        "Two=2\r\n");
    EXPECT_EQ(profile.ReadInteger("GENERAL", "SPEEDHAND", 0), 15);
    EXPECT_EQ(profile.ReadString("General", "name", ""), "  quoted  ");
    EXPECT_EQ(profile.ReadString("GENERAL", "Single", ""), "x");
    EXPECT_EQ(profile.ReadString("GENERAL", "Half", ""), "\"x");
    EXPECT_EQ(profile.ReadString("GENERAL", "Loose", "none"), "none");
    EXPECT_EQ(profile.ReadInteger("GENERAL", "Huge", 5), 5);
    EXPECT_EQ(profile.ReadInteger("GENERAL", "Min", 5), -2147483647 - 1);
    EXPECT_EQ(profile.ReadInteger("GENERAL", "Plus", 5), 7);
    EXPECT_EQ(profile.ReadInteger("GENERAL", "Trailing", 5), 5);
    EXPECT_TRUE(profile.ReadBool("GENERAL", "Two", false));
    EXPECT_FALSE(profile.ReadBool("GENERAL", "Trailing", false));
    EXPECT_EQ(profile.ReadString("MISSING", "Two", "d"), "d");
}

TEST(Profile, WritingTouchesOnlyWhatItWrites) {
    Profile profile(
        "; kept\n"
        "[GENERAL]\n"
        "  speedhand = 10\n"
        "Unknown = stays  \n"
        "\n"
        "[POPULAR]\n"
        "Pos1=a\n"
        "[Other]\n"
        "x\n"
        "[popular]\n"
        "Pos9=b\n");
    profile.WriteString("GENERAL", "SpeedHand", "15");
    profile.WriteString("GENERAL", "DoLog", "1");
    profile.EraseSection("Popular");
    profile.WriteString("NEW", "Key", "v");
    EXPECT_EQ(profile.ToBytes(),
              "; kept\n"
              "[GENERAL]\n"
              "speedhand=15\n"
              "Unknown = stays  \n"
              "DoLog=1\n"
              "\n"
              "[Other]\n"
              "x\n"
              "\n"
              "[NEW]\n"
              "Key=v\n");
}

TEST(Profile, WrittenValuesReadBackExactly) {
    const std::vector<std::string> values = {
        " lead", "trail\t", "\"both\"", "'single'", "\"", "a=b [c]", "", "ünï ★ code", "x\xFFy"};
    Profile written;
    for (std::size_t i = 0; i < values.size(); ++i)
        written.WriteString("S", "K" + std::to_string(i), values[i]);
    written.WriteString("S", "Break", "one\r\ntwo");
    const Profile read(written.ToBytes());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(read.ReadString("S", "K" + std::to_string(i), "?"),
                  EncodeUtf8(DecodeUtf8(values[i])))
            << i;
    EXPECT_EQ(read.ReadString("S", "Break", "?"), "one  two");
}

TEST(Profile, WritesWindows1251UnlessThatWouldChangeTheText) {
    Profile cyrillic;
    cyrillic.WriteString("S", "K", "Крест №1");
    EXPECT_EQ(cyrillic.ToBytes(), "[S]\r\nK=\xCA\xF0\xE5\xF1\xF2 \xB9" "1\r\n");

    // A star has no Windows-1251 byte; "Рђ" has, but its bytes D0 90 are the UTF-8 of "А".
    for (const std::string value : {"Звезда ★", "Рђ"}) {
        Profile profile;
        profile.WriteString("S", "K", value);
        const std::string bytes = profile.ToBytes();
        EXPECT_TRUE(IsValidUtf8(bytes)) << value;
        EXPECT_EQ(Profile(bytes).ReadString("S", "K", ""), value);
    }
}

TEST(Profile, Utf8ByteOrderMarkIsNotPartOfTheFirstLine) {
    Profile profile("\xEF\xBB\xBF[S]\nK=ё\n");
    EXPECT_EQ(profile.ReadString("S", "K", ""), "ё");
    // Text that itself starts with U+FEFF keeps it through a save.
    Profile marked("\xEF\xBB\xBF\xEF\xBB\xBF[S]\nK=1\n");
    marked.WriteString("S", "K", "2");
    const Profile reread(marked.ToBytes());
    EXPECT_EQ(reread.ReadString("S", "K", "none"), "2");
    EXPECT_EQ(reread.ToBytes(), marked.ToBytes());
}

}  // namespace
}  // namespace velmo
