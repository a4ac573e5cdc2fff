// The software device's back end: clearing, drawing through the rasteriser, presenting to the
// window's presenter and mapping the back buffer.

#include "platform/d3d8/software_raster_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d8/formats.h"

namespace velmo::d3d8::detail {

namespace {

// Fills n words with v at memory speed (memset when all bytes of v are equal).
template <class T>
void FillWords(T* p, std::size_t n, T v) {
    const auto byte = static_cast<unsigned char>(v);
    bool sameBytes = true;
    for (std::size_t i = 1; i < sizeof(T); ++i)
        sameBytes = sameBytes && static_cast<unsigned char>(v >> (8 * i)) == byte;
    if (sameBytes) {
        std::memset(p, byte, n * sizeof(T));
        return;
    }
    // Build a 64-bit pattern and store it in blocks; the tail goes word by word.
    std::uint64_t pattern = 0;
    for (std::size_t i = 0; i < 8 / sizeof(T); ++i) pattern |= std::uint64_t(v) << (8 * sizeof(T) * i);
    std::size_t i = 0;
    const std::size_t perBlock = 8 / sizeof(T);
    for (; i + perBlock <= n; i += perBlock) std::memcpy(p + i, &pattern, 8);
    for (; i < n; ++i) p[i] = v;
}

}  // namespace

SoftwareDevice::SoftwareDevice(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor,
                               const DeviceSetup& setup)
    : DeviceBase(d3d, std::move(monitor), setup) {
    const std::size_t pixels = std::size_t(setup.width) * setup.height;
    color_.assign(pixels + kRowSlack, StoredColor(0, setup.format));
    if (setup.depth) depth_.assign(pixels + kRowSlack, 0xFFFF);
}

HRESULT SoftwareDevice::ClearTarget(const std::vector<D3DRECT>& rects, DWORD flags,
                                    D3DCOLOR color, float z) {
    const int width = this->width();
    const std::uint32_t stored = StoredColor(color, format());
    const auto depthValue = static_cast<std::uint16_t>(std::lround(z * 65535.0f));
    auto fill = [&](std::size_t first, std::size_t n) {
        if (flags & D3DCLEAR_TARGET) FillWords(color_.data() + first, n, stored);
        if (flags & D3DCLEAR_ZBUFFER) FillWords(depth_.data() + first, n, depthValue);
    };
    for (const D3DRECT& r : rects) {
        if (r.x1 == 0 && r.x2 == width) {  // whole rows: one contiguous block
            fill(std::size_t(r.y1) * width, std::size_t(r.y2 - r.y1) * width);
            continue;
        }
        for (LONG y = r.y1; y < r.y2; ++y)
            fill(std::size_t(y) * width + r.x1, std::size_t(r.x2 - r.x1));
    }
    return S_OK;
}

HRESULT SoftwareDevice::DrawTriangles(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* v,
                                      RasterState& st) {
    st.target = {width(), height(), color_.data(), depth_.empty() ? nullptr : depth_.data(),
                 format()};
    for (UINT k = 0; k < count; ++k) {
        switch (type) {
            case D3DPT_TRIANGLELIST:
                DrawTriangle(st, v[3 * k], v[3 * k + 1], v[3 * k + 2], false);
                break;
            case D3DPT_TRIANGLESTRIP:
                DrawTriangle(st, v[k], v[k + 1], v[k + 2], (k & 1) != 0);
                break;
            default:  // fan
                DrawTriangle(st, v[0], v[k + 1], v[k + 2], false);
                break;
        }
    }
    return S_OK;
}

const std::uint8_t* SoftwareDevice::PresentedPixels(int* pitch) {
    const int width = this->width(), height = this->height();
    const D3DFORMAT format = this->format();
    if (BytesPerPixel(format) == 4) {
        *pitch = width * 4;
        return reinterpret_cast<const std::uint8_t*>(color_.data());
    }
    const int bpp = BytesPerPixel(format);
    *pitch = PitchFor(width, format);
    staging_.assign(std::size_t(*pitch) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = staging_.data() + std::size_t(y) * *pitch;
        const std::uint32_t* src = color_.data() + std::size_t(y) * width;
        for (int x = 0; x < width; ++x) EncodePixel(src[x], format, row + x * bpp);
    }
    return staging_.data();
}

HRESULT SoftwareDevice::PresentTo(HWND window) {
    if (window && window->presenter) {
        int pitch = 0;
        const std::uint8_t* pixels = PresentedPixels(&pitch);
        window->presenter->PresentFrame(pixels, width(), height(), pitch, format());
    }
    return S_OK;
}

HRESULT SoftwareDevice::MapBackBuffer(bool /*readOnly*/, std::uint8_t** bits, int* pitch) {
    if (BytesPerPixel(format()) == 4) {
        *pitch = width() * 4;
        *bits = reinterpret_cast<std::uint8_t*>(color_.data());
    } else {
        *bits = const_cast<std::uint8_t*>(PresentedPixels(pitch));
    }
    return S_OK;
}

HRESULT SoftwareDevice::UnmapBackBuffer(bool written) {
    if (!written) return S_OK;
    // Whatever the caller wrote is brought back to what the format can hold.
    const int width = this->width(), height = this->height();
    const D3DFORMAT format = this->format();
    const int bpp = BytesPerPixel(format);
    if (bpp == 4) {
        for (std::uint32_t& c : color_) c = StoredColor(c, format);
    } else {
        const int pitch = PitchFor(width, format);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                color_[std::size_t(y) * width + x] = StoredColor(
                    DecodePixel(staging_.data() + std::size_t(y) * pitch + x * bpp, format),
                    format);
    }
    return S_OK;
}

}  // namespace velmo::d3d8::detail
