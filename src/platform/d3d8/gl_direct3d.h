#pragma once
// The Direct3D object of the program: D3DDEVTYPE_HAL is the OpenGL device on the desk window's
// context (DeskWindow::gl), D3DDEVTYPE_REF the software device. Creating a HAL device fails with
// D3DERR_NOTAVAILABLE where OpenGL cannot be had (no context, one that cannot be made current,
// below 2.1, or a framebuffer that does not fit the display format), as on a machine without a
// hardware device.

#include <functional>
#include <memory>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/software_device.h"

namespace velmo::d3d8 {

// The display format a screen of that many bits per pixel shows: X8R8G8B8 for 24 and 32,
// R5G6B5 for 16, X1R5G5B5 for 15, D3DFMT_UNKNOWN for the others.
D3DFORMAT DisplayFormat(int bitsPerPixel);

// A Direct3DCreate8 replacement for the desk: GetAdapterDisplayMode reports the screen of the
// desk's context (X8R8G8B8 at 1920 x 1080 when the desk has none: the format its software frames
// are presented in). `monitor` (optional) counts calls and injects failures on both device
// types. The desk must outlive every object the factory makes.
std::function<IDirect3D8*(UINT)> OpenGLDirect3DFactory(HWND desk,
                                                       std::shared_ptr<CallMonitor> monitor = {});

}  // namespace velmo::d3d8
