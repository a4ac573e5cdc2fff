// Any position that turns can reach, taken apart and rebuilt by hand block by block, is one the
// solver solves: the hand tools can rebuild every block in every cell and twist exactly.

#include <gtest/gtest.h>

#include <random>

#include "solver/solver.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::TakenApartCube;

using Faces = std::array<int, kSlotCount>;

// The block whose colours a cell shows.
int BlockShowing(const Faces& faces) {
    int colours[3] = {0, 0, 0}, k = 0;
    for (int colour : faces)
        if (colour != 0) colours[k++] = colour;
    return FindHomeCell(colours[0], colours[1], colours[2]);
}

// Places the block into the cell, then twists or flips it until it shows the wanted colours;
// false when no twist does.
bool Rebuild(TakenApartCube& c, int cell, const Faces& wanted) {
    c.Place(BlockShowing(wanted), cell);
    for (int twist = 0; twist < 3; ++twist) {
        if (c.cube.Block(cell).Faces == wanted) return true;
        c.Rotate(cell);
    }
    return false;
}

TEST(ReassemblyProperty, EveryReachablePositionRebuiltByHandIsSolved) {
    std::mt19937 random(20260515);
    int failures = 0;
    for (int n = 0; n < 300; ++n) {
        const std::vector<Move> moves = RandomMoves(random, 20 + n % 20);
        TakenApartCube c(moves);
        bool rebuilt = true;
        for (int cell = 1; cell <= kCellCount && rebuilt; ++cell)
            if (!IsCentreCell(cell)) rebuilt = Rebuild(c, cell, c.shownBefore[cell]);
        const bool done = rebuilt && c.tools.ShowsOk();
        if (done) c.tools.FormClose();
        if ((!done || !Solve(c.cube) || !IsSolved(c.cube)) && ++failures <= 5)
            ADD_FAILURE() << "position " << n << (rebuilt ? "" : " (not rebuilt)") << ": "
                          << MovesText(moves);
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace velmo
