#pragma once
// What each move does to each coordinate (coordinates.h), worked out once: the searches look
// a move up instead of moving pieces. Entry [coordinate * moves + move]; the phase-1
// coordinates (and those phase 1 follows) for all 18 moves, the phase-2 ones for the ten
// phase-2 moves in the order of Phase2MoveIndices().

#include <cstdint>
#include <vector>

namespace velmo::twophase {

struct MoveTables {
    std::vector<std::uint16_t> twist, flip, slice;
    std::vector<std::uint16_t> cornerPermAll, sliceSorted;  // all 18 moves
    std::vector<std::uint16_t> cornerPerm, edgePerm, slicePerm;
};

// About 50 ms of work.
MoveTables BuildMoveTables();

}  // namespace velmo::twophase
