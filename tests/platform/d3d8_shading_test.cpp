// Colour computation of the software device: lighting, interpolation, texture stage 0 and blending.

#include <algorithm>
#include <cmath>
#include <random>

#include "d3d8_helpers.h"
#include "platform/d3d8/raster.h"

namespace velmo::d3d8::test {
namespace {

constexpr D3DCOLOR kVertexColor = 0xC0806040;  // a 192, r 128, g 96, b 64

DeviceConfig WithAlpha() {
    DeviceConfig c;
    c.format = D3DFMT_A8R8G8B8;
    return c;
}

// The whole 16x16 viewport at depth 0.5, facing the camera (normal towards -z), in one colour.
std::vector<Vertex> FacingSquare(D3DCOLOR color, float z = 0.5f) {
    const Vertex a{-1, 1, z, 0, 0, -1, color, 0, 0}, b{1, 1, z, 0, 0, -1, color, 1, 0},
        c{1, -1, z, 0, 0, -1, color, 1, 1}, d{-1, -1, z, 0, 0, -1, color, 0, 1};
    return {a, b, c, a, c, d};
}

D3DLIGHT8 Directional(float dx, float dy, float dz, float r = 1, float g = 1, float b = 1) {
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Diffuse = {r, g, b, 0};
    l.Direction = {dx, dy, dz};
    return l;
}

D3DLIGHT8 Point(float x, float y, float z, float range, float a0, float a1, float a2) {
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_POINT;
    l.Diffuse = {1, 1, 1, 0};
    l.Position = {x, y, z};
    l.Range = range;
    l.Attenuation0 = a0;
    l.Attenuation1 = a1;
    l.Attenuation2 = a2;
    return l;
}

class Lighting : public ::testing::Test {
protected:
    Lighting() : f(WithAlpha()) {
        f.device->SetRenderState(D3DRS_LIGHTING, TRUE);
        f.ClearAll();
    }
    std::uint32_t LitCentre(D3DCOLOR color = kVertexColor) {
        f.Draw(D3DPT_TRIANGLELIST, FacingSquare(color), 2);
        return f.Pixel(8, 8);
    }
    void Light(DWORD index, const D3DLIGHT8& l) {
        ASSERT_EQ(f.device->SetLight(index, &l), S_OK);
        ASSERT_EQ(f.device->LightEnable(index, TRUE), S_OK);
    }
    DeviceFixture f;
};

TEST_F(Lighting, OnByDefaultAndBlackWithoutLightsButAlphaKept) {
    DeviceFixture fresh(WithAlpha());
    // The fixture switched lighting off; a fresh device's default is on.
    IDirect3DDevice8* d = nullptr;
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferWidth = pp.BackBufferHeight = 4;
    ASSERT_EQ(fresh.d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &pp, &d),
              S_OK);
    DWORD lighting = 0;
    ASSERT_EQ(d->GetRenderState(D3DRS_LIGHTING, &lighting), S_OK);
    EXPECT_EQ(lighting, static_cast<DWORD>(TRUE));
    d->Release();
    EXPECT_EQ(LitCentre(), 0xC0000000u);
}

TEST_F(Lighting, OffPassesTheVertexColour) {
    f.device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Light(0, Directional(0, 0, 1, 0.1f, 0.1f, 0.1f));
    EXPECT_EQ(LitCentre(), kVertexColor);
}

TEST_F(Lighting, DirectionalFacingTheSurfaceGivesTheVertexColour) {
    Light(0, Directional(0, 0, 1));
    EXPECT_EQ(LitCentre(), kVertexColor);
}

TEST_F(Lighting, DirectionalAtSixtyDegreesHalvesAndColoursMultiply) {
    Light(0, Directional(0, std::sqrt(3.0f), 1, 0.5f, 1.0f, 0.25f));  // 60 degrees off the normal
    // r 128 * 0.5 * 0.5 = 32, g 96 * 1 * 0.5 = 48, b 64 * 0.25 * 0.5 = 8
    EXPECT_EQ(LitCentre(), 0xC0203008u);
}

TEST_F(Lighting, LightFromBehindAddsNothing) {
    Light(0, Directional(0, 0, -1));
    EXPECT_EQ(LitCentre(), 0xC0000000u);
}

TEST_F(Lighting, SumsAreClampedPerChannel) {
    Light(0, Directional(0, 0, 1));
    Light(1, Directional(0, 0, 1));
    // 2 * (128, 96, 64) = (256 -> 255, 192, 128)
    EXPECT_EQ(LitCentre(), 0xC0FFC080u);
}

TEST_F(Lighting, PointLightInRangeWithConstantAttenuation) {
    // The square's corners are at distance sqrt(1 + 1 + 2.5^2) = 2.8723 from (0,0,-2); the
    // angle term is 2.5 / 2.8723 = 0.87039 at every corner.
    Light(0, Point(0, 0, -2, 3.0f, 1, 0, 0));
    // (128, 96, 64) * 0.87039 = (111.4, 83.6, 55.7)
    EXPECT_EQ(LitCentre(), 0xC06F5438u);
}

TEST_F(Lighting, PointLightOutOfRangeAddsNothing) {
    Light(0, Point(0, 0, -2, 2.8f, 1, 0, 0));
    EXPECT_EQ(LitCentre(), 0xC0000000u);
}

TEST_F(Lighting, PointLightLinearAttenuation) {
    Light(0, Point(0, 0, -2, 10.0f, 0, 1, 0));
    // (128, 96, 64) * 0.87039 / 2.8723 = (38.8, 29.1, 19.4)
    EXPECT_EQ(LitCentre(), 0xC0271D13u);
}

TEST_F(Lighting, LightsAreTransformedByTheView) {
    // Move the camera back by one unit and the square and light forward by the same: the lit
    // result must not change, because lighting happens in camera space.
    D3DMATRIX view = IdentityMatrix();
    view.m[3][2] = 1.0f;
    f.device->SetTransform(D3DTS_VIEW, &view);
    Light(0, Point(0, 0, -3, 3.0f, 1, 0, 0));
    f.Draw(D3DPT_TRIANGLELIST, FacingSquare(kVertexColor, -0.5f), 2);
    EXPECT_EQ(f.Pixel(8, 8), 0xC06F5438u);
}

TEST_F(Lighting, MirroredWorldReflectsNormalsToo) {
    // A reflection through the plane z = 0.25 puts a square drawn at z = 0 (facing +z, away from
    // the camera) at z = 0.5 facing the camera; the light must see the reflected normal.
    D3DMATRIX world = IdentityMatrix();
    world.m[2][2] = -1.0f;
    world.m[3][2] = 0.5f;
    f.device->SetTransform(D3DTS_WORLD, &world);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Light(0, Directional(0, 0, 1));
    std::vector<Vertex> v = FacingSquare(kVertexColor, 0.0f);
    for (Vertex& x : v) x.nz = 1.0f;
    f.Draw(D3DPT_TRIANGLELIST, v, 2);
    EXPECT_EQ(f.Pixel(8, 8), kVertexColor);
}

TEST_F(Lighting, MaterialAmbientWithGlobalAmbient) {
    D3DMATERIAL8 m{};
    m.Ambient = {0.5f, 0.5f, 0.5f, 1};
    ASSERT_EQ(f.device->SetMaterial(&m), S_OK);
    f.device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    // 0.5 * 64/255 * 255 = 32 in every channel; the vertex alpha stays.
    EXPECT_EQ(LitCentre(), 0xC0202020u);
}

TEST_F(Lighting, EnablingAnUnsetLightGivesTheDefaultWhiteLightAlongZ) {
    ASSERT_EQ(f.device->LightEnable(5, TRUE), S_OK);
    D3DLIGHT8 l{};
    ASSERT_EQ(f.device->GetLight(5, &l), S_OK);
    EXPECT_EQ(l.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(LitCentre(), kVertexColor);
}

// ---- Interpolation --------------------------------------------------------------------------------

TEST(Interpolation, ColourIsPerspectiveCorrect) {
    DeviceConfig cfg;
    cfg.width = cfg.height = 32;
    DeviceFixture f(cfg);
    D3DMATRIX p{};
    p.m[0][0] = p.m[1][1] = 1.0f;
    p.m[2][2] = 10.0f / 9.0f;
    p.m[2][3] = 1.0f;
    p.m[3][2] = -10.0f / 9.0f;
    f.device->SetTransform(D3DTS_PROJECTION, &p);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    // A wall from x = -1 at z = 1 (black) to x = 1 at z = 3 (white).
    const Vertex a{-1, -1, 1, 0, 0, -1, 0xFF000000, 0, 0}, b{-1, 1, 1, 0, 0, -1, 0xFF000000, 0, 0},
        c{1, 1, 3, 0, 0, -1, 0xFFFFFFFF, 0, 0}, d{1, -1, 3, 0, 0, -1, 0xFFFFFFFF, 0, 0};
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, {a, b, c, a, c, d}, 2), S_OK);
    // Screen column 10: x/z = 10/16 - 1 = -0.375 on the line x = -1 + 2t, z = 1 + 2t gives
    // t = 0.22727, grey 58 (linear-in-screen interpolation would give about 120).
    const int grey = static_cast<int>(f.Pixel(10, 16) & 0xFF);
    EXPECT_NEAR(grey, 58, 1);
}

