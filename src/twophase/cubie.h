#pragma once
// The cube as pieces: which corner and which edge stands at each position, and how it is
// twisted or flipped there. Positions and pieces share their numbers (piece k is at home in
// position k):
//
//   corners  0 URF  1 UFL  2 ULB  3 UBR  4 DFR  5 DLF  6 DBL  7 DRB
//   edges    0 UR   1 UF   2 UL   3 UB   4 DR   5 DF   6 DL   7 DB   8 FR   9 FL  10 BL  11 BR
//
// (U up, D down, R right, L left, F front, B back.) A corner's twist is the number of its
// facelet in the position's clockwise list (see facelet_cube.h) that shows the piece's U or D
// colour; an edge is flipped when its U or D colour (for the four middle edges, its F or B
// colour) is not on the position's U or D (F or B) facelet. Face turns of U, D, R and L keep
// every edge's flip; only quarter turns of F and B change flips.

#include <array>
#include <cstdint>

namespace velmo::twophase {

inline constexpr int kCorners = 8;
inline constexpr int kEdges = 12;
// The four middle-layer edges FR, FL, BL, BR are the last four.
inline constexpr int kFirstSliceEdge = 8;

struct CubieCube {
    std::array<std::uint8_t, kCorners> cp{0, 1, 2, 3, 4, 5, 6, 7};  // piece at each position
    std::array<std::uint8_t, kCorners> co{};                        // its twist, 0..2
    std::array<std::uint8_t, kEdges> ep{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::array<std::uint8_t, kEdges> eo{};  // its flip, 0..1

    friend bool operator==(const CubieCube&, const CubieCube&) = default;
};

// The position reached from a by the piece movement b: first a, then b.
CubieCube Multiply(const CubieCube& a, const CubieCube& b);
// The position whose product with c, either way round, is the start position.
CubieCube Inverse(const CubieCube& c);

// 1 when the permutation is odd.
int CornerParity(const CubieCube& c);
int EdgeParity(const CubieCube& c);

// Why turns cannot reach a position of the cube's own pieces, the first that holds.
enum class Reach {
    kReachable,
    kTwistedCorner,  // the corners' twists do not add up to a multiple of 3
    kFlippedEdge,    // an odd number of edges is flipped
    kSwappedPieces,  // the corner and the edge permutations differ in parity
};
Reach Reachability(const CubieCube& c);

}  // namespace velmo::twophase
