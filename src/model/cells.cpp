#include "model/cells.h"

#include <cstdlib>

namespace velmo {

namespace {
constexpr std::array<CellPos, 7> kSlotDirections = {{
    {0, 0, 0}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {-1, 0, 0},
}};

int NonZeroCount(CellPos p) { return (p.x != 0) + (p.y != 0) + (p.z != 0); }
}  // namespace

CellPos CellPosition(int cell) {
    int index = cell - 1;       // 0..25
    if (index >= 13) ++index;   // skip the cube's centre, index 13 of 0..26
    return {index % 3 - 1, 1 - (index / 3) % 3, index / 9 - 1};
}

int CellAt(CellPos p) {
    const int n = 9 * (p.z + 1) + 3 * (1 - p.y) + (p.x + 1) + 1;
    if (n == 14) return 0;
    return n > 14 ? n - 1 : n;
}

CellPos SlotDirection(int slot) { return kSlotDirections.at(slot); }

int SlotOf(CellPos direction) {
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (kSlotDirections[slot] == direction) return slot;
    return 0;
}

bool IsCornerCell(int cell) { return NonZeroCount(CellPosition(cell)) == 3; }
bool IsEdgeCell(int cell) { return NonZeroCount(CellPosition(cell)) == 2; }
bool IsCentreCell(int cell) { return NonZeroCount(CellPosition(cell)) == 1; }

std::array<int, kSlotCount> StartFaces(int cell) {
    const CellPos p = CellPosition(cell);
    std::array<int, kSlotCount> faces{};
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const CellPos d = kSlotDirections[slot];
        const bool outward = (d.x != 0 && d.x == p.x) || (d.y != 0 && d.y == p.y) ||
                             (d.z != 0 && d.z == p.z);
        faces[slot - 1] = outward ? slot : 0;
    }
    if (cell == 11) faces[kTop - 1] = -kTop;  // the logo sticker
    return faces;
}

}  // namespace velmo
