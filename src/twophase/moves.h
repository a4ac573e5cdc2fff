#pragma once
// The 18 face turns the solver works with: each of the six faces a quarter turn clockwise (as
// seen from that face), a half turn, or a quarter turn back. Move index = 3 * face + power - 1,
// faces in the order U R F D L B of facelet_geometry.h.
//
// Phase 2 keeps to the ten turns that leave corner twists, edge flips and the middle layer's
// edges in their layer alone: any turn of U and D, half turns of R, F, L and B.

#include <array>
#include <string>
#include <vector>

#include "model/turns.h"
#include "twophase/cubie.h"

namespace velmo::twophase {

inline constexpr int kMoves = 18;
inline constexpr int kPhase2Moves = 10;

struct FaceTurn {
    int face = 0;   // 0..5: U R F D L B
    int power = 1;  // quarter turns clockwise: 1, 2 or 3 (3 is a quarter turn back)

    constexpr int Index() const { return 3 * face + power - 1; }
    static constexpr FaceTurn OfIndex(int move) { return {move / 3, move % 3 + 1}; }
    friend bool operator==(const FaceTurn&, const FaceTurn&) = default;
};

// The piece movement of each move, taken from the model's own turns.
const std::array<CubieCube, kMoves>& MoveCubes();
// The move index of each phase-2 move.
const std::array<int, kPhase2Moves>& Phase2MoveIndices();

// The model's clockwise quarter turn of a face (Top for U, Right for R, ...).
Move ModelTurn(int face);
// Quarter turns as the model makes them: a half turn is two.
std::vector<Move> ModelTurns(const FaceTurn& turn);
// The turn in the program's notation: "Ф", "Ф'", a half turn with its count "Ф2".
std::string Notation(const FaceTurn& turn);
// Turns separated by single blanks.
std::string Notation(const std::vector<FaceTurn>& turns);

}  // namespace velmo::twophase
