#pragma once
// Distance tables: for a pair of coordinates, the fewest moves that bring both to 0 at once.
// No solution of a position can be shorter than any of its entries, so the searches leave out
// every branch whose entries say the moves left are too few. Entry [first * size of second +
// second], one byte each.
//
//   phase 1, 18 moves:  twist x slice, flip x slice, twist x flip
//   phase 2, 10 moves:  corner perm x slice perm, edge perm x slice perm

#include <cstdint>
#include <vector>

#include "twophase/move_tables.h"
#include "twophase/pacer.h"

namespace velmo::twophase {

struct DistanceTables {
    std::vector<std::uint8_t> twistSlice, flipSlice, twistFlip;
    std::vector<std::uint8_t> cornerSlice, edgeSlice;
};

// One table of the set: what it pairs, and where it lives in a DistanceTables.
struct DistanceTableKind {
    const char* name;
    std::vector<std::uint8_t> DistanceTables::*table;
    std::vector<std::uint16_t> MoveTables::*first;
    int firstSize;
    std::vector<std::uint16_t> MoveTables::*second;
    int secondSize;
    int moves;  // 18 or 10: the stride of the move tables

    std::size_t Size() const { return static_cast<std::size_t>(firstSize) * secondSize; }
};
const std::vector<DistanceTableKind>& DistanceTableKinds();

// Breadth first from the start position. False when the pacer's poll asked to stop; the
// tables are then incomplete and must not be used.
bool BuildDistanceTables(const MoveTables& moves, DistanceTables& tables, Pacer& pacer);

// Whether a table read from outside behaves as a distance table at the sampled entries: 0 only
// at the start, and every other entry one more than its nearest neighbour.
bool LooksLikeDistances(const MoveTables& moves, const DistanceTableKind& kind,
                        const std::vector<std::uint8_t>& table, std::size_t samples);

}  // namespace velmo::twophase
