// The distance tables: exact distances, against a count made another way.

#include <gtest/gtest.h>

#include <map>

#include "twophase/coordinates.h"
#include "twophase_test_util.h"

namespace velmo::testing {
namespace {

using namespace twophase;

std::map<int, std::size_t> Histogram(const std::vector<std::uint8_t>& table) {
    std::map<int, std::size_t> count;
    for (std::uint8_t d : table) ++count[d];
    return count;
}

// Breadth first over positions made of pieces, moved by the move cubes and read by the
// coordinate functions (no move table, no distance table code): how many pairs of the two
// coordinates lie at each distance. make(a, b) builds a position with those coordinates.
template <class Make, class ReadA, class ReadB>
std::map<int, std::size_t> CountByPieces(int sizeA, int sizeB, Make make, ReadA readA, ReadB readB,
                                         const std::vector<int>& moves) {
    std::vector<std::uint8_t> seen(static_cast<std::size_t>(sizeA) * sizeB, 0);
    std::vector<int> frontier{0};
    seen[0] = 1;
    std::map<int, std::size_t> count;
    for (int depth = 0; !frontier.empty(); ++depth) {
        count[depth] = frontier.size();
        std::vector<int> next;
        for (int index : frontier) {
            const CubieCube cube = make(index / sizeB, index % sizeB);
            for (int move : moves) {
                const CubieCube moved = Multiply(cube, MoveCubes()[move]);
                const int n = readA(moved) * sizeB + readB(moved);
                if (!seen[n]) {
                    seen[n] = 1;
                    next.push_back(n);
                }
            }
        }
        frontier = std::move(next);
    }
    return count;
}

TEST(TwophaseTables, DistancesMatchABreadthFirstCountOverPieces) {
    const DistanceTables& tables = TestTables().distances;
    std::vector<int> all(kMoves);
    for (int m = 0; m < kMoves; ++m) all[m] = m;
    const auto twistAndSlice = [](int twist, int slice) {
        CubieCube c = WithSlice(slice);
        c.co = WithTwist(twist).co;
        return c;
    };
    EXPECT_EQ(Histogram(tables.twistSlice),
              CountByPieces(kTwists, kSlices, twistAndSlice, Twist, Slice, all));

    const std::vector<int> phase2(Phase2MoveIndices().begin(), Phase2MoveIndices().end());
    const auto cornersAndMiddle = [](int corners, int middle) {
        CubieCube c = WithSlicePerm(middle);
        c.cp = WithCornerPerm(corners).cp;
        return c;
    };
    EXPECT_EQ(Histogram(tables.cornerSlice),
              CountByPieces(kCornerPerms, kSlicePerms, cornersAndMiddle, CornerPerm, SlicePerm,
                            phase2));
}

// Zero only at the start and every other entry one more than its nearest neighbour: by
// induction on the distance, every entry is then the exact distance.
TEST(TwophaseTables, EveryEntryIsOneMoreThanItsNearestNeighbour) {
    const Tables& tables = TestTables();
    for (const DistanceTableKind& kind : DistanceTableKinds()) {
        const std::vector<std::uint8_t>& table = tables.distances.*kind.table;
        EXPECT_TRUE(LooksLikeDistances(tables.moves, kind, table, table.size())) << kind.name;
    }
}

}  // namespace
}  // namespace velmo::testing
