#pragma once
// Locked access to the first vertices of the shared vertex buffer.

#include <cstring>

#include "platform/d3d8/d3d8.h"
#include "view/scene.h"

namespace velmo {

// Locks the first `bytes` of the buffer (offset 0, no flags), lets `edit` read or change the
// vertices, and unlocks. Returns the failing Lock's or Unlock's code; `edit` runs only when the
// lock succeeded.
template <class Edit>
HRESULT EditVertices(IDirect3DVertexBuffer8* buffer, UINT bytes, Edit&& edit) {
    if (!buffer) return E_FAIL;
    BYTE* data = nullptr;
    const HRESULT locked = buffer->Lock(0, bytes, &data, 0);
    if (FAILED(locked)) return locked;
    if (!data) {
        buffer->Unlock();
        return E_FAIL;
    }
    edit(reinterpret_cast<SceneVertex*>(data));
    return buffer->Unlock();
}

// Our matrices and Direct3D's share the row-vector layout, sixteen floats row by row.
inline D3DMATRIX ToD3D(const Matrix4& m) {
    static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX));
    D3DMATRIX d;
    std::memcpy(&d, &m, sizeof d);
    return d;
}

}  // namespace velmo
