// The two D3DX helpers, and our own matrix routines checked against the D3DX formulas.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>

#include "math/matrix.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3dx8.h"

namespace {

using velmo::Matrix4;
using velmo::Vec3;

// The mirror point of the initial view angles (|P| = 5).
constexpr float kPx = -3.2910f, kPy = -3.7620f, kPz = 0.1220f;

D3DXMATRIX MirrorReflection(float px, float py, float pz) {
    const D3DXVECTOR3 p(px, py, pz), n(-px, -py, -pz);
    D3DXPLANE plane{};
    EXPECT_EQ(D3DXPlaneFromPointNormal(&plane, &p, &n), &plane);
    D3DXMATRIX r;
    EXPECT_EQ(D3DXMatrixReflect(&r, &plane), &r);
    return r;
}

float Det3(const D3DMATRIX& m) {
    return m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[1][2] * m.m[2][1]) -
           m.m[0][1] * (m.m[1][0] * m.m[2][2] - m.m[1][2] * m.m[2][0]) +
           m.m[0][2] * (m.m[1][0] * m.m[2][1] - m.m[1][1] * m.m[2][0]);
}

void Apply(const D3DMATRIX& m, const float p[3], float out[3]) {
    for (int j = 0; j < 3; ++j)
        out[j] = p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j] + m.m[3][j];
}

TEST(D3dx, PlaneFromPointNormalKeepsTheNormalAsGiven) {
    const D3DXVECTOR3 p(kPx, kPy, kPz), n(-kPx, -kPy, -kPz);
    D3DXPLANE plane{};
    D3DXPlaneFromPointNormal(&plane, &p, &n);
    EXPECT_FLOAT_EQ(plane.a, -kPx);
    EXPECT_FLOAT_EQ(plane.b, -kPy);
    EXPECT_FLOAT_EQ(plane.c, -kPz);
    EXPECT_NEAR(plane.d, kPx * kPx + kPy * kPy + kPz * kPz, 1e-4);  // |P|^2
    EXPECT_NEAR(plane.d, 25.0f, 2e-3f);
}

TEST(D3dx, ReflectionIsAnInvolutionWithDeterminantMinusOne) {
    const D3DXMATRIX r = MirrorReflection(kPx, kPy, kPz);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += r.m[i][k] * r.m[k][j];
            EXPECT_NEAR(sum, i == j ? 1.0f : 0.0f, 1e-5f) << i << "," << j;
            if (i < 3 && j < 3) {
                EXPECT_NEAR(r.m[i][j], r.m[j][i], 1e-6f);  // symmetric
            }
        }
    EXPECT_NEAR(Det3(r), -1.0f, 1e-5f);
    EXPECT_EQ(r.m[0][3], 0.0f);
    EXPECT_EQ(r.m[3][3], 1.0f);
}

TEST(D3dx, ReflectionFixesThePlaneAndMapsTheOriginToTwiceTheMirrorPoint) {
    const D3DXMATRIX r = MirrorReflection(kPx, kPy, kPz);
    const float p[3] = {kPx, kPy, kPz};
    float q[3];
    Apply(r, p, q);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(q[i], p[i], 1e-5f);
    const float origin[3] = {0, 0, 0};
    Apply(r, origin, q);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(q[i], 2 * p[i], 1e-4f);
}

TEST(D3dx, ReflectionNormalisesThePlaneFirst) {
    // The plane z = 2 given with a long normal: (0, 0, 3, -6).
    const D3DXPLANE plane{0, 0, 3, -6};
    D3DXMATRIX r;
    D3DXMatrixReflect(&r, &plane);
    const float p[3] = {1, 2, 5};
    float q[3];
    Apply(r, p, q);
    EXPECT_FLOAT_EQ(q[0], 1);
    EXPECT_FLOAT_EQ(q[1], 2);
    EXPECT_FLOAT_EQ(q[2], -1);
    // A zero normal gives the identity rather than NaNs.
    const D3DXPLANE zero{0, 0, 0, 5};
    D3DXMatrixReflect(&r, &zero);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(r.m[i][j], i == j ? 1.0f : 0.0f);
}

TEST(D3dx, MatricesShareTheLayoutOfOurMatrix4) {
    static_assert(sizeof(D3DMATRIX) == sizeof(Matrix4));
    static_assert(sizeof(D3DXMATRIX) == sizeof(Matrix4));
    static_assert(offsetof(D3DMATRIX, _43) == 14 * sizeof(float));
    const Matrix4 t = velmo::MatrixTranslation(1, 2, 3);
    D3DMATRIX d;
    std::memcpy(&d, &t, sizeof d);
    EXPECT_EQ(d._41, 1.0f);
    EXPECT_EQ(d._42, 2.0f);
    EXPECT_EQ(d._43, 3.0f);
    EXPECT_EQ(d.m[3][2], 3.0f);
}

// ---- Our matrix routines against the D3DX formulas --------------------------------------------------

