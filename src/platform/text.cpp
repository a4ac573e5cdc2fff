#include "platform/text.h"

#include <array>

namespace velmo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[i], advancing i; invalid sequences give U+FFFD and consume
// one byte, so decoding always moves on.
char32_t DecodeOne(std::string_view text, std::size_t& i) {
    const unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    int length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 1; c = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 2; c = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 3; c = lead & 0x07; }
    else return kReplacement;
    if (i + length > text.size()) return kReplacement;
    for (int k = 0; k < length; ++k) {
        const unsigned char b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    const bool overlong = (length == 2 && c < 0x800) || (length == 3 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return kReplacement;
    i += length;
    return c;
}

// Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order. 0x98 is unassigned.
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) out += DecodeOne(text, i);
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

char32_t ToUpper(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а..я
    if (c >= 0x0450 && c <= 0x045F) return c - 0x50;  // ѐ..џ, ё among them
    return c;
}

std::u32string ToUpper(std::u32string_view text) {
    std::u32string out(text);
    for (char32_t& c : out) c = ToUpper(c);
    return out;
}

std::string ToUpperUtf8(std::string_view text) { return EncodeUtf8(ToUpper(DecodeUtf8(text))); }

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = DecodeOne(text, i);
        // A real U+FFFD is three bytes long; a replacement for a bad byte consumed one.
        if (c == kReplacement && i - start != 3) return false;
    }
    return true;
}

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char ch : text) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else if (b >= 0xC0) AppendUtf8(out, 0x0410 + (b - 0xC0));
        else AppendUtf8(out, kCp1251High[b - 0x80]);
    }
    return out;
}

std::string Utf8ToCp1251(std::string_view text) {
    std::string out;
    for (char32_t c : DecodeUtf8(text)) {
        if (c < 0x80) { out += static_cast<char>(c); continue; }
        if (c >= 0x0410 && c <= 0x044F) { out += static_cast<char>(0xC0 + (c - 0x0410)); continue; }
        char byte = '?';
        for (std::size_t k = 0; k < kCp1251High.size(); ++k)
            if (kCp1251High[k] == c && c != kReplacement) byte = static_cast<char>(0x80 + k);
        out += byte;
    }
    return out;
}

std::string CountText(std::uint64_t n, const char* one, const char* few, const char* many) {
    const std::uint64_t tens = n % 100, units = n % 10;
    const char* word = many;
    if (tens < 11 || tens > 14) {
        if (units == 1) word = one;
        else if (units >= 2 && units <= 4) word = few;
    }
    return std::to_string(n) + " " + word;
}

}  // namespace velmo
