#include "history/cube_rotation.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "model/cells.h"

namespace velmo {

namespace {

// A rotation as the images of the three unit vectors x, y, z.
using Basis = std::array<CellPos, 3>;

CellPos Apply(const Basis& r, CellPos p) {
    return {r[0].x * p.x + r[1].x * p.y + r[2].x * p.z, r[0].y * p.x + r[1].y * p.y + r[2].y * p.z,
            r[0].z * p.x + r[1].z * p.y + r[2].z * p.z};
}

Basis TurnBasis(const TurnInfo& turn) {
    return {Rotate(turn.axis, turn.a, CellPos{1, 0, 0}), Rotate(turn.axis, turn.a, CellPos{0, 1, 0}),
            Rotate(turn.axis, turn.a, CellPos{0, 0, 1})};
}

// Then(a, b): a first.
Basis Compose(const Basis& a, const Basis& b) {
    return {Apply(b, a[0]), Apply(b, a[1]), Apply(b, a[2])};
}

struct Tables {
    std::vector<Basis> rotations;  // index 0 the identity
    std::array<std::array<std::uint8_t, CubeRotation::kCount>, CubeRotation::kCount> then{};
    std::array<std::uint8_t, CubeRotation::kCount> inverse{};
    std::array<std::array<Move, kMoveCount>, CubeRotation::kCount> carry{};
    std::array<std::uint8_t, kMoveCount> ofTurn{};
};

std::uint8_t IndexOf(const std::vector<Basis>& rotations, const Basis& r) {
    const auto found = std::find(rotations.begin(), rotations.end(), r);
    if (found == rotations.end()) throw std::logic_error("not a rotation of the cube");
    return static_cast<std::uint8_t>(found - rotations.begin());
}

// The move whose cells are R(cells of m) and whose rotation is R Rm R^-1.
Move CarryMove(const Basis& r, const Basis& inverse, Move m) {
    const TurnInfo& turn = TurnOf(m);
    std::vector<int> cells;
    for (int cell : turn.cells) cells.push_back(CellAt(Apply(r, CellPosition(cell))));
    std::sort(cells.begin(), cells.end());
    const Basis conjugated = Compose(Compose(inverse, TurnBasis(turn)), r);
    for (int k = 0; k < kMoveCount; ++k) {
        const TurnInfo& candidate = TurnOf(static_cast<Move>(k));
        std::vector<int> candidateCells(candidate.cells.begin(), candidate.cells.end());
        std::sort(candidateCells.begin(), candidateCells.end());
        if (candidateCells == cells && TurnBasis(candidate) == conjugated) return candidate.move;
    }
    throw std::logic_error("a turn without a counterpart");
}

Tables MakeTables() {
    Tables t;
    t.rotations.push_back({CellPos{1, 0, 0}, CellPos{0, 1, 0}, CellPos{0, 0, 1}});
    const std::array<Move, 3> generators = {Move::CubeRight, Move::CubeTop, Move::CubeFront};
    for (std::size_t next = 0; next < t.rotations.size(); ++next)
        for (Move g : generators) {
            const Basis r = Compose(t.rotations[next], TurnBasis(TurnOf(g)));
            if (std::find(t.rotations.begin(), t.rotations.end(), r) == t.rotations.end())
                t.rotations.push_back(r);
        }
    if (t.rotations.size() != CubeRotation::kCount) throw std::logic_error("not 24 rotations");
    for (int a = 0; a < CubeRotation::kCount; ++a) {
        for (int b = 0; b < CubeRotation::kCount; ++b) {
            const Basis ab = Compose(t.rotations[a], t.rotations[b]);
            t.then[a][b] = IndexOf(t.rotations, ab);
            if (t.then[a][b] == 0) t.inverse[a] = static_cast<std::uint8_t>(b);
        }
    }
    for (int a = 0; a < CubeRotation::kCount; ++a)
        for (int m = 0; m < kMoveCount; ++m)
            t.carry[a][m] =
                CarryMove(t.rotations[a], t.rotations[t.inverse[a]], static_cast<Move>(m));
    for (int m = 0; m < kMoveCount; ++m) {
        const TurnInfo& turn = TurnOf(static_cast<Move>(m));
        t.ofTurn[m] = turn.wholeCube ? IndexOf(t.rotations, TurnBasis(turn)) : 0;
    }
    return t;
}

const Tables& TheTables() {
    static const Tables tables = MakeTables();
    return tables;
}

}  // namespace

CubeRotation CubeRotation::Of(Move wholeCubeTurn) {
    return CubeRotation(TheTables().ofTurn[static_cast<int>(wholeCubeTurn)]);
}

CubeRotation CubeRotation::Then(CubeRotation next) const {
    return CubeRotation(TheTables().then[index_][next.index_]);
}

CubeRotation CubeRotation::Inverse() const { return CubeRotation(TheTables().inverse[index_]); }

Move CubeRotation::Carry(Move move) const {
    return TheTables().carry[index_][static_cast<int>(move)];
}

}  // namespace velmo
