#pragma once
// Numbers that stand for parts of a position, as the two phases see it.
//
// Phase 1 brings the cube into the group of the phase-2 moves (moves.h); a position is in it
// exactly when its twist, flip and slice are all 0:
//   twist  0..2186   the twists of corners 0..6 (the eighth follows from them)
//   flip   0..2047   the flips of edges 0..10
//   slice  0..494    which four positions hold the middle-layer edges, whatever their order;
//                    0 when they stand in the middle layer
// Phase 2 solves inside that group:
//   corner perm  0..40319  the order of the eight corners
//   edge perm    0..40319  the order of the eight edges of the U and D layers
//   slice perm   0..23     the order of the four middle-layer edges
// Phase 1 also follows two of them along its moves, so that each of its solutions shows at
// once how long phase 2 would have to be: the corner perm, and
//   slice sorted 0..11879  slice * 24 + the order of the middle-layer edges in their four
//                          positions; equal to the slice perm once slice is 0
// Every coordinate is 0 at the start position.

#include <cstdint>

#include "twophase/cubie.h"

namespace velmo::twophase {

inline constexpr int kTwists = 2187;
inline constexpr int kFlips = 2048;
inline constexpr int kSlices = 495;
inline constexpr int kCornerPerms = 40320;
inline constexpr int kEdgePerms = 40320;
inline constexpr int kSlicePerms = 24;
inline constexpr int kSlicesSorted = kSlices * kSlicePerms;

int Twist(const CubieCube& c);
int Flip(const CubieCube& c);
int Slice(const CubieCube& c);
int CornerPerm(const CubieCube& c);
// Of a phase-2 position (the U and D edges in their layers).
int EdgePerm(const CubieCube& c);
int SlicePerm(const CubieCube& c);
int SliceSorted(const CubieCube& c);

// A position with the given coordinate and every other piece at home (for slice, the middle
// edges in the positions it names, the others in the remaining ones, in order).
CubieCube WithTwist(int twist);
CubieCube WithFlip(int flip);
CubieCube WithSlice(int slice);
CubieCube WithCornerPerm(int perm);
CubieCube WithEdgePerm(int perm);
CubieCube WithSlicePerm(int perm);
CubieCube WithSliceSorted(int sliceSorted);

}  // namespace velmo::twophase