TEST(Interpolation, FlatShadingUsesTheFirstVertex) {
    DeviceFixture f;
    f.device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    f.ClearAll();
    f.Draw(D3DPT_TRIANGLELIST,
           {f.Screen(0, 0, 0xFFFF0000), f.Screen(16, 0, 0xFF00FF00), f.Screen(0, 16, 0xFF0000FF)}, 1);
    EXPECT_EQ(f.Pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(f.Pixel(12, 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(f.Pixel(2, 12) & 0xFFFFFF, 0xFF0000u);
}

// ---- Texture sampling ------------------------------------------------------------------------------

// 4x4 texture: texel (i, j) = 0x10*i in red, 0x10*j in green, blue 0xF0, alpha 0x7F.
std::vector<std::uint32_t> Ramp() {
    std::vector<std::uint32_t> t;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) t.push_back(0x7F0000F0u | (0x40u * i << 16) | (0x40u * j << 8));
    return t;
}

TEST(Sampling, PointPicksTheTexelUnderTheCoordinate) {
    const auto texels = Ramp();
    const detail::TextureImage img{texels.data(), 4, 4};
    EXPECT_EQ(detail::SampleTexture(img, 0.30f, 0.80f, false, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP),
              texels[3 * 4 + 1]);
    EXPECT_EQ(detail::SampleTexture(img, 1.30f, -0.20f, false, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP),
              texels[3 * 4 + 1]);  // wrapped
}

TEST(Sampling, BilinearIsExactAtTexelCentresAndBlendsBetween) {
    const auto texels = Ramp();
    const detail::TextureImage img{texels.data(), 4, 4};
    auto at = [&](float u, float v, D3DTEXTUREADDRESS mode = D3DTADDRESS_WRAP) {
        return detail::SampleTexture(img, u, v, true, mode, mode);
    };
    EXPECT_EQ(at(1.5f / 4, 2.5f / 4), texels[2 * 4 + 1]);
    // Half-way between texels 1 and 2 of row 0: red (0x40 + 0x80) / 2.
    EXPECT_EQ(at(2.0f / 4, 0.5f / 4), 0x7F6000F0u);
    // A quarter of the way: (0x40 * 192 + 0x80 * 64 + 128) >> 8 = 0x50.
    EXPECT_EQ(at(1.75f / 4, 0.5f / 4), 0x7F5000F0u);
    // u = 0 lies between the last and the first column: WRAP blends them, CLAMP does not.
    EXPECT_EQ(at(0.0f, 0.5f / 4), 0x7F6000F0u);
    EXPECT_EQ(at(0.0f, 0.5f / 4, D3DTADDRESS_CLAMP), texels[0]);
    // Both axes at once: corner between the four texels (1,1), (2,1), (1,2), (2,2).
    EXPECT_EQ(at(0.5f, 0.5f), 0x7F6060F0u);
}

TEST(Sampling, MirrorReflectsTheTextureAtAndPastEveryEdge) {
    // Along u the texels run ... 3 2 1 0 | 0 1 2 3 | 3 2 1 0 | 0 1 ...
    const auto texels = Ramp();
    const detail::TextureImage img{texels.data(), 4, 4};
    const struct {
        float u;
        int texel;
    } points[] = {{0.99f, 3},  {1.0f, 3},   {1.01f, 3},  {1.3f, 2},   {1.99f, 0},
                  {2.0f, 0},   {2.3f, 1},   {-0.01f, 0}, {-0.3f, 1},  {-0.99f, 3},
                  {-1.0f, 3},  {-1.01f, 3}, {-1.3f, 2}};
    for (const auto& p : points)
        EXPECT_EQ(detail::SampleTexture(img, p.u, 0.1f, false, D3DTADDRESS_MIRROR, D3DTADDRESS_WRAP),
                  texels[p.texel])
            << p.u;
    EXPECT_EQ(detail::SampleTexture(img, 0.1f, 1.1f, false, D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR),
              texels[3 * 4]);
    // Filtered on an edge, a texel meets its own reflection: the edge texel, unblended.
    for (const float u : {0.0f, 1.0f, 2.0f, -1.0f})
        EXPECT_EQ(detail::SampleTexture(img, u, 0.5f / 4, true, D3DTADDRESS_MIRROR, D3DTADDRESS_MIRROR),
                  texels[u == 1.0f || u == -1.0f ? 3 : 0])
            << u;
}

TEST(Sampling, HugeAndInvalidCoordinatesStayInside) {
    const auto texels = Ramp();
    const detail::TextureImage img{texels.data(), 4, 4};
    for (float u : {1e9f, -1e9f, std::nanf(""), INFINITY}) {
        const std::uint32_t c =
            detail::SampleTexture(img, u, 0.1f, true, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP);
        EXPECT_EQ(c & 0xFF0000FFu, 0x7F0000F0u);  // some texel of row 0 (or a blend of them)
    }
}

// ---- Texture stage 0 through the device ------------------------------------------------------------

class Texturing : public ::testing::Test {
protected:
    Texturing() : f(WithAlpha()) {
        EXPECT_EQ(f.device->CreateTexture(2, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(texture->LockRect(0, &lr, nullptr, 0), S_OK);
        auto* row0 = static_cast<std::uint32_t*>(lr.pBits);
        auto* row1 = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(lr.pBits) + lr.Pitch);
        row0[0] = 0x7F808080;  // grey
        row0[1] = 0x7FFFFFFF;  // white
        row1[0] = 0x7F000000;  // black
        row1[1] = 0x7F0000FF;  // blue
        EXPECT_EQ(texture->UnlockRect(0), S_OK);
        f.ClearAll();
    }
    ~Texturing() override { texture->Release(); }

    // A screen-filling quad with u, v running 0..1 across it.
    std::vector<Vertex> Quad(D3DCOLOR color) {
        const Vertex a = {f.ClipX(0), f.ClipY(0), 0.5f, 0, 0, -1, color, 0, 0};
        const Vertex b = {f.ClipX(16), f.ClipY(0), 0.5f, 0, 0, -1, color, 1, 0};
        const Vertex c = {f.ClipX(16), f.ClipY(16), 0.5f, 0, 0, -1, color, 1, 1};
        const Vertex d = {f.ClipX(0), f.ClipY(16), 0.5f, 0, 0, -1, color, 0, 1};
        return {a, b, c, a, c, d};
    }

    DeviceFixture f;
    IDirect3DTexture8* texture = nullptr;
};

TEST_F(Texturing, ModulateMultipliesColourAndTakesTextureAlpha) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0xFFFF8040), 2), S_OK);
    // Point filtering (the default): pixel (3, 3) has u = v = 3/16, texel (0, 0) grey 0x80.
    // r 0x80 * 0xFF / 255 = 0x80, g 0x80 * 0x80 / 255 = 0x40, b 0x80 * 0x40 / 255 = 0x20.
    EXPECT_EQ(f.Pixel(3, 3), 0x7F804020u);
    EXPECT_EQ(f.Pixel(12, 3), 0x7FFF8040u);  // white texel
    EXPECT_EQ(f.Pixel(3, 12), 0x7F000000u);  // black texel
    EXPECT_EQ(f.Pixel(12, 12), 0x7F000040u); // blue texel
}

