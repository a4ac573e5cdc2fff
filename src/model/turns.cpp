#include "model/turns.h"

#include <array>
#include <stdexcept>

namespace velmo {

namespace {

constexpr std::array<int, 9> kFrontLayer = {1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr std::array<int, 9> kBackLayer = {18, 19, 20, 21, 22, 23, 24, 25, 26};
constexpr std::array<int, 9> kTopLayer = {1, 2, 3, 10, 11, 12, 18, 19, 20};
constexpr std::array<int, 9> kBottomLayer = {7, 8, 9, 15, 16, 17, 24, 25, 26};
constexpr std::array<int, 9> kLeftLayer = {1, 4, 7, 10, 13, 15, 18, 21, 24};
constexpr std::array<int, 9> kRightLayer = {3, 6, 9, 12, 14, 17, 20, 23, 26};
constexpr std::array<int, 8> kSliceFront = {10, 11, 12, 13, 14, 15, 16, 17};
constexpr std::array<int, 8> kSliceTop = {4, 5, 6, 13, 14, 21, 22, 23};
constexpr std::array<int, 8> kSliceRight = {2, 5, 8, 11, 16, 19, 22, 25};
constexpr std::array<int, 26> kAllCells = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                           14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};

using M = Move;
const std::array<TurnInfo, kMoveCount> kTurns = {{
    {M::Left, "Л", "Л", Axis::X, -1, kLeftLayer, false},
    {M::LeftInv, "Л'", "Л'", Axis::X, +1, kLeftLayer, false},
    {M::Right, "П", "П", Axis::X, +1, kRightLayer, false},
    {M::RightInv, "П'", "П'", Axis::X, -1, kRightLayer, false},
    {M::Front, "Ф", "Ф", Axis::Z, -1, kFrontLayer, false},
    {M::FrontInv, "Ф'", "Ф'", Axis::Z, +1, kFrontLayer, false},
    {M::Back, "Т", "Т", Axis::Z, +1, kBackLayer, false},
    {M::BackInv, "Т'", "Т'", Axis::Z, -1, kBackLayer, false},
    {M::Top, "В", "В", Axis::Y, +1, kTopLayer, false},
    {M::TopInv, "В'", "В'", Axis::Y, -1, kTopLayer, false},
    {M::Bottom, "Н", "Н", Axis::Y, -1, kBottomLayer, false},
    {M::BottomInv, "Н'", "Н'", Axis::Y, +1, kBottomLayer, false},
    {M::SliceRight, "Сп", "СП", Axis::X, +1, kSliceRight, false},
    {M::SliceRightInv, "Сп'", "СП'", Axis::X, -1, kSliceRight, false},
    {M::SliceFront, "Сф", "СФ", Axis::Z, -1, kSliceFront, false},
    {M::SliceFrontInv, "Сф'", "СФ'", Axis::Z, +1, kSliceFront, false},
    {M::SliceTop, "Св", "СВ", Axis::Y, +1, kSliceTop, false},
    {M::SliceTopInv, "Св'", "СВ'", Axis::Y, -1, kSliceTop, false},
    {M::CubeRight, "Оп", "ОП", Axis::X, +1, kAllCells, true},
    {M::CubeRightInv, "Оп'", "ОП'", Axis::X, -1, kAllCells, true},
    {M::CubeFront, "Оф", "ОФ", Axis::Z, -1, kAllCells, true},
    {M::CubeFrontInv, "Оф'", "ОФ'", Axis::Z, +1, kAllCells, true},
    {M::CubeTop, "Ов", "ОВ", Axis::Y, +1, kAllCells, true},
    {M::CubeTopInv, "Ов'", "ОВ'", Axis::Y, -1, kAllCells, true},
}};

}  // namespace

const TurnInfo& TurnOf(Move move) {
    const auto index = static_cast<std::size_t>(move);
    if (index >= kTurns.size()) throw std::out_of_range("unknown move");
    return kTurns[index];
}

Move InverseOf(Move move) {
    // Each move is followed by its inverse in the table.
    const int index = static_cast<int>(move);
    return static_cast<Move>(index % 2 == 0 ? index + 1 : index - 1);
}

namespace {
QuarterTurn MakeQuarterTurn(Axis axis, int a) {
    QuarterTurn q{};
    for (int cell = 1; cell <= kCellCount; ++cell)
        q.cellTo[cell] = CellAt(Rotate(axis, a, CellPosition(cell)));
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        q.slotTo[slot] = SlotOf(Rotate(axis, a, SlotDirection(slot)));
        q.slotFrom[slot] = SlotOf(Rotate(axis, -a, SlotDirection(slot)));
    }
    return q;
}
}  // namespace

const QuarterTurn& QuarterTurnOf(Axis axis, int a) {
    static const auto kQuarterTurns = PerQuarterTurn(MakeQuarterTurn);
    return QuarterTurnEntry(kQuarterTurns, axis, a);
}

}  // namespace velmo
