// The software device's triangle rasteriser on random small surfaces, formats, states and
// triangles, from sensible ones to degenerate, huge, off-screen, infinite and NaN positions.
//
// After every triangle:
// - nothing changed outside the viewport: not the rest of the surface, not the slack the wide
//   loops may read past the last row, not the guard words around both buffers;
// - every colour is in the form the format stores; depth changed only under a written depth
//   test and only where the new value passes the test against the old one; with the depth or
//   alpha test NEVER nothing changed; with a strict depth test written, no colour changed
//   without its depth;
// - culling one way or the other leaves the triangle whole or gone, as culling none draws it;
// - the eight-pixel (AVX2) spans, the four-pixel (SSE2) spans and the one-pixel loop (forced by
//   an alpha test that always passes) draw the same colours and depths, bit for bit.
//
// Input layout (missing bytes read as 0): surface and state bytes, then triangles of
// [flags, 3 x (x, y, z, w, r, g, b, a, u, v)] with each float as a mode byte and its value.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/d3d8/raster.h"

namespace {

namespace d3d = velmo::d3d8::detail;

void Check(bool condition) {
    if (!condition) std::abort();
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t Long() { return Word() | std::uint32_t{Word()} << 16; }
    int Below(int n) { return Byte() % n; }

    // Mostly values of the given everyday range, sometimes far beyond it, tiny or not numbers.
    float Float(float low, float high) {
        const std::uint8_t mode = Byte();
        const float unit = static_cast<float>(Word()) / 65535.0f;
        switch (mode % 8) {
            case 5: return (unit - 0.5f) * 2.0e6f;
            case 6: return (unit - 0.5f) * 1.0e-6f;
            case 7: {
                const std::uint32_t bits = Long();
                float f;
                std::memcpy(&f, &bits, sizeof f);
                return f;
            }
            default: return low + (high - low) * unit;
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

constexpr D3DFORMAT kFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R8G8B8,
                                  D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};
constexpr DWORD kOps[] = {D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_MODULATE,
                          D3DTOP_MODULATE2X, D3DTOP_MODULATE4X, D3DTOP_ADD,
                          D3DTOP_ADDSIGNED,  D3DTOP_SUBTRACT,   D3DTOP_DISABLE};
constexpr int kGuard = 16;
constexpr std::uint32_t kGuardColor = 0xA5C3E1F7u;
constexpr std::uint16_t kGuardDepth = 0x5A3C;

// A colour and an optional depth buffer, with guard words before the first pixel and after the
// slack that follows the last row.
struct Buffers {
    int width = 0, height = 0;
    std::vector<std::uint32_t> color;
    std::vector<std::uint16_t> depth;

    std::size_t Pixels() const { return std::size_t(width) * height; }
    d3d::RenderTarget Target(D3DFORMAT format) {
        std::uint16_t* depthStart = depth.empty() ? nullptr : depth.data() + kGuard;
        return {width, height, color.data() + kGuard, depthStart, format};
    }
    bool operator==(const Buffers&) const = default;
};

Buffers MakeBuffers(int width, int height, bool withDepth, D3DFORMAT format, std::mt19937& random) {
    Buffers b;
    b.width = width;
    b.height = height;
    const std::size_t total = kGuard + b.Pixels() + d3d::kRowSlack + kGuard;
    b.color.assign(total, kGuardColor);
    for (std::size_t i = 0; i < b.Pixels(); ++i)
        b.color[kGuard + i] = d3d::StoredColor(random(), format);
    if (withDepth) {
        b.depth.assign(total, kGuardDepth);
        for (std::size_t i = 0; i < b.Pixels(); ++i)
            b.depth[kGuard + i] = static_cast<std::uint16_t>(random());
    }
    return b;
}

DWORD StageArg(Reader& in) {
    const std::uint8_t b = in.Byte();
    return DWORD(b % 6) | (b & 0x40 ? D3DTA_COMPLEMENT : 0) | (b & 0x80 ? D3DTA_ALPHAREPLICATE : 0);
}

d3d::RasterState ReadState(Reader& in, int width, int height, bool& textured) {
    d3d::RasterState st;
    const std::uint8_t flags = in.Byte();
    st.depthTest = flags & 1;
    st.depthWrite = flags & 2;
    st.flatShade = flags & 4;
    st.alphaTest = flags & 8;
    st.blend = flags & 16;
    st.linear = flags & 32;
    textured = flags & 64;
    st.depthFunc = static_cast<D3DCMPFUNC>(1 + in.Below(8));
    st.alphaFunc = static_cast<D3DCMPFUNC>(1 + in.Below(8));
    st.alphaRef = in.Byte();
    st.srcBlend = static_cast<D3DBLEND>(1 + in.Below(13));
    st.destBlend = static_cast<D3DBLEND>(1 + in.Below(13));
    st.cull = static_cast<D3DCULL>(1 + in.Below(3));
    st.stage = static_cast<d3d::StageMode>(in.Below(3));
    st.args.colorOp = kOps[in.Below(8)];
    st.args.colorArg1 = StageArg(in);
    st.args.colorArg2 = StageArg(in);
    st.args.alphaOp = kOps[in.Below(9)];
    st.args.alphaArg1 = StageArg(in);
    st.args.alphaArg2 = StageArg(in);
    st.args.textureFactor = in.Long();
    const D3DTEXTUREADDRESS address[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR};
    st.addressU = address[in.Below(3)];
    st.addressV = address[in.Below(3)];

    d3d::Viewport& vp = st.viewport;
    vp.x = in.Below(width);
    vp.y = in.Below(height);
    vp.width = 1 + in.Below(width - vp.x);
    vp.height = 1 + in.Below(height - vp.y);
    const float z0 = in.Byte() / 255.0f, z1 = in.Byte() / 255.0f;
    vp.minZ = std::min(z0, z1);
    vp.maxZ = std::max(z0, z1);
    return st;
}

d3d::ClipVertex ReadVertex(Reader& in) {
    d3d::ClipVertex v;
    v.x = in.Float(-2.0f, 2.0f);
    v.y = in.Float(-2.0f, 2.0f);
    v.z = in.Float(-0.5f, 1.5f);
    v.w = in.Float(0.05f, 3.0f);
    v.r = in.Byte();
    v.g = in.Byte();
    v.b = in.Byte();
    v.a = in.Byte();
    v.u = in.Float(-3.0f, 3.0f);
    v.v = in.Float(-3.0f, 3.0f);
    return v;
}

struct Triangle {
    d3d::ClipVertex v[3];
    bool flipCull = false;
};

bool Passes(D3DCMPFUNC func, int value, int reference) {
    switch (func) {
        case D3DCMP_NEVER: return false;
        case D3DCMP_LESS: return value < reference;
        case D3DCMP_EQUAL: return value == reference;
        case D3DCMP_LESSEQUAL: return value <= reference;
        case D3DCMP_GREATER: return value > reference;
        case D3DCMP_NOTEQUAL: return value != reference;
        case D3DCMP_GREATEREQUAL: return value >= reference;
        default: return true;
    }
}

bool HasAlpha(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5; }

bool InViewport(const d3d::Viewport& vp, int x, int y) {
    return x >= vp.x && x < vp.x + vp.width && y >= vp.y && y < vp.y + vp.height;
}

// What one triangle may have changed, judged from the buffers before and after it.
void CheckTriangle(const d3d::RasterState& st, const Buffers& before, const Buffers& after) {
    const int width = before.width;
    const bool depthWritten = st.depthTest && st.depthWrite && !before.depth.empty();
    const bool strict = st.depthFunc == D3DCMP_LESS || st.depthFunc == D3DCMP_GREATER ||
                        st.depthFunc == D3DCMP_NOTEQUAL;
    const bool nothing = (st.depthTest && !before.depth.empty() && st.depthFunc == D3DCMP_NEVER) ||
                         (st.alphaTest && st.alphaFunc == D3DCMP_NEVER);
    if (nothing) Check(after == before);
    for (std::size_t i = 0; i < before.color.size(); ++i) {
        const bool inSurface = i >= kGuard && i < kGuard + before.Pixels();
        const int x = inSurface ? int((i - kGuard) % width) : -1;
        const int y = inSurface ? int((i - kGuard) / width) : -1;
        const bool drawable = inSurface && InViewport(st.viewport, x, y);
        const bool colorChanged = after.color[i] != before.color[i];
        Check(drawable || !colorChanged);
        if (drawable) Check(d3d::StoredColor(after.color[i], st.target.format) == after.color[i]);
        if (before.depth.empty()) continue;
        const std::uint16_t oldDepth = before.depth[i], newDepth = after.depth[i];
        if (newDepth != oldDepth) {
            Check(drawable && depthWritten);
            Check(Passes(st.depthFunc, newDepth, oldDepth));
        } else if (colorChanged && depthWritten) {
            Check(!strict);
        }
    }
}

// The triangle drawn with each culling: culling none draws what one of the other two draws,
// while that other one draws nothing.
void CheckCulling(d3d::RasterState st, const Triangle& t, const Buffers& start) {
    auto drawWith = [&](D3DCULL cull) {
        Buffers b = start;
        st.cull = cull;
        st.target = b.Target(st.target.format);
        d3d::DrawTriangle(st, t.v[0], t.v[1], t.v[2], t.flipCull);
        return b;
    };
    const Buffers none = drawWith(D3DCULL_NONE);
    const Buffers cw = drawWith(D3DCULL_CW);
    const Buffers ccw = drawWith(D3DCULL_CCW);
    Check((cw == start && ccw == none) || (ccw == start && cw == none));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const int width = 1 + in.Below(40), height = 1 + in.Below(40);
    const D3DFORMAT format = kFormats[in.Below(6)];
    const bool withDepth = in.Byte() & 1;
    bool textured = false;
    d3d::RasterState st = ReadState(in, width, height, textured);
    const int texWidth = 1 + in.Below(16), texHeight = 1 + in.Below(16);
    std::mt19937 random(in.Long());

    std::vector<std::uint32_t> texels(std::size_t(texWidth) * texHeight);
    for (std::uint32_t& t : texels) t = random();
    if (textured) st.texture = {texels.data(), texWidth, texHeight};

    std::vector<Triangle> triangles;
    while (in.More() && triangles.size() < 12) {
        Triangle t;
        t.flipCull = in.Byte() & 1;
        for (d3d::ClipVertex& v : t.v) v = ReadVertex(in);
        triangles.push_back(t);
    }
    // Where alpha neither reaches the target nor any test, the one-pixel loop (alpha tested)
    // would interpolate what the others treat as flat: make it equal across the triangle.
    const bool alphaMatters = st.blend || st.alphaTest || st.stage != d3d::StageMode::Diffuse ||
                              HasAlpha(format);
    if (!alphaMatters)
        for (Triangle& t : triangles) t.v[1].a = t.v[2].a = t.v[0].a;

    Buffers wide = MakeBuffers(width, height, withDepth, format, random);
    Buffers narrow = wide, single = wide;
    d3d::RasterState singleState = st;
    if (!st.alphaTest) {
        singleState.alphaTest = true;
        singleState.alphaFunc = D3DCMP_ALWAYS;
    }
    for (const Triangle& t : triangles) {
        const Buffers before = narrow;
        d3d::UseWideSpans(false);
        st.target = narrow.Target(format);
        d3d::DrawTriangle(st, t.v[0], t.v[1], t.v[2], t.flipCull);
        CheckTriangle(st, before, narrow);
        CheckCulling(st, t, before);

        singleState.target = single.Target(format);
        d3d::DrawTriangle(singleState, t.v[0], t.v[1], t.v[2], t.flipCull);
        Check(single == narrow);

        d3d::UseWideSpans(true);
        st.target = wide.Target(format);
        d3d::DrawTriangle(st, t.v[0], t.v[1], t.v[2], t.flipCull);
        Check(wide == narrow);
    }
    return 0;
}
