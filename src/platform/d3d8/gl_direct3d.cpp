// The program's Direct3D object: the OpenGL device for D3DDEVTYPE_HAL, the software device for
// D3DDEVTYPE_REF, and the display mode of the desk's screen.

#include "platform/d3d8/gl_direct3d.h"

#include <new>

#include "platform/d3d8/gl_device.h"
#include "platform/d3d8/monitor.h"
#include "platform/d3d8/ref_counted.h"
#include "platform/d3d8/software_raster_device.h"

namespace velmo::d3d8 {

namespace {

using detail::Enter;

class OpenGLDirect3D final : public detail::RefCounted<IDirect3D8> {
public:
    OpenGLDirect3D(HWND desk, std::shared_ptr<CallMonitor> monitor)
        : desk_(desk), monitor_(std::move(monitor)) {}

    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        if (const HRESULT hr = Enter(monitor_, Call::GetAdapterDisplayMode); FAILED(hr)) return hr;
        if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
        *mode = DisplayMode();
        return S_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behavior,
                         D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** out) override {
        if (const HRESULT hr = Enter(monitor_, Call::CreateDevice); FAILED(hr)) return hr;
        if (!out) return D3DERR_INVALIDCALL;
        *out = nullptr;
        if (!pp || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF) return D3DERR_INVALIDCALL;
        const D3DFORMAT display = DisplayMode().Format;
        // A screen format neither device can hold leaves no device at all.
        if (display == D3DFMT_UNKNOWN) return D3DERR_NOTAVAILABLE;
        detail::DeviceSetup setup;
        if (const HRESULT hr =
                detail::CheckDeviceRequest(type, focus, behavior, pp, display, &setup);
            FAILED(hr))
            return hr;
        if (type == D3DDEVTYPE_HAL) {
            if (!setup.window || !setup.window->gl) return D3DERR_NOTAVAILABLE;
            return detail::GlDevice::Create(this, monitor_, setup, *setup.window->gl, out);
        }
        try {
            *out = new detail::SoftwareDevice(this, monitor_, setup);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

private:
    D3DDISPLAYMODE DisplayMode() const {
        if (!desk_ || !desk_->gl) return {1920, 1080, 60, D3DFMT_X8R8G8B8};
        const DisplayInfo d = desk_->gl->Display();
        return {static_cast<UINT>(d.width), static_cast<UINT>(d.height),
                static_cast<UINT>(d.refreshRate), DisplayFormat(d.bitsPerPixel)};
    }

    HWND desk_;
    std::shared_ptr<CallMonitor> monitor_;
};

}  // namespace

D3DFORMAT DisplayFormat(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 32:
        case 24: return D3DFMT_X8R8G8B8;
        case 16: return D3DFMT_R5G6B5;
        case 15: return D3DFMT_X1R5G5B5;
        default: return D3DFMT_UNKNOWN;
    }
}

std::function<IDirect3D8*(UINT)> OpenGLDirect3DFactory(HWND desk,
                                                       std::shared_ptr<CallMonitor> monitor) {
    return [desk, monitor](UINT sdkVersion) -> IDirect3D8* {
        if (sdkVersion != D3D_SDK_VERSION) return nullptr;
        return new (std::nothrow) OpenGLDirect3D(desk, monitor);
    };
}

}  // namespace velmo::d3d8
