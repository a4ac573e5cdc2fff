#include <cstring>

#include "platform/d3d8/software_device.h"

namespace velmo::d3d8 {

const char* CallName(Call call) {
    switch (call) {
        case Call::GetAdapterDisplayMode: return "GetAdapterDisplayMode";
        case Call::CreateDevice: return "CreateDevice";
        case Call::CreateVertexBuffer: return "CreateVertexBuffer";
        case Call::CreateTexture: return "CreateTexture";
        case Call::SetStreamSource: return "SetStreamSource";
        case Call::SetVertexShader: return "SetVertexShader";
        case Call::SetRenderState: return "SetRenderState";
        case Call::SetTextureStageState: return "SetTextureStageState";
        case Call::SetTransform: return "SetTransform";
        case Call::SetLight: return "SetLight";
        case Call::LightEnable: return "LightEnable";
        case Call::SetMaterial: return "SetMaterial";
        case Call::SetTexture: return "SetTexture";
        case Call::SetViewport: return "SetViewport";
        case Call::Clear: return "Clear";
        case Call::BeginScene: return "BeginScene";
        case Call::EndScene: return "EndScene";
        case Call::DrawPrimitive: return "DrawPrimitive";
        case Call::Present: return "Present";
        case Call::GetBackBuffer: return "GetBackBuffer";
        case Call::VertexBufferLock: return "VertexBufferLock";
        case Call::VertexBufferUnlock: return "VertexBufferUnlock";
        case Call::TextureLockRect: return "TextureLockRect";
        case Call::TextureUnlockRect: return "TextureUnlockRect";
        case Call::SurfaceLockRect: return "SurfaceLockRect";
        case Call::SurfaceUnlockRect: return "SurfaceUnlockRect";
        case Call::Count: break;
    }
    return "?";
}

Call CallFromName(std::string_view name) {
    for (std::size_t i = 0; i < kCallCount; ++i) {
        const auto call = static_cast<Call>(i);
        if (name == CallName(call)) return call;
    }
    return Call::Count;
}

void CallMonitor::FailCall(Call call, HRESULT result, unsigned onCall, bool andLater) {
    if (call >= Call::Count) return;
    faults_[static_cast<std::size_t>(call)] = Fault{true, result, onCall, andLater};
}

void CallMonitor::ClearFault(Call call) {
    if (call >= Call::Count) return;
    faults_[static_cast<std::size_t>(call)] = Fault{};
}

void CallMonitor::ClearFaults() { faults_.fill(Fault{}); }

unsigned CallMonitor::Count(Call call) const {
    if (call >= Call::Count) return 0;
    return counts_[static_cast<std::size_t>(call)];
}

void CallMonitor::ResetCounts() { counts_.fill(0); }

HRESULT CallMonitor::Enter(Call call) {
    if (call >= Call::Count) return S_OK;
    const auto i = static_cast<std::size_t>(call);
    const unsigned n = ++counts_[i];
    const Fault& f = faults_[i];
    if (!f.active) return S_OK;
    if (f.onCall == 0 || n == f.onCall || (f.andLater && n > f.onCall)) return f.result;
    return S_OK;
}

int BytesPerPixel(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8: return 4;
        case D3DFMT_R8G8B8: return 3;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: return 2;
        default: return 0;
    }
}

namespace {
std::uint32_t Expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }
std::uint32_t Expand6(std::uint32_t v) { return (v << 2) | (v >> 4); }
}  // namespace

std::uint32_t DecodePixel(const void* p, D3DFORMAT format) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    switch (format) {
        case D3DFMT_A8R8G8B8: {
            std::uint32_t v;
            std::memcpy(&v, b, 4);
            return v;
        }
        case D3DFMT_X8R8G8B8: {
            std::uint32_t v;
            std::memcpy(&v, b, 4);
            return v | 0xFF000000u;
        }
        case D3DFMT_R8G8B8:
            return 0xFF000000u | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[1]) << 8) | b[0];
        case D3DFMT_R5G6B5: {
            const std::uint32_t v = b[0] | (std::uint32_t(b[1]) << 8);
            return 0xFF000000u | (Expand5(v >> 11) << 16) | (Expand6((v >> 5) & 63) << 8) |
                   Expand5(v & 31);
        }
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: {
            const std::uint32_t v = b[0] | (std::uint32_t(b[1]) << 8);
            const std::uint32_t a =
                format == D3DFMT_X1R5G5B5 || (v & 0x8000u) ? 0xFF000000u : 0u;
            return a | (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) |
                   Expand5(v & 31);
        }
        default: return 0;
    }
}

void FrameCollector::PresentFrame(const void* data, int w, int h, int p, D3DFORMAT f) {
    ++frames;
    width = w;
    height = h;
    pitch = p;
    format = f;
    const auto* b = static_cast<const std::uint8_t*>(data);
    pixels.assign(b, b + static_cast<std::size_t>(p) * static_cast<std::size_t>(h));
}

std::uint32_t FrameCollector::PixelArgb(int x, int y) const {
    const int bpp = BytesPerPixel(format);
    if (x < 0 || y < 0 || x >= width || y >= height || bpp == 0) return 0;
    return DecodePixel(pixels.data() + static_cast<std::size_t>(y) * pitch +
                           static_cast<std::size_t>(x) * bpp,
                       format);
}

}  // namespace velmo::d3d8
