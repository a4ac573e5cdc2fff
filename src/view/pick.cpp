// Picking: an identification picture drawn into the back buffer and never presented, and the
// one pixel under the mouse read back from it.

#include "model/velmo.h"
#include "view/scene.h"
#include "view/vertex_access.h"

namespace velmo {

int PickPixelSize(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8: return 4;
        case D3DFMT_R8G8B8: return 3;
        case D3DFMT_R5G6B5: return 2;
        default: return 0;
    }
}

PickResult DecodePickPixel(const void* pixel, D3DFORMAT format) {
    const auto* bytes = static_cast<const BYTE*>(pixel);
    const int size = PickPixelSize(format);
    if (size == 0 || !bytes) return {};
    // Only the pixel's own bytes are read, least significant first.
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
    if (size == 2)  // R5G6B5: the top five of the six green bits
        return {static_cast<int>((value >> 11) & 31), static_cast<int>((value >> 6) & 31),
                static_cast<int>(value & 31)};
    return {static_cast<int>((value >> 19) & 31), static_cast<int>((value >> 11) & 31),
            static_cast<int>((value >> 3) & 31)};
}

HRESULT TScene::RenderPickFrame() {
    if (!device_) return E_FAIL;
    HRESULT hr = device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    if (FAILED(hr)) return hr;
    hr = device_->BeginScene();
    if (FAILED(hr)) return hr;
    const Matrix4 identity = MatrixIdentity();
    if (hardware_) {
        // The disc in its own unlit vertex colours; the ring and the mirror image are left out.
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        hr = device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        if (FAILED(hr)) return hr;
        SetWorld(MirrorMatrix());
        device_->DrawPrimitive(D3DPT_TRIANGLEFAN, kDiscCentreVertex, 50);
        SetWorld(identity);
        hr = device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        if (FAILED(hr)) return hr;
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    }
    SetWorld(identity);
    if (model_) {
        hr = DrawCube(*model_, identity, true);
        if (FAILED(hr)) return hr;
    }
    return device_->EndScene();
}

namespace {

// Reads the pixel at (x, y) of a locked surface; a point outside it reads as nothing.
PickResult ReadPixel(const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc, D3DFORMAT format,
                     int x, int y) {
    const int size = PickPixelSize(format);
    if (size == 0 || !locked.pBits || x < 0 || y < 0 || x >= static_cast<int>(desc.Width) ||
        y >= static_cast<int>(desc.Height))
        return {};
    const auto* bits = static_cast<const BYTE*>(locked.pBits);
    return DecodePickPixel(bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch +
                               static_cast<std::ptrdiff_t>(x) * size,
                           format);
}

}  // namespace

bool TScene::ReadPickPicture(const PickReader& read) {
    HRESULT hr = RenderPickFrame();
    if (FAILED(hr)) {
        ReportSceneError(kCaptionPick, hr);
        return false;
    }
    IDirect3DSurface8* surface = nullptr;
    hr = device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
    if (FAILED(hr) || !surface) {
        ReportSceneError(kCaptionPick, FAILED(hr) ? hr : E_FAIL);
        return false;
    }
    D3DLOCKED_RECT locked{};
    hr = surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(hr)) {
        surface->Release();
        ReportSceneError(kCaptionPick, hr);
        return false;
    }
    // The back buffer was created in the display mode's format.
    D3DDISPLAYMODE mode{};
    mode.Format = D3DFMT_UNKNOWN;
    d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    // The surface's size bounds the read, so a point off the desk cannot read past the buffer.
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc))) desc.Width = desc.Height = 0;
    read(locked, desc, mode.Format);
    surface->UnlockRect();
    surface->Release();
    if (hardware_) device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    return true;
}

std::optional<PickResult> TScene::PickAt(int x, int y) {
    PickResult result;
    const bool read = ReadPickPicture(
        [&](const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc, D3DFORMAT format) {
            result = ReadPixel(locked, desc, format, x, y);
        });
    if (!read) return std::nullopt;
    return result;
}

std::optional<PickMap> TScene::PickAll() {
    PickMap map;
    const bool read = ReadPickPicture(
        [&](const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc, D3DFORMAT format) {
            map.width = static_cast<int>(desc.Width);
            map.height = static_cast<int>(desc.Height);
            map.results.reserve(static_cast<std::size_t>(map.width) * map.height);
            for (int y = 0; y < map.height; ++y)
                for (int x = 0; x < map.width; ++x)
                    map.results.push_back(ReadPixel(locked, desc, format, x, y));
        });
    if (!read) return std::nullopt;
    return map;
}

}  // namespace velmo
