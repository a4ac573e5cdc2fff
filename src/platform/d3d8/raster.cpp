#include "platform/d3d8/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace velmo::d3d8::detail {

namespace {

// Screen positions are snapped to 1/256 pixel; edge functions are then exact 64-bit integers, so
// shared edges neither crack nor cover a pixel twice.
constexpr int kSubBits = 8;
constexpr double kSubScale = 1 << kSubBits;

// Guard band: geometry is clipped in x and y only where it lies beyond this many multiples of w,
// which keeps fixed-point coordinates small; inside the band the bounding box clamp does the job.
constexpr float kGuard = 16.0f;
// Smallest w kept by the clipper (a vertex at the eye cannot be divided by).
constexpr float kMinW = 1e-6f;

constexpr int kMaxPolygon = 16;

// ---- Clipping ------------------------------------------------------------------------------------

enum : unsigned {
    kClipNear = 1,   // z >= 0
    kClipFar = 2,    // z <= w
    kClipW = 4,      // w >= kMinW
    kClipLeft = 8,   // x >= -G w
    kClipRight = 16, // x <= G w
    kClipBottom = 32,
    kClipTop = 64,
};
constexpr int kClipPlanes = 7;

inline float PlaneDistance(const ClipVertex& v, int plane) {
    switch (plane) {
        case 0: return v.z;
        case 1: return v.w - v.z;
        case 2: return v.w - kMinW;
        case 3: return kGuard * v.w + v.x;
        case 4: return kGuard * v.w - v.x;
        case 5: return kGuard * v.w + v.y;
        default: return kGuard * v.w - v.y;
    }
}

inline unsigned OutCode(const ClipVertex& v) {
    unsigned code = 0;
    for (int p = 0; p < kClipPlanes; ++p)
        if (!(PlaneDistance(v, p) >= 0.0f)) code |= 1u << p;  // NaN counts as outside
    return code;
}

inline ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    ClipVertex r;
    const float* pa = &a.x;
    const float* pb = &b.x;
    float* pr = &r.x;
    for (int i = 0; i < 10; ++i) pr[i] = pa[i] + (pb[i] - pa[i]) * t;
    return r;
}

// Sutherland-Hodgman against one plane; keeps the vertex order (and so the winding).
int ClipAgainst(const ClipVertex* in, int n, ClipVertex* out, int plane) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const ClipVertex& a = in[i];
        const ClipVertex& b = in[(i + 1) % n];
        const float da = PlaneDistance(a, plane);
        const float db = PlaneDistance(b, plane);
        const bool ina = da >= 0.0f;
        const bool inb = db >= 0.0f;
        if (ina) out[m++] = a;
        if (ina != inb && m < kMaxPolygon) {
            const float t = da / (da - db);
            ClipVertex v = Lerp(a, b, t);
            if (plane == 0) v.z = 0.0f;  // land exactly on the plane despite rounding
            if (plane == 1) v.z = v.w;
            out[m++] = v;
        }
        if (m >= kMaxPolygon) break;
    }
    return m;
}

// ---- Screen-space triangle -----------------------------------------------------------------------

struct ScreenVertex {
    std::int64_t fx, fy;  // fixed point, kSubBits fractional bits
    float z;              // depth in [MinZ, MaxZ]
    float iw;             // 1 / w
    float r, g, b, a, u, v;  // colour 0..255 and texture coordinates (not divided by w)
};

struct Plane {
    float c = 0, dx = 0, dy = 0;  // value at (x0, y0) and its gradients per pixel
};

struct Setup {
    float x0 = 0, y0 = 0;
    Plane z, iw, r, g, b, a, u, v;
    std::uint32_t flatColor = 0;  // used when the colour is the same at all three vertices
};

// Rounds a 0..255 channel value to a byte; out-of-range and NaN values are clamped.
inline int ToByte(float f) {
    if (!(f > 0.0f)) return 0;
    if (f >= 255.0f) return 255;
    return static_cast<int>(f + 0.5f);
}

inline int ToDepth(float z) {
    if (!(z > 0.0f)) return 0;
    if (z >= 1.0f) return 65535;
    return static_cast<int>(z * 65535.0f + 0.5f);
}

