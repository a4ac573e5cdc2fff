#include "control/sticker_turns.h"

#include <array>

namespace velmo {

namespace {

// Face slot, cell, then the turn for a drag left, right, up and down.
constexpr std::array<StickerTurnRow, 36> kStickerTurns = {{
    {1, 1, "В", "В'", "Л'", "Л"},
    {1, 2, "В", "В'", "Сп", "Сп'"},
    {1, 3, "В", "В'", "П", "П'"},
    {1, 4, "Св", "Св'", "Л'", "Л"},
    {1, 5, "Ов", "Ов'", "Оп", "Оп'"},
    {1, 6, "Св", "Св'", "П", "П'"},
    {1, 7, "Н'", "Н", "Л'", "Л"},
    {1, 8, "Н'", "Н", "Сп", "Сп'"},
    {1, 9, "Н'", "Н", "П", "П'"},
    {2, 1, "Ф'", "Ф", "Л'", "Л"},
    {2, 2, "Ф'", "Ф", "Сп", "Сп'"},
    {2, 3, "Ф'", "Ф", "П", "П'"},
    {2, 10, "Сф'", "Сф", "Л'", "Л"},
    {2, 11, "Оф'", "Оф", "Оп", "Оп'"},
    {2, 12, "Сф'", "Сф", "П", "П'"},
    {2, 18, "Т", "Т'", "Л'", "Л"},
    {2, 19, "Т", "Т'", "Сп", "Сп'"},
    {2, 20, "Т", "Т'", "П", "П'"},
    {3, 3, "В", "В'", "Ф'", "Ф"},
    {3, 6, "Св", "Св'", "Ф'", "Ф"},
    {3, 9, "Н'", "Н", "Ф'", "Ф"},
    {3, 12, "В", "В'", "Сф'", "Сф"},
    {3, 14, "Ов", "Ов'", "Оф'", "Оф"},
    {3, 17, "Н'", "Н", "Сф'", "Сф"},
    {3, 20, "В", "В'", "Т", "Т'"},
    {3, 23, "Св", "Св'", "Т", "Т'"},
    {3, 26, "Н'", "Н", "Т", "Т'"},
    {5, 7, "Ф", "Ф'", "Л'", "Л"},
    {5, 8, "Ф", "Ф'", "Сп", "Сп'"},
    {5, 9, "Ф", "Ф'", "П", "П'"},
    {5, 15, "Сф", "Сф'", "Л'", "Л"},
    {5, 16, "Оф", "Оф'", "Оп", "Оп'"},
    {5, 17, "Сф", "Сф'", "П", "П'"},
    {5, 24, "Т'", "Т", "Л'", "Л"},
    {5, 25, "Т'", "Т", "Сп", "Сп'"},
    {5, 26, "Т'", "Т", "П", "П'"},
}};

std::string_view NotationFor(const StickerTurnRow& row, DragDirection direction) {
    switch (direction) {
        case DragDirection::Left: return row.left;
        case DragDirection::Right: return row.right;
        case DragDirection::Up: return row.up;
        case DragDirection::Down: return row.down;
    }
    return {};
}

}  // namespace

std::span<const StickerTurnRow> StickerTurnTable() { return kStickerTurns; }

std::optional<Move> MoveOfNotation(std::string_view notation) {
    for (int i = 0; i < kMoveCount; ++i) {
        const Move move = static_cast<Move>(i);
        if (TurnOf(move).notation == notation) return move;
    }
    return std::nullopt;
}

std::optional<Move> StickerTurn(int slot, int cell, DragDirection direction) {
    for (const StickerTurnRow& row : kStickerTurns)
        if (row.slot == slot && row.cell == cell)
            return MoveOfNotation(NotationFor(row, direction));
    return std::nullopt;
}

}  // namespace velmo
