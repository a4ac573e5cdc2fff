#pragma once
// The command «Кратчайшая сборка» on the cube model: the position on the desk solved in at
// most 20 face turns (twophase.h), the turns made visibly at the automatic speed.
//
// The log gets an empty line and the heading; then, where the cube stands turned as a whole,
// "Общая ориентация: " with the whole-cube turns that bring its centres home, logged as they
// are made and not counted; then the solution in one line, "18 ходов: Ф2 П' В ... ", written
// before its turns are made (a half turn as two quarter turns, written with its count); at
// the end the beep and an empty line. Run as a move string after the orientation, the line's
// turns are the turns made.
//
// A position that turns cannot reach ends before any turn exactly as «Собрать» ends on it
// (ReportUnsolvable: the message box, the notice, turn logging off).
//
// The tables are made or read at the first use in the process; while that and the search go
// on, the host's clock is read every few milliseconds (the program's host lets the window
// repaint there) and a stop request ends the command with RunStopped before anything is
// written or turned; the next use starts the tables again.

#include <functional>
#include <string>
#include <vector>

#include "model/velmo.h"
#include "twophase/search.h"

namespace velmo {

struct ShortestRun {
    bool solved = false;                    // false: the position cannot be solved
    std::vector<twophase::FaceTurn> turns;  // the face turns made, whole-cube turns left out
};

// Told true just before the tables are made or read (the first use in a process), false once
// they are there or the making was stopped: the window shows that it is working.
using TablesNotice = std::function<void(bool working)>;

// options.poll is replaced by the host's; the rest lets tests ask for less.
ShortestRun SolveShortest(TVelmo& cube, twophase::SearchOptions options = {},
                          const TablesNotice& notice = {});

// "1 ход", "3 хода", "18 ходов".
std::string MovesCountText(int count);

}  // namespace velmo