TEST_F(Texturing, BilinearFilterBlendsAcrossTexelsAndWraps) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    f.device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    f.device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0xFFFFFFFF), 2), S_OK);
    // Pixel (4, 4): u = v = 0.25, the centre of texel (0, 0).
    EXPECT_EQ(f.Pixel(4, 4), 0x7F808080u);
    // Pixel (8, 4): u = 0.5, half-way between grey and white.
    EXPECT_EQ(f.Pixel(8, 4), 0x7FC0C0C0u);
    // Pixel (0, 4): u = 0 blends column 0 with the wrapped column 1 as well.
    EXPECT_EQ(f.Pixel(0, 4), 0x7FC0C0C0u);
}

TEST_F(Texturing, WithoutATextureTheDiffuseColourAndAlphaPassThrough) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    ASSERT_EQ(f.device->SetTexture(0, nullptr), S_OK);
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0x40FF8040), 2), S_OK);
    EXPECT_EQ(f.Pixel(3, 3), 0x40FF8040u);
}

TEST_F(Texturing, DisabledStageIgnoresTheTexture) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    f.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0x40FF8040), 2), S_OK);
    EXPECT_EQ(f.Pixel(3, 3), 0x40FF8040u);
}

TEST_F(Texturing, GeneralStageSelectsTextureOnly) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    f.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    f.device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);  // diffuse alpha
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0x40FF8040), 2), S_OK);
    EXPECT_EQ(f.Pixel(12, 12), 0x400000FFu);
}

