#pragma once
// The position as 54 facelet letters, in the order two-phase solvers use:
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
// written face after face as U R F D L B, each row by row: U seen from above with B at its top
// edge, R from the right, F from the front, L from the left and B from the back with U up, and
// D from below with F at its top edge. A letter names the face on which its colour starts:
// colour 1 is F, 2 U, 3 R, 4 B, 5 D, 6 L; the logo's sign is ignored. A block that is out of
// the cube shows '.'.

#include <array>
#include <string>
#include <string_view>

#include "model/cells.h"

namespace velmo {

class TVelmo;

inline constexpr int kFaceletCount = 54;
inline constexpr std::string_view kFaceOrder = "URFDLB";

struct FaceletPlace {
    int cell;
    int slot;
};

// The cell and face slot that facelet i (0..53) shows.
FaceletPlace FaceletAt(int index);
// The letter of a colour number (its sign ignored), '?' for 0.
char FaceletLetter(int colour);

std::string ToFacelets(const TVelmo& cube);

enum class FaceletsLanguage { English, Russian };

// What keeps a facelet string from being a position of this cube, as one line naming the
// letter or piece at fault (in English for velmo-cli, in Russian for the window); "" when it
// is one. Accepted are positions a hand reassembly can build: every corner and edge once, in
// any cell of its kind and any twist (so also those that turns cannot reach), and the centres
// in any orientation that whole-cube turns reach. Refused are wrong letters or length, pieces
// the cube does not have (wrong colour sets, a corner whose colours run the mirrored way
// round), a piece twice, and mirrored centres.
std::string FaceletsProblem(std::string_view facelets,
                            FaceletsLanguage language = FaceletsLanguage::English);

// Sets the cube to the position of a facelet string, as a finished hand reassembly leaves it:
// all blocks present and at rest, the centres turned as whole-cube turns from the start turn
// them (the logo -2 on the centre of colour 2, its picture turned with it). Writes no log
// line. Returns FaceletsProblem(facelets); when that is not "", the cube is left unchanged.
std::string SetFacelets(TVelmo& cube, std::string_view facelets);

}  // namespace velmo
