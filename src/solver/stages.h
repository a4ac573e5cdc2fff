#pragma once
// What the solver's stages share: the stages themselves, the failure, and the helpers that
// keep the stage code close to the written method (turns named by their notation, macros,
// block lines, the target colours read from the centres).

#include <cstdlib>
#include <string>
#include <string_view>

#include "log/message_log.h"
#include "model/velmo.h"
#include "solver/solver.h"

namespace velmo::solver {

// Thrown by FailUnsolvable; Solve catches it and reports the failure, so that no later step
// of the stage or of Solve runs.
struct Unsolvable {};

// Ends the whole Solve command: the position cannot be reached by turns. Solve then gives the
// cursor back, shows the message box, appends the notice to the log and leaves turn logging
// off.
[[noreturn]] void FailUnsolvable();

// Stage 1: the four edges of the top layer, top colour up.
void SolveTopCross(TVelmo& cube);
// Stage 2: three of the four top corners; the fourth slot stays free for stages 3 and 4.
void SolveTopCorners(TVelmo& cube);
// Stage 3: cube upside down, three of the four middle edges.
void SolveMiddleLayer(TVelmo& cube);
// Stage 4: the cross of the layer now on top, through the free middle slot (cell 6).
void SolveBottomCross(TVelmo& cube);
// Stage 5: the four top corners to their places in any twist, through cell 9.
void SolveBottomCorners(TVelmo& cube);
// Stage 6: twists of the working corner and the four top corners.
void OrientCorners(TVelmo& cube);

// Performs a space-separated list of turn notations ("Ф Ф Н'"), left to right. Whole-cube
// turns are made visibly, as every solver turn is.
void Turns(TVelmo& cube, std::string_view notations);

// A named macro: turn logging off, the macro's text to the log, its turns unlogged, logging
// on again. Stage 4 writes the text as a new line, stages 5 and 6 append it to the current
// line.
void MacroOnNewLine(TVelmo& cube, std::string_view text, std::string_view notations);
void MacroAppended(TVelmo& cube, std::string_view text, std::string_view notations);

inline TMessageLog& Log(TVelmo& cube) { return cube.Host().Log(); }

// The line that starts block i of stages 1 to 3: "Блок №", i, ": ".
void BlockLine(TVelmo& cube, int i);

// The colours of the centres as targets (the logo's sign dropped).
inline int CentreColour(const TVelmo& cube, int cell, int slot) {
    return std::abs(cube.Colour(cell, slot));
}
inline int TopColour(const TVelmo& cube) { return CentreColour(cube, 11, kTop); }
inline int FrontColour(const TVelmo& cube) { return CentreColour(cube, 5, kFront); }
inline int RightColour(const TVelmo& cube) { return CentreColour(cube, 14, kRight); }
inline int BackColour(const TVelmo& cube) { return CentreColour(cube, 22, kBack); }
inline int LeftColour(const TVelmo& cube) { return CentreColour(cube, 13, kLeft); }
inline int BottomColour(const TVelmo& cube) { return CentreColour(cube, 16, kBottom); }

// Top-layer positions 1..4 of stages 4 and 5, counted cyclically. "В" carries position p to
// p - 1, "В'" to p + 1; quarter turns are counted in the sense of "В'".
inline int ShiftPosition(int p, int quarters) { return (p - 1 + quarters % 4 + 4) % 4 + 1; }

// Turns the top so that position p comes to the front (position 1), adding the quarter turns
// made to q; and undoes a net top turn of q quarter turns. Stages 4 and 5 cycle blocks through
// their working slots with these.
void BringToFront(TVelmo& cube, int p, int& q);
void UndoTopTurns(TVelmo& cube, int q);

}  // namespace velmo::solver
