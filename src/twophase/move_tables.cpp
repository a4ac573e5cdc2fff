#include "twophase/move_tables.h"

#include "twophase/coordinates.h"
#include "twophase/moves.h"

namespace velmo::twophase {

namespace {

// table[c * moves.size() + m] = read(with(c) * move m).
template <class With, class Read, class MoveList>
std::vector<std::uint16_t> Table(int size, With with, Read read, const MoveList& moves) {
    std::vector<std::uint16_t> table(static_cast<std::size_t>(size) * moves.size());
    for (int c = 0; c < size; ++c) {
        const CubieCube cube = with(c);
        for (std::size_t m = 0; m < moves.size(); ++m)
            table[c * moves.size() + m] =
                static_cast<std::uint16_t>(read(Multiply(cube, MoveCubes()[moves[m]])));
    }
    return table;
}

}  // namespace

MoveTables BuildMoveTables() {
    std::array<int, kMoves> all;
    for (int m = 0; m < kMoves; ++m) all[m] = m;
    const auto& phase2 = Phase2MoveIndices();
    MoveTables t;
    t.twist = Table(kTwists, WithTwist, Twist, all);
    t.flip = Table(kFlips, WithFlip, Flip, all);
    t.slice = Table(kSlices, WithSlice, Slice, all);
    t.cornerPermAll = Table(kCornerPerms, WithCornerPerm, CornerPerm, all);
    t.sliceSorted = Table(kSlicesSorted, WithSliceSorted, SliceSorted, all);
    t.cornerPerm = Table(kCornerPerms, WithCornerPerm, CornerPerm, phase2);
    t.edgePerm = Table(kEdgePerms, WithEdgePerm, EdgePerm, phase2);
    t.slicePerm = Table(kSlicePerms, WithSlicePerm, SlicePerm, phase2);
    return t;
}

}  // namespace velmo::twophase
