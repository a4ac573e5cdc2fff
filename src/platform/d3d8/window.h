#pragma once
// The "window" a Direct3D 8 device draws into. On Linux there is no HWND: the desk is described by
// a small struct that tells the device its client size and where presented frames go.

#include <cstdint>

#include "platform/d3d8/d3d8types.h"

namespace velmo::d3d8 {

// Receives every frame that IDirect3DDevice8::Present shows. The pixels are the back buffer in its
// own format (rows top-down, `pitch` bytes apart) and are only valid during the call.
class IPresenter {
public:
    virtual ~IPresenter() = default;
    virtual void PresentFrame(const void* pixels, int width, int height, int pitch,
                              D3DFORMAT format) = 0;
};

// What a device needs to know about the window it is bound to. A null presenter makes Present a
// no-op that still succeeds (headless runs). The struct must outlive every device bound to it.
struct DeskWindow {
    int clientWidth = 0;
    int clientHeight = 0;
    IPresenter* presenter = nullptr;
};

}  // namespace velmo::d3d8

using HWND = velmo::d3d8::DeskWindow*;
