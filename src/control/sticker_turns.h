#pragma once
// Which turn a drag of a sticker makes, by face slot, cell and drag direction on the desk.
//
// The rule behind the table: on the front and right faces a horizontal drag turns the
// horizontal layer that holds the sticker, on the top and bottom faces the layer parallel to
// the front; a vertical drag turns the vertical layer that holds it. A face's centre sticker
// turns the whole cube, a sticker in a middle row or column the middle slice. The way of each
// turn is the one that carries the sticker along with the mouse.
//
// The camera stays between the front and the right face (the camera drag wraps it by turning
// the model), so only the front, top, right and bottom faces ever reach the screen: slots 4
// and 6 and cells 13, 21 and 22 have no entries.

#include <optional>
#include <span>
#include <string_view>

#include "model/turns.h"

namespace velmo {

enum class DragDirection { Left, Right, Up, Down };

// One row of the table: the notation of the turn for each drag direction.
struct StickerTurnRow {
    int slot;
    int cell;
    std::string_view left, right, up, down;
};

std::span<const StickerTurnRow> StickerTurnTable();

// The turn for a drag of the sticker in (slot, cell); none for a sticker the table lacks.
std::optional<Move> StickerTurn(int slot, int cell, DragDirection direction);

// The move whose notation is exactly this text ("Сп'"), none for any other text.
std::optional<Move> MoveOfNotation(std::string_view notation);

}  // namespace velmo
