#pragma once
// The two pictures the scene's textures are made from, decoded from the PNG files
// (resources/grain.png and resources/logo.png) that the build puts into the program.

#include "platform/image.h"

namespace velmo {

// 64 x 64 near-white grain for the stickers. An empty image if the data cannot be decoded,
// which the scene then reports as a failed texture.
const Image& GrainPicture();
// 64 x 64 logo on the same grain.
const Image& LogoPicture();

}  // namespace velmo
