#include "platform/d3d8/raster.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMO_WIDE_SPANS 1  // AVX2 spans, chosen at run time
#endif

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


// Rounds a 0..255 channel value to a byte; out-of-range and NaN values are clamped.
inline int ToByte(float f) {
    f = f > 0.0f ? f : 0.0f;  // also maps NaN to 0
    f = f < 255.0f ? f : 255.0f;
    return static_cast<int>(f + 0.5f);
}

inline int ToDepth(float z) {
    z = z > 0.0f ? z : 0.0f;  // also maps NaN to 0
    z = z < 1.0f ? z : 1.0f;
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

// Per-triangle texture sampling parameters.
struct Sampler {
    const std::uint32_t* texels = nullptr;
    int width = 0, height = 0;
    D3DTEXTUREADDRESS addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
    bool fastWrap = false;  // WRAP on both axes and power-of-two sizes: indices by masking
};

Sampler MakeSampler(const RasterState& st) {
    Sampler s;
    s.texels = st.texture.texels;
    s.width = st.texture.width;
    s.height = st.texture.height;
    s.addressU = st.addressU;
    s.addressV = st.addressV;
    s.fastWrap = s.addressU == D3DTADDRESS_WRAP && s.addressV == D3DTADDRESS_WRAP &&
                 (s.width & (s.width - 1)) == 0 && (s.height & (s.height - 1)) == 0;
    return s;
}

template <bool kLinear>
inline __attribute__((always_inline)) std::uint32_t Sample(const Sampler& t, float u, float v) {
    const int xf = TexelFixed(u, t.width, t.addressU, kLinear);
    const int yf = TexelFixed(v, t.height, t.addressV, kLinear);
    const int i0 = xf >> 8;
    const int j0 = yf >> 8;
    int ia, ib, ja, jb;
    if (t.fastWrap) {
        const int wm = t.width - 1, hm = t.height - 1;
        ia = i0 & wm;
        ib = (i0 + 1) & wm;
        ja = j0 & hm;
        jb = (j0 + 1) & hm;
    } else {
        ia = AddressIndex(i0, t.width, t.addressU);
        ja = AddressIndex(j0, t.height, t.addressV);
        ib = kLinear ? AddressIndex(i0 + 1, t.width, t.addressU) : ia;
        jb = kLinear ? AddressIndex(j0 + 1, t.height, t.addressV) : ja;
    }
    const std::uint32_t* rowA = t.texels + static_cast<std::size_t>(ja) * t.width;
    if constexpr (!kLinear) {
        (void)ib;
        (void)jb;
        return rowA[ia];
    } else {
        const std::uint32_t* rowB = t.texels + static_cast<std::size_t>(jb) * t.width;
        const std::uint32_t fx = static_cast<std::uint32_t>(xf & 255);
        const std::uint32_t fy = static_cast<std::uint32_t>(yf & 255);
        return LerpTexel(LerpTexel(rowA[ia], rowA[ib], fx), LerpTexel(rowB[ia], rowB[ib], fx), fy);
    }
}

inline int Channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 255u); }


// ---- Packed colour arithmetic ----------------------------------------------------------------------
// The SSE2 versions give exactly the results of the scalar ones below them.

// Four channel values (b, g, r, a order in the vector) rounded to bytes like ToByte and packed.
#if defined(__SSE2__)
inline std::uint32_t PackRounded(__m128 bgra) {
    __m128 v = _mm_add_ps(bgra, _mm_set1_ps(0.5f));
    v = _mm_min_ps(_mm_set1_ps(255.5f), v);  // NaN stays NaN and becomes 0 below
    const __m128i i = _mm_cvttps_epi32(v);
    const __m128i w = _mm_packs_epi32(i, i);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(w, w)));
}

inline __m128i Unpack16(std::uint32_t c) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c)), _mm_setzero_si128());
}

