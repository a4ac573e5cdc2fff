#pragma once
// A position whose solve makes a given number of quarter turns (whole-cube turns included),
// found among random 40-turn positions in a fixed order, so every run measures the same one.

#include <random>
#include <stdexcept>
#include <vector>

#include "headless/headless_host.h"
#include "headless/random_positions.h"
#include "solver/solver.h"

namespace velmo {

inline std::vector<Move> PositionSolvedIn(int turns) {
    for (std::uint32_t seed = 1; seed < 10000; ++seed) {
        std::mt19937 random(seed);
        const std::vector<Move> moves = RandomMoves(random, 40);
        HeadlessHost host;
        host.SetAutoTurnDuration(0);
        TVelmo cube(host);
        MakeMoves(cube, moves);
        int made = 0;
        cube.OnTurnMade = [&made](Move, bool silent) { made += silent ? 0 : 1; };
        if (Solve(cube) && made == turns) return moves;
    }
    throw std::runtime_error("no position with that solve length");
}

}  // namespace velmo
