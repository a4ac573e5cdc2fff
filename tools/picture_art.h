#pragma once
// The two 64 x 64 pictures the view makes its textures from, drawn by program so that they can
// be remade exactly: a near-white grain for the stickers, and the logo emblem on the same grain.

#include "platform/image.h"

namespace velmo::art {

inline constexpr int kPictureSide = 64;

// Grey levels 208..255, most of them near white.
Image MakeGrainPicture();
// A navy rhombus frame with a red disc and a navy pointer above it, on the grain.
Image MakeLogoPicture();

}  // namespace velmo::art
