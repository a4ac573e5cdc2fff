#pragma once
// The 24 quarter turns: six faces and three middle slices, each both ways, and the three
// whole-cube rotations, each both ways. A turn rotates a set of cells by a quarter turn about
// one axis with direction a = +1 or -1, the rotation the Direct3D matrix about that axis
// performs for the angle a*pi/2:
//   axis x: (x, y, z) -> (x, -a*z, a*y)
//   axis y: (x, y, z) -> (a*z, y, -a*x)
//   axis z: (x, y, z) -> (-a*y, a*x, z)

#include <array>
#include <span>
#include <string_view>

#include "model/cells.h"

namespace velmo {

enum class Axis { X, Y, Z };

// In the order in which the single-move dispatcher compares the names.
enum class Move {
    Left, LeftInv, Right, RightInv, Front, FrontInv, Back, BackInv,
    Top, TopInv, Bottom, BottomInv,
    SliceRight, SliceRightInv, SliceFront, SliceFrontInv, SliceTop, SliceTopInv,
    CubeRight, CubeRightInv, CubeFront, CubeFrontInv, CubeTop, CubeTopInv,
};
inline constexpr int kMoveCount = 24;

struct TurnInfo {
    Move move;
    std::string_view notation;  // what the turn logs, e.g. "Сп'"
    std::string_view name;      // what the dispatcher compares, e.g. "СП'"
    Axis axis;
    int a;
    std::span<const int> cells;  // the turned cells, in the order the animation spins them
    bool wholeCube;
};

const TurnInfo& TurnOf(Move move);

// Where a quarter turn about an axis (a = +1 or -1) carries each cell and each face slot,
// worked out once: turns run in the solver's inner loop.
struct QuarterTurn {
    std::array<int, kCellCount + 1> cellTo;  // cellTo[c] = the cell at R(c); index 0 unused
    std::array<int, kSlotCount + 1> slotTo;  // the slot pointing in R(direction of s)
    std::array<int, kSlotCount + 1> slotFrom;  // the slot whose direction R carries onto s
};
const QuarterTurn& QuarterTurnOf(Axis axis, int a);

// A table with one entry per quarter turn (axis, a), each made by make(axis, a).
template <class Make>
auto PerQuarterTurn(Make make) {
    using Entry = decltype(make(Axis::X, 1));
    std::array<Entry, 6> table;
    for (Axis axis : {Axis::X, Axis::Y, Axis::Z})
        for (int a : {-1, 1}) table[2 * static_cast<int>(axis) + (a > 0)] = make(axis, a);
    return table;
}
template <class Table>
const auto& QuarterTurnEntry(const Table& table, Axis axis, int a) {
    return table[2 * static_cast<int>(axis) + (a > 0)];
}
Move InverseOf(Move move);

// The rotation of a turn applied to a cell position, a slot direction or a point of the block
// geometry (anything with x, y and z).
template <class Point>
constexpr Point Rotate(Axis axis, int a, Point p) {
    switch (axis) {
        case Axis::X: return {p.x, -a * p.z, a * p.y};
        case Axis::Y: return {a * p.z, p.y, -a * p.x};
        case Axis::Z: return {-a * p.y, a * p.x, p.z};
    }
    return p;
}

}  // namespace velmo
