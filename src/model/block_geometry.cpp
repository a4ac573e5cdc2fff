#include "model/block_geometry.h"

#include <stdexcept>

namespace velmo {

namespace {

constexpr std::array<TemplatePoint, 24> kPoints = {{
    {{-0.4f, 0.5f, -0.4f}, {0, 1, 0}, {0, 0}},   // 1
    {{-0.4f, 0.4f, -0.5f}, {0, 0, -1}, {0, 1}},  // 2
    {{-0.5f, 0.4f, -0.4f}, {-1, 0, 0}, {1, 1}},  // 3
    {{-0.4f, 0.5f, 0.4f}, {0, 1, 0}, {0, 1}},    // 4
    {{-0.5f, 0.4f, 0.4f}, {-1, 0, 0}, {0, 1}},   // 5
    {{-0.4f, 0.4f, 0.5f}, {0, 0, 1}, {1, 1}},    // 6
    {{0.4f, 0.5f, 0.4f}, {0, 1, 0}, {1, 1}},     // 7
    {{0.4f, 0.4f, 0.5f}, {0, 0, 1}, {0, 1}},     // 8
    {{0.5f, 0.4f, 0.4f}, {1, 0, 0}, {1, 1}},     // 9
    {{0.4f, 0.5f, -0.4f}, {0, 1, 0}, {1, 0}},    // 10
    {{0.5f, 0.4f, -0.4f}, {1, 0, 0}, {0, 1}},    // 11
    {{0.4f, 0.4f, -0.5f}, {0, 0, -1}, {1, 1}},   // 12
    {{-0.4f, -0.5f, -0.4f}, {0, -1, 0}, {0, 1}}, // 13
    {{-0.5f, -0.4f, -0.4f}, {-1, 0, 0}, {1, 0}}, // 14
    {{-0.4f, -0.4f, -0.5f}, {0, 0, -1}, {0, 0}}, // 15
    {{-0.4f, -0.5f, 0.4f}, {0, -1, 0}, {0, 0}},  // 16
    {{-0.5f, -0.4f, 0.4f}, {-1, 0, 0}, {0, 0}},  // 17
    {{-0.4f, -0.4f, 0.5f}, {0, 0, 1}, {1, 0}},   // 18
    {{0.4f, -0.5f, 0.4f}, {0, -1, 0}, {1, 0}},   // 19
    {{0.4f, -0.4f, 0.5f}, {0, 0, 1}, {0, 0}},    // 20
    {{0.5f, -0.4f, 0.4f}, {1, 0, 0}, {1, 0}},    // 21
    {{0.4f, -0.5f, -0.4f}, {0, -1, 0}, {1, 1}},  // 22
    {{0.4f, -0.4f, -0.5f}, {0, 0, -1}, {1, 0}},  // 23
    {{0.5f, -0.4f, -0.4f}, {1, 0, 0}, {0, 0}},   // 24
}};

// The 44 triangles as point numbers, in vertex order. All are wound clockwise as seen from
// outside the block.
constexpr std::array<std::array<int, 3>, 44> kTriangles = {{
    // sticker squares, slots 1..6
    {2, 12, 23}, {2, 23, 15}, {1, 4, 7}, {1, 7, 10}, {11, 9, 21}, {11, 21, 24},
    {8, 6, 18}, {8, 18, 20}, {16, 13, 22}, {16, 22, 19}, {5, 3, 14}, {5, 14, 17},
    // bevels
    {1, 10, 12}, {1, 12, 2}, {11, 24, 23}, {11, 23, 12}, {15, 23, 22}, {15, 22, 13},
    {2, 15, 14}, {2, 14, 3}, {10, 7, 9}, {10, 9, 11}, {7, 4, 6}, {7, 6, 8},
    {4, 1, 3}, {4, 3, 5}, {21, 9, 8}, {21, 8, 20}, {24, 21, 19}, {24, 19, 22},
    {20, 18, 16}, {20, 16, 19}, {5, 17, 18}, {5, 18, 6}, {17, 14, 13}, {17, 13, 16},
    // corners
    {10, 11, 12}, {7, 8, 9}, {19, 21, 20}, {16, 18, 17}, {1, 2, 3}, {4, 5, 6},
    {13, 14, 15}, {22, 23, 24},
}};

}  // namespace

const TemplatePoint& TemplatePointAt(int point) {
    if (point < 1 || point > 24) throw std::out_of_range("template point out of range");
    return kPoints[point - 1];
}

int TemplateVertexPoint(int vertex) {
    if (vertex < 0 || vertex >= kTemplateVertexCount)
        throw std::out_of_range("template vertex out of range");
    return kTriangles[vertex / 3][vertex % 3];
}

StickerTexCoords TemplateStickerTexCoords() {
    StickerTexCoords coords;
    for (int k = 0; k < kStickerVertexCount; ++k) coords[k] = TemplatePointAt(TemplateVertexPoint(k)).tex;
    return coords;
}

}  // namespace velmo
