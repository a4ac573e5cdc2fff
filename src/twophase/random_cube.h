#pragma once
// Positions drawn uniformly from all those turns can reach (for tests and the benchmark): every
// order of the corners and of the edges of equal parity, every twist and flip that adds up.
// Random turn sequences would favour positions near the start.

#include <algorithm>
#include <random>

#include "twophase/cubie.h"

namespace velmo::twophase {

template <class Random>
CubieCube RandomCube(Random& random) {
    CubieCube c;
    std::shuffle(c.cp.begin(), c.cp.end(), random);
    std::shuffle(c.ep.begin(), c.ep.end(), random);
    // Swapping two edges pairs every order of the wrong parity with one of the right parity.
    if (CornerParity(c) != EdgeParity(c)) std::swap(c.ep[10], c.ep[11]);
    std::uniform_int_distribution<int> twist(0, 2), flip(0, 1);
    int twists = 0, flips = 0;
    for (int k = 0; k + 1 < kCorners; ++k) twists += c.co[k] = static_cast<std::uint8_t>(twist(random));
    for (int k = 0; k + 1 < kEdges; ++k) flips += c.eo[k] = static_cast<std::uint8_t>(flip(random));
    c.co[kCorners - 1] = static_cast<std::uint8_t>((3 - twists % 3) % 3);
    c.eo[kEdges - 1] = static_cast<std::uint8_t>(flips % 2);
    return c;
}

}  // namespace velmo::twophase
