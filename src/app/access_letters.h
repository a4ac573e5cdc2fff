#pragma once
// The underlined access letters of the menus and their commands (Alt and the letter opens a
// menu, the letter alone then runs its command), unique within each menu.

namespace velmo {

class TDM;

void AddAccessLetters(TDM& dm);

}  // namespace velmo
