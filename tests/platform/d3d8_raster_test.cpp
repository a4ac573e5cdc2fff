// Rasterisation rules of the software device: coverage, culling, primitive assembly, clipping,
// depth, Clear, and the bytes of every back-buffer format.

#include <cmath>
#include <ostream>
#include <random>
#include <string>

#include "d3d8_helpers.h"
#include "platform/d3d8/raster.h"

namespace velmo::d3d8::test {
namespace {

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

// ---- Coverage -------------------------------------------------------------------------------------

TEST(Coverage, TopLeftRuleSplitsTheDocumentedSquare) {
    DeviceFixture f;
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST,
                     {f.Screen(0, 0, kRed), f.Screen(5, 0, kRed), f.Screen(5, 5, kRed),
                      f.Screen(0, 5, kGreen), f.Screen(0, 0, kGreen), f.Screen(5, 5, kGreen)},
                     2),
              S_OK);
    EXPECT_EQ(f.CountRgb(kRed), 15);
    EXPECT_EQ(f.CountRgb(kGreen), 10);
    // The first triangle owns its top row including the corner at (0,0); the right edge is out.
    EXPECT_EQ(f.Pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(f.Pixel(4, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(f.Pixel(5, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(f.Pixel(0, 4) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(f.Pixel(0, 5) & 0xFFFFFF, 0u);  // bottom edge is out
}

TEST(Coverage, SharedEdgesCoverEveryPixelExactlyOnce) {
    // A fan of irregular triangles around an off-centre point, with vertices at sub-pixel
    // positions; additive blending makes any double coverage or crack visible.
    DeviceConfig cfg;
    cfg.width = cfg.height = 64;
    DeviceFixture f(cfg);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    f.device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    f.device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    f.device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    f.ClearAll();
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> jitter(-0.49f, 0.49f);
    const float cx = 30.37f, cy = 33.81f;
    std::vector<Vertex> v;
    const int n = 37;
    std::vector<std::pair<float, float>> rim;
    for (int i = 0; i < n; ++i) {
        const float t = 6.2831853f * i / n;
        rim.push_back({cx + 28.0f * std::cos(t) + jitter(rng), cy + 28.0f * std::sin(t) + jitter(rng)});
    }
    for (int i = 0; i < n; ++i) {
        const auto [ax, ay] = rim[i];
        const auto [bx, by] = rim[(i + 1) % n];
        v.push_back(f.Screen(cx, cy, 0xFF010101));
        v.push_back(f.Screen(ax, ay, 0xFF010101));
        v.push_back(f.Screen(bx, by, 0xFF010101));
    }
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, v, n), S_OK);
    int covered = 0;
    for (std::uint32_t p : f.ReadBack()) {
        const std::uint32_t rgb = p & 0xFFFFFF;
        EXPECT_TRUE(rgb == 0 || rgb == 0x010101) << std::hex << rgb;
        covered += rgb == 0x010101;
    }
    EXPECT_GT(covered, 2000);
}

TEST(Coverage, GuardBandTriangleFarOutsideFillsTheViewport) {
    DeviceFixture f;
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST,
                     {Vertex{-5000, -5000, 0.5f, 0, 0, -1, kBlue, 0, 0},
                      Vertex{-5000, 9000, 0.5f, 0, 0, -1, kBlue, 0, 0},
                      Vertex{9000, -5000, 0.5f, 0, 0, -1, kBlue, 0, 0}},
                     1),
              S_OK);
    EXPECT_EQ(f.CountRgb(kBlue), 16 * 16);
}

// ---- Culling and primitive assembly ------------------------------------------------------------------

struct CullCase {
    DWORD mode;
    bool clockwiseDrawn;
    bool counterClockwiseDrawn;
};

void PrintTo(const CullCase& c, std::ostream* out) {
    *out << "cull mode " << c.mode;
}

class Culling : public ::testing::TestWithParam<CullCase> {};

TEST_P(Culling, ModeDecidesWhichWindingSurvives) {
    DeviceFixture f;
    f.device->SetRenderState(D3DRS_CULLMODE, GetParam().mode);
    f.ClearAll();
    // Clockwise on screen (y down): (2,2) -> (12,2) -> (2,12).
    f.Draw(D3DPT_TRIANGLELIST, {f.Screen(2, 2, kRed), f.Screen(12, 2, kRed), f.Screen(2, 12, kRed)}, 1);
    EXPECT_EQ(f.CountRgb(kRed) > 0, GetParam().clockwiseDrawn);
    f.ClearAll();
    f.Draw(D3DPT_TRIANGLELIST, {f.Screen(2, 2, kRed), f.Screen(2, 12, kRed), f.Screen(12, 2, kRed)}, 1);
    EXPECT_EQ(f.CountRgb(kRed) > 0, GetParam().counterClockwiseDrawn);
}

INSTANTIATE_TEST_SUITE_P(AllModes, Culling,
                         ::testing::Values(CullCase{D3DCULL_CCW, true, false},
                                           CullCase{D3DCULL_CW, false, true},
                                           CullCase{D3DCULL_NONE, true, true}),
                         [](const ::testing::TestParamInfo<CullCase>& info) {
                             switch (info.param.mode) {
                                 case D3DCULL_CCW: return std::string("ccw");
                                 case D3DCULL_CW: return std::string("cw");
                                 default: return std::string("none");
                             }
                         });

// A triangle reaching far beyond the guard band: clipping it there rounds so much that one
// piece of the clipped fan comes out turned the other way. Its pieces are culled or drawn together.
TEST(Culling, PiecesOfAClippedTriangleShareItsFacing) {
    const int width = 21, height = 40;
    const detail::ClipVertex a{0x1.4d5566p+97f, 0x1.232324p+0f, -0x1.f9bffap-2f, 0x1.99999ap-5f,
                               255, 0, 0, 255, 0, 0};
    const detail::ClipVertex b{0x1.fd4bfcp+0f, 0x1.fc03fcp+0f, 0x1.0002p-1f, 0x1.c8ccfcp-5f,
                               255, 0, 0, 255, 0, 0};
    const detail::ClipVertex c{-2.0f, -2.0f, -0.5f, 0x1.99999ap-5f, 255, 0, 0, 255, 0, 0};
    auto draw = [&](D3DCULL cull) {
        std::vector<std::uint32_t> color(width * height + detail::kRowSlack, 0);
        detail::RasterState st;
        st.target = {width, height, color.data(), nullptr, D3DFMT_X8R8G8B8};
        st.viewport = {2, 2, 2, 20, 0.0f, 1.0f};
        st.cull = cull;
        detail::DrawTriangle(st, a, b, c, false);
        return color;
    };
    const std::vector<std::uint32_t> blank(width * height + detail::kRowSlack, 0);
    const std::vector<std::uint32_t> none = draw(D3DCULL_NONE);
    ASSERT_NE(none, blank);
    const std::vector<std::uint32_t> cw = draw(D3DCULL_CW), ccw = draw(D3DCULL_CCW);
    EXPECT_TRUE((cw == none && ccw == blank) || (ccw == none && cw == blank));
}

TEST(Assembly, StripKeepsTheFirstTrianglesOrientation) {
    DeviceFixture f;  // default CULL_CCW
    f.ClearAll();
    // Zig-zag strip over a 12x8 band: top, bottom, top, bottom ... First triangle is clockwise.
    std::vector<Vertex> v;
    for (int i = 0; i < 6; ++i) {
        v.push_back(f.Screen(2.0f + 2 * i, 4, kGreen));
        v.push_back(f.Screen(2.0f + 2 * i, 12, kGreen));
    }
    // (2,4),(2,12),(4,4): clockwise? s = (0)(0) - (8)(2) < 0 -> counter-clockwise; so start at the
    // bottom instead to make the first triangle clockwise.
    std::vector<Vertex> w;
    for (int i = 0; i < 6; ++i) {
        w.push_back(f.Screen(2.0f + 2 * i, 12, kGreen));
        w.push_back(f.Screen(2.0f + 2 * i, 4, kGreen));
    }
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLESTRIP, w, 10), S_OK);
    EXPECT_EQ(f.CountRgb(kGreen), 10 * 8);  // the whole band: every triangle of the strip drawn
    // The same strip starting counter-clockwise is culled entirely.
    f.ClearAll();
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLESTRIP, v, 10), S_OK);
    EXPECT_EQ(f.CountRgb(kGreen), 0);
}

