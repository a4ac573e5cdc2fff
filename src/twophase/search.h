#pragma once
// The two-phase search for a short solution of a reachable position.
//
// Phase 1 turns the position into one of the phase-2 group (coordinates.h), phase 2 solves it
// with the phase-2 moves only. Both are depth-first searches with a growing depth limit that
// leave out every branch the distance tables prove too short. Phase 1 goes on past its first
// solutions, longer and longer: each of its solutions gets the shortest phase 2 that would
// beat the best total so far. The search runs on the position seen from three sides (its U-D,
// R-L and F-B axes upright) and on its inverse, taking turns at each phase-1 depth, so that
// short totals turn up sooner.
//
// It ends with a total of at most the target at once, once the phase-1 depths up to 8 are
// done (so that a position up to 8 moves from the start gets its fewest); else when the
// phase-1 depth reaches the best total; else, once it has a solution, when the time budget is
// spent, with the best it found. Every 4 ms or so it polls, and stops when the poll says so.

#include <chrono>
#include <cstdint>
#include <vector>

#include "twophase/cubie.h"
#include "twophase/moves.h"
#include "twophase/pacer.h"
#include "twophase/tables.h"

namespace velmo::twophase {

// Every position can be solved in 20 face turns: the length to aim at.
inline constexpr int kTargetLength = 20;
// Past this the best solution found so far is taken.
inline constexpr std::chrono::milliseconds kDefaultBudget{5000};

struct SearchOptions {
    int target = kTargetLength;
    std::chrono::milliseconds budget = kDefaultBudget;
    Poll poll;
};

struct SearchResult {
    bool stopped = false;          // the poll asked to stop: no solution
    std::vector<FaceTurn> turns;   // turns that bring the position to the start position
};

// The position must be reachable (Reachability() is kReachable).
SearchResult SearchSolution(const CubieCube& cube, const Tables& tables, const SearchOptions& options);

}  // namespace velmo::twophase