inline std::uint32_t Pack(int a, int r, int g, int b) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) |
           std::uint32_t(b);
}

inline int Div255(int x) { return (x + 127) / 255; }

inline bool Compare(D3DCMPFUNC f, int value, int reference) {
    switch (f) {
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

// floor(t) for |t| < 2^30, without a library call.
inline int FloorInt(float t) {
    const int i = static_cast<int>(t);
    return i - (t < static_cast<float>(i));
}

inline int AddressIndex(int i, int n, D3DTEXTUREADDRESS mode) {
    switch (mode) {
        case D3DTADDRESS_CLAMP: return i < 0 ? 0 : (i >= n ? n - 1 : i);
        case D3DTADDRESS_MIRROR: {
            int k = i % (2 * n);
            if (k < 0) k += 2 * n;
            return k < n ? k : 2 * n - 1 - k;
        }
        default: {
            if ((n & (n - 1)) == 0) return i & (n - 1);
            int k = i % n;
            return k < 0 ? k + n : k;
        }
    }
}

// Texture coordinate to fixed-point texel position (8 fractional bits), range-reduced first so
// that huge or invalid coordinates cannot overflow.
inline int TexelFixed(float coord, int size, D3DTEXTUREADDRESS mode, bool linear) {
    if (!(std::fabs(coord) < 1024.0f)) {
        if (!std::isfinite(coord)) return 0;
        const float period = mode == D3DTADDRESS_MIRROR ? 2.0f : 1.0f;
        coord = std::fmod(coord, period);
        if (mode == D3DTADDRESS_CLAMP) coord = coord < 0 ? -1.0f : 2.0f;
    }
    const float t = coord * static_cast<float>(size * 256) - (linear ? 128.0f : 0.0f);
    return FloorInt(t);
}

inline std::uint32_t LerpTexel(std::uint32_t c0, std::uint32_t c1, std::uint32_t f) {
    const std::uint32_t g = 256 - f;
    const std::uint32_t rb = (((c0 & 0x00FF00FFu) * g + (c1 & 0x00FF00FFu) * f + 0x00800080u) >> 8) &
                             0x00FF00FFu;
    const std::uint32_t ag =
        ((((c0 >> 8) & 0x00FF00FFu) * g + ((c1 >> 8) & 0x00FF00FFu) * f + 0x00800080u) >> 8) &
        0x00FF00FFu;
    return rb | (ag << 8);
}

template <bool kLinear>
inline std::uint32_t Sample(const RasterState& st, float u, float v) {
    const TextureImage& t = st.texture;
    const int xf = TexelFixed(u, t.width, st.addressU, kLinear);
    const int yf = TexelFixed(v, t.height, st.addressV, kLinear);
    const int i0 = xf >> 8;
    const int j0 = yf >> 8;
    if constexpr (!kLinear) {
        const int i = AddressIndex(i0, t.width, st.addressU);
        const int j = AddressIndex(j0, t.height, st.addressV);
        return t.texels[static_cast<std::size_t>(j) * t.width + i];
    } else {
        const int ia = AddressIndex(i0, t.width, st.addressU);
        const int ib = AddressIndex(i0 + 1, t.width, st.addressU);
        const int ja = AddressIndex(j0, t.height, st.addressV);
        const int jb = AddressIndex(j0 + 1, t.height, st.addressV);
        const std::uint32_t* rowA = t.texels + static_cast<std::size_t>(ja) * t.width;
        const std::uint32_t* rowB = t.texels + static_cast<std::size_t>(jb) * t.width;
        const std::uint32_t fx = static_cast<std::uint32_t>(xf & 255);
        const std::uint32_t fy = static_cast<std::uint32_t>(yf & 255);
        return LerpTexel(LerpTexel(rowA[ia], rowA[ib], fx), LerpTexel(rowB[ia], rowB[ib], fx), fy);
    }
}

inline int Channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 255u); }

