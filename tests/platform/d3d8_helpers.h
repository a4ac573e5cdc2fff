#pragma once
// Shared set-up for the software-device tests: a device on a small desk, vertices in the view's
// 36-byte layout, and helpers that place vertices at exact screen positions.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/software_device.h"

namespace velmo::d3d8::test {

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR color;
    float u, v;
};
static_assert(sizeof(Vertex) == 36);
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(kFvf == 0x152);

inline D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

struct DeviceConfig {
    int width = 16;
    int height = 16;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
    bool hardware = false;
    bool depth = true;
    bool lockable = true;
};

// A device on its own desk, with a frame collector as presenter. Lighting is switched off unless
// a test turns it on, so vertex colours land in the back buffer unchanged.
class DeviceFixture {
public:
    explicit DeviceFixture(const DeviceConfig& config = {}) : config_(config) {
        monitor = std::make_shared<CallMonitor>();
        SoftwareDeviceOptions options;
        options.displayFormat = config.format;
        options.actAsHardware = config.hardware;
        options.monitor = monitor;
        d3d = CreateSoftwareDirect3D(options);
        window.clientWidth = config.width;
        window.clientHeight = config.height;
        window.presenter = &collector;
        D3DPRESENT_PARAMETERS pp{};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = config.format;
        pp.EnableAutoDepthStencil = config.depth;
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        pp.Flags = config.lockable ? D3DPRESENTFLAG_LOCKABLE_BACKBUFFER : 0;
        createResult = d3d->CreateDevice(D3DADAPTER_DEFAULT,
                                         config.hardware ? D3DDEVTYPE_HAL : D3DDEVTYPE_REF, &window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device);
        if (device) {
            device->SetRenderState(D3DRS_LIGHTING, FALSE);
            device->SetVertexShader(kFvf);
        }
    }
    ~DeviceFixture() {
        if (vb) vb->Release();
        if (device) device->Release();
        if (d3d) d3d->Release();
    }
    DeviceFixture(const DeviceFixture&) = delete;
    DeviceFixture& operator=(const DeviceFixture&) = delete;

    // Clip-space position of screen point (sx, sy) under identity transforms.
    float ClipX(float sx) const { return 2.0f * sx / config_.width - 1.0f; }
    float ClipY(float sy) const { return 1.0f - 2.0f * sy / config_.height; }
    Vertex Screen(float sx, float sy, D3DCOLOR color, float z = 0.5f) const {
        return Vertex{ClipX(sx), ClipY(sy), z, 0, 0, -1, color, 0, 0};
    }

    // Writes the vertices into the fixture's vertex buffer (grown as needed) and binds it.
    void Upload(const std::vector<Vertex>& vertices) {
        const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(Vertex));
        if (!vb || bytes > vbBytes_) {
            if (vb) vb->Release();
            vb = nullptr;
            ASSERT_EQ(device->CreateVertexBuffer(bytes, 0, kFvf, D3DPOOL_DEFAULT, &vb), S_OK);
            vbBytes_ = bytes;
        }
        BYTE* p = nullptr;
        ASSERT_EQ(vb->Lock(0, bytes, &p, 0), S_OK);
        std::memcpy(p, vertices.data(), bytes);
        ASSERT_EQ(vb->Unlock(), S_OK);
        ASSERT_EQ(device->SetStreamSource(0, vb, sizeof(Vertex)), S_OK);
    }

    // Uploads and draws inside its own scene.
    HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<Vertex>& vertices, UINT count,
                 UINT start = 0) {
        Upload(vertices);
        if (HRESULT hr = device->BeginScene(); FAILED(hr)) return hr;
        const HRESULT hr = device->DrawPrimitive(type, start, count);
        device->EndScene();
        return hr;
    }

    HRESULT ClearAll(D3DCOLOR color = 0, float z = 1.0f) {
        return device->Clear(0, nullptr, D3DCLEAR_TARGET | (config_.depth ? D3DCLEAR_ZBUFFER : 0),
                             color, z, 0);
    }

    // The back buffer read through GetBackBuffer + a read-only LockRect, as 0xAARRGGBB.
    std::vector<std::uint32_t> ReadBack() {
        std::vector<std::uint32_t> out;
        IDirect3DSurface8* surface = nullptr;
        EXPECT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), S_OK);
        if (!surface) return out;
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(surface->LockRect(&lr, nullptr, D3DLOCK_READONLY), S_OK);
        if (lr.pBits) {
            const int bpp = BytesPerPixel(config_.format);
            for (int y = 0; y < config_.height; ++y)
                for (int x = 0; x < config_.width; ++x)
                    out.push_back(DecodePixel(
                        static_cast<const std::uint8_t*>(lr.pBits) + y * lr.Pitch + x * bpp,
                        config_.format));
            surface->UnlockRect();
        }
        surface->Release();
        return out;
    }
    std::uint32_t Pixel(int x, int y) { return ReadBack().at(std::size_t(y) * config_.width + x); }
    // Pixels whose RGB equals that of `color`.
    int CountRgb(D3DCOLOR color) {
        int n = 0;
        for (std::uint32_t p : ReadBack()) n += (p & 0xFFFFFF) == (color & 0xFFFFFF);
        return n;
    }

    const DeviceConfig& config() const { return config_; }

    std::shared_ptr<CallMonitor> monitor;
    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3DVertexBuffer8* vb = nullptr;
    DeskWindow window;
    FrameCollector collector;
    HRESULT createResult = E_FAIL;

private:
    DeviceConfig config_;
    UINT vbBytes_ = 0;
};

}  // namespace velmo::d3d8::test