// (x + 127) / 255 per 16-bit lane, for x <= 255 * 255.
inline __m128i Div255x8(__m128i x) {
    const __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

inline std::uint32_t Pack16(__m128i v) {
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}
#endif

// RGB = texel * diffuse, A = texel alpha.
inline std::uint32_t Modulate(std::uint32_t texel, std::uint32_t diffuse) {
#if defined(__SSE2__)
    const std::uint32_t m = Pack16(Div255x8(_mm_mullo_epi16(Unpack16(texel), Unpack16(diffuse))));
    return (m & 0x00FFFFFFu) | (texel & 0xFF000000u);
#else
    return Pack(Channel(texel, 24), Div255(Channel(texel, 16) * Channel(diffuse, 16)),
                Div255(Channel(texel, 8) * Channel(diffuse, 8)),
                Div255(Channel(texel, 0) * Channel(diffuse, 0)));
#endif
}

// src * srcAlpha + dst * (1 - srcAlpha), all four channels.
inline std::uint32_t BlendSourceAlpha(std::uint32_t src, std::uint32_t dst) {
    const int sa = Channel(src, 24);
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi16(static_cast<short>(sa));
    const __m128i ia = _mm_set1_epi16(static_cast<short>(255 - sa));
    return Pack16(Div255x8(
        _mm_add_epi16(_mm_mullo_epi16(Unpack16(src), a), _mm_mullo_epi16(Unpack16(dst), ia))));
#else
    const int ia = 255 - sa;
    return Pack(Div255(sa * sa + Channel(dst, 24) * ia),
                Div255(Channel(src, 16) * sa + Channel(dst, 16) * ia),
                Div255(Channel(src, 8) * sa + Channel(dst, 8) * ia),
                Div255(Channel(src, 0) * sa + Channel(dst, 0) * ia));
#endif
}

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

// Each edge bounds the spans on one side: a pixel x of row y is inside when
// a*x + b*y + c >= bias, i.e. x >= -floor(M/a) for a > 0 and x <= floor(M/-a) for a < 0, with
// M(y) = b*y + c - bias. floor(M/|a|) is stepped from row to row exactly (quotient and
// remainder), so no division is needed per row.
struct EdgeWalker {
    int kind;  // +1: lower bound, -1: upper bound, 0: horizontal edge (all or nothing)
    std::int64_t q, r, qStep, rStep, div;

    inline __attribute__((always_inline)) void Bound(std::int64_t& lo, std::int64_t& hi) {
        if (kind > 0)
            lo = std::max(lo, -q);
        else if (kind < 0)
            hi = std::min(hi, q);
        else if (q < 0)
            lo = hi + 1;
        q += qStep;  // on to the next row
        r += rStep;
        if (r >= div) {
            r -= div;
            ++q;
        }
    }
};

// The rows of a triangle inside the viewport and the walkers of its three edges.
struct Rows {
    std::int64_t y0, y1, x0, x1;
    EdgeWalker walker[3];
};

struct Setup {
    float x0 = 0, y0 = 0;
    Plane z, iw, r, g, b, a, u, v;
    std::uint32_t flatColor = 0;  // used when the colour is the same at all three vertices
    Sampler sampler;
};

#if defined(VELMO_WIDE_SPANS)
// This section only is compiled for AVX2; it runs only where the CPU has it.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

// Whether spans go eight pixels at a time (the CPU has AVX2); tests may turn it off.
bool g_wideSpans = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();

// floor(coord * size * 256 - offset) per lane, as TexelFixed does (lanes out of its fast range
// go through TexelFixed itself).
template <bool kLinear>
inline __m256i TexelFixed8(__m256 coord, int size, D3DTEXTUREADDRESS mode) {
    const __m256 absCoord = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), coord);
    if (_mm256_movemask_ps(_mm256_cmp_ps(absCoord, _mm256_set1_ps(1024.0f), _CMP_LT_OQ)) == 0xFF) {
        const __m256 t =
            _mm256_sub_ps(_mm256_mul_ps(coord, _mm256_set1_ps(static_cast<float>(size * 256))),
                          _mm256_set1_ps(kLinear ? 128.0f : 0.0f));
        const __m256i i = _mm256_cvttps_epi32(t);
        return _mm256_add_epi32(
            i, _mm256_castps_si256(_mm256_cmp_ps(t, _mm256_cvtepi32_ps(i), _CMP_LT_OQ)));
    }
    alignas(32) float c[8];
    alignas(32) int out[8];
    _mm256_store_ps(c, coord);
    for (int k = 0; k < 8; ++k) out[k] = TexelFixed(c[k], size, mode, kLinear);
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(out));
}

// (a * (256 - f) + b * f + 128) >> 8 in 16-bit lanes, as LerpTexel does.
inline __m256i Lerp16(__m256i a, __m256i b, __m256i f) {
    const __m256i sum = _mm256_add_epi16(
        _mm256_mullo_epi16(a, _mm256_sub_epi16(_mm256_set1_epi16(256), f)), _mm256_mullo_epi16(b, f));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
}

// (x + 127) / 255 per 16-bit lane, as Div255x8.
inline __m256i Div255x16(__m256i v) {
    const __m256i t = _mm256_add_epi16(v, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// Each pixel's weight over its four channel lanes, arranged as the texels unpacked to 16 bits
// are: pixels 0, 1 | 4, 5 in the low half, 2, 3 | 6, 7 in the high one.
inline __m256i SpreadWeights(__m256i f32, bool high) {
    const __m256i f16 = _mm256_packs_epi32(f32, f32);
    const __m256i pairs = _mm256_unpacklo_epi16(f16, f16);
    return high ? _mm256_unpackhi_epi32(pairs, pairs) : _mm256_unpacklo_epi32(pairs, pairs);
}

inline __m256i Widen(__m256i v, bool high) {
    return high ? _mm256_unpackhi_epi8(v, _mm256_setzero_si256())
                : _mm256_unpacklo_epi8(v, _mm256_setzero_si256());
}

// src * a + dst * (255 - a) on unpacked pixels, a broadcast from each pixel's alpha.
inline __m256i BlendHalf(__m256i s16, __m256i d16) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, 0xFF), 0xFF);
    const __m256i ia = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    return Div255x16(_mm256_add_epi16(_mm256_mullo_epi16(s16, a), _mm256_mullo_epi16(d16, ia)));
}