TEST(Assembly, ListTreatsEveryTriangleOnItsOwn) {
    DeviceFixture f;
    f.ClearAll();
    // The strip's second triangle written as a list triangle with the strip's vertex order is
    // counter-clockwise and culled.
    const Vertex a = f.Screen(2, 12, kRed), b = f.Screen(2, 4, kRed), c = f.Screen(10, 12, kRed),
                 d = f.Screen(10, 4, kRed);
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, {a, b, c, b, c, d}, 2), S_OK);
    const int firstOnly = f.CountRgb(kRed);
    f.ClearAll();
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, {a, b, c}, 1), S_OK);
    EXPECT_EQ(f.CountRgb(kRed), firstOnly);
    EXPECT_GT(firstOnly, 0);
}

TEST(Assembly, FanSharesItsFirstVertexAndStartVertexIsHonoured) {
    DeviceFixture f;
    f.ClearAll();
    // Two junk vertices first; the fan starts at vertex 2 and covers the square 4..12.
    std::vector<Vertex> v = {f.Screen(0, 0, kRed), f.Screen(15, 15, kRed),
                             f.Screen(4, 4, kBlue), f.Screen(12, 4, kBlue),
                             f.Screen(12, 12, kBlue), f.Screen(4, 12, kBlue)};
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLEFAN, v, 2, 2), S_OK);
    EXPECT_EQ(f.CountRgb(kBlue), 64);
    EXPECT_EQ(f.CountRgb(kRed), 0);
}

