#pragma once
// Internal: the software device, the shared device over the triangle rasteriser of raster.h. Its
// back buffer is a block of 0xAARRGGBB words (reduced to what the format holds) and a 16-bit
// depth buffer; formats of fewer bytes are converted into a staging copy for presents and locks,
// and back on unlock.

#include <cstdint>
#include <vector>

#include "platform/d3d8/device.h"

namespace velmo::d3d8::detail {

class SoftwareDevice final : public DeviceBase {
public:
    SoftwareDevice(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor,
                   const DeviceSetup& setup);

private:
    HRESULT ClearTarget(const std::vector<D3DRECT>& rects, DWORD flags, D3DCOLOR color,
                        float z) override;
    HRESULT DrawTriangles(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* vertices,
                          RasterState& st) override;
    HRESULT PresentTo(HWND window) override;
    HRESULT MapBackBuffer(bool readOnly, std::uint8_t** bits, int* pitch) override;
    HRESULT UnmapBackBuffer(bool written) override;

    const std::uint8_t* PresentedPixels(int* pitch);

    std::vector<std::uint32_t> color_;
    std::vector<std::uint16_t> depth_;
    std::vector<std::uint8_t> staging_;  // format conversion for locks and presents
};

}  // namespace velmo::d3d8::detail