// The rows of a triangle eight pixels at a time, for the states the four-pixel SSE2 loop of
// FillSpan takes (see WideSpansDraw). Every lane does exactly the arithmetic of the scalar loop
// (no fused multiply-adds), so the pictures are the same to the bit. The last group of a span
// is masked: its lanes past the span read the target and write back what they read, which the
// slack after the target's last row (kRowSlack) keeps inside the buffers.
template <bool kGouraud, int kTex, StageMode kMode, bool kBlend>
void FillRowsWide(const RasterState& st, const Setup& s, Rows rows) {
    const RenderTarget& rt = st.target;
    const bool depthTest = st.depthTest && rt.depth;
    const bool depthWrite = depthTest && st.depthWrite;
    const D3DFORMAT format = rt.format;
    const bool direct = format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R8G8B8;
    const __m256i orMask = _mm256_set1_epi32(format == D3DFMT_A8R8G8B8 ? 0 : static_cast<int>(0xFF000000u));
    const Sampler& sampler = s.sampler;

    const __m256 zero = _mm256_setzero_ps();
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 x0v = _mm256_set1_ps(s.x0);
    const __m256 zDxV = _mm256_set1_ps(s.z.dx);
    [[maybe_unused]] const __m256 iwDxV = _mm256_set1_ps(s.iw.dx);
    const Plane* const channel[4] = {&s.b, &s.g, &s.r, &s.a};
    [[maybe_unused]] __m256 cDx[4];
    for (int k = 0; k < 4; ++k) cDx[k] = _mm256_set1_ps(channel[k]->dx);
    [[maybe_unused]] const __m256 uDxV = _mm256_set1_ps(s.u.dx), vDxV = _mm256_set1_ps(s.v.dx);
    const __m256i flat = _mm256_set1_epi32(static_cast<int>(s.flatColor));
    [[maybe_unused]] const __m256i wm = _mm256_set1_epi32(sampler.width - 1);
    [[maybe_unused]] const __m256i hm = _mm256_set1_epi32(sampler.height - 1);
    [[maybe_unused]] const __m256i texWidth = _mm256_set1_epi32(sampler.width);
    [[maybe_unused]] const int* const texels = reinterpret_cast<const int*>(sampler.texels);

    EdgeWalker w0 = rows.walker[0], w1 = rows.walker[1], w2 = rows.walker[2];
    for (std::int64_t yy = rows.y0; yy <= rows.y1; ++yy) {
        std::int64_t lo = rows.x0, hi = rows.x1;
        w0.Bound(lo, hi);
        w1.Bound(lo, hi);
        w2.Bound(lo, hi);
        if (lo > hi) continue;
        const int y = static_cast<int>(yy);
        std::uint32_t* const crow = rt.color + static_cast<std::size_t>(y) * rt.width;
        std::uint16_t* const drow = rt.depth ? rt.depth + static_cast<std::size_t>(y) * rt.width : nullptr;
        // The row's starting values, computed as FillSpan computes them.
        const float fy = static_cast<float>(y) - s.y0;
        const __m256 zRowV = _mm256_set1_ps(s.z.c + s.z.dy * fy);
        [[maybe_unused]] const __m256 iwRowV = _mm256_set1_ps(s.iw.c + s.iw.dy * fy);
        [[maybe_unused]] __m256 cRow[4];
        for (int k = 0; k < 4; ++k) cRow[k] = _mm256_set1_ps(channel[k]->c + channel[k]->dy * fy);
        [[maybe_unused]] const __m256 uRowV = _mm256_set1_ps(s.u.c + s.u.dy * fy);
        [[maybe_unused]] const __m256 vRowV = _mm256_set1_ps(s.v.c + s.v.dy * fy);

        const int xEnd = static_cast<int>(hi) + 1;
        for (int x = static_cast<int>(lo); x < xEnd; x += 8) {
            const __m256i xs = _mm256_add_epi32(_mm256_set1_epi32(x), lane);
            const __m256 fx = _mm256_sub_ps(_mm256_cvtepi32_ps(xs), x0v);
            // Lanes past the span take no part.
            __m256i pass = _mm256_cmpgt_epi32(_mm256_set1_epi32(xEnd), xs);
            __m256i q = _mm256_setzero_si256();
            __m256i stored = _mm256_setzero_si256();
            if (depthTest) {
                __m256 z = _mm256_add_ps(zRowV, _mm256_mul_ps(zDxV, fx));
                z = _mm256_max_ps(z, zero);  // NaN -> 0, like ToDepth
                z = _mm256_min_ps(z, one);
                q = _mm256_cvttps_epi32(
                    _mm256_add_ps(_mm256_mul_ps(z, _mm256_set1_ps(65535.0f)), half));
                stored = _mm256_cvtepu16_epi32(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(drow + x)));
                pass = _mm256_andnot_si256(_mm256_cmpgt_epi32(q, stored), pass);
                if (_mm256_movemask_epi8(pass) == 0) continue;
            }
            [[maybe_unused]] __m256 w = one;
            if constexpr (kGouraud || kTex != 0)
                w = _mm256_div_ps(one, _mm256_add_ps(iwRowV, _mm256_mul_ps(iwDxV, fx)));
            __m256i color;
            if constexpr (kGouraud) {
                __m256i c[4];
                for (int k = 0; k < 4; ++k) {
                    __m256 v = _mm256_mul_ps(_mm256_add_ps(cRow[k], _mm256_mul_ps(cDx[k], fx)), w);
                    v = _mm256_max_ps(v, zero);  // like ToByte: NaN and negatives -> 0
                    v = _mm256_min_ps(v, _mm256_set1_ps(255.0f));
                    c[k] = _mm256_cvttps_epi32(_mm256_add_ps(v, half));
                }
                color = _mm256_or_si256(
                    _mm256_or_si256(c[0], _mm256_slli_epi32(c[1], 8)),
                    _mm256_or_si256(_mm256_slli_epi32(c[2], 16), _mm256_slli_epi32(c[3], 24)));
            } else {
                color = flat;
            }
            if constexpr (kTex != 0) {
                const __m256i xf = TexelFixed8<kTex == 2>(
                    _mm256_mul_ps(_mm256_add_ps(uRowV, _mm256_mul_ps(uDxV, fx)), w), sampler.width,
                    sampler.addressU);
                const __m256i yf = TexelFixed8<kTex == 2>(
                    _mm256_mul_ps(_mm256_add_ps(vRowV, _mm256_mul_ps(vDxV, fx)), w),
                    sampler.height, sampler.addressV);
                const __m256i i0 = _mm256_srai_epi32(xf, 8), j0 = _mm256_srai_epi32(yf, 8);
                const __m256i rowA = _mm256_mullo_epi32(_mm256_and_si256(j0, hm), texWidth);
                const __m256i colA = _mm256_and_si256(i0, wm);
                __m256i texel;
                if constexpr (kTex == 1) {
                    texel = _mm256_i32gather_epi32(texels, _mm256_add_epi32(rowA, colA), 4);
                } else {
                    const __m256i step = _mm256_set1_epi32(1);
                    const __m256i rowB = _mm256_mullo_epi32(
                        _mm256_and_si256(_mm256_add_epi32(j0, step), hm), texWidth);
                    const __m256i colB = _mm256_and_si256(_mm256_add_epi32(i0, step), wm);
                    const __m256i a00 = _mm256_i32gather_epi32(texels, _mm256_add_epi32(rowA, colA), 4);
                    const __m256i a10 = _mm256_i32gather_epi32(texels, _mm256_add_epi32(rowA, colB), 4);
                    const __m256i a01 = _mm256_i32gather_epi32(texels, _mm256_add_epi32(rowB, colA), 4);
                    const __m256i a11 = _mm256_i32gather_epi32(texels, _mm256_add_epi32(rowB, colB), 4);
                    const __m256i mask8 = _mm256_set1_epi32(255);
                    const __m256i fx32 = _mm256_and_si256(xf, mask8);
                    const __m256i fy32 = _mm256_and_si256(yf, mask8);
                    __m256i halves[2];
                    for (int h = 0; h < 2; ++h) {
                        const bool high = h != 0;
                        const __m256i wx = SpreadWeights(fx32, high), wy = SpreadWeights(fy32, high);
                        halves[h] = Lerp16(Lerp16(Widen(a00, high), Widen(a10, high), wx),
                                           Lerp16(Widen(a01, high), Widen(a11, high), wx), wy);
                    }
                    texel = _mm256_packus_epi16(halves[0], halves[1]);
                }
                // RGB = texel * diffuse, A = texel alpha.
                const __m256i lo16 = Div255x16(_mm256_mullo_epi16(Widen(texel, false), Widen(color, false)));
                const __m256i hi16 = Div255x16(_mm256_mullo_epi16(Widen(texel, true), Widen(color, true)));
                const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
                color = _mm256_or_si256(_mm256_andnot_si256(alphaMask, _mm256_packus_epi16(lo16, hi16)),
                                        _mm256_and_si256(alphaMask, texel));
            }
            __m256i* cdst = reinterpret_cast<__m256i*>(crow + x);
            const __m256i old = _mm256_loadu_si256(cdst);
            if constexpr (kBlend)
                color = _mm256_packus_epi16(BlendHalf(Widen(color, false), Widen(old, false)),
                                            BlendHalf(Widen(color, true), Widen(old, true)));
            if (direct) {
                color = _mm256_or_si256(color, orMask);
            } else {
                alignas(32) std::uint32_t px[8];
                _mm256_store_si256(reinterpret_cast<__m256i*>(px), color);
                for (std::uint32_t& p : px) p = StoredColor(p, format);
                color = _mm256_load_si256(reinterpret_cast<const __m256i*>(px));
            }
            _mm256_storeu_si256(cdst, _mm256_blendv_epi8(old, color, pass));
            if (depthWrite) {
                const __m256i d = _mm256_blendv_epi8(stored, q, pass);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(drow + x),
                                 _mm_packus_epi32(_mm256_castsi256_si128(d),
                                                  _mm256_extracti128_si256(d, 1)));
            }
        }
    }
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

