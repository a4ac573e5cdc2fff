#include "platform/d3d8/formats.h"

#include <cstring>

#include "platform/d3d8/software_device.h"

namespace velmo::d3d8::detail {

bool IsBackBufferFormat(D3DFORMAT f) {
    switch (f) {
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8R8G8B8:
        case D3DFMT_R8G8B8:
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: return true;
        default: return false;
    }
}

// ---- Pixel format conversion of the back buffer ----------------------------------------------------

void EncodePixel(std::uint32_t c, D3DFORMAT format, std::uint8_t* out) {
    const std::uint32_t a = c >> 24, r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8: std::memcpy(out, &c, 4); break;
        case D3DFMT_R8G8B8:
            out[0] = static_cast<std::uint8_t>(b);
            out[1] = static_cast<std::uint8_t>(g);
            out[2] = static_cast<std::uint8_t>(r);
            break;
        case D3DFMT_R5G6B5: {
            const std::uint32_t v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
            out[0] = static_cast<std::uint8_t>(v);
            out[1] = static_cast<std::uint8_t>(v >> 8);
            break;
        }
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: {
            const std::uint32_t top = format == D3DFMT_X1R5G5B5 ? 1u : (a >> 7);
            const std::uint32_t v = (top << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
            out[0] = static_cast<std::uint8_t>(v);
            out[1] = static_cast<std::uint8_t>(v >> 8);
            break;
        }
        default: break;
    }
}

int PitchFor(int width, D3DFORMAT format) {
    const int bytes = width * BytesPerPixel(format);
    return (bytes + 3) & ~3;  // rows start on 4-byte boundaries, as display surfaces do
}

}  // namespace velmo::d3d8::detail
