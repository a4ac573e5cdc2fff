#include "control/key_turns.h"

#include <array>
#include <utility>

#include "platform/text.h"

namespace velmo {

namespace {

struct KeyOfLetter {
    char32_t letter;
    std::uint32_t scanCode;  // the Linux input code + 8, as X11 and Wayland report it
    char32_t latin;
};

constexpr std::array<KeyOfLetter, 8> kKeys = {{
    {U'Л', 45, U'K'},
    {U'П', 42, U'G'},
    {U'Ф', 38, U'A'},
    {U'Т', 57, U'N'},
    {U'В', 40, U'D'},
    {U'Н', 29, U'Y'},
    {U'С', 54, U'C'},
    {U'О', 44, U'J'},
}};

bool IsPrefix(char32_t letter) { return letter == U'С' || letter == U'О'; }

}  // namespace

char32_t KeyLetter(std::uint32_t scanCode, char32_t typed) {
    const char32_t upper = ToUpper(typed);
    for (const KeyOfLetter& key : kKeys)
        if (scanCode != 0 ? scanCode == key.scanCode : (upper == key.letter || upper == key.latin))
            return key.letter;
    return 0;
}

KeyTurnReader::Step KeyTurnReader::Press(char32_t letter, bool shift) {
    if (letter == 0) return {};
    const char32_t prefix = std::exchange(prefix_, 0);
    if (!prefix && IsPrefix(letter)) {
        prefix_ = letter;
        return {Result::Pending};
    }
    // A prefix before a letter it does not take names no turn of the table.
    std::string name;
    if (prefix) AppendUtf8(name, prefix);
    AppendUtf8(name, letter);
    if (shift) name += '\'';
    for (int m = 0; m < kMoveCount; ++m)
        if (TurnOf(static_cast<Move>(m)).name == name) return {Result::Turn, static_cast<Move>(m)};
    return {Result::Unknown};
}

}  // namespace velmo
