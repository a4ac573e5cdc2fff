#include "platform/d3d8/resources.h"

#include <algorithm>
#include <utility>

#include "platform/d3d8/monitor.h"

namespace velmo::d3d8::detail {

void ChildLifetime::Unbind() {
    if (--bindings_ == 0 && refs_ == 0) delete this;
}

// ---- Vertex buffer -----------------------------------------------------------------------------------

VertexBuffer::VertexBuffer(IDirect3DDevice8* device, std::shared_ptr<CallMonitor> monitor,
                           UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : ChildLifetime(device), monitor_(std::move(monitor)), data_(length), usage_(usage),
      fvf_(fvf), pool_(pool) {
    device->AddRef();
    AdoptFirstReference();
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, BYTE** out, DWORD flags) {
    if (const HRESULT hr = Enter(monitor_, Call::VertexBufferLock); FAILED(hr)) return hr;
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (locked_) return D3DERR_INVALIDCALL;
    const std::uint64_t length = data_.size();
    if (size == 0) {
        if (offset > length) return D3DERR_INVALIDCALL;
    } else if (std::uint64_t(offset) + size > length) {
        return D3DERR_INVALIDCALL;
    }
    constexpr DWORD kKnown = D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NOOVERWRITE |
                             D3DLOCK_DISCARD | D3DLOCK_NO_DIRTY_UPDATE;
    if (flags & ~kKnown) return D3DERR_INVALIDCALL;
    locked_ = true;
    *out = data_.data() + offset;
    return S_OK;
}

HRESULT VertexBuffer::Unlock() {
    if (const HRESULT hr = Enter(monitor_, Call::VertexBufferUnlock); FAILED(hr)) return hr;
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return S_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_,
             static_cast<UINT>(data_.size()), fvf_};
    return S_OK;
}

// ---- Texture -----------------------------------------------------------------------------------------

Texture::Texture(IDirect3DDevice8* device, std::shared_ptr<CallMonitor> monitor, UINT width,
                 UINT height, UINT levels, D3DFORMAT format, D3DPOOL pool)
    : ChildLifetime(device), monitor_(std::move(monitor)), format_(format), pool_(pool) {
    int w = static_cast<int>(width), h = static_cast<int>(height);
    for (UINT i = 0; i < levels; ++i) {
        levels_.push_back(Level{w, h, std::vector<std::uint32_t>(std::size_t(w) * h), false});
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    device->AddRef();
    AdoptFirstReference();
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
    const Level& l = levels_[level];
    *desc = {format_, D3DRTYPE_SURFACE, 0, pool_, static_cast<UINT>(l.texels.size() * 4),
             D3DMULTISAMPLE_NONE, static_cast<UINT>(l.width), static_cast<UINT>(l.height)};
    return S_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (const HRESULT hr = Enter(monitor_, Call::TextureLockRect); FAILED(hr)) return hr;
    if (!locked || level >= levels_.size()) return D3DERR_INVALIDCALL;
    (void)flags;
    Level& l = levels_[level];
    if (l.locked) return D3DERR_INVALIDCALL;
    std::size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || rect->right > l.width || rect->bottom > l.height)
            return D3DERR_INVALIDCALL;
        offset = std::size_t(rect->top) * l.width + std::size_t(rect->left);
    }
    l.locked = true;
    locked->Pitch = l.width * 4;
    locked->pBits = l.texels.data() + offset;
    return S_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
    if (const HRESULT hr = Enter(monitor_, Call::TextureUnlockRect); FAILED(hr)) return hr;
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    levels_[level].locked = false;
    if (level == 0) ++level0Generation_;
    if (format_ == D3DFMT_X8R8G8B8)  // no alpha in the format: texels read as opaque
        for (std::uint32_t& t : levels_[level].texels) t |= 0xFF000000u;
    return S_OK;
}

}  // namespace velmo::d3d8::detail
