#pragma once
// The template of one block, shared by every block of the view: a unit cube (faces at +-0.5)
// whose edges are chamfered by 0.1. It is built from 24 points, three at each corner, one on
// each face meeting there, carrying that face's normal. Its 132 vertices are 44 triangles in
// this order: the six sticker squares (vertices 0..35, six per face slot 1..6), the twelve
// bevels (36..107) and the eight corner triangles (108..131).
//
// The model needs the sticker squares to carry the logo's texture coordinates when the logo
// block turns; the view writes the whole template into its vertex buffer.

#include <array>

#include "math/matrix.h"

namespace velmo {

struct TexCoord {
    float u = 0, v = 0;
    friend bool operator==(const TexCoord&, const TexCoord&) = default;
};

// Texture coordinates of vertices 0..35, the sticker squares of the template.
using StickerTexCoords = std::array<TexCoord, 36>;

struct TemplatePoint {
    Vec3 position;
    Vec3 normal;
    TexCoord tex;
};

inline constexpr int kTemplateVertexCount = 132;
inline constexpr int kStickerVertexCount = 36;

// Point 1..24 of the template.
const TemplatePoint& TemplatePointAt(int point);
// The point (1..24) that template vertex 0..131 uses.
int TemplateVertexPoint(int vertex);
// The template's own texture coordinates of the sticker squares.
StickerTexCoords TemplateStickerTexCoords();

}  // namespace velmo
