#pragma once
// Random reachable positions for tests, benchmarks and the solver's soak run: random strings
// over all 24 turns (whole-cube turns included, so the centres move too), made instantly.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/turns.h"
#include "model/velmo.h"

namespace velmo {

template <class Random>
std::vector<Move> RandomMoves(Random& random, int length) {
    std::uniform_int_distribution<int> pick(0, kMoveCount - 1);
    std::vector<Move> moves(length);
    for (Move& move : moves) move = static_cast<Move>(pick(random));
    return moves;
}

inline std::string MovesText(const std::vector<Move>& moves) {
    std::string text;
    for (Move move : moves) {
        if (!text.empty()) text += ' ';
        text += TurnOf(move).notation;
    }
    return text;
}

// Makes the moves at once and unlogged, as a way to set up a position.
inline void MakeMoves(TVelmo& cube, const std::vector<Move>& moves) {
    const bool logTurns = cube.LogTurns;
    const int duration = cube.TurnDuration;
    cube.LogTurns = false;
    cube.TurnDuration = 0;
    for (Move move : moves) cube.Turn(move);
    cube.LogTurns = logTurns;
    cube.TurnDuration = duration;
}

}  // namespace velmo