// Texture argument for the general stage evaluation.
inline std::uint32_t StageArgument(DWORD sel, std::uint32_t diffuse, std::uint32_t texel,
                                   std::uint32_t factor) {
    std::uint32_t c;
    switch (sel & D3DTA_SELECTMASK) {
        case D3DTA_TEXTURE: c = texel; break;
        case D3DTA_TFACTOR: c = factor; break;
        case D3DTA_SPECULAR:
        case D3DTA_TEMP: c = 0; break;
        default: c = diffuse; break;  // DIFFUSE, and CURRENT which is the diffuse at stage 0
    }
    if (sel & D3DTA_COMPLEMENT) c = ~c;
    if (sel & D3DTA_ALPHAREPLICATE) {
        const std::uint32_t a = c >> 24;
        c = (a << 24) | (a << 16) | (a << 8) | a;
    }
    return c;
}

inline int StageOp(DWORD op, int a1, int a2) {
    switch (op) {
        case D3DTOP_SELECTARG1: return a1;
        case D3DTOP_SELECTARG2: return a2;
        case D3DTOP_MODULATE: return Div255(a1 * a2);
        case D3DTOP_MODULATE2X: return std::min(255, 2 * Div255(a1 * a2));
        case D3DTOP_MODULATE4X: return std::min(255, 4 * Div255(a1 * a2));
        case D3DTOP_ADD: return std::min(255, a1 + a2);
        case D3DTOP_ADDSIGNED: return std::clamp(a1 + a2 - 128, 0, 255);
        case D3DTOP_SUBTRACT: return std::max(0, a1 - a2);
        default: return a1;
    }
}

std::uint32_t EvaluateStage(const StageArgs& s, std::uint32_t diffuse, std::uint32_t texel) {
    int r, g, b, a;
    if (s.colorOp == D3DTOP_DISABLE) {
        return diffuse;
    }
    const std::uint32_t c1 = StageArgument(s.colorArg1, diffuse, texel, s.textureFactor);
    const std::uint32_t c2 = StageArgument(s.colorArg2, diffuse, texel, s.textureFactor);
    r = StageOp(s.colorOp, Channel(c1, 16), Channel(c2, 16));
    g = StageOp(s.colorOp, Channel(c1, 8), Channel(c2, 8));
    b = StageOp(s.colorOp, Channel(c1, 0), Channel(c2, 0));
    if (s.alphaOp == D3DTOP_DISABLE) {
        a = Channel(diffuse, 24);
    } else {
        const std::uint32_t x1 = StageArgument(s.alphaArg1, diffuse, texel, s.textureFactor);
        const std::uint32_t x2 = StageArgument(s.alphaArg2, diffuse, texel, s.textureFactor);
        a = StageOp(s.alphaOp, Channel(x1, 24), Channel(x2, 24));
    }
    return Pack(a, r, g, b);
}

// Blend factor for one channel: s/d are the source and destination channel, sa/da the alphas.
inline int BlendFactor(D3DBLEND f, int s, int d, int sa, int da) {
    switch (f) {
        case D3DBLEND_ZERO: return 0;
        case D3DBLEND_ONE: return 255;
        case D3DBLEND_SRCCOLOR: return s;
        case D3DBLEND_INVSRCCOLOR: return 255 - s;
        case D3DBLEND_SRCALPHA: return sa;
        case D3DBLEND_INVSRCALPHA: return 255 - sa;
        case D3DBLEND_DESTALPHA: return da;
        case D3DBLEND_INVDESTALPHA: return 255 - da;
        case D3DBLEND_DESTCOLOR: return d;
        case D3DBLEND_INVDESTCOLOR: return 255 - d;
        case D3DBLEND_SRCALPHASAT: return std::min(sa, 255 - da);
        default: return 255;
    }
}

