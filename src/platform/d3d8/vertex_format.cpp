#include "platform/d3d8/vertex_format.h"

namespace velmo::d3d8::detail {

VertexLayout ParseFvf(DWORD fvf) {
    VertexLayout l;
    constexpr DWORD kTexCountMask = 0x0f00;
    const DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | kTexCountMask;
    if ((fvf & ~known) != 0 || (fvf & 0x000E) != D3DFVF_XYZ) return l;
    const UINT texCount = (fvf & kTexCountMask) >> 8;
    if (texCount > 8) return l;
    UINT off = 12;
    if (fvf & D3DFVF_NORMAL) {
        l.normal = static_cast<int>(off);
        off += 12;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        l.diffuse = static_cast<int>(off);
        off += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        l.specular = static_cast<int>(off);
        off += 4;
    }
    if (texCount > 0) l.tex0 = static_cast<int>(off);
    off += 8 * texCount;
    l.size = off;
    l.valid = true;
    return l;
}

}  // namespace velmo::d3d8::detail
