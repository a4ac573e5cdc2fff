#pragma once
// The software ("reference") Direct3D 8 implementation and its test hooks.
//
// Everything a test wants to control or observe hangs off the options given to the factory (and
// the CallMonitor they may share); there is no global state, so tests can run side by side.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace velmo::d3d8 {

// The operations a test can count or make fail.
enum class Call : int {
    GetAdapterDisplayMode,
    CreateDevice,
    CreateVertexBuffer,
    CreateTexture,
    SetStreamSource,
    SetVertexShader,
    SetRenderState,
    SetTextureStageState,
    SetTransform,
    SetLight,
    LightEnable,
    SetMaterial,
    SetTexture,
    SetViewport,
    Clear,
    BeginScene,
    EndScene,
    DrawPrimitive,
    Present,
    GetBackBuffer,
    VertexBufferLock,    // IDirect3DVertexBuffer8::Lock
    VertexBufferUnlock,  // IDirect3DVertexBuffer8::Unlock
    TextureLockRect,     // IDirect3DTexture8::LockRect
    TextureUnlockRect,   // IDirect3DTexture8::UnlockRect
    SurfaceLockRect,     // IDirect3DSurface8::LockRect
    SurfaceUnlockRect,   // IDirect3DSurface8::UnlockRect
    Count
};
constexpr std::size_t kCallCount = static_cast<std::size_t>(Call::Count);

// The name of the operation as the interfaces spell it ("Clear", "VertexBufferLock", ...).
const char* CallName(Call call);
// The operation with that name (as CallName gives it); Call::Count for an unknown name.
Call CallFromName(std::string_view name);

// Counts calls and injects failures. Share one between the options and the test:
//   auto monitor = std::make_shared<CallMonitor>();
//   monitor->FailCall(Call::Present, D3DERR_DEVICELOST, 3);   // only the third Present fails
//   options.monitor = monitor;
// Single-threaded, like the devices. Every call is counted, failed or not. An injected failure returns before the call has any
// effect (a failed Lock hands out no pointer, a failed BeginScene opens no scene, ...).
class CallMonitor {
public:
    // Make `call` return `result`. onCall = 0: every call from now on; onCall = n: only the n-th
    // call counted since the last ResetCounts (1-based); with andLater, the n-th and every later
    // one. A new fault for the same call replaces the old one.
    void FailCall(Call call, HRESULT result, unsigned onCall = 0, bool andLater = false);
    void ClearFault(Call call);
    void ClearFaults();

    unsigned Count(Call call) const;
    void ResetCounts();

    // Used by the device: counts the call and returns the injected result, or S_OK.
    HRESULT Enter(Call call);

private:
    struct Fault {
        bool active = false;
        HRESULT result = S_OK;
        unsigned onCall = 0;
        bool andLater = false;
    };
    std::array<unsigned, kCallCount> counts_{};
    std::array<Fault, kCallCount> faults_{};
};

struct SoftwareDeviceOptions {
    // Format of the display mode and of the back buffer when the caller asks for D3DFMT_UNKNOWN or
    // for this format. Supported: X8R8G8B8, A8R8G8B8, R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5.
    D3DFORMAT displayFormat = D3DFMT_X8R8G8B8;
    UINT displayWidth = 1920;   // what GetAdapterDisplayMode reports
    UINT displayHeight = 1080;
    UINT refreshRate = 60;

    // CreateDevice accepts D3DDEVTYPE_HAL and the device reports itself as a hardware device (it
    // is the same rasteriser). Without it, HAL creation fails with D3DERR_NOTAVAILABLE, as on a
    // machine without a hardware device.
    bool actAsHardware = false;
    // Make CreateDevice fail for that device type with createFailure.
    bool failHardware = false;
    bool failReference = false;
    HRESULT createFailure = D3DERR_NOTAVAILABLE;

    // Optional call counting and fault injection, shared with the test.
    std::shared_ptr<CallMonitor> monitor;
};

// A Direct3D object over the software rasteriser; nullptr when sdkVersion != D3D_SDK_VERSION or
// the display format is not supported. The caller owns the returned reference.
IDirect3D8* CreateSoftwareDirect3D(const SoftwareDeviceOptions& options,
                                   UINT sdkVersion = D3D_SDK_VERSION);

// A Direct3DCreate8 replacement bound to the given options, for code that takes its factory.
std::function<IDirect3D8*(UINT)> SoftwareDirect3DFactory(SoftwareDeviceOptions options);

// A presenter that keeps a copy of the last presented frame (in its own format) and counts frames.
class FrameCollector : public IPresenter {
public:
    void PresentFrame(const void* pixels, int width, int height, int pitch,
                      D3DFORMAT format) override;

    int frames = 0;
    int width = 0;
    int height = 0;
    int pitch = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<std::uint8_t> pixels;

    // The pixel at (x, y) of the last frame as 0xAARRGGBB (alpha 0xFF for formats without alpha);
    // 0 outside the frame.
    std::uint32_t PixelArgb(int x, int y) const;
};

// Converts one pixel stored in `format` (at `p`) to 0xAARRGGBB; 0 for unsupported formats.
std::uint32_t DecodePixel(const void* p, D3DFORMAT format);
// Bytes per pixel of a back-buffer/texture format we support; 0 for others.
int BytesPerPixel(D3DFORMAT format);

}  // namespace velmo::d3d8