// The per-pixel loop of one span, specialised on what varies across the triangle.
//   kGouraud: colour interpolated (else s.flatColor)
//   kTex: 0 no texture read, 1 point, 2 bilinear
//   kMode: stage evaluation
//   kBlend: alpha blending on
template <bool kGouraud, int kTex, StageMode kMode, bool kBlend>
inline __attribute__((always_inline)) void FillSpan(const RasterState& st, const Setup& s, int y,
                                                    int xBegin, int xEnd) {
    // Everything the loop needs, in locals: stores through the row pointers could otherwise
    // alias the state and force reloads.
    const RenderTarget& rt = st.target;
    std::uint32_t* const crow = rt.color + static_cast<std::size_t>(y) * rt.width;
    std::uint16_t* const drow =
        rt.depth ? rt.depth + static_cast<std::size_t>(y) * rt.width : nullptr;
    const bool depthTest = st.depthTest && drow;
    const bool depthWrite = depthTest && st.depthWrite;
    const D3DCMPFUNC depthFunc = st.depthFunc;
    const bool lessEqual = depthFunc == D3DCMP_LESSEQUAL;
    const bool alphaTest = st.alphaTest;
    const D3DCMPFUNC alphaFunc = st.alphaFunc;
    const int alphaRef = st.alphaRef;
    const bool alphaOverBlend = st.srcBlend == D3DBLEND_SRCALPHA && st.destBlend == D3DBLEND_INVSRCALPHA;
    const D3DFORMAT format = rt.format;
    const bool direct = format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R8G8B8;
    const std::uint32_t orMask = format == D3DFMT_A8R8G8B8 ? 0u : 0xFF000000u;
    const Sampler sampler = s.sampler;
    const std::uint32_t flatColor = s.flatColor;

    const float x0 = s.x0;
    const float fy = static_cast<float>(y) - s.y0;
    const float zRow = s.z.c + s.z.dy * fy, zDx = s.z.dx;
    [[maybe_unused]] const float iwRow = s.iw.c + s.iw.dy * fy, iwDx = s.iw.dx;
    [[maybe_unused]] const float rRow = s.r.c + s.r.dy * fy, rDx = s.r.dx;
    [[maybe_unused]] const float gRow = s.g.c + s.g.dy * fy, gDx = s.g.dx;
    [[maybe_unused]] const float bRow = s.b.c + s.b.dy * fy, bDx = s.b.dx;
    [[maybe_unused]] const float aRow = s.a.c + s.a.dy * fy, aDx = s.a.dx;
#if defined(__SSE2__)
    [[maybe_unused]] const __m128 colorRow = _mm_setr_ps(bRow, gRow, rRow, aRow);
    [[maybe_unused]] const __m128 colorDx = _mm_setr_ps(bDx, gDx, rDx, aDx);
#endif
    [[maybe_unused]] const float uRow = s.u.c + s.u.dy * fy, uDx = s.u.dx;
    [[maybe_unused]] const float vRow = s.v.c + s.v.dy * fy, vDx = s.v.dx;

#if defined(__SSE2__)
    // Spans without alpha test, with the usual depth test and (if any) source-alpha blending go
    // four pixels at a time. Every lane does exactly the arithmetic of the scalar loop below,
    // which also finishes the remaining pixels.
    if constexpr (kMode != StageMode::General) {
        if (!alphaTest && (!depthTest || lessEqual) && (!kBlend || alphaOverBlend) &&
            (kTex == 0 || sampler.fastWrap)) {
            const __m128 zero = _mm_setzero_ps();
            const __m128i ones = _mm_set1_epi32(-1);
            const __m128 x0v = _mm_set1_ps(x0);
            const __m128 zRowV = _mm_set1_ps(zRow), zDxV = _mm_set1_ps(zDx);
            const __m128i lane = _mm_setr_epi32(0, 1, 2, 3);
            const __m128i bias16 = _mm_set1_epi32(0x8000);
            const __m128i bias16s = _mm_set1_epi16(static_cast<short>(0x8000));
            [[maybe_unused]] const __m128 iwRowV = _mm_set1_ps(iwRow), iwDxV = _mm_set1_ps(iwDx);
            [[maybe_unused]] const __m128 cRow[4] = {_mm_set1_ps(bRow), _mm_set1_ps(gRow),
                                                     _mm_set1_ps(rRow), _mm_set1_ps(aRow)};
            [[maybe_unused]] const __m128 cDx[4] = {_mm_set1_ps(bDx), _mm_set1_ps(gDx),
                                                    _mm_set1_ps(rDx), _mm_set1_ps(aDx)};
            [[maybe_unused]] const __m128 uRowV = _mm_set1_ps(uRow), uDxV = _mm_set1_ps(uDx);
            [[maybe_unused]] const __m128 vRowV = _mm_set1_ps(vRow), vDxV = _mm_set1_ps(vDx);
            [[maybe_unused]] const __m128 uScale = _mm_set1_ps(static_cast<float>(sampler.width * 256));
            [[maybe_unused]] const __m128 vScale = _mm_set1_ps(static_cast<float>(sampler.height * 256));
            [[maybe_unused]] const __m128 texOffset = _mm_set1_ps(kTex == 2 ? 128.0f : 0.0f);
            const __m128i flat = _mm_set1_epi32(static_cast<int>(flatColor));
            const __m128i zero16 = _mm_setzero_si128();

            // floor(coord * scale - offset) per lane, as TexelFixed does (lanes out of its fast
            // range go through TexelFixed itself).
            [[maybe_unused]] auto texelFixed = [&](__m128 coord, __m128 scale, int size,
                                                   D3DTEXTUREADDRESS mode, int out[4]) {
                const __m128 absCoord = _mm_andnot_ps(_mm_set1_ps(-0.0f), coord);
                if (_mm_movemask_ps(_mm_cmplt_ps(absCoord, _mm_set1_ps(1024.0f))) == 0xF) {
                    const __m128 t = _mm_sub_ps(_mm_mul_ps(coord, scale), texOffset);
                    const __m128i i = _mm_cvttps_epi32(t);
                    const __m128i fl = _mm_add_epi32(
                        i, _mm_castps_si128(_mm_cmplt_ps(t, _mm_cvtepi32_ps(i))));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), fl);
                } else {
                    alignas(16) float c[4];
                    _mm_store_ps(c, coord);
                    for (int k = 0; k < 4; ++k) out[k] = TexelFixed(c[k], size, mode, kTex == 2);
                }
            };

            for (; xBegin + 4 <= xEnd; xBegin += 4) {
                const int x = xBegin;
                const __m128 fx =
                    _mm_sub_ps(_mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(x), lane)), x0v);
                __m128i pass = ones;
                __m128i q = _mm_setzero_si128();
                __m128i stored = _mm_setzero_si128();
                if (depthTest) {
                    __m128 z = _mm_add_ps(zRowV, _mm_mul_ps(zDxV, fx));
                    z = _mm_max_ps(z, zero);  // NaN -> 0, like ToDepth
                    z = _mm_min_ps(z, _mm_set1_ps(1.0f));
                    q = _mm_cvttps_epi32(
                        _mm_add_ps(_mm_mul_ps(z, _mm_set1_ps(65535.0f)), _mm_set1_ps(0.5f)));
                    stored = _mm_unpacklo_epi16(
                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(drow + x)), zero16);
                    pass = _mm_xor_si128(_mm_cmpgt_epi32(q, stored), ones);
                    if (_mm_movemask_epi8(pass) == 0) continue;
                }
                [[maybe_unused]] __m128 w = _mm_set1_ps(1.0f);
                if constexpr (kGouraud || kTex != 0)
                    w = _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(iwRowV, _mm_mul_ps(iwDxV, fx)));
                __m128i color;
                if constexpr (kGouraud) {
                    __m128i c[4];
                    for (int k = 0; k < 4; ++k) {
                        __m128 v = _mm_mul_ps(_mm_add_ps(cRow[k], _mm_mul_ps(cDx[k], fx)), w);
                        v = _mm_max_ps(v, zero);  // like ToByte: NaN and negatives -> 0
                        v = _mm_min_ps(v, _mm_set1_ps(255.0f));
                        c[k] = _mm_cvttps_epi32(_mm_add_ps(v, _mm_set1_ps(0.5f)));
                    }
                    color = _mm_or_si128(_mm_or_si128(c[0], _mm_slli_epi32(c[1], 8)),
                                         _mm_or_si128(_mm_slli_epi32(c[2], 16), _mm_slli_epi32(c[3], 24)));
                } else {
                    color = flat;
                }
                if constexpr (kTex != 0) {
                    alignas(16) int xf[4], yf[4];
                    texelFixed(_mm_mul_ps(_mm_add_ps(uRowV, _mm_mul_ps(uDxV, fx)), w), uScale,
                               sampler.width, sampler.addressU, xf);
                    texelFixed(_mm_mul_ps(_mm_add_ps(vRowV, _mm_mul_ps(vDxV, fx)), w), vScale,
                               sampler.height, sampler.addressV, yf);
                    const int wm = sampler.width - 1, hm = sampler.height - 1;
                    __m128i texel;
                    if constexpr (kTex == 1) {
                        alignas(16) std::uint32_t tex[4];
                        for (int k = 0; k < 4; ++k)
                            tex[k] = sampler.texels[static_cast<std::size_t>((yf[k] >> 8) & hm) * sampler.width +
                                                    ((xf[k] >> 8) & wm)];
                        texel = _mm_load_si128(reinterpret_cast<const __m128i*>(tex));
                    } else {
                        // Gather the four corners of each pixel's texel square, then blend
                        // them in 16-bit lanes exactly as LerpTexel does, two pixels per vector.
                        alignas(16) std::uint32_t c00[4], c10[4], c01[4], c11[4];
                        for (int k = 0; k < 4; ++k) {
                            const int i0 = (xf[k] >> 8) & wm, i1 = ((xf[k] >> 8) + 1) & wm;
                            const int j0 = (yf[k] >> 8) & hm, j1 = ((yf[k] >> 8) + 1) & hm;
                            const std::uint32_t* rowA =
                                sampler.texels + static_cast<std::size_t>(j0) * sampler.width;
                            const std::uint32_t* rowB =
                                sampler.texels + static_cast<std::size_t>(j1) * sampler.width;
                            c00[k] = rowA[i0];
                            c10[k] = rowA[i1];
                            c01[k] = rowB[i0];
                            c11[k] = rowB[i1];
                        }
                        const __m128i mask8 = _mm_set1_epi32(255);
                        const __m128i fx32 = _mm_and_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(xf)), mask8);
                        const __m128i fy32 = _mm_and_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(yf)), mask8);
                        // Per-pixel weights spread over that pixel's four channel lanes.
                        auto spread = [](__m128i f32, bool high) {
                            const __m128i f16 = _mm_packs_epi32(f32, f32);
                            const __m128i pairs = _mm_unpacklo_epi16(f16, f16);
                            return high ? _mm_unpackhi_epi32(pairs, pairs) : _mm_unpacklo_epi32(pairs, pairs);
                        };
                        const __m128i n256 = _mm_set1_epi16(256), round = _mm_set1_epi16(128);
                        auto lerp = [&](__m128i a, __m128i b, __m128i f) {
                            return _mm_srli_epi16(
                                _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(n256, f)),
                                                            _mm_mullo_epi16(b, f)),
                                              round),
                                8);
                        };
                        auto load = [](const std::uint32_t* p) {
                            return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
                        };
                        const __m128i a00 = load(c00), a10 = load(c10), a01 = load(c01), a11 = load(c11);
                        __m128i halves[2];
                        for (int h = 0; h < 2; ++h) {
                            auto widen = [&](__m128i v) {
                                return h ? _mm_unpackhi_epi8(v, zero16) : _mm_unpacklo_epi8(v, zero16);
                            };
                            const __m128i wx = spread(fx32, h != 0), wy = spread(fy32, h != 0);
                            halves[h] = lerp(lerp(widen(a00), widen(a10), wx),
                                             lerp(widen(a01), widen(a11), wx), wy);
                        }
                        texel = _mm_packus_epi16(halves[0], halves[1]);
                    }
                    // RGB = texel * diffuse, A = texel alpha.
                    const __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(texel, zero16),
                                                                _mm_unpacklo_epi8(color, zero16)));
                    const __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(texel, zero16),
                                                                _mm_unpackhi_epi8(color, zero16)));
                    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
                    color = _mm_or_si128(_mm_andnot_si128(alphaMask, _mm_packus_epi16(lo, hi)),
                                         _mm_and_si128(alphaMask, texel));
                }
                __m128i* cdst = reinterpret_cast<__m128i*>(crow + x);
                const __m128i old = _mm_loadu_si128(cdst);
                if constexpr (kBlend) {
                    // src * a + dst * (255 - a), per channel, a broadcast from each pixel's alpha.
                    auto blendHalf = [&](__m128i s16, __m128i d16) {
                        const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
                        const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
                        return Div255x8(_mm_add_epi16(_mm_mullo_epi16(s16, a), _mm_mullo_epi16(d16, ia)));
                    };
                    color = _mm_packus_epi16(
                        blendHalf(_mm_unpacklo_epi8(color, zero16), _mm_unpacklo_epi8(old, zero16)),
                        blendHalf(_mm_unpackhi_epi8(color, zero16), _mm_unpackhi_epi8(old, zero16)));
                }
                if (direct) {
                    color = _mm_or_si128(color, _mm_set1_epi32(static_cast<int>(orMask)));
                } else {
                    alignas(16) std::uint32_t px[4];
                    _mm_store_si128(reinterpret_cast<__m128i*>(px), color);
                    for (std::uint32_t& p : px) p = StoredColor(p, format);
                    color = _mm_load_si128(reinterpret_cast<const __m128i*>(px));
                }
                _mm_storeu_si128(cdst, _mm_or_si128(_mm_and_si128(pass, color), _mm_andnot_si128(pass, old)));
                if (depthWrite) {
                    const __m128i d = _mm_or_si128(_mm_and_si128(pass, q), _mm_andnot_si128(pass, stored));
                    // 0..65535 through the signed 16-bit pack: shift down by 0x8000 and back.
                    const __m128i d16 = _mm_xor_si128(
                        _mm_packs_epi32(_mm_sub_epi32(d, bias16), _mm_sub_epi32(d, bias16)), bias16s);
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(drow + x), d16);
                }
            }
        }
    }
