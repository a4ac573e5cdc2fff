// What the user typed, made safe for a one-line message: a terminal must show it as text, so
// line breaks, other control characters and bytes that are not UTF-8 are written as escapes,
// and a pasted page is cut short.

#include <cstdio>

#include "cli/cli.h"
#include "platform/text.h"

namespace velmo::cli {

namespace {

constexpr std::size_t kQuotedCharacters = 60;

// The length of the UTF-8 sequence that starts at text[i], or 0 when no valid one does.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (i + length > text.size() || !IsValidUtf8(text.substr(i, length))) return 0;
    return length;
}

void AppendByteEscape(std::string& out, unsigned char byte) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
}

// Appends the escaped text, at most maxCharacters characters of it (an escape counts as one);
// returns whether all of it fitted.
bool AppendEscaped(std::string& out, std::string_view text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == maxCharacters) return false;
        const std::size_t length = SequenceLength(text, i);
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        // C0 and C1 controls and DEL steer terminals; U+0080..U+009F start with C2 80..9F.
        const bool c1 =
            lead == 0xC2 && length == 2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        const bool control = lead < 0x20 || lead == 0x7F || c1;
        if (length == 0) {
            AppendByteEscape(out, lead);
            ++i;
        } else if (control) {
            for (std::size_t k = 0; k < length; ++k)
                AppendByteEscape(out, static_cast<unsigned char>(text[i + k]));
            i += length;
        } else if (lead == '\\') {
            out += "\\\\";
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return true;
}

}  // namespace

std::string Escaped(std::string_view text) {
    std::string out;
    AppendEscaped(out, text, text.size());
    return out;
}

std::string Quoted(std::string_view text) {
    std::string out = "'";
    if (!AppendEscaped(out, text, kQuotedCharacters)) out += "…";
    return out + "'";
}

}  // namespace velmo::cli
