#pragma once
// The two D3DX 8 helpers the view takes from the library: a plane from a point and a normal, and
// the reflection through a plane. The record types are layout-compatible with the D3D ones.

#include "platform/d3d8/d3d8types.h"

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() = default;
    constexpr D3DXVECTOR3(float vx, float vy, float vz) : D3DVECTOR{vx, vy, vz} {}
};

struct D3DXPLANE {
    float a, b, c, d;
};

struct D3DXMATRIX : D3DMATRIX {};

static_assert(sizeof(D3DXVECTOR3) == 12);
static_assert(sizeof(D3DXMATRIX) == sizeof(D3DMATRIX));

// (a, b, c) = normal, d = -(point . normal). The normal is used as given, not normalised.
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point,
                                    const D3DXVECTOR3* normal);

// The reflection through the plane (normalised first): p -> p - 2 (p.n + d) n.
// A plane with a zero normal normalises to all zeros, which gives the identity.
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane);
