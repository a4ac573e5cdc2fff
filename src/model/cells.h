#pragma once
// Cells, face slots and colour numbers of the cube.
//
// Cells 1..26 are numbered front layer to back layer (z = -1, 0, +1), top row to bottom row
// (y = +1, 0, -1), left to right (x = -1, 0, +1), the cube's centre left out. x grows to the
// right, y upwards, z away from the viewer:
//
//        front (z = -1)        middle (z = 0)        back (z = +1)
//        1   2   3             10  11  12            18  19  20
//        4   5   6             13      14            21  22  23
//        7   8   9             15  16  17            24  25  26
//
// Face slots are fixed to world directions: 1 front (-z), 2 top (+y), 3 right (+x),
// 4 back (+z), 5 bottom (-y), 6 left (-x).
//
// Colour numbers: 0 no sticker, 1..6 a sticker (1 red front, 2 white top, 3 blue right,
// 4 dark red back, 5 yellow bottom, 6 green left at the start), minus a colour for the one
// sticker that carries the logo (-2 on the top centre at the start).

#include <array>
#include <cstdint>

namespace velmo {

inline constexpr int kCellCount = 26;
inline constexpr int kSlotCount = 6;

enum Slot : int { kFront = 1, kTop = 2, kRight = 3, kBack = 4, kBottom = 5, kLeft = 6 };

struct CellPos {
    int x = 0, y = 0, z = 0;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// Position of cell n (1..26).
CellPos CellPosition(int cell);
// Cell at a position, 0 for the cube's centre.
int CellAt(CellPos p);
// The outward direction of a face slot (1..6), and the slot of an axis direction.
CellPos SlotDirection(int slot);
int SlotOf(CellPos direction);

bool IsCornerCell(int cell);
bool IsEdgeCell(int cell);
bool IsCentreCell(int cell);

// Start colours of the six slots of cell n, slot 1 first.
std::array<int, kSlotCount> StartFaces(int cell);

// Display colours (ARGB) of the colour numbers: 0 the body, 1..6 the stickers, 7 the highlight.
inline constexpr std::array<std::uint32_t, 8> kColourTable = {
    0x40FFFFFF, 0x80FF0000, 0x80FFFFFF, 0x800000FF,
    0x80800000, 0x80FFFF00, 0x8000FF00, 0x80FF00FF,
};

}  // namespace velmo
