// The sticker-turn table against its rule, worked out from the geometry of the turns.

#include <gtest/gtest.h>

#include <algorithm>

#include "control/sticker_turns.h"
#include "model/cells.h"

namespace velmo {
namespace {

int Dot(CellPos a, CellPos b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Where a drag in each direction points in the world, on each face the camera can see: it
// stands in front, to the right, and above or below the cube.
CellPos DragVector(int slot, DragDirection direction) {
    const bool vertical = direction == DragDirection::Up || direction == DragDirection::Down;
    const int sign = direction == DragDirection::Right || direction == DragDirection::Up ? 1 : -1;
    if (!vertical) return slot == kRight ? CellPos{0, 0, sign} : CellPos{sign, 0, 0};
    if (slot == kTop) return {0, 0, sign};
    if (slot == kBottom) return {0, 0, -sign};
    return {0, sign, 0};
}

// The direction in which a turn starts to move a point (given at twice its coordinates).
CellPos Velocity(const TurnInfo& turn, CellPos p) {
    CellPos v = Rotate(turn.axis, turn.a, p);
    (turn.axis == Axis::X ? v.x : turn.axis == Axis::Y ? v.y : v.z) = 0;
    return v;
}

int AlongAxis(Axis axis, CellPos p) { return axis == Axis::X ? p.x : axis == Axis::Y ? p.y : p.z; }

TEST(StickerTurnTable, EveryTurnCarriesTheStickerWithTheMouseInTheLayerThatHoldsIt) {
    ASSERT_EQ(StickerTurnTable().size(), 36u);
    for (const StickerTurnRow& row : StickerTurnTable()) {
        for (DragDirection direction : {DragDirection::Left, DragDirection::Right,
                                        DragDirection::Up, DragDirection::Down}) {
            SCOPED_TRACE(::testing::Message() << "slot " << row.slot << " cell " << row.cell
                                              << " direction " << static_cast<int>(direction));
            const std::optional<Move> move = StickerTurn(row.slot, row.cell, direction);
            ASSERT_TRUE(move);
            const TurnInfo& turn = TurnOf(*move);
            const CellPos normal = SlotDirection(row.slot);
            const CellPos cell = CellPosition(row.cell);
            ASSERT_NE(Dot(cell, normal), 0) << "the sticker faces outwards";

            // The sticker's centre moves along the face exactly the way of the drag.
            const CellPos centre{2 * cell.x + normal.x, 2 * cell.y + normal.y,
                                 2 * cell.z + normal.z};
            CellPos v = Velocity(turn, centre);
            const int out = Dot(v, normal);
            v = {v.x - out * normal.x, v.y - out * normal.y, v.z - out * normal.z};
            const CellPos drag = DragVector(row.slot, direction);
            const int along = Dot(v, drag);
            EXPECT_GT(along, 0);
            EXPECT_EQ(v, (CellPos{along * drag.x, along * drag.y, along * drag.z}));

            // The whole cube for a centre, the middle slice for a middle row or column.
            const auto& cells = turn.cells;
            EXPECT_NE(std::find(cells.begin(), cells.end(), row.cell), cells.end());
            const std::size_t expected = IsCentreCell(row.cell)              ? 26
                                         : AlongAxis(turn.axis, cell) == 0 ? 8
                                                                             : 9;
            EXPECT_EQ(cells.size(), expected);
        }
    }
}

}  // namespace
}  // namespace velmo