TEST(Assembly, VerticesAreReadAtDrawTime) {
    // The view rewrites colours in the shared buffer between draw calls.
    DeviceFixture f;
    f.ClearAll();
    f.Upload({f.Screen(0, 0, kRed), f.Screen(16, 0, kRed), f.Screen(0, 16, kRed)});
    ASSERT_EQ(f.device->BeginScene(), S_OK);
    ASSERT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), S_OK);
    BYTE* p = nullptr;
    ASSERT_EQ(f.vb->Lock(0, 3 * sizeof(Vertex), &p, 0), S_OK);
    for (int i = 0; i < 3; ++i) reinterpret_cast<Vertex*>(p)[i].color = kBlue;
    ASSERT_EQ(f.vb->Unlock(), S_OK);
    f.device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    ASSERT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), S_OK);
    ASSERT_EQ(f.device->EndScene(), S_OK);
    EXPECT_EQ(f.CountRgb(kRed), 0);
    EXPECT_GT(f.CountRgb(kBlue), 100);
}

TEST(Assembly, AbsurdCoordinatesDrawNothingAndDoNotCrash) {
    DeviceFixture f;
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    const float inf = INFINITY, nan = std::nanf(""), big = 3e38f;
    std::vector<Vertex> v = {
        Vertex{inf, 0, 0.5f, 0, 0, -1, kRed, 0, 0},   Vertex{0, 1, 0.5f, 0, 0, -1, kRed, 0, 0},
        Vertex{1, 0, 0.5f, 0, 0, -1, kRed, 0, 0},     Vertex{nan, nan, nan, 0, 0, -1, kRed, 0, 0},
        Vertex{0, 1, 0.5f, 0, 0, -1, kRed, 0, 0},     Vertex{1, 0, 0.5f, 0, 0, -1, kRed, 0, 0},
        Vertex{big, -big, 0.5f, 0, 0, -1, kRed, 0, 0}, Vertex{-big, big, 0.5f, 0, 0, -1, kRed, 0, 0},
        Vertex{big, big, 0.5f, 0, 0, -1, kRed, 0, 0}};
    EXPECT_EQ(f.Draw(D3DPT_TRIANGLELIST, v, 3), S_OK);
}