std::uint32_t Blend(const RasterState& st, std::uint32_t src, std::uint32_t dst) {
    D3DBLEND fs = st.srcBlend, fd = st.destBlend;
    if (fs == D3DBLEND_BOTHSRCALPHA) {
        fs = D3DBLEND_SRCALPHA;
        fd = D3DBLEND_INVSRCALPHA;
    } else if (fs == D3DBLEND_BOTHINVSRCALPHA) {
        fs = D3DBLEND_INVSRCALPHA;
        fd = D3DBLEND_SRCALPHA;
    }
    const int sa = Channel(src, 24), da = Channel(dst, 24);
    int out[4];
    for (int k = 0; k < 4; ++k) {
        const int shift = 24 - 8 * k;  // a, r, g, b
        const int s = Channel(src, shift), d = Channel(dst, shift);
        const int v = Div255(s * BlendFactor(fs, s, d, sa, da) + d * BlendFactor(fd, s, d, sa, da));
        out[k] = std::min(255, v);
    }
    return Pack(out[0], out[1], out[2], out[3]);
}

// The per-pixel loop of one span, specialised on what varies across the triangle.
//   kGouraud: colour interpolated (else s.flatColor)
//   kTex: 0 no texture read, 1 point, 2 bilinear
//   kMode: stage evaluation
//   kBlend: alpha blending on
template <bool kGouraud, int kTex, StageMode kMode, bool kBlend>
void FillSpan(const RasterState& st, const Setup& s, int y, int xBegin, int xEnd) {
    const RenderTarget& rt = st.target;
    std::uint32_t* crow = rt.color + static_cast<std::size_t>(y) * rt.width;
    std::uint16_t* drow =
        rt.depth ? rt.depth + static_cast<std::size_t>(y) * rt.width : nullptr;
    const bool depthTest = st.depthTest && drow;
    const bool depthWrite = depthTest && st.depthWrite;
    const bool lessEqual = st.depthFunc == D3DCMP_LESSEQUAL;
    const float fy = static_cast<float>(y) - s.y0;
    const float zRow = s.z.c + s.z.dy * fy;
    [[maybe_unused]] const float iwRow = s.iw.c + s.iw.dy * fy;
    [[maybe_unused]] const float rRow = s.r.c + s.r.dy * fy;
    [[maybe_unused]] const float gRow = s.g.c + s.g.dy * fy;
    [[maybe_unused]] const float bRow = s.b.c + s.b.dy * fy;
    [[maybe_unused]] const float aRow = s.a.c + s.a.dy * fy;
    [[maybe_unused]] const float uRow = s.u.c + s.u.dy * fy;
    [[maybe_unused]] const float vRow = s.v.c + s.v.dy * fy;
    const D3DFORMAT format = rt.format;

    for (int x = xBegin; x < xEnd; ++x) {
        const float fx = static_cast<float>(x) - s.x0;
        int q = 0;
        if (depthTest) {
            q = ToDepth(zRow + s.z.dx * fx);
            const int stored = drow[x];
            if (lessEqual ? q > stored : !Compare(st.depthFunc, q, stored)) continue;
        }
        std::uint32_t diffuse;
        [[maybe_unused]] float w = 1.0f;
        if constexpr (kGouraud || kTex != 0) w = 1.0f / (iwRow + s.iw.dx * fx);
        if constexpr (kGouraud) {
            diffuse = Pack(ToByte((aRow + s.a.dx * fx) * w), ToByte((rRow + s.r.dx * fx) * w),
                           ToByte((gRow + s.g.dx * fx) * w), ToByte((bRow + s.b.dx * fx) * w));
        } else {
            diffuse = s.flatColor;
        }
        std::uint32_t texel = 0;
        if constexpr (kTex != 0) {
            texel = Sample<kTex == 2>(st, (uRow + s.u.dx * fx) * w, (vRow + s.v.dx * fx) * w);
        }
        std::uint32_t color;
        if constexpr (kMode == StageMode::Diffuse) {
            color = diffuse;
        } else if constexpr (kMode == StageMode::ModulateTexture) {
            color = Pack(Channel(texel, 24),
                         Div255(Channel(texel, 16) * Channel(diffuse, 16)),
                         Div255(Channel(texel, 8) * Channel(diffuse, 8)),
                         Div255(Channel(texel, 0) * Channel(diffuse, 0)));
        } else {
            color = EvaluateStage(st.args, diffuse, texel);
        }
        if (st.alphaTest && !Compare(st.alphaFunc, Channel(color, 24), st.alphaRef)) continue;
        if constexpr (kBlend) color = Blend(st, color, crow[x]);
        crow[x] = StoredColor(color, format);
        if (depthWrite) drow[x] = static_cast<std::uint16_t>(q);
    }
}

