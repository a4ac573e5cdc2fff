// The software Direct3D 8 object, the public factories, and Direct3DCreate8.
//
// Lifetime: every object counts the references its callers hold. A resource (vertex buffer,
// texture, the back-buffer surface) holds one reference to its device while callers hold it, and
// the device holds one to its Direct3D object. Resources bound to the device (stream source,
// textures) are additionally kept alive by a binding count that the device drops when it unbinds
// them or is destroyed; this keeps bindings from forming reference cycles.

#include <new>

#include "platform/d3d8/software_raster_device.h"
#include "platform/d3d8/formats.h"
#include "platform/d3d8/ref_counted.h"
#include "platform/d3d8/monitor.h"
#include "platform/d3d8/software_device.h"

namespace velmo::d3d8 {

namespace {

using detail::Enter;
using detail::IsBackBufferFormat;
using detail::RefCounted;
using detail::SoftwareDevice;

class SoftwareDirect3D final : public RefCounted<IDirect3D8> {
public:
    explicit SoftwareDirect3D(const SoftwareDeviceOptions& options) : options_(options) {}


    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        if (const HRESULT hr = Enter(options_.monitor, Call::GetAdapterDisplayMode); FAILED(hr))
            return hr;
        if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
        *mode = {options_.displayWidth, options_.displayHeight, options_.refreshRate,
                 options_.displayFormat};
        return S_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behavior,
                         D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** out) override {
        if (const HRESULT hr = Enter(options_.monitor, Call::CreateDevice); FAILED(hr)) return hr;
        if (!out) return D3DERR_INVALIDCALL;
        *out = nullptr;
        if (!pp || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
        if (type == D3DDEVTYPE_HAL) {
            if (!options_.actAsHardware) return D3DERR_NOTAVAILABLE;
            if (options_.failHardware) return options_.createFailure;
        } else if (type == D3DDEVTYPE_REF) {
            if (options_.failReference) return options_.createFailure;
        } else {
            return D3DERR_INVALIDCALL;
        }
        detail::DeviceSetup setup;
        if (const HRESULT hr = detail::CheckDeviceRequest(type, focus, behavior, pp,
                                                          options_.displayFormat, &setup);
            FAILED(hr))
            return hr;
        try {
            *out = new SoftwareDevice(this, options_.monitor, setup);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

private:
    SoftwareDeviceOptions options_;
};

}  // namespace

IDirect3D8* CreateSoftwareDirect3D(const SoftwareDeviceOptions& options, UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || !IsBackBufferFormat(options.displayFormat)) return nullptr;
    return new (std::nothrow) SoftwareDirect3D(options);
}

std::function<IDirect3D8*(UINT)> SoftwareDirect3DFactory(SoftwareDeviceOptions options) {
    return [options](UINT sdkVersion) { return CreateSoftwareDirect3D(options, sdkVersion); };
}

}  // namespace velmo::d3d8

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    return velmo::d3d8::CreateSoftwareDirect3D(velmo::d3d8::SoftwareDeviceOptions{}, sdkVersion);
}