// ---- Clipping ---------------------------------------------------------------------------------------

// Camera at the origin looking along +z, 90 degree field of view, near 1, far 10.
void SetPerspective(IDirect3DDevice8* device) {
    D3DMATRIX p{};
    const float zf = 10.0f, zn = 1.0f;
    p.m[0][0] = 1.0f;
    p.m[1][1] = 1.0f;
    p.m[2][2] = zf / (zf - zn);
    p.m[2][3] = 1.0f;
    p.m[3][2] = -zn * zf / (zf - zn);
    device->SetTransform(D3DTS_PROJECTION, &p);
}

TEST(Clipping, FloorReachingBehindTheEyeStaysBelowTheHorizon) {
    DeviceConfig cfg;
    cfg.width = cfg.height = 32;
    DeviceFixture f(cfg);
    SetPerspective(f.device);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    // A floor triangle at y = -1 with one corner 5 units behind the eye. Dividing that corner by
    // its negative w would fling it above the horizon.
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST,
                     {Vertex{-2, -1, 3, 0, 1, 0, kGreen, 0, 0}, Vertex{2, -1, 3, 0, 1, 0, kGreen, 0, 0},
                      Vertex{0, -1, -5, 0, 1, 0, kGreen, 0, 0}},
                     1),
              S_OK);
    const auto pixels = f.ReadBack();
    int below = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool green = (pixels[y * 32 + x] & 0xFFFFFF) == 0x00FF00;
            if (y < 16) {
                EXPECT_FALSE(green) << "pixel above the horizon at " << x << "," << y;
            }
            below += green;
        }
    // The near plane (z = 1) cuts the floor at screen row 16 + 16 = 32, so the visible part runs
    // from the far edge at z = 3 (row 21.3) to the bottom of the screen, widening downwards.
    EXPECT_GT(below, 100);
    EXPECT_EQ(pixels[31 * 32 + 16] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pixels[20 * 32 + 16] & 0xFFFFFF, 0u);
}

TEST(Clipping, WallCrossingTheNearPlaneIsCutThere) {
    DeviceConfig cfg;
    cfg.width = cfg.height = 32;
    DeviceFixture f(cfg);
    SetPerspective(f.device);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    // A wall at x = 0.3 from behind the eye (z = -2) to z = 4. Its part in front of the near plane
    // (z >= 1) lies at screen x <= (0.3 + 1) * 16 = 20.8; the part between eye and near plane would
    // land further right.
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST,
                     {Vertex{0.3f, -3, -2, 1, 0, 0, kGreen, 0, 0}, Vertex{0.3f, 3, -2, 1, 0, 0, kGreen, 0, 0},
                      Vertex{0.3f, 0, 4, 1, 0, 0, kGreen, 0, 0}},
                     1),
              S_OK);
    const auto pixels = f.ReadBack();
    int drawn = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool green = (pixels[y * 32 + x] & 0xFFFFFF) == 0x00FF00;
            drawn += green;
            if (x >= 21) {
                EXPECT_FALSE(green) << x << "," << y;
            }
        }
    EXPECT_GT(drawn, 10);
}

TEST(Clipping, GeometryBeyondTheFarPlaneOrBehindTheEyeIsNotDrawn) {
    DeviceFixture f;
    SetPerspective(f.device);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    for (float z : {-3.0f, 0.5f, 11.0f}) {
        ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST,
                         {Vertex{-50, -50, z, 0, 0, -1, kRed, 0, 0}, Vertex{50, -50, z, 0, 0, -1, kRed, 0, 0},
                          Vertex{0, 50, z, 0, 0, -1, kRed, 0, 0}},
                         1),
                  S_OK);
    }
    EXPECT_EQ(f.CountRgb(kRed), 0);
}