using SpanFn = void (*)(const RasterState&, const Setup&, int, int, int);

template <bool kGouraud, int kTex, StageMode kMode>
SpanFn PickBlend(bool blend) {
    return blend ? &FillSpan<kGouraud, kTex, kMode, true> : &FillSpan<kGouraud, kTex, kMode, false>;
}

template <bool kGouraud>
SpanFn PickSpan(const RasterState& st) {
    const bool tex = st.texture.texels != nullptr && st.stage != StageMode::Diffuse;
    const int kind = tex ? (st.linear ? 2 : 1) : 0;
    switch (st.stage) {
        case StageMode::Diffuse: return PickBlend<kGouraud, 0, StageMode::Diffuse>(st.blend);
        case StageMode::ModulateTexture:
            if (kind == 2) return PickBlend<kGouraud, 2, StageMode::ModulateTexture>(st.blend);
            if (kind == 1) return PickBlend<kGouraud, 1, StageMode::ModulateTexture>(st.blend);
            return PickBlend<kGouraud, 0, StageMode::Diffuse>(st.blend);
        case StageMode::General:
            if (kind == 2) return PickBlend<kGouraud, 2, StageMode::General>(st.blend);
            if (kind == 1) return PickBlend<kGouraud, 1, StageMode::General>(st.blend);
            return PickBlend<kGouraud, 0, StageMode::General>(st.blend);
    }
    return PickBlend<kGouraud, 0, StageMode::Diffuse>(st.blend);
}

// floor(a / b) and ceil(a / b) for b > 0.
inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}
inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

struct Edge {
    std::int64_t a;     // change of the edge function per pixel step in x
    std::int64_t b;     // change per pixel step in y
    std::int64_t c;     // value at pixel (0, 0)
    std::int64_t bias;  // 0 on top-left edges (centres on the edge are in), 1 otherwise
};

// Edge a->b of a clockwise-on-screen triangle: E(p) = (bx-ax)(py-ay) - (by-ay)(px-ax) > 0 inside.
Edge MakeEdge(const ScreenVertex& p, const ScreenVertex& q) {
    const std::int64_t dx = q.fx - p.fx;
    const std::int64_t dy = q.fy - p.fy;
    Edge e;
    // E at fixed point (X, Y): dx*(Y - p.fy) - dy*(X - p.fx); pixel centres are at integers, so one
    // pixel is kSubScale fixed-point units.
    e.a = -dy * (1 << kSubBits);
    e.b = dx * (1 << kSubBits);
    e.c = -dx * p.fy + dy * p.fx;
    const bool top = dy == 0 && dx > 0;
    const bool left = dy < 0;
    e.bias = (top || left) ? 0 : 1;
    return e;
}

