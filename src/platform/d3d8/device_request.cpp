// The checks CreateDevice makes whatever the device type, shared by the software and the
// OpenGL Direct3D objects so that both answer a request with the same code.

#include "platform/d3d8/device.h"

namespace velmo::d3d8::detail {

HRESULT CheckDeviceRequest(D3DDEVTYPE type, HWND focus, DWORD behavior, D3DPRESENT_PARAMETERS* pp,
                           D3DFORMAT displayFormat, DeviceSetup* setup) {
    const DWORD vp = behavior & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                 D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                 D3DCREATE_MIXED_VERTEXPROCESSING);
    if (vp != D3DCREATE_SOFTWARE_VERTEXPROCESSING && vp != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        vp != D3DCREATE_MIXED_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    if (!pp->Windowed) return D3DERR_NOTAVAILABLE;  // only windowed devices exist here
    HWND window = pp->hDeviceWindow ? pp->hDeviceWindow : focus;
    const long long w = pp->BackBufferWidth ? (long long)pp->BackBufferWidth
                                            : (window ? window->clientWidth : 0);
    const long long h = pp->BackBufferHeight ? (long long)pp->BackBufferHeight
                                             : (window ? window->clientHeight : 0);
    if (w <= 0 || h <= 0 || w > kMaxBackBufferSize || h > kMaxBackBufferSize)
        return D3DERR_INVALIDCALL;
    D3DFORMAT format = pp->BackBufferFormat;
    if (format == D3DFMT_UNKNOWN) format = displayFormat;
    if (format != displayFormat) return D3DERR_INVALIDCALL;
    if (pp->BackBufferCount > 1 || pp->MultiSampleType != D3DMULTISAMPLE_NONE)
        return D3DERR_NOTAVAILABLE;
    if (pp->SwapEffect < D3DSWAPEFFECT_DISCARD || pp->SwapEffect > D3DSWAPEFFECT_COPY_VSYNC)
        return D3DERR_INVALIDCALL;
    if (pp->Flags & ~D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) return D3DERR_INVALIDCALL;
    const bool depth = pp->EnableAutoDepthStencil != FALSE;
    if (depth && pp->AutoDepthStencilFormat != D3DFMT_D16 &&
        pp->AutoDepthStencilFormat != D3DFMT_D16_LOCKABLE) {
        switch (pp->AutoDepthStencilFormat) {
            case D3DFMT_D32: case D3DFMT_D15S1: case D3DFMT_D24S8: case D3DFMT_D24X8:
            case D3DFMT_D24X4S4: return D3DERR_NOTAVAILABLE;
            default: return D3DERR_INVALIDCALL;
        }
    }
    pp->BackBufferWidth = static_cast<UINT>(w);
    pp->BackBufferHeight = static_cast<UINT>(h);
    pp->BackBufferFormat = format;
    pp->BackBufferCount = 1;
    *setup = {type,  focus, behavior, window, static_cast<int>(w), static_cast<int>(h), format,
              depth, (pp->Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0};
    return S_OK;
}

}  // namespace velmo::d3d8::detail