TEST(MatrixRoutines, PerspectiveFovLHWithTheProjectsNumbers) {
    const Matrix4 p = velmo::MatrixPerspectiveFovLH(0.875f, 1.0f, 1.0f, 40.0f);
    EXPECT_NEAR(p.m[0][0], 2.1379855f, 1e-6f);
    EXPECT_NEAR(p.m[1][1], 2.1379855f, 1e-6f);
    EXPECT_NEAR(p.m[2][2], 40.0f / 39.0f, 1e-6f);
    EXPECT_NEAR(p.m[3][2], -40.0f / 39.0f, 1e-6f);
    EXPECT_EQ(p.m[2][3], 1.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    // xs = ys / aspect
    const Matrix4 wide = velmo::MatrixPerspectiveFovLH(0.875f, 2.0f, 1.0f, 40.0f);
    EXPECT_NEAR(wide.m[0][0], 2.1379855f / 2.0f, 1e-6f);
}

TEST(MatrixRoutines, LookAtLHFollowsTheFormula) {
    const Vec3 eye{3.477f, 3.5f, -4.966f}, at{0, 0, 0}, up{0, 1, 0};
    const Matrix4 v = velmo::MatrixLookAtLH(eye, at, up);
    // z = norm(at - eye), x = norm(cross(up, z)), y = cross(z, x), computed here in double.
    const double len = std::sqrt(3.477 * 3.477 + 3.5 * 3.5 + 4.966 * 4.966);
    const double z[3] = {-3.477 / len, -3.5 / len, 4.966 / len};
    double x[3] = {up.y * z[2] - up.z * z[1], up.z * z[0] - up.x * z[2], up.x * z[1] - up.y * z[0]};
    const double xl = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (double& c : x) c /= xl;
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    const double e[3] = {eye.x, eye.y, eye.z};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(v.m[i][0], x[i], 1e-6);
        EXPECT_NEAR(v.m[i][1], y[i], 1e-6);
        EXPECT_NEAR(v.m[i][2], z[i], 1e-6);
        EXPECT_EQ(v.m[i][3], 0.0f);
    }
    EXPECT_NEAR(v.m[3][0], -(x[0] * e[0] + x[1] * e[1] + x[2] * e[2]), 1e-5);
    EXPECT_NEAR(v.m[3][1], -(y[0] * e[0] + y[1] * e[1] + y[2] * e[2]), 1e-5);
    EXPECT_NEAR(v.m[3][2], -(z[0] * e[0] + z[1] * e[1] + z[2] * e[2]), 1e-5);
    EXPECT_EQ(v.m[3][3], 1.0f);
    // The eye lands at the camera origin and the target straight ahead at distance 7.
    const Vec3 eyeCam = velmo::TransformPoint(eye, v);
    EXPECT_NEAR(eyeCam.x, 0, 1e-5);
    EXPECT_NEAR(eyeCam.z, 0, 1e-5);
    const Vec3 atCam = velmo::TransformPoint(at, v);
    EXPECT_NEAR(atCam.x, 0, 1e-5);
    EXPECT_NEAR(atCam.y, 0, 1e-5);
    EXPECT_NEAR(atCam.z, len, 1e-4);
}

TEST(MatrixRoutines, RotationSenses) {
    const float h = 1.5707963f;
    const Vec3 z = velmo::TransformPoint({1, 0, 0}, velmo::MatrixRotationZ(h));
    EXPECT_NEAR(z.x, 0, 1e-6);
    EXPECT_NEAR(z.y, 1, 1e-6);
    const Vec3 x = velmo::TransformPoint({0, 1, 0}, velmo::MatrixRotationX(h));
    EXPECT_NEAR(x.y, 0, 1e-6);
    EXPECT_NEAR(x.z, 1, 1e-6);
    const Vec3 y = velmo::TransformPoint({0, 0, 1}, velmo::MatrixRotationY(h));
    EXPECT_NEAR(y.x, 1, 1e-6);
    EXPECT_NEAR(y.z, 0, 1e-6);
}

TEST(MatrixRoutines, RowsOfRotationAndTranslationMatchTheTable) {
    const float a = 0.3f, c = std::cos(a), s = std::sin(a);
    const Matrix4 rx = velmo::MatrixRotationX(a);
    EXPECT_FLOAT_EQ(rx.m[1][1], c);
    EXPECT_FLOAT_EQ(rx.m[1][2], s);
    EXPECT_FLOAT_EQ(rx.m[2][1], -s);
    const Matrix4 ry = velmo::MatrixRotationY(a);
    EXPECT_FLOAT_EQ(ry.m[0][2], -s);
    EXPECT_FLOAT_EQ(ry.m[2][0], s);
    const Matrix4 rz = velmo::MatrixRotationZ(a);
    EXPECT_FLOAT_EQ(rz.m[0][1], s);
    EXPECT_FLOAT_EQ(rz.m[1][0], -s);
    // "A then B" is A * B: translate, then rotate moves the translated point.
    const Matrix4 ab = velmo::MatrixTranslation(1, 0, 0) * velmo::MatrixRotationZ(1.5707963f);
    const Vec3 p = velmo::TransformPoint({0, 0, 0}, ab);
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 1, 1e-6);
}

}  // namespace
