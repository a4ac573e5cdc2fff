#pragma once
// Shared by the two-phase solver's tests: the tables, uniformly random positions, and a check
// of a solution on the model itself.

#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "solver_test_util.h"
#include "twophase/facelet_cube.h"
#include "twophase/random_cube.h"
#include "twophase/twophase.h"

namespace velmo::testing {

// The blank-separated words of a log line.
inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

inline const twophase::Tables& TestTables() {
    const twophase::Tables* tables = twophase::SharedTables(nullptr);
    if (!tables) std::abort();
    return *tables;
}

// The position set on a cube of the model, the solution's whole-cube turns and face turns made
// there (a half turn as two quarter turns): true when every block ends at its start place
// with its start colours.
inline bool SolvesOnModel(std::string_view facelets, const twophase::Solution& solution) {
    InstantCube c;
    if (!SetFacelets(c.cube, facelets).empty()) return false;
    std::vector<Move> moves = solution.rotation.turns;
    for (const twophase::FaceTurn& turn : solution.turns)
        for (Move move : twophase::ModelTurns(turn)) moves.push_back(move);
    MakeMoves(c.cube, moves);
    return AtStart(c.cube);
}

// The facelets of a random reachable position, turned as a whole by a few random whole-cube
// turns, so that its centres stand anywhere.
template <class Random>
std::string RandomTurnedFacelets(Random& random) {
    InstantCube c;
    SetFacelets(c.cube, twophase::FaceletsFromCubie(twophase::RandomCube(random)));
    std::uniform_int_distribution<int> count(0, 3), pick(0, 5);
    for (int n = count(random); n > 0; --n)
        c.cube.Turn(static_cast<Move>(static_cast<int>(Move::CubeRight) + pick(random)), true);
    return ToFacelets(c.cube);
}

}  // namespace velmo::testing
