#pragma once
// Where each of the 54 facelets sits in space, and what turns of one layer or of the whole
// cube do to a facelet string. The order of the facelets is the model's (model/facelets.h),
// U R F D L B, each face row by row:
//
//              U1 U2 U3
//              U4 U5 U6
//              U7 U8 U9
//    L1 L2 L3  F1 F2 F3  R1 R2 R3  B1 B2 B3
//    L4 L5 L6  F4 F5 F6  R4 R5 R6  B4 B5 B6
//    L7 L8 L9  F7 F8 F9  R7 R8 R9  B7 B8 B9
//              D1 D2 D3
//              D4 D5 D6
//              D7 D8 D9
//
// String index = 9 * face + 3 * row + column, faces U 0, R 1, F 2, D 3, L 4, B 5. Positions
// and directions are the model's cell coordinates (x right, y up, z away from the viewer), so
// every turn here is the model's own turn (model/turns.h), taken from its axis and direction.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/cells.h"
#include "model/facelets.h"
#include "model/turns.h"

namespace velmo::twophase {

inline constexpr int kFacelets = kFaceletCount;
inline constexpr int kFaces = 6;
inline constexpr std::string_view kFaceLetters = kFaceOrder;
enum Face : int { kU, kR, kF, kD, kL, kB };

// The facelet on the cell at p facing direction n; -1 when there is none.
int FaceletAt(CellPos p, CellPos n);
// The outward direction of a face, and the face looking in a direction (-1 for none).
CellPos FaceNormal(int face);
int FaceOfNormal(CellPos n);

// The string after one of the model's turns: the facelets on the turned cells move with them.
// A string that is not 54 long comes back as it is, here and in RotateFacelets.
std::string TurnFacelets(std::string_view facelets, Move move);

// A turn of the whole cube, as the model's whole-cube quarter turns made one after another.
struct Rotation {
    std::vector<Move> turns;

    CellPos Apply(CellPos p) const;
    CellPos Undo(CellPos p) const;
};

// Every facelet carried along by the rotation. With recolour set, every letter is renamed
// after the face its centre is carried to, so that a position with its centres home stays
// one: the same position seen from another side, with faces named anew.
std::string RotateFacelets(std::string_view facelets, const Rotation& rotation, bool recolour);

// The rotation with the fewest quarter turns that brings every centre home (U on top, F in
// front, ...); nullopt when no turn of the whole cube does (a mirrored or broken set of
// centres, a string that is not 54 letters of URFDLB).
std::optional<Rotation> RotationHomingCentres(std::string_view facelets);

}  // namespace velmo::twophase