#endif
    for (int x = xBegin; x < xEnd; ++x) {
        const float fx = static_cast<float>(x) - x0;
        int q = 0;
        if (depthTest) {
            q = ToDepth(zRow + zDx * fx);
            const int stored = drow[x];
            if (lessEqual ? q > stored : !Compare(depthFunc, q, stored)) continue;
        }
        std::uint32_t diffuse;
        [[maybe_unused]] float w = 1.0f;
        if constexpr (kGouraud || kTex != 0) w = 1.0f / (iwRow + iwDx * fx);
        if constexpr (kGouraud) {
#if defined(__SSE2__)
            diffuse = PackRounded(_mm_mul_ps(
                _mm_add_ps(colorRow, _mm_mul_ps(colorDx, _mm_set1_ps(fx))), _mm_set1_ps(w)));
#else
            diffuse = Pack(ToByte((aRow + aDx * fx) * w), ToByte((rRow + rDx * fx) * w),
                           ToByte((gRow + gDx * fx) * w), ToByte((bRow + bDx * fx) * w));
#endif
        } else {
            diffuse = flatColor;
        }
        std::uint32_t texel = 0;
        if constexpr (kTex != 0) {
            texel = Sample<kTex == 2>(sampler, (uRow + uDx * fx) * w, (vRow + vDx * fx) * w);
        }
        std::uint32_t color;
        if constexpr (kMode == StageMode::Diffuse) {
            color = diffuse;
        } else if constexpr (kMode == StageMode::ModulateTexture) {
            color = Modulate(texel, diffuse);
        } else {
            color = EvaluateStage(st.args, diffuse, texel);
        }
        if (alphaTest && !Compare(alphaFunc, Channel(color, 24), alphaRef)) continue;
        if constexpr (kBlend) {
            const std::uint32_t dst = crow[x];
            if (alphaOverBlend) {
                color = BlendSourceAlpha(color, dst);
            } else {
                color = Blend(st, color, dst);
            }
        }
        crow[x] = direct ? (color | orMask) : StoredColor(color, format);
        if (depthWrite) drow[x] = static_cast<std::uint16_t>(q);
    }
}

