#pragma once
// Turns from the keyboard. Each of the eight letters of the notation sits on one physical key,
// the key that carries it in the Russian layout: Л on the key of the Latin K, П on G, Ф on A,
// Т on N, В on D, Н on Y, С on C, О on J. A key is known by the window system's code of that
// physical key where there is one, else by the letter it types in either layout, so the turns
// work the same in the Russian and the Latin layout.
//
// A face letter turns its face; Shift makes the inverse. The prefix letters С (middle slice)
// and О (whole cube) wait for П, Ф or В, as the notation writes them: С then П is "Сп", and
// Shift on the second key makes "Сп'".

#include <cstdint>
#include <string>

#include "model/turns.h"

namespace velmo {

// The notation letter of a key: by its X11/Wayland key code (the Linux input code plus 8)
// when `scanCode` is not 0, else by the character code the key types (Latin or Cyrillic, any
// case). 0 when the key carries none of the eight.
char32_t KeyLetter(std::uint32_t scanCode, char32_t typed);

class KeyTurnReader {
public:
    enum class Result { None, Pending, Turn, Unknown };
    struct Step {
        Result result = Result::None;
        Move move = Move::Front;  // for Result::Turn
    };

    // A key with this notation letter (0 for any other key) was pressed.
    Step Press(char32_t letter, bool shift);
    // The prefix waiting for its face letter, 0 when none waits.
    char32_t Pending() const { return prefix_; }
    void Cancel() { prefix_ = 0; }

private:
    char32_t prefix_ = 0;
};

}  // namespace velmo
