#include "platform/d3d8/d3dx8.h"

#include <cmath>

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point,
                                    const D3DXVECTOR3* normal) {
    if (!out || !point || !normal) return nullptr;
    out->a = normal->x;
    out->b = normal->y;
    out->c = normal->z;
    out->d = -(point->x * normal->x + point->y * normal->y + point->z * normal->z);
    return out;
}

D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
    if (!out || !plane) return nullptr;
    // Normalise so that p.n + d is the signed distance; a zero normal gives the zero plane and
    // with it the identity, instead of dividing by zero.
    const float len = std::sqrt(plane->a * plane->a + plane->b * plane->b + plane->c * plane->c);
    float n[3] = {0.0f, 0.0f, 0.0f};
    float d = 0.0f;
    if (len != 0.0f) {
        n[0] = plane->a / len;
        n[1] = plane->b / len;
        n[2] = plane->c / len;
        d = plane->d / len;
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out->m[i][j] = (i == j ? 1.0f : 0.0f) - 2.0f * n[i] * n[j];
        out->m[i][3] = 0.0f;
    }
    for (int j = 0; j < 3; ++j) out->m[3][j] = -2.0f * d * n[j];
    out->m[3][3] = 1.0f;
    return out;
}
