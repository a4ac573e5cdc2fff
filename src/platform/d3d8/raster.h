#pragma once
// Internal: the triangle rasteriser behind the software device. Input are clip-space vertices
// (after World * View * Projection and lighting); the rasteriser clips, maps to the viewport,
// culls, and fills with the top-left rule, depth test, texture stage 0 and blending.

#include <cstdint>

#include "platform/d3d8/d3d8types.h"

namespace velmo::d3d8::detail {

// A vertex in homogeneous clip space. Colour channels are 0..255 (already lit and rounded).
struct ClipVertex {
    float x, y, z, w;
    float r, g, b, a;
    float u, v;
};

// The colour buffer holds 0xAARRGGBB words; for formats with fewer bits every stored word is
// already reduced to what the format can hold, so converting on lock is lossless. Both buffers
// go on for kRowSlack elements after the last row: the SIMD loops read (and write back
// unchanged) up to that far past a span's end.
constexpr int kRowSlack = 8;
struct RenderTarget {
    int width = 0;
    int height = 0;
    std::uint32_t* color = nullptr;
    std::uint16_t* depth = nullptr;  // null without a depth buffer
    D3DFORMAT format = D3DFMT_X8R8G8B8;
};

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;
    float minZ = 0.0f, maxZ = 1.0f;
};

struct TextureImage {
    const std::uint32_t* texels = nullptr;  // level 0, 0xAARRGGBB, rows of `width` texels
    int width = 0;
    int height = 0;
};

// Where the stage-0 colour and alpha come from, decided once per draw.
enum class StageMode {
    Diffuse,         // no texture effect: the diffuse colour and alpha pass through
    ModulateTexture, // RGB = texture * diffuse, A = texture alpha (the usual textured case)
    General,         // anything else the device accepts (evaluated per pixel)
};

struct StageArgs {
    DWORD colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
    DWORD alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
    D3DCOLOR textureFactor = 0xFFFFFFFFu;
};

struct RasterState {
    RenderTarget target;
    Viewport viewport;
    D3DCULL cull = D3DCULL_CCW;
    bool depthTest = true;
    bool depthWrite = true;
    D3DCMPFUNC depthFunc = D3DCMP_LESSEQUAL;
    bool flatShade = false;
    bool alphaTest = false;
    D3DCMPFUNC alphaFunc = D3DCMP_ALWAYS;
    int alphaRef = 0;
    bool blend = false;
    D3DBLEND srcBlend = D3DBLEND_ONE;
    D3DBLEND destBlend = D3DBLEND_ZERO;

    StageMode stage = StageMode::Diffuse;
    StageArgs args;  // for StageMode::General
    TextureImage texture;  // texels null when no texture is bound
    bool linear = false;   // bilinear (else point) sampling
    D3DTEXTUREADDRESS addressU = D3DTADDRESS_WRAP;
    D3DTEXTUREADDRESS addressV = D3DTADDRESS_WRAP;
};

// Draws one triangle. `flipCull` inverts the culling sense (every second triangle of a strip).
void DrawTriangle(const RasterState& state, const ClipVertex& a, const ClipVertex& b,
                  const ClipVertex& c, bool flipCull);

// The stored form of a colour for the target's format (alpha forced to 0xFF where the format has
// none, channels reduced to the format's bits and expanded back).
std::uint32_t StoredColor(std::uint32_t argb, D3DFORMAT format);

// Spans go eight pixels at a time where the CPU has AVX2, four (SSE2) or one otherwise; all
// draw the same pictures. Tests compare them: returns whether wide spans are now used.
bool UseWideSpans(bool enable);

// Texture sampling as the rasteriser does it, exposed for tests: (u, v) -> 0xAARRGGBB.
std::uint32_t SampleTexture(const TextureImage& image, float u, float v, bool linear,
                            D3DTEXTUREADDRESS addressU, D3DTEXTUREADDRESS addressV);

}  // namespace velmo::d3d8::detail