TEST(Clipping, QuadCrossingTheFarPlaneKeepsOnlyItsNearPart) {
    DeviceConfig cfg;
    cfg.width = cfg.height = 32;
    DeviceFixture f(cfg);
    SetPerspective(f.device);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    f.ClearAll();
    // A floor from z = 2 to z = 20; far plane at 10 is at screen row 16 + 16/10 = 17.6.
    const Vertex a{-40, -1, 2, 0, 1, 0, kRed, 0, 0}, b{40, -1, 2, 0, 1, 0, kRed, 0, 0},
        c{40, -1, 20, 0, 1, 0, kRed, 0, 0}, d{-40, -1, 20, 0, 1, 0, kRed, 0, 0};
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST, {a, b, c, a, c, d}, 2), S_OK);
    const auto pixels = f.ReadBack();
    EXPECT_EQ(pixels[17 * 32 + 16] & 0xFFFFFF, 0u);
    EXPECT_EQ(pixels[18 * 32 + 16] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[22 * 32 + 16] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[24 * 32 + 16] & 0xFFFFFF, 0u);  // the near edge at z = 2 is a bottom edge
}

// ---- Depth ------------------------------------------------------------------------------------------

std::vector<Vertex> Square(const DeviceFixture& f, D3DCOLOR color, float z) {
    return {f.Screen(0, 0, color, z), f.Screen(16, 0, color, z), f.Screen(16, 16, color, z),
            f.Screen(0, 0, color, z), f.Screen(16, 16, color, z), f.Screen(0, 16, color, z)};
}

TEST(Depth, NearerSurfaceWinsWhateverTheOrder) {
    DeviceFixture f;
    f.ClearAll();
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.3f), 2);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 0.6f), 2);
    EXPECT_EQ(f.CountRgb(kRed), 256);
    f.ClearAll();
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 0.6f), 2);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.3f), 2);
    EXPECT_EQ(f.CountRgb(kRed), 256);
}

TEST(Depth, EqualDepthPassesLessEqual) {
    DeviceFixture f;
    f.ClearAll();
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 0.5f), 2);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.5f), 2);
    EXPECT_EQ(f.CountRgb(kRed), 256);
}

TEST(Depth, DisabledTestOrWritesChangeTheOutcome) {
    DeviceFixture f;
    f.ClearAll();
    f.device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.3f), 2);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 0.6f), 2);
    EXPECT_EQ(f.CountRgb(kGreen), 256);  // no test: the later one wins

    f.ClearAll();
    f.device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    f.device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.3f), 2);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 0.6f), 2);
    EXPECT_EQ(f.CountRgb(kGreen), 256);  // tested against the cleared 1.0, nothing written
}

TEST(Depth, SixteenBitPrecision) {
    // Two surfaces 1/65535 apart are still told apart; closer than half a step they tie.
    DeviceFixture f;
    f.ClearAll();
    f.device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 30000.0f / 65535.0f), 2);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 30000.2f / 65535.0f), 2);
    EXPECT_EQ(f.CountRgb(kRed), 256);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kGreen, 29999.0f / 65535.0f), 2);
    EXPECT_EQ(f.CountRgb(kGreen), 256);
}