// All rows of one triangle; the span loop is inlined so that its constants are set up once.
template <bool kGouraud, int kTex, StageMode kMode, bool kBlend>
void FillRows(const RasterState& st, const Setup& s, Rows rows) {
    EdgeWalker w0 = rows.walker[0], w1 = rows.walker[1], w2 = rows.walker[2];
    for (std::int64_t y = rows.y0; y <= rows.y1; ++y) {
        std::int64_t lo = rows.x0, hi = rows.x1;
        w0.Bound(lo, hi);
        w1.Bound(lo, hi);
        w2.Bound(lo, hi);
        if (lo <= hi)
            FillSpan<kGouraud, kTex, kMode, kBlend>(st, s, static_cast<int>(y), static_cast<int>(lo),
                                                    static_cast<int>(hi) + 1);
    }
}

using SpanFn = void (*)(const RasterState&, const Setup&, Rows);

template <bool kGouraud, int kTex, StageMode kMode>
SpanFn PickBlend(bool blend) {
    return blend ? &FillRows<kGouraud, kTex, kMode, true> : &FillRows<kGouraud, kTex, kMode, false>;
}

#if defined(VELMO_WIDE_SPANS)
// The states the SIMD loops take: stage 0 not in general mode, no alpha test, the usual depth
// test or none, source-alpha blending or none, a wrapping power-of-two texture or none.
bool TakesSimdSpans(const RasterState& st) {
    const bool tex = st.texture.texels != nullptr && st.stage != StageMode::Diffuse;
    const bool depthTest = st.depthTest && st.target.depth;
    return st.stage != StageMode::General && !st.alphaTest &&
           (!depthTest || st.depthFunc == D3DCMP_LESSEQUAL) &&
           (!st.blend || (st.srcBlend == D3DBLEND_SRCALPHA && st.destBlend == D3DBLEND_INVSRCALPHA)) &&
           (!tex || MakeSampler(st).fastWrap);
}

