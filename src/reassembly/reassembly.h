#pragma once
// Taking the cube apart and putting its corners and edges back by hand, in any cell of their
// kind and any twist. These work on the model from outside: the model only offers the fly-out
// and fly-in of one block. The cell they act on is the highlighted one, PickedCell.

#include <array>

#include "model/velmo.h"

namespace velmo {

// The cells of the blocks that come out; the six centres stay in.
inline constexpr std::array<int, 8> kCornerCells = {1, 3, 7, 9, 18, 20, 24, 26};
inline constexpr std::array<int, 12> kEdgeCells = {2, 4, 6, 8, 10, 12, 15, 17, 19, 21, 23, 25};
inline constexpr int kLooseBlockCount = 20;

// Every present corner and edge block flies out, in random order. Each cell is left holding a
// fresh block with the cell's start colours, not present.
void TakeApart(TVelmo& cube);
// The start of the mode: the cube taken apart and nothing highlighted.
void StartReassembly(TVelmo& cube);

// A corner or edge block stands in the cell: one the rotate and remove tools may act on.
bool HoldsLooseBlock(const TVelmo& cube, int cell);
// The cell is empty and of the kind of block n's home cell (both corners or both edges).
bool CanTakeBlock(const TVelmo& cube, int cell, int n);

// Puts block n (named by its home cell) into the empty cell PickedCell and flies it in. An
// edge's two colours go to the cell's outward faces in slot order; a corner is carried as the
// whole-cube rotation that takes its home cell through cell 3 to the target would carry it, so
// either arrives in its start orientation at home. Returns false, doing nothing, when the cell
// cannot take the block.
bool PlaceBlock(TVelmo& cube, int n);

// Flips the edge or twists the corner in PickedCell by a third of a turn, with a short hop
// out of the cube and back. Three twists of a corner, or two flips of an edge, restore it.
void RotateBlockInPlace(TVelmo& cube);

// Takes the block in PickedCell out and returns its block number (the home cell whose start
// colours it carries); 0, doing nothing, when no corner or edge block stands there.
int RemovePickedBlock(TVelmo& cube);

// The first cell 1..26 whose start colours, without regard to order and sign, are the set
// {a, b, c} (c = 0 for an edge); 0 if none.
int FindHomeCell(int a, int b, int c);

}  // namespace velmo