TEST_F(Texturing, UnsupportedStageOperationFailsTheDraw) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    f.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3);
    EXPECT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0xFFFFFFFF), 2), D3DERR_UNSUPPORTEDCOLOROPERATION);
}

TEST_F(Texturing, BoundTextureOutlivesTheCallersReference) {
    ASSERT_EQ(f.device->SetTexture(0, texture), S_OK);
    EXPECT_EQ(texture->Release(), 0u);  // the caller's reference is gone ...
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, Quad(0xFFFFFFFF), 2), S_OK);  // ... the binding is not
    EXPECT_EQ(f.Pixel(12, 3), 0x7FFFFFFFu);
    IDirect3DBaseTexture8* bound = nullptr;
    ASSERT_EQ(f.device->GetTexture(0, &bound), S_OK);
    texture = static_cast<IDirect3DTexture8*>(bound);  // released by the fixture
}

// ---- Blending -------------------------------------------------------------------------------------

TEST(Blending, SourceAlphaOverDestination) {
    DeviceFixture f;
    f.ClearAll(0xFF0000FF);
    f.device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    f.device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    f.device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    f.Draw(D3DPT_TRIANGLELIST, FacingSquare(0x40FF0000), 2);
    // r = 255 * 64 / 255 = 64, b = 255 * 191 / 255 = 191
    EXPECT_EQ(f.Pixel(8, 8) & 0xFFFFFF, 0x4000BFu);
    // Blending off: the source replaces the destination.
    f.device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    f.Draw(D3DPT_TRIANGLELIST, FacingSquare(0x40FF0000, 0.4f), 2);
    EXPECT_EQ(f.Pixel(8, 8) & 0xFFFFFF, 0xFF0000u);
}

