// The device's back buffer: presenting it, and the surface GetBackBuffer hands out to read or
// write it. The checks are shared; the back end presents and maps the pixels.

#include <new>

#include "platform/d3d8/device.h"
#include "platform/d3d8/formats.h"
#include "platform/d3d8/monitor.h"

namespace velmo::d3d8::detail {

// The device's one back buffer as a surface. The device owns the object; callers' references keep
// the device alive.
class DeviceBase::BackBuffer final : public IDirect3DSurface8 {
public:
    explicit BackBuffer(DeviceBase* device) : device_(device) {}

    ULONG AddRef() override {
        if (refs_++ == 0) device_->AddRef();
        return refs_;
    }
    ULONG Release() override {
        if (refs_ == 0) return 0;
        const ULONG n = --refs_;
        if (n == 0) device_->Release();  // the device deletes this object when it goes
        return n;
    }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        if (!desc) return D3DERR_INVALIDCALL;
        device_->DescribeBackBuffer(desc);
        return S_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
        if (const HRESULT hr = Enter(device_->monitor(), Call::SurfaceLockRect); FAILED(hr))
            return hr;
        return device_->LockBackBuffer(locked, rect, flags);
    }
    HRESULT UnlockRect() override {
        if (const HRESULT hr = Enter(device_->monitor(), Call::SurfaceUnlockRect); FAILED(hr))
            return hr;
        return device_->UnlockBackBuffer();
    }

private:
    DeviceBase* device_;
    ULONG refs_ = 0;
};

void DeviceBase::DestroyBackBuffer() { delete backBuffer_; }

void DeviceBase::DescribeBackBuffer(D3DSURFACE_DESC* desc) const {
    *desc = {format_, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
             static_cast<UINT>(PitchFor(width_, format_) * height_), D3DMULTISAMPLE_NONE,
             static_cast<UINT>(width_), static_cast<UINT>(height_)};
}

HRESULT DeviceBase::Present(const RECT* source, const RECT* dest, HWND override,
                                const RGNDATA* dirty) {
    if (const HRESULT hr = Enter(monitor_, Call::Present); FAILED(hr)) return hr;
    if (source || dest || dirty) return D3DERR_INVALIDCALL;
    if (inScene_ || backBufferLocked_) return D3DERR_INVALIDCALL;
    return PresentTo(override ? override : window_);
}

HRESULT DeviceBase::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                      IDirect3DSurface8** out) {
    if (const HRESULT hr = Enter(monitor_, Call::GetBackBuffer); FAILED(hr)) return hr;
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (index != 0 || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
    if (!backBuffer_) {
        try {
            backBuffer_ = new BackBuffer(this);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    backBuffer_->AddRef();
    *out = backBuffer_;
    return S_OK;
}

HRESULT DeviceBase::LockBackBuffer(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!locked) return D3DERR_INVALIDCALL;
    if (!lockable_ || backBufferLocked_) return D3DERR_INVALIDCALL;
    constexpr DWORD kKnown = D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NO_DIRTY_UPDATE;
    if (flags & ~kKnown) return D3DERR_INVALIDCALL;
    LONG left = 0, top = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || rect->right > width_ || rect->bottom > height_)
            return D3DERR_INVALIDCALL;
        left = rect->left;
        top = rect->top;
    }
    const int bpp = BytesPerPixel(format_);
    int pitch = 0;
    std::uint8_t* bits = nullptr;
    if (const HRESULT hr = MapBackBuffer((flags & D3DLOCK_READONLY) != 0, &bits, &pitch);
        FAILED(hr))
        return hr;
    backBufferLocked_ = true;
    lockReadOnly_ = (flags & D3DLOCK_READONLY) != 0;
    locked->Pitch = pitch;
    locked->pBits = bits + std::size_t(top) * pitch + std::size_t(left) * bpp;
    return S_OK;
}

HRESULT DeviceBase::UnlockBackBuffer() {
    if (!backBufferLocked_) return D3DERR_INVALIDCALL;
    backBufferLocked_ = false;
    return UnmapBackBuffer(!lockReadOnly_);
}

}  // namespace velmo::d3d8::detail
