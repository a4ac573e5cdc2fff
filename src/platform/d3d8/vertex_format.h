#pragma once
// Internal: the layout of a vertex in a fixed-function vertex format (FVF): position first, then
// the optional normal, diffuse and specular colours and texture coordinates, in that order.

#include "platform/d3d8/d3d8types.h"

namespace velmo::d3d8::detail {

// Byte offsets of the parts of one vertex; -1 for parts the format does not have.
struct VertexLayout {
    bool valid = false;
    UINT size = 0;
    int normal = -1, diffuse = -1, specular = -1, tex0 = -1;
};

// The layout of `fvf`; not valid for formats the device does not take (no plain XYZ position,
// unknown bits, more than 8 texture coordinate sets).
VertexLayout ParseFvf(DWORD fvf);

}  // namespace velmo::d3d8::detail