// Depths are kept in 16 bits rounded to the nearest step, by Clear and by every span loop alike:
// a surface at exactly the cleared depth passes LESSEQUAL, and so does the next one at the depth
// it wrote; one three quarters of a step behind does not.
TEST(Depth, RoundedToTheNearestStepWhereverItIsStored) {
    struct Restore {
        ~Restore() { detail::UseWideSpans(true); }
    } restore;
    // 15 pixels a row: the eight- and four-pixel loops, and the single one that ends a span.
    const auto band = [](const DeviceFixture& f, D3DCOLOR color, float z) {
        return std::vector<Vertex>{f.Screen(0, 0, color, z),  f.Screen(15, 0, color, z),
                                   f.Screen(15, 16, color, z), f.Screen(0, 0, color, z),
                                   f.Screen(15, 16, color, z), f.Screen(0, 16, color, z)};
    };
    for (const bool wide : {true, false}) {
        detail::UseWideSpans(wide);
        const std::string loops = wide ? "wide loops" : "narrow loops";
        for (const float z : {1.0f, 0.5f, 30000.6f / 65535.0f, 12345.0f / 65535.0f}) {
            DeviceFixture f;
            f.ClearAll(0, z);
            f.Draw(D3DPT_TRIANGLELIST, band(f, kRed, z), 2);
            EXPECT_EQ(f.CountRgb(kRed), 15 * 16) << z << ", " << loops;
            f.Draw(D3DPT_TRIANGLELIST, band(f, kGreen, z), 2);
            EXPECT_EQ(f.CountRgb(kGreen), 15 * 16) << z << ", " << loops;
        }
        DeviceFixture f;
        f.ClearAll(0, 12345.0f / 65535.0f);
        f.Draw(D3DPT_TRIANGLELIST, band(f, kRed, 12345.75f / 65535.0f), 2);
        EXPECT_EQ(f.CountRgb(kRed), 0) << loops;
    }
}

// ---- Clear --------------------------------------------------------------------------------------------

TEST(ClearTest, FlagsSelectTargetAndDepth) {
    DeviceFixture f;
    ASSERT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 0.5f, 0), S_OK);
    EXPECT_EQ(f.CountRgb(kBlue), 256);
    // Depth 0.5 keeps a surface at 0.6 out.
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.6f), 2);
    EXPECT_EQ(f.CountRgb(kBlue), 256);
    // Clearing only the target keeps the depth.
    ASSERT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0), S_OK);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.6f), 2);
    EXPECT_EQ(f.CountRgb(kGreen), 256);
    // Clearing only the depth keeps the colour, and lets the surface in.
    ASSERT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), S_OK);
    EXPECT_EQ(f.CountRgb(kGreen), 256);
    f.Draw(D3DPT_TRIANGLELIST, Square(f, kRed, 0.6f), 2);
    EXPECT_EQ(f.CountRgb(kRed), 256);
}

