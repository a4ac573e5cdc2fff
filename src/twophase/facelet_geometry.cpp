#include "twophase/facelet_geometry.h"

#include <algorithm>
#include <array>

namespace velmo::twophase {

namespace {

// The facelet of each (cell, slot) pair, -1 where a cell has no facelet in that direction.
using FaceletIndex = std::array<std::array<int, kSlotCount + 1>, kCellCount + 1>;

const FaceletIndex& IndexOfPlaces() {
    static const FaceletIndex index = [] {
        FaceletIndex all;
        for (auto& cell : all) cell.fill(-1);
        for (int i = 0; i < kFacelets; ++i) {
            const FaceletPlace place = velmo::FaceletAt(i);
            all[place.cell][place.slot] = i;
        }
        return all;
    }();
    return index;
}

// The facelet string after the quarter turn has carried every facelet on a cell with
// moved(cell), by the model's own table of where the turn takes cells and slots.
template <class Moved>
std::string CarryFacelets(std::string_view facelets, Axis axis, int a, Moved moved) {
    std::string result(facelets);
    if (facelets.size() != kFacelets) return result;
    const QuarterTurn& turn = QuarterTurnOf(axis, a);
    for (int i = 0; i < kFacelets; ++i) {
        const FaceletPlace place = velmo::FaceletAt(i);
        if (moved(place.cell))
            result[IndexOfPlaces()[turn.cellTo[place.cell]][turn.slotTo[place.slot]]] = facelets[i];
    }
    return result;
}

bool IsFaceLetter(char c) { return kFaceLetters.find(c) != std::string_view::npos; }

}  // namespace

int FaceletAt(CellPos p, CellPos n) {
    const auto inside = [](int v) { return v >= -1 && v <= 1; };
    if (!inside(p.x) || !inside(p.y) || !inside(p.z)) return -1;
    const int slot = SlotOf(n);
    return slot == 0 ? -1 : IndexOfPlaces()[CellAt(p)][slot];
}

CellPos FaceNormal(int face) { return SlotDirection(velmo::FaceletAt(9 * face + 4).slot); }

int FaceOfNormal(CellPos n) {
    for (int face = 0; face < kFaces; ++face)
        if (FaceNormal(face) == n) return face;
    return -1;
}

std::string TurnFacelets(std::string_view facelets, Move move) {
    const TurnInfo& turn = TurnOf(move);
    return CarryFacelets(facelets, turn.axis, turn.a, [&turn](int cell) {
        return std::find(turn.cells.begin(), turn.cells.end(), cell) != turn.cells.end();
    });
}

CellPos Rotation::Apply(CellPos p) const {
    for (Move move : turns) p = Rotate(TurnOf(move).axis, TurnOf(move).a, p);
    return p;
}

CellPos Rotation::Undo(CellPos p) const {
    for (auto it = turns.rbegin(); it != turns.rend(); ++it)
        p = Rotate(TurnOf(*it).axis, -TurnOf(*it).a, p);
    return p;
}

std::string RotateFacelets(std::string_view facelets, const Rotation& rotation, bool recolour) {
    std::string result(facelets);
    for (Move move : rotation.turns)
        result = CarryFacelets(result, TurnOf(move).axis, TurnOf(move).a, [](int) { return true; });
    if (recolour)
        for (char& letter : result) {
            const std::size_t face = kFaceLetters.find(letter);
            if (face != std::string_view::npos)
                letter = kFaceLetters[FaceOfNormal(rotation.Apply(FaceNormal(face)))];
        }
    return result;
}

std::optional<Rotation> RotationHomingCentres(std::string_view facelets) {
    if (facelets.size() != kFacelets || !std::all_of(facelets.begin(), facelets.end(), IsFaceLetter))
        return std::nullopt;
    // Breadth first over the 24 rotations, so the first found has the fewest quarter turns. A
    // rotation is known by where it carries the up and the front direction.
    const auto key = [](const Rotation& r) {
        const CellPos up = r.Apply(FaceNormal(kU)), front = r.Apply(FaceNormal(kF));
        return std::array<int, 6>{up.x, up.y, up.z, front.x, front.y, front.z};
    };
    std::vector<Rotation> found{Rotation{}};
    std::vector<std::array<int, 6>> seen{key(found[0])};
    for (std::size_t next = 0; next < found.size(); ++next) {
        bool home = true;
        for (int face = 0; face < kFaces; ++face) {
            const CellPos from = found[next].Undo(FaceNormal(face));
            home &= facelets[9 * FaceOfNormal(from) + 4] == kFaceLetters[face];
        }
        if (home) return found[next];
        for (Move move : {Move::CubeRight, Move::CubeRightInv, Move::CubeTop, Move::CubeTopInv,
                          Move::CubeFront, Move::CubeFrontInv}) {
            Rotation longer = found[next];
            longer.turns.push_back(move);
            if (std::find(seen.begin(), seen.end(), key(longer)) != seen.end()) continue;
            seen.push_back(key(longer));
            found.push_back(std::move(longer));
        }
    }
    return std::nullopt;
}

}  // namespace velmo::twophase
