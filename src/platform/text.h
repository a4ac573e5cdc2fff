#pragma once
// Text inside the program is UTF-8. Rules that speak of characters work on code points;
// bytes that are not valid UTF-8 decode to U+FFFD, so they can never pass for a letter.
// Windows-1251 is the encoding of stored files.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);

// Upper case for ASCII and Cyrillic letters; every other character is kept.
char32_t ToUpper(char32_t c);
std::u32string ToUpper(std::u32string_view text);
std::string ToUpperUtf8(std::string_view text);

bool IsValidUtf8(std::string_view text);
std::string Cp1251ToUtf8(std::string_view text);
// Characters that Windows-1251 cannot hold become '?'.
std::string Utf8ToCp1251(std::string_view text);

// "1 вращение", "3 вращения", "11 вращений": a count with the Russian word form it takes.
std::string CountText(std::uint64_t n, const char* one, const char* few, const char* many);

}  // namespace velmo
