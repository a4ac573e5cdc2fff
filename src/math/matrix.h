#pragma once
// 4x4 single-precision matrices in the row-vector convention: a point is the row vector on the
// left (p' = p * M), the translation sits in the fourth row, and "apply A, then B" is A * B.
// The results equal those of the D3DX routines of the same names.

namespace velmo {

struct Vec3 {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct Matrix4 {
    float m[4][4] = {};
    friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

Matrix4 MatrixIdentity();
Matrix4 MatrixTranslation(float x, float y, float z);
Matrix4 MatrixRotationX(float angle);
Matrix4 MatrixRotationY(float angle);
Matrix4 MatrixRotationZ(float angle);
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);
// Left-handed look-at and perspective matrices.
Matrix4 MatrixLookAtLH(Vec3 eye, Vec3 at, Vec3 up);
Matrix4 MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);

inline Matrix4 operator*(const Matrix4& a, const Matrix4& b) { return MatrixMultiply(a, b); }

// The point p (w = 1) transformed by m, divided back to w = 1 when m is affine.
Vec3 TransformPoint(Vec3 p, const Matrix4& m);

}  // namespace velmo