TEST(Blending, GradientAlphaOverSixteenBitTargetUsesTheStoredDestination) {
    DeviceConfig cfg;
    cfg.format = D3DFMT_R5G6B5;
    DeviceFixture f(cfg);
    f.ClearAll(0xFF0F0F0F);  // stored as 0x08 / 0x0C / 0x08 (5-6-5 truncation, expanded)
    f.device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    f.device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    f.device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    f.Draw(D3DPT_TRIANGLELIST, FacingSquare(0x80FFFFFF), 2);
    // r = (255*128 + 8*127 + 127) / 255 = 132 -> 5 bits 16 -> 0x84
    EXPECT_EQ((f.Pixel(8, 8) >> 16) & 0xFF, 0x84u);
}


// ---- Fast paths ------------------------------------------------------------------------------------

// Spans are filled four pixels at a time where the state allows and pixel by pixel otherwise
// (an alpha test forces the latter, and with ALWAYS it changes nothing else). Both must give the
// same bytes for every kind of triangle.
struct PathCase {
    D3DFORMAT format;
    bool textured;
    bool linear;
    bool blend;
    bool lit;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << "format " << c.format << (c.textured ? (c.linear ? " bilinear" : " point") : " untextured")
        << (c.blend ? " blended" : "") << (c.lit ? " lit" : "");
}

