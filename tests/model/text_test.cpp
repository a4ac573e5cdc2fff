#include <gtest/gtest.h>

#include "platform/text.h"

namespace velmo {
namespace {

TEST(Text, Utf8RoundTripAndBadBytes) {
    const std::string s = "Сп' ёЁ № a\U0001F600";
    EXPECT_EQ(EncodeUtf8(DecodeUtf8(s)), s);
    EXPECT_TRUE(IsValidUtf8(s));
    EXPECT_EQ(DecodeUtf8("\xD0"), std::u32string(1, 0xFFFD));
    EXPECT_EQ(DecodeUtf8("\xC0\x80"), (std::u32string{0xFFFD, 0xFFFD}));     // overlong
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80").front(), char32_t{0xFFFD});        // surrogate
    EXPECT_FALSE(IsValidUtf8("\xD0"));
    EXPECT_FALSE(IsValidUtf8("a\xFF"));
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));  // a real U+FFFD
}

TEST(Text, UpperCaseCoversCyrillicInBothCases) {
    EXPECT_EQ(ToUpperUtf8("лпфтвн спфв опфв ё abc ЖЯ"), "ЛПФТВН СПФВ ОПФВ Ё ABC ЖЯ");
    EXPECT_EQ(ToUpperUtf8("ß1'()"), "ß1'()");
}

TEST(Text, Windows1251BothWays) {
    const std::string utf8 = "Кубик Вельмо ёЁ №";
    const std::string bytes = Utf8ToCp1251(utf8);
    EXPECT_EQ(bytes.size(), DecodeUtf8(utf8).size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCA);  // К
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 0xB9);  // №
    EXPECT_EQ(Cp1251ToUtf8(bytes), utf8);
    EXPECT_EQ(Utf8ToCp1251("日"), "?");
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;  // unassigned
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << b;
    }
}

}  // namespace
}  // namespace velmo