void RasterizeScreenTriangle(const RasterState& st, const ScreenVertex& v0, const ScreenVertex& v1,
                             const ScreenVertex& v2) {
    const Viewport& vp = st.viewport;
    // Bounding box in whole pixels (centres at integer coordinates), clamped to the viewport.
    const std::int64_t minFx = std::min({v0.fx, v1.fx, v2.fx});
    const std::int64_t maxFx = std::max({v0.fx, v1.fx, v2.fx});
    const std::int64_t minFy = std::min({v0.fy, v1.fy, v2.fy});
    const std::int64_t maxFy = std::max({v0.fy, v1.fy, v2.fy});
    const std::int64_t one = 1 << kSubBits;
    std::int64_t x0 = std::max<std::int64_t>(CeilDiv(minFx, one), vp.x);
    std::int64_t x1 = std::min<std::int64_t>(FloorDiv(maxFx, one), vp.x + vp.width - 1);
    std::int64_t y0 = std::max<std::int64_t>(CeilDiv(minFy, one), vp.y);
    std::int64_t y1 = std::min<std::int64_t>(FloorDiv(maxFy, one), vp.y + vp.height - 1);
    if (x0 > x1 || y0 > y1) return;

    const Edge e[3] = {MakeEdge(v0, v1), MakeEdge(v1, v2), MakeEdge(v2, v0)};

    // Interpolation planes from the snapped positions.
    Setup s;
    const double X0 = v0.fx / kSubScale, Y0 = v0.fy / kSubScale;
    const double X1 = v1.fx / kSubScale - X0, Y1 = v1.fy / kSubScale - Y0;
    const double X2 = v2.fx / kSubScale - X0, Y2 = v2.fy / kSubScale - Y0;
    const double area = X1 * Y2 - X2 * Y1;
    if (area == 0.0) return;
    s.x0 = static_cast<float>(X0);
    s.y0 = static_cast<float>(Y0);
    auto plane = [&](double f0, double f1, double f2) {
        const double d1 = f1 - f0, d2 = f2 - f0;
        Plane p;
        p.c = static_cast<float>(f0);
        p.dx = static_cast<float>((d1 * Y2 - d2 * Y1) / area);
        p.dy = static_cast<float>((d2 * X1 - d1 * X2) / area);
        return p;
    };
    s.z = plane(v0.z, v1.z, v2.z);
    const bool gouraud = !(v0.r == v1.r && v0.r == v2.r && v0.g == v1.g && v0.g == v2.g &&
                           v0.b == v1.b && v0.b == v2.b && v0.a == v1.a && v0.a == v2.a);
    const bool textured = st.texture.texels != nullptr && st.stage != StageMode::Diffuse;
    if (gouraud || textured) s.iw = plane(v0.iw, v1.iw, v2.iw);
    if (gouraud) {
        s.r = plane(v0.r * v0.iw, v1.r * v1.iw, v2.r * v2.iw);
        s.g = plane(v0.g * v0.iw, v1.g * v1.iw, v2.g * v2.iw);
        s.b = plane(v0.b * v0.iw, v1.b * v1.iw, v2.b * v2.iw);
        s.a = plane(v0.a * v0.iw, v1.a * v1.iw, v2.a * v2.iw);
    } else {
        s.flatColor = Pack(ToByte(v0.a), ToByte(v0.r), ToByte(v0.g), ToByte(v0.b));
    }
    if (textured) {
        s.u = plane(v0.u * v0.iw, v1.u * v1.iw, v2.u * v2.iw);
        s.v = plane(v0.v * v0.iw, v1.v * v1.iw, v2.v * v2.iw);
    }
    const SpanFn span = gouraud ? PickSpan<true>(st) : PickSpan<false>(st);

    for (std::int64_t y = y0; y <= y1; ++y) {
        std::int64_t lo = x0, hi = x1;
        for (const Edge& ed : e) {
            // E(x) = a*x + (b*y + c) >= bias
            const std::int64_t e0 = ed.b * y + ed.c;
            if (ed.a > 0) {
                lo = std::max(lo, CeilDiv(ed.bias - e0, ed.a));
            } else if (ed.a < 0) {
                hi = std::min(hi, FloorDiv(e0 - ed.bias, -ed.a));
            } else if (e0 < ed.bias) {
                lo = hi + 1;
            }
            if (lo > hi) break;
        }
        if (lo <= hi) span(st, s, static_cast<int>(y), static_cast<int>(lo), static_cast<int>(hi) + 1);
    }
}

}  // namespace

std::uint32_t StoredColor(std::uint32_t c, D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8: return c;
        case D3DFMT_R5G6B5: {
            const std::uint32_t r = (c >> 19) & 31, g = (c >> 10) & 63, b = (c >> 3) & 31;
            return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
                   ((b << 3) | (b >> 2));
        }
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: {
            const std::uint32_t r = (c >> 19) & 31, g = (c >> 11) & 31, b = (c >> 3) & 31;
            const std::uint32_t a = (format == D3DFMT_X1R5G5B5 || (c >> 31)) ? 0xFF000000u : 0u;
            return a | (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) |
                   ((b << 3) | (b >> 2));
        }
        default: return c | 0xFF000000u;  // X8R8G8B8, R8G8B8: no alpha stored
    }
}