class FastPaths : public ::testing::TestWithParam<PathCase> {};

std::vector<std::uint8_t> RenderRandomScene(const PathCase& c, bool forceScalar) {
    DeviceConfig cfg;
    cfg.width = 61;
    cfg.height = 47;
    cfg.format = c.format;
    DeviceFixture f(cfg);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.device->SetRenderState(D3DRS_LIGHTING, c.lit ? TRUE : FALSE);
    f.device->SetRenderState(D3DRS_ALPHABLENDENABLE, c.blend ? TRUE : FALSE);
    f.device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    f.device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (forceScalar) {
        f.device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        f.device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    }
    D3DMATRIX p{};
    p.m[0][0] = p.m[1][1] = 1.3f;
    p.m[2][2] = 20.0f / 19.0f;
    p.m[2][3] = 1.0f;
    p.m[3][2] = -20.0f / 19.0f;
    f.device->SetTransform(D3DTS_PROJECTION, &p);
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_POINT;
    l.Diffuse = {0.9f, 0.7f, 0.5f, 0};
    l.Position = {0.5f, 0.5f, -1};
    l.Range = 100;
    l.Attenuation0 = 0.3f;
    l.Attenuation1 = 0.2f;
    f.device->SetLight(0, &l);
    f.device->LightEnable(0, TRUE);

    IDirect3DTexture8* tex = nullptr;
    if (c.textured) {
        EXPECT_EQ(f.device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), S_OK);
        D3DLOCKED_RECT lr{};
        tex->LockRect(0, &lr, nullptr, 0);
        std::mt19937 rng(3);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(lr.pBits) + y * lr.Pitch)[x] =
                    static_cast<std::uint32_t>(rng());
        tex->UnlockRect(0);
        f.device->SetTexture(0, tex);
        const DWORD filter = c.linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        f.device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
        f.device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
    }
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(-3.0f, 3.0f), depth(0.5f, 6.0f), uv(-2.0f, 3.0f);
    std::vector<Vertex> v;
    for (int i = 0; i < 60 * 3; ++i) {
        const float z = depth(rng);
        v.push_back(Vertex{pos(rng), pos(rng), z, 0, 0, -1, static_cast<D3DCOLOR>(rng()), uv(rng), uv(rng)});
    }
    f.ClearAll(0xFF336699);
    EXPECT_EQ(f.Draw(D3DPT_TRIANGLELIST, v, 60), S_OK);
    if (tex) tex->Release();
    std::vector<std::uint8_t> bytes;
    IDirect3DSurface8* s = nullptr;
    f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s);
    D3DLOCKED_RECT lr{};
    s->LockRect(&lr, nullptr, D3DLOCK_READONLY);
    const auto* b = static_cast<const std::uint8_t*>(lr.pBits);
    bytes.assign(b, b + lr.Pitch * cfg.height);
    s->UnlockRect();
    s->Release();
    return bytes;
}

TEST_P(FastPaths, FourPixelsAtATimeEqualsPixelByPixel) {
    const auto fast = RenderRandomScene(GetParam(), false);
    const auto scalar = RenderRandomScene(GetParam(), true);
    ASSERT_EQ(fast.size(), scalar.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < fast.size(); ++i) differing += fast[i] != scalar[i];
    EXPECT_EQ(differing, 0u);
    // The scene must actually have drawn something over the clear colour.
    const auto cleared = std::count(fast.begin(), fast.end(), fast[0]);
    EXPECT_LT(static_cast<std::size_t>(cleared), fast.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FastPaths,
    ::testing::Values(PathCase{D3DFMT_X8R8G8B8, false, false, false, false},
                      PathCase{D3DFMT_X8R8G8B8, false, false, false, true},
                      PathCase{D3DFMT_A8R8G8B8, false, false, true, false},
                      PathCase{D3DFMT_A8R8G8B8, true, true, false, true},
                      PathCase{D3DFMT_X8R8G8B8, true, false, true, false},
                      PathCase{D3DFMT_R5G6B5, true, true, true, true},
                      PathCase{D3DFMT_R8G8B8, false, false, false, true},
                      PathCase{D3DFMT_A1R5G5B5, true, true, false, false}));

}  // namespace
}  // namespace velmo::d3d8::test
