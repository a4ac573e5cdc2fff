#pragma once
// The "window" a Direct3D 8 device draws into. On Linux there is no HWND: the desk is described by
// a small struct that tells the device its client size, where presented frames go, and the
// OpenGL context the hardware device draws through.

#include <cstdint>

#include "platform/d3d8/d3d8types.h"

namespace velmo::d3d8 {

// The largest back buffer, in either direction, that a device makes for a window; a window
// that is larger is refused with D3DERR_INVALIDCALL.
inline constexpr int kMaxBackBufferSize = 8192;

// Receives every frame that IDirect3DDevice8::Present shows. The pixels are the back buffer in its
// own format (rows top-down, `pitch` bytes apart) and are only valid during the call.
class IPresenter {
public:
    virtual ~IPresenter() = default;
    virtual void PresentFrame(const void* pixels, int width, int height, int pitch,
                              D3DFORMAT format) = 0;
};

// The screen a window is on, as the display mode reports it.
struct DisplayInfo {
    int width = 0;
    int height = 0;
    int refreshRate = 0;
    int bitsPerPixel = 0;  // 32 or 24 (8 bits a channel), 16 (5-6-5), 15 (5-5-5)
};

// An OpenGL 2.1 compatibility context on the desk's native window, double-buffered with a depth
// buffer, as the window layer provides it. The OpenGL device makes it current before each batch
// of OpenGL calls and calls OpenGL only through the entry points looked up here.
class IGLContext {
public:
    using Function = void (*)();
    virtual ~IGLContext() = default;
    // False when the context cannot be made current: there is none, or it was lost.
    virtual bool MakeCurrent() = 0;
    // Shows the back buffer without waiting for vertical sync; false when the context was lost.
    virtual bool SwapBuffers() = 0;
    // An OpenGL entry point ("glClear", ...); nullptr when the implementation has none.
    virtual Function GetProcAddress(const char* name) = 0;
    // The window's drawable in device pixels. A back buffer of another size is anchored at the
    // drawable's top-left corner, as Direct3D anchors it at the client area's.
    virtual void SurfaceSize(int* width, int* height) = 0;
    virtual DisplayInfo Display() = 0;
};

// What a device needs to know about the window it is bound to. A null presenter makes Present a
// no-op that still succeeds (headless runs); the software device presents through it. The
// OpenGL device draws through `gl` and presents by swapping; without a context there is no
// hardware device. The struct, and the context, must outlive every device bound to it.
struct DeskWindow {
    int clientWidth = 0;
    int clientHeight = 0;
    IPresenter* presenter = nullptr;
    IGLContext* gl = nullptr;
};

}  // namespace velmo::d3d8

using HWND = velmo::d3d8::DeskWindow*;
