#pragma once
// The automatic solver: a fixed layer-by-layer method in six stages that performs every turn
// on the cube model, visibly and logged, and writes a readable protocol of stages, blocks,
// macros and turns. It works only through the model (colours by cell, turn operations) and
// keeps no state between runs.

#include "model/velmo.h"

namespace velmo {

// Solves the cube from whatever position it is in: busy cursor, automatic turn duration, the
// heading, the general orientation, the six stages and the orientation again, then the
// logging setting back, the beep and a closing empty line. Returns true when the cube ends
// solved. A position that turns cannot reach ends the command early in FailUnsolvable (a
// message box and a log notice, no beep, turn logging left off, nothing undone); the result is
// then false.
bool Solve(TVelmo& cube);

// How a solve ends on a position that turns cannot reach: the busy cursor given back, the
// message box "Кубик Вельмо собрать невозможно!", the notice appended to the log's last line,
// turn logging off. The shortest solution command (twophase/shortest.h) ends the same way.
void ReportUnsolvable(TVelmo& cube, BusyCursor& busy);

// Turns the whole cube so that the centres stand as in the start position: the logo centre on
// top, colour 1 in front. Drops its own trailing empty line when it made no turn.
void OrientCube(TVelmo& cube);

// True when the block in the cell shows colour a on one of its slots and colour b on one of
// its slots, and, when c is not 0, also colour c. Values are compared as stored (a logo
// value stays negative). Every block's colour set is unique, so this finds a block by its
// colours whatever its twist.
bool CellHasColours(const TVelmo& cube, int cell, int a, int b, int c);

// True when every block stands in its own place with its colours matching the centres around
// it, in any orientation of the whole cube.
bool IsSolved(const TVelmo& cube);

}  // namespace velmo
