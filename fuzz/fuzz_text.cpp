// Arbitrary bytes through the text conversions.
//
// UTF-8: decoding accounts for every byte (each character is its own bytes, each bad byte one
// U+FFFD), the validity check agrees with a strict validator written here and with the round
// trip, and what is encoded decodes back. Windows-1251: every byte string comes back from UTF-8
// unchanged, except 0x98, which the code page leaves unassigned: it reads as U+FFFD and is
// written back as '?'. Upper case keeps the length, touches only Latin and Cyrillic letters and
// is idempotent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void Check(bool condition) {
    if (!condition) std::abort();
}

// Length of the well-formed sequence at s[i] by the table of valid byte ranges, 0 if there is none.
std::size_t WellFormedLength(std::string_view s, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]) + 0u; };
    auto in = [&](std::size_t k, unsigned lo, unsigned hi) {
        return k < s.size() && byte(k) >= lo && byte(k) <= hi;
    };
    const unsigned b = byte(i);
    if (b <= 0x7F) return 1;
    if (b >= 0xC2 && b <= 0xDF) return in(i + 1, 0x80, 0xBF) ? 2 : 0;
    unsigned lo = 0x80, hi = 0xBF;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
    if (b >= 0xE0 && b <= 0xEF) return in(i + 1, lo, hi) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
    if (b >= 0xF0 && b <= 0xF4)
        return in(i + 1, lo, hi) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
    return 0;
}

bool StrictlyValid(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = WellFormedLength(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

// Walks the decoded characters along the bytes: each is either the bytes it came from or, for a
// byte that starts no well-formed sequence, U+FFFD standing for that byte alone.
void CheckDecoding(std::string_view s, const std::u32string& decoded) {
    std::size_t pos = 0;
    for (const char32_t c : decoded) {
        Check(pos < s.size());
        Check(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
        const std::size_t n = WellFormedLength(s, pos);
        if (n == 0) {
            Check(c == kReplacement);
            ++pos;
            continue;
        }
        std::string own;
        velmo::AppendUtf8(own, c);
        Check(s.substr(pos, n) == own);
        pos += n;
    }
    Check(pos == s.size());
}

bool IsLetterToRaise(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= 0x0430 && c <= 0x045F);
}

void CheckUpperCase(const std::u32string& text) {
    const std::u32string upper = velmo::ToUpper(text);
    Check(upper.size() == text.size());
    Check(velmo::ToUpper(upper) == upper);
    for (std::size_t i = 0; i < text.size(); ++i)
        Check(upper[i] == text[i] || IsLetterToRaise(text[i]));
}

void CheckCp1251(std::string_view bytes) {
    const std::string utf8 = velmo::Cp1251ToUtf8(bytes);
    Check(velmo::IsValidUtf8(utf8));
    Check(velmo::DecodeUtf8(utf8).size() == bytes.size());
    std::string expected(bytes);
    for (char& b : expected)
        if (static_cast<unsigned char>(b) == 0x98) b = '?';
    Check(velmo::Utf8ToCp1251(utf8) == expected);
}

// Any text to Windows-1251: one byte per character, each the character itself or '?'; Cyrillic
// letters always have their byte.
void CheckToCp1251(std::string_view s, const std::u32string& decoded) {
    const std::string bytes = velmo::Utf8ToCp1251(s);
    Check(bytes.size() == decoded.size());
    const std::u32string back = velmo::DecodeUtf8(velmo::Cp1251ToUtf8(bytes));
    Check(back.size() == decoded.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        const char32_t c = decoded[i];
        const bool cyrillic = (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
        Check(back[i] == c || (back[i] == U'?' && !cyrillic));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view s(reinterpret_cast<const char*>(data), size);
    const std::u32string decoded = velmo::DecodeUtf8(s);
    CheckDecoding(s, decoded);

    const bool valid = velmo::IsValidUtf8(s);
    Check(valid == StrictlyValid(s));
    const std::string encoded = velmo::EncodeUtf8(decoded);
    Check(valid == (encoded == s));
    Check(velmo::IsValidUtf8(encoded) && velmo::DecodeUtf8(encoded) == decoded);

    CheckUpperCase(decoded);
    Check(velmo::ToUpperUtf8(s) == velmo::EncodeUtf8(velmo::ToUpper(decoded)));
    CheckCp1251(s);
    CheckToCp1251(s, decoded);
    return 0;
}