template <bool kGouraud, int kTex, StageMode kMode>
SpanFn PickBlendWide(bool blend) {
    return blend ? &FillRowsWide<kGouraud, kTex, kMode, true>
                 : &FillRowsWide<kGouraud, kTex, kMode, false>;
}

template <bool kGouraud>
SpanFn PickSpanWide(const RasterState& st) {
    const bool tex = st.texture.texels != nullptr && st.stage != StageMode::Diffuse;
    if (st.stage == StageMode::ModulateTexture && tex)
        return st.linear ? PickBlendWide<kGouraud, 2, StageMode::ModulateTexture>(st.blend)
                         : PickBlendWide<kGouraud, 1, StageMode::ModulateTexture>(st.blend);
    return PickBlendWide<kGouraud, 0, StageMode::Diffuse>(st.blend);
}
#endif

template <bool kGouraud>
SpanFn PickSpan(const RasterState& st) {
#if defined(VELMO_WIDE_SPANS)
    if (g_wideSpans && TakesSimdSpans(st)) return PickSpanWide<kGouraud>(st);
#endif
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

// q = floor(a / b), r = a - q * b (0 <= r < b) for b > 0: estimated in double (much cheaper than
// a 64-bit integer division) and corrected exactly.
inline void FloorDivMod(std::int64_t a, std::int64_t b, std::int64_t* q, std::int64_t* r) {
    std::int64_t quotient = static_cast<std::int64_t>(
        std::floor(static_cast<double>(a) / static_cast<double>(b)));
    std::int64_t rest = a - quotient * b;
    while (rest < 0) {
        --quotient;
        rest += b;
    }
    while (rest >= b) {
        ++quotient;
        rest -= b;
    }
    *q = quotient;
    *r = rest;
}

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

EdgeWalker MakeWalker(const Edge& ed, std::int64_t y0) {
    EdgeWalker w;
    const std::int64_t m = ed.b * y0 + ed.c - ed.bias;
    if (ed.a == 0) {
        // q carries M itself (stepped by b; the remainder never wraps).
        return {0, m, 0, ed.b, 0, INT64_MAX};
    }
    w.kind = ed.a > 0 ? 1 : -1;
    w.div = ed.a > 0 ? ed.a : -ed.a;
    FloorDivMod(m, w.div, &w.q, &w.r);
    FloorDivMod(ed.b, w.div, &w.qStep, &w.rStep);
    return w;
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
    const double invArea = 1.0 / area;
    auto plane = [&](double f0, double f1, double f2) {
        const double d1 = f1 - f0, d2 = f2 - f0;
        Plane p;
        p.c = static_cast<float>(f0);
        p.dx = static_cast<float>((d1 * Y2 - d2 * Y1) * invArea);
        p.dy = static_cast<float>((d2 * X1 - d1 * X2) * invArea);
        return p;
    };
    s.z = plane(v0.z, v1.z, v2.z);
    const bool textured = st.texture.texels != nullptr && st.stage != StageMode::Diffuse;
    // Alpha only matters where it is blended, tested, passed to the stage or stored.
    const bool alphaMatters = st.blend || st.alphaTest || st.stage != StageMode::Diffuse ||
                              st.target.format == D3DFMT_A8R8G8B8 ||
                              st.target.format == D3DFMT_A1R5G5B5;
    const bool gouraud = !(v0.r == v1.r && v0.r == v2.r && v0.g == v1.g && v0.g == v2.g &&
                           v0.b == v1.b && v0.b == v2.b &&
                           (!alphaMatters || (v0.a == v1.a && v0.a == v2.a)));
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
        s.sampler = MakeSampler(st);
        s.u = plane(v0.u * v0.iw, v1.u * v1.iw, v2.u * v2.iw);
        s.v = plane(v0.v * v0.iw, v1.v * v1.iw, v2.v * v2.iw);
    }
    const SpanFn span = gouraud ? PickSpan<true>(st) : PickSpan<false>(st);

    // Each edge bounds the span on one side: a pixel x of row y is inside when
    // a*x + b*y + c >= bias, i.e. x >= -floor(M/a) for a > 0 and x <= floor(M/-a) for a < 0, with
    // M(y) = b*y + c - bias. floor(M/|a|) is stepped from row to row exactly (quotient and
    // remainder), so no division is needed per row.
    Rows rows;
    rows.y0 = y0;
    rows.y1 = y1;
    rows.x0 = x0;
    rows.x1 = x1;
    for (int k = 0; k < 3; ++k) rows.walker[k] = MakeWalker(e[k], y0);
    span(st, s, rows);
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

bool UseWideSpans(bool enable) {
#if defined(VELMO_WIDE_SPANS)
    static const bool available = g_wideSpans;
    g_wideSpans = enable && available;
    return g_wideSpans;
#else
    (void)enable;
    return false;
#endif
}

std::uint32_t SampleTexture(const TextureImage& image, float u, float v, bool linear,
                            D3DTEXTUREADDRESS addressU, D3DTEXTUREADDRESS addressV) {
    if (!image.texels || image.width <= 0 || image.height <= 0) return 0;
    RasterState st;
    st.texture = image;
    st.addressU = addressU;
    st.addressV = addressV;
    const Sampler sampler = MakeSampler(st);
    return linear ? Sample<true>(sampler, u, v) : Sample<false>(sampler, u, v);
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
        // The guard band keeps real geometry far inside this; only rounding trouble in the
        // clipper (from absurd input) could get here, and it must not overflow the edge maths.
        constexpr double kLimit = 1 << 20;
        if (!(std::fabs(X) < kLimit && std::fabs(Y) < kLimit)) return;
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

    // Twice the signed area of the fan triangle k; > 0: clockwise on screen (y grows downwards).
    // Positions are below 2^28 in fixed point, so neither this nor the sum below overflows.
    auto area = [&](int k) {
        const ScreenVertex &p0 = sv[0], &p1 = sv[k], &p2 = sv[k + 1];
        return (p1.fx - p0.fx) * (p2.fy - p0.fy) - (p1.fy - p0.fy) * (p2.fx - p0.fx);
    };
    // The triangle faces one way as a whole. Clipping far outside the guard band rounds, and a
    // sliver of the fan can come out turned the other way: culling it on its own would draw part
    // of a culled triangle, or cut a hole into a drawn one.
    std::int64_t total = 0;
    for (int k = 1; k + 1 < n; ++k) total += area(k);
    if (total == 0) return;
    const std::int64_t facing = flipCull ? -total : total;
    if (st.cull == D3DCULL_CCW && facing < 0) return;
    if (st.cull == D3DCULL_CW && facing > 0) return;
    for (int k = 1; k + 1 < n; ++k) {
        const ScreenVertex& p0 = sv[0];
        const ScreenVertex& p1 = sv[k];
        const ScreenVertex& p2 = sv[k + 1];
        const std::int64_t a = area(k);
        if (a == 0) continue;
        if (a > 0)
            RasterizeScreenTriangle(st, p0, p1, p2);
        else
            RasterizeScreenTriangle(st, p0, p2, p1);
    }
}

}  // namespace velmo::d3d8::detail
