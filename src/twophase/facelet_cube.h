#pragma once
// Between the 54 facelet letters (facelet_geometry.h) and the pieces (cubie.h).
//
// Each corner position lists its three facelets with the U or D facelet first, then the other
// two clockwise as seen from outside the corner (URF: U9 R1 F3); each edge position its two,
// the U or D facelet first (for the middle edges the F or B facelet). A piece's colours are
// read in the same order at its home position.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "twophase/cubie.h"

namespace velmo::twophase {

const std::array<std::array<int, 3>, kCorners>& CornerFacelets();
const std::array<std::array<int, 2>, kEdges>& EdgeFacelets();

// The pieces of a facelet string whose centres are home; nullopt when it is not a position of
// the cube's own pieces (wrong letters or length, centres away from home, a colour set no
// piece has, a corner's colours running round it the mirrored way, a piece twice).
std::optional<CubieCube> CubieFromFacelets(std::string_view facelets);

// The facelet string of a position, centres home.
std::string FaceletsFromCubie(const CubieCube& cube);

}  // namespace velmo::twophase
