#pragma once
// Internal: the small vector, matrix and colour helpers of vertex processing (row vectors, as in
// the rest of the device). They are inline because the per-vertex loop calls most of them.

#include <bit>
#include <cmath>
#include <cstring>

#include "math/matrix.h"
#include "platform/d3d8/d3d8types.h"

namespace velmo::d3d8::detail {

// ---- Small matrix helpers (row vectors) ----------------------------------------------------------------

// D3DMATRIX and velmo::Matrix4 are both sixteen floats in rows, so the device uses the math
// library's routines on its matrices.
static_assert(sizeof(D3DMATRIX) == sizeof(velmo::Matrix4));

inline D3DMATRIX Identity() { return std::bit_cast<D3DMATRIX>(velmo::MatrixIdentity()); }

inline D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    return std::bit_cast<D3DMATRIX>(velmo::MatrixMultiply(std::bit_cast<velmo::Matrix4>(a),
                                                          std::bit_cast<velmo::Matrix4>(b)));
}

using Vec3 = velmo::Vec3;

inline Vec3 TransformPoint(const float* p, const D3DMATRIX& m) {
    return {p[0] * m.m[0][0] + p[1] * m.m[1][0] + p[2] * m.m[2][0] + m.m[3][0],
            p[0] * m.m[0][1] + p[1] * m.m[1][1] + p[2] * m.m[2][1] + m.m[3][1],
            p[0] * m.m[0][2] + p[1] * m.m[1][2] + p[2] * m.m[2][2] + m.m[3][2]};
}

inline Vec3 TransformDirection(Vec3 v, const float m[3][3]) {
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
            v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 Normalized(Vec3 v) {
    const float len = std::sqrt(Dot(v, v));
    if (!(len > 0.0f)) return {0, 0, 0};
    return {v.x / len, v.y / len, v.z / len};
}

// Inverse transpose of the upper 3x3 of m (zero when m is singular).
inline void NormalMatrix(const D3DMATRIX& m, float out[3][3]) {
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const float det = a * A + b * B + c * C;
    if (det == 0.0f || !std::isfinite(det)) {
        std::memset(out, 0, sizeof(float) * 9);
        return;
    }
    const float inv = 1.0f / det;
    // inverse = adj / det; its transpose has the cofactors in place.
    out[0][0] = A * inv;
    out[0][1] = B * inv;
    out[0][2] = C * inv;
    out[1][0] = -(b * i - c * h) * inv;
    out[1][1] = (a * i - c * g) * inv;
    out[1][2] = -(a * h - b * g) * inv;
    out[2][0] = (b * f - c * e) * inv;
    out[2][1] = -(a * f - c * d) * inv;
    out[2][2] = (a * e - b * d) * inv;
}

// ---- Colours ---------------------------------------------------------------------------------------

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

inline Rgba FromColor(D3DCOLOR c) {
    return {((c >> 16) & 255) / 255.0f, ((c >> 8) & 255) / 255.0f, (c & 255) / 255.0f,
            (c >> 24) / 255.0f};
}
inline Rgba FromValue(const D3DCOLORVALUE& v) { return {v.r, v.g, v.b, v.a}; }

// 0..1 -> rounded 0..255 (NaN -> 0).
inline float ToChannel(float v) {
    if (!(v > 0.0f)) return 0.0f;
    if (v >= 1.0f) return 255.0f;
    return std::floor(v * 255.0f + 0.5f);
}

}  // namespace velmo::d3d8::detail