std::uint32_t SampleTexture(const TextureImage& image, float u, float v, bool linear,
                            D3DTEXTUREADDRESS addressU, D3DTEXTUREADDRESS addressV) {
    if (!image.texels || image.width <= 0 || image.height <= 0) return 0;
    RasterState st;
    st.texture = image;
    st.addressU = addressU;
    st.addressV = addressV;
    return linear ? Sample<true>(st, u, v) : Sample<false>(st, u, v);
}

void DrawTriangle(const RasterState& st, const ClipVertex& a, const ClipVertex& b,
                  const ClipVertex& c, bool flipCull) {
    for (const ClipVertex* v : {&a, &b, &c})
        if (!std::isfinite(v->x) || !std::isfinite(v->y) || !std::isfinite(v->z) ||
            !std::isfinite(v->w))
            return;  // garbage positions draw nothing rather than wild spans
    ClipVertex bufA[kMaxPolygon], bufB[kMaxPolygon];
    bufA[0] = a;
    bufA[1] = b;
    bufA[2] = c;
    if (st.flatShade) {
        // The first vertex of the triangle gives the colour of the whole triangle.
        for (int i = 1; i < 3; ++i) {
            bufA[i].r = a.r;
            bufA[i].g = a.g;
            bufA[i].b = a.b;
            bufA[i].a = a.a;
        }
    }
    int n = 3;
    const unsigned oa = OutCode(a), ob = OutCode(b), oc = OutCode(c);
    if (oa & ob & oc) return;  // wholly outside one plane
    ClipVertex* poly = bufA;
    if (oa | ob | oc) {
        ClipVertex* other = bufB;
        const unsigned any = oa | ob | oc;
        for (int p = 0; p < kClipPlanes && n >= 3; ++p) {
            // The w plane matters only when near clipping could not already enforce w > 0.
            if (!(any & (1u << p)) && p != 2) continue;
            n = ClipAgainst(poly, n, other, p);
            std::swap(poly, other);
        }
        if (n < 3) return;
    }

    // Project to the viewport.
    const Viewport& vp = st.viewport;
    ScreenVertex sv[kMaxPolygon];
    const double halfW = vp.width * 0.5, halfH = vp.height * 0.5;
    const float zScale = vp.maxZ - vp.minZ;
    for (int i = 0; i < n; ++i) {
        const ClipVertex& v = poly[i];
        const double iw = 1.0 / static_cast<double>(v.w);
        const double X = vp.x + (v.x * iw + 1.0) * halfW;
        const double Y = vp.y + (1.0 - v.y * iw) * halfH;
        ScreenVertex& s = sv[i];
        s.fx = static_cast<std::int64_t>(std::floor(X * kSubScale + 0.5));
        s.fy = static_cast<std::int64_t>(std::floor(Y * kSubScale + 0.5));
        s.z = vp.minZ + static_cast<float>(v.z * iw) * zScale;
        s.iw = static_cast<float>(iw);
        s.r = v.r;
        s.g = v.g;
        s.b = v.b;
        s.a = v.a;
        s.u = v.u;
        s.v = v.v;
    }

    for (int k = 1; k + 1 < n; ++k) {
        const ScreenVertex& p0 = sv[0];
        const ScreenVertex& p1 = sv[k];
        const ScreenVertex& p2 = sv[k + 1];
        // s > 0: clockwise on screen (y grows downwards).
        const std::int64_t area =
            (p1.fx - p0.fx) * (p2.fy - p0.fy) - (p1.fy - p0.fy) * (p2.fx - p0.fx);
        if (area == 0) continue;
        const std::int64_t facing = flipCull ? -area : area;
        if (st.cull == D3DCULL_CCW && facing < 0) continue;
        if (st.cull == D3DCULL_CW && facing > 0) continue;
        if (area > 0)
            RasterizeScreenTriangle(st, p0, p1, p2);
        else
            RasterizeScreenTriangle(st, p0, p2, p1);
    }
}

}  // namespace velmo::d3d8::detail
