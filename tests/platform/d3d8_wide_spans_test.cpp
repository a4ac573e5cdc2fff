// Spans drawn eight pixels at a time (AVX2) must give exactly the pictures of the four-pixel and
// the scalar loops: random perspective triangles over every state the wide loop takes, and the
// ones it leaves to the others, drawn both ways and compared byte for byte.

#include <cstring>
#include <random>

#include "d3d8_helpers.h"
#include "platform/d3d8/raster.h"

namespace velmo::d3d8::test {
namespace {

// Restores the rasteriser's own choice when a test ends.
struct WideSpansScope {
    ~WideSpansScope() { detail::UseWideSpans(true); }
};

struct Texture {
    IDirect3DTexture8* texture = nullptr;
    explicit Texture(IDirect3DDevice8* device, UINT width, UINT height, std::mt19937& random) {
        EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                        &texture),
                  S_OK);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (UINT y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                                         y * locked.Pitch);
            for (UINT x = 0; x < width; ++x) row[x] = random();
        }
        texture->UnlockRect(0);
    }
    ~Texture() { texture->Release(); }
};

// A frame of random triangles; the same seed draws the same frame.
std::vector<std::uint32_t> DrawRandomFrame(const DeviceConfig& config, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto between = [&](float lo, float hi) { return lo + (hi - lo) * unit(random); };
    DeviceFixture f(config);
    IDirect3DDevice8* device = f.device;
    // Perspective: view-space z from 1 to 12 maps to 0..1, so w varies across every triangle.
    D3DMATRIX projection{};
    projection.m[0][0] = projection.m[1][1] = 1.0f;
    projection.m[2][2] = 12.0f / 11.0f;
    projection.m[2][3] = 1.0f;
    projection.m[3][2] = -12.0f / 11.0f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Texture square(device, 16, 16, random), odd(device, 12, 10, random);
    f.ClearAll(0xFF203040);

    for (int batch = 0; batch < 40; ++batch) {
        // States: the wide loop's own and every one it leaves to the narrower loops.
        IDirect3DTexture8* textures[] = {nullptr, square.texture, odd.texture};
        device->SetTexture(0, textures[random() % 3]);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, random() % 2 ? D3DTEXF_LINEAR : D3DTEXF_POINT);
        const DWORD address[] = {D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR};
        device->SetTextureStageState(0, D3DTSS_ADDRESSU, address[random() % 4]);
        device->SetTextureStageState(0, D3DTSS_COLOROP, random() % 5 ? D3DTOP_MODULATE : D3DTOP_ADD);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, random() % 2);
        device->SetRenderState(D3DRS_SRCBLEND, random() % 4 ? D3DBLEND_SRCALPHA : D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_ZFUNC, random() % 4 ? D3DCMP_LESSEQUAL : D3DCMP_LESS);
        device->SetRenderState(D3DRS_ZWRITEENABLE, random() % 4 != 0);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, random() % 6 == 0);
        device->SetRenderState(D3DRS_ALPHAREF, 0x60);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        device->SetRenderState(D3DRS_SHADEMODE, random() % 3 ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);

        std::vector<Vertex> vertices;
        const bool flat = random() % 3 == 0;  // one colour for the whole triangle
        const float uvRange = random() % 8 == 0 ? 3000.0f : 3.0f;  // beyond the fast texel range
        for (int t = 0; t < 6; ++t) {
            const D3DCOLOR shared = random();
            for (int k = 0; k < 3; ++k) {
                const float z = between(0.5f, 14.0f);  // some before the near plane
                vertices.push_back({between(-1.3f, 1.3f) * z, between(-1.3f, 1.3f) * z, z, 0, 0, -1,
                                    flat ? shared : static_cast<D3DCOLOR>(random()),
                                    between(-uvRange, uvRange), between(-uvRange, uvRange)});
            }
        }
        EXPECT_EQ(f.Draw(D3DPT_TRIANGLELIST, vertices, 6), S_OK);
    }
    IDirect3DSurface8* surface = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
    D3DLOCKED_RECT locked{};
    surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    const auto* bytes = static_cast<const std::uint8_t*>(locked.pBits);
    std::vector<std::uint32_t> frame(std::size_t(locked.Pitch) * config.height / 4);
    std::memcpy(frame.data(), bytes, frame.size() * 4);
    surface->UnlockRect();
    surface->Release();
    return frame;
}

TEST(WideSpans, DrawExactlyWhatTheNarrowLoopsDraw) {
    WideSpansScope restore;
    if (!detail::UseWideSpans(true)) GTEST_SKIP() << "this CPU has no AVX2";
    const DeviceConfig configs[] = {
        {37, 29, D3DFMT_X8R8G8B8},
        {64, 48, D3DFMT_A8R8G8B8},
        {35, 33, D3DFMT_R5G6B5},
        {21, 40, D3DFMT_A1R5G5B5},
    };
    for (const DeviceConfig& config : configs) {
        for (unsigned seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE("format " + std::to_string(config.format) + ", seed " + std::to_string(seed));
            detail::UseWideSpans(false);
            const std::vector<std::uint32_t> narrow = DrawRandomFrame(config, seed);
            detail::UseWideSpans(true);
            const std::vector<std::uint32_t> wide = DrawRandomFrame(config, seed);
            ASSERT_EQ(wide, narrow);
        }
    }
}

}  // namespace
}  // namespace velmo::d3d8::test