TEST(ClearTest, RectanglesAreClippedToTheViewport) {
    DeviceFixture f;
    f.ClearAll();
    const D3DRECT rects[2] = {{2, 3, 6, 5}, {14, 14, 40, 40}};
    ASSERT_EQ(f.device->Clear(2, rects, D3DCLEAR_TARGET, kRed, 1.0f, 0), S_OK);
    EXPECT_EQ(f.CountRgb(kRed), 4 * 2 + 2 * 2);
    EXPECT_EQ(f.Pixel(2, 3) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(f.Pixel(6, 3) & 0xFFFFFF, 0u);
}

// ---- Back-buffer formats --------------------------------------------------------------------------------

struct FormatCase {
    D3DFORMAT format;
    int bytes;
    // Expected bytes of the pixel for colour 0xFF483018 (red 72 = 8*9, green 48, blue 24 = 8*3).
    std::vector<std::uint8_t> expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << "format " << c.format; }

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, BackBufferHoldsTheFormatsOwnBytes) {
    const FormatCase& c = GetParam();
    DeviceConfig cfg;
    cfg.width = 7;  // odd width: rows of 3- and 2-byte formats need padding
    cfg.height = 5;
    cfg.format = c.format;
    DeviceFixture f(cfg);
    ASSERT_EQ(f.createResult, S_OK);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(f.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), S_OK);
    EXPECT_EQ(mode.Format, c.format);
    f.ClearAll(0xFFFFFFFF);
    f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(f.Draw(D3DPT_TRIANGLELIST,
                     {f.Screen(-1, -1, 0xFF483018), f.Screen(8, -1, 0xFF483018),
                      f.Screen(-1, 5, 0xFF483018)},
                     1),
              S_OK);
    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), S_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(surface->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Format, c.format);
    EXPECT_EQ(desc.Width, 7u);
    EXPECT_EQ(desc.Height, 5u);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(surface->LockRect(&lr, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_GE(lr.Pitch, 7 * c.bytes);
    const auto* bits = static_cast<const std::uint8_t*>(lr.pBits);
    // Pixel (3, 2) of the triangle, and (6, 4) of the white background, via the pitch.
    const std::uint8_t* p = bits + 2 * lr.Pitch + 3 * c.bytes;
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + c.bytes), c.expected);
    const std::uint8_t* q = bits + 4 * lr.Pitch + 6 * c.bytes;
    EXPECT_EQ(DecodePixel(q, c.format) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(surface->UnlockRect(), S_OK);
    surface->Release();

    // Present hands out the same bytes.
    ASSERT_EQ(f.device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(f.collector.frames, 1);
    EXPECT_EQ(f.collector.format, c.format);
    const std::uint8_t* r = f.collector.pixels.data() + 2 * f.collector.pitch + 3 * c.bytes;
    EXPECT_EQ(std::vector<std::uint8_t>(r, r + c.bytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, Formats,
    ::testing::Values(FormatCase{D3DFMT_X8R8G8B8, 4, {0x18, 0x30, 0x48, 0xFF}},
                      FormatCase{D3DFMT_A8R8G8B8, 4, {0x18, 0x30, 0x48, 0xFF}},
                      FormatCase{D3DFMT_R8G8B8, 3, {0x18, 0x30, 0x48}},
                      // R5G6B5: r=9, g=12, b=3 -> 0x4983
                      FormatCase{D3DFMT_R5G6B5, 2, {0x83, 0x49}},
                      // X1R5G5B5: x=1, r=9, g=6, b=3 -> 0xA4C3
                      FormatCase{D3DFMT_X1R5G5B5, 2, {0xC3, 0xA4}},
                      FormatCase{D3DFMT_A1R5G5B5, 2, {0xC3, 0xA4}}));

TEST(BackBuffer, ReadOnlyLockIsExclusiveAndBlocksDrawing) {
    DeviceFixture f;
    f.ClearAll(kRed);
    IDirect3DSurface8* s = nullptr;
    ASSERT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s), S_OK);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(s->LockRect(&lr, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(lr.Pitch, 16 * 4);
    std::uint32_t px;
    std::memcpy(&px, lr.pBits, 4);
    EXPECT_EQ(px, 0xFFFF0000u);
    D3DLOCKED_RECT again{};
    EXPECT_EQ(s->LockRect(&again, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(s->UnlockRect(), S_OK);
    EXPECT_EQ(s->UnlockRect(), D3DERR_INVALIDCALL);
    EXPECT_EQ(s->Release(), 0u);
}

TEST(BackBuffer, WritableLockOfAConvertedFormatIsStoredBack) {
    DeviceConfig cfg;
    cfg.format = D3DFMT_R5G6B5;
    DeviceFixture f(cfg);
    f.ClearAll(0);
    IDirect3DSurface8* s = nullptr;
    ASSERT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s), S_OK);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(s->LockRect(&lr, nullptr, 0), S_OK);
    static_cast<std::uint8_t*>(lr.pBits)[lr.Pitch + 2] = 0x1F;  // pixel (1,1): blue 31
    ASSERT_EQ(s->UnlockRect(), S_OK);
    s->Release();
    EXPECT_EQ(f.Pixel(1, 1) & 0xFFFFFF, 0x0000FFu);
}

TEST(BackBuffer, NotLockableWithoutTheFlag) {
    DeviceConfig cfg;
    cfg.lockable = false;
    DeviceFixture f(cfg);
    IDirect3DSurface8* s = nullptr;
    ASSERT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s), S_OK);
    D3DLOCKED_RECT lr{};
    EXPECT_EQ(s->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
    s->Release();
}

}  // namespace
}  // namespace velmo::d3d8::test
