#include "twophase/moves.h"

#include "twophase/facelet_cube.h"
#include "twophase/facelet_geometry.h"

namespace velmo::twophase {

Move ModelTurn(int face) {
    static constexpr std::array<Move, kFaces> kTurns = {Move::Top,    Move::Right, Move::Front,
                                                        Move::Bottom, Move::Left,  Move::Back};
    return kTurns.at(face);
}

const std::array<CubieCube, kMoves>& MoveCubes() {
    static const auto cubes = [] {
        std::array<CubieCube, kMoves> all;
        for (int face = 0; face < kFaces; ++face) {
            // The start position after one quarter turn of the face, read as pieces, is the
            // quarter turn's piece movement; the others are its powers.
            const std::string turned =
                TurnFacelets(FaceletsFromCubie(CubieCube{}), ModelTurn(face));
            const CubieCube quarter = *CubieFromFacelets(turned);
            CubieCube power = quarter;
            for (int p = 0; p < 3; ++p) {
                all[3 * face + p] = power;
                power = Multiply(power, quarter);
            }
        }
        return all;
    }();
    return cubes;
}

const std::array<int, kPhase2Moves>& Phase2MoveIndices() {
    static constexpr std::array<int, kPhase2Moves> kIndices = {
        FaceTurn{kU, 1}.Index(), FaceTurn{kU, 2}.Index(), FaceTurn{kU, 3}.Index(),
        FaceTurn{kD, 1}.Index(), FaceTurn{kD, 2}.Index(), FaceTurn{kD, 3}.Index(),
        FaceTurn{kR, 2}.Index(), FaceTurn{kF, 2}.Index(), FaceTurn{kL, 2}.Index(),
        FaceTurn{kB, 2}.Index()};
    return kIndices;
}

std::vector<Move> ModelTurns(const FaceTurn& turn) {
    const Move quarter = ModelTurn(turn.face);
    switch (turn.power) {
        case 1: return {quarter};
        case 2: return {quarter, quarter};
        default: return {InverseOf(quarter)};
    }
}

std::string Notation(const FaceTurn& turn) {
    const Move quarter = ModelTurn(turn.face);
    if (turn.power == 3) return std::string(TurnOf(InverseOf(quarter)).notation);
    std::string text(TurnOf(quarter).notation);
    return turn.power == 2 ? text + "2" : text;
}

std::string Notation(const std::vector<FaceTurn>& turns) {
    std::string text;
    for (const FaceTurn& turn : turns) text += (text.empty() ? "" : " ") + Notation(turn);
    return text;
}

}  // namespace velmo::twophase
