// The OpenGL device against the software device acting as hardware: the same frames and picks,
// a pick frame that never reaches the screen, and the failures a real driver produces.

#include <functional>
#include <random>
#include <string>

#include "gl_test_support.h"
#include "headless/random_positions.h"
#include "platform/d3d8_helpers.h"

namespace velmo::testing {
namespace {

constexpr int kSize = 512;

void Look(TScene& scene, ViewAngles angles) {
    scene.Angles = angles;
    scene.ComputeViewPoints();
    scene.SetupLights();
    scene.ApplyViewTransform();
}

struct Scenario {
    const char* name;
    std::function<void(TScene&)> setUp;
};

const Scenario kScenarios[] = {
    {"start position", [](TScene&) {}},
    {"scrambled",
     [](TScene& s) {
         std::mt19937 random(7);
         MakeMoves(*s.Model(), RandomMoves(random, 40));  // also turns the logo
     }},
    {"highlighted block", [](TScene& s) { s.Model()->PickFilter = 3, s.Model()->PickedCell = 9; }},
    {"highlighted empty corner",
     [](TScene& s) {
         s.Model()->Block(3).InCube = false;
         s.Model()->PickFilter = 1;
         s.Model()->PickedCell = 3;
     }},
    {"from the left, high", [](TScene& s) { Look(s, {-0.9f, 0.8f, 0.2f, 0.3f}); }},
    {"from behind, low", [](TScene& s) { Look(s, {2.5f, -0.6f, -0.5f, -0.2f}); }},
    {"from above", [](TScene& s) { Look(s, {0.3f, 1.4f, 0.9f, -0.6f}); }},
    {"mirror straight behind", [](TScene& s) { Look(s, {0.61f, 0.52f, 0.0f, 0.0f}); }},
};

// The scene on both devices, set up alike.
struct Twins {
    GlSceneRig& gl;
    SceneRig sw;
    Twins(GlSceneRig& rig, const Scenario& scenario)
        : gl(rig), sw({.hardware = true, .size = rig.size, .format = rig.DisplayFormat()}) {
        gl.Build();
        sw.Build();
        scenario.setUp(*gl.scene);
        scenario.setUp(*sw.scene);
    }
};

// A few levels, and on a 16-bit screen one step of its 5-bit channels more: OpenGL rounds to the
// nearest step where the software device keeps the top bits.
int Tolerance(D3DFORMAT format) { return d3d8::BytesPerPixel(format) == 2 ? 3 + 8 : 3; }

void ExpectAgreement(const Image32& frame, const Image32& reference, D3DFORMAT format) {
    const Agreement a = Compare(frame, reference, Tolerance(format));
    ASSERT_GT(a.pixels, 0) << "frames of different sizes";
    EXPECT_GE(a.withinTolerance, a.pixels * 0.99);
    EXPECT_LE(a.offEdgeMismatches, a.pixels / 10000) << "worst difference " << a.worstOffEdge;
}

TEST(GlAgreement, FramesMatchTheSoftwareDevice) {
    VELMO_REQUIRE_DISPLAY();
    GlSceneRig rig(kSize);
    ASSERT_TRUE(rig.window.ready);
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        Twins twins(rig, scenario);
        ASSERT_TRUE(rig.scene->IsHardwareDevice());
        ASSERT_EQ(rig.scene->RenderFrame(), S_OK);
        ASSERT_EQ(twins.sw.scene->RenderFrame(), S_OK);
        ExpectAgreement(rig.context.lastSwapped, FromCollector(twins.sw.frames), rig.DisplayFormat());
        EXPECT_TRUE(rig.shell.messages.empty());
    }
}

// Direct3D anchors a back buffer at the client area's top-left corner; OpenGL counts rows from
// the bottom, so drawing, clearing and reading back must all be placed from the top.
TEST(GlAgreement, ABackBufferSmallerThanTheWindowSitsAtItsTopLeft) {
    VELMO_REQUIRE_DISPLAY();
    constexpr int kDesk = 256;
    GlSceneRig rig(kDesk + 60, kDesk);
    ASSERT_TRUE(rig.window.ready);
    Twins twins(rig, kScenarios[0]);
    ASSERT_EQ(rig.scene->RenderFrame(), S_OK);
    ASSERT_EQ(twins.sw.scene->RenderFrame(), S_OK);
    Image32 topLeft{kDesk, kDesk, {}};
    for (int y = 0; y < kDesk; ++y)
        for (int x = 0; x < kDesk; ++x) topLeft.pixels.push_back(rig.context.lastSwapped.At(x, y));
    ExpectAgreement(topLeft, FromCollector(twins.sw.frames), rig.DisplayFormat());
    for (const Pixel p : {Project({1.5f, -1, -1}, kDesk), Project(MirrorCentre(), kDesk),
                          Project({-1, 1.5f, 1}, kDesk)})
        EXPECT_EQ(rig.scene->PickAt(p.x, p.y), twins.sw.scene->PickAt(p.x, p.y));
}

TEST(GlAgreement, PicksOnAGridMatchTheSoftwareDevice) {
    VELMO_REQUIRE_DISPLAY();
    GlSceneRig rig(kSize);
    ASSERT_TRUE(rig.window.ready);
    for (const int index : {1, 3, 5}) {  // stickers turned, empty cells offered, another view
        const Scenario& scenario = kScenarios[index];
        SCOPED_TRACE(scenario.name);
        Twins twins(rig, scenario);
        for (int y = 3; y < rig.size; y += 29)
            for (int x = 5; x < rig.size; x += 29) {
                const auto expected = twins.sw.scene->PickAt(x, y);
                ASSERT_TRUE(expected);
                EXPECT_EQ(rig.scene->PickAt(x, y), expected) << "at " << x << ", " << y;
            }
        EXPECT_TRUE(rig.shell.messages.empty());
    }
}

// The back buffer through GetBackBuffer and a read-only lock, as 0x00RRGGBB.
Image32 ReadBack(IDirect3DDevice8* device, int size, D3DFORMAT format) {
    Image32 image{size, size, {}};
    IDirect3DSurface8* surface = nullptr;
    D3DLOCKED_RECT locked{};
    if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) return {};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                image.pixels.push_back(d3d8::DecodePixel(
                    static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch +
                        x * d3d8::BytesPerPixel(format),
                    format));
        surface->UnlockRect();
    }
    surface->Release();
    return image;
}

// A device as the scene makes one: windowed, lockable back buffer, 16-bit depth.
IDirect3DDevice8* CreateDevice(IDirect3D8* d3d, D3DDEVTYPE type, HWND desk, D3DFORMAT format) {
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferFormat = format;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, type, desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &pp, &device),
              S_OK);
    return device;
}

// Direct3D clips to 0 <= z <= w and maps z/w to the viewport's MinZ..MaxZ; OpenGL clips to
// -w <= z <= w. Triangles through the near and the far plane, and depth tests against a cleared
// depth inside a narrowed range, come out alike on both devices.
TEST(GlDevice, DepthClippingAndTheViewportsDepthRangeMatchTheSoftwareDevice) {
    VELMO_REQUIRE_DISPLAY();
    constexpr int kDesk = 64;
    GlSceneRig rig(kDesk);
    ASSERT_TRUE(rig.window.ready);
    const D3DFORMAT format = rig.DisplayFormat();
    d3d8::SoftwareDeviceOptions options;
    options.displayFormat = format;
    IDirect3D8* objects[2] = {d3d8::OpenGLDirect3DFactory(&rig.desk)(D3D_SDK_VERSION),
                              d3d8::CreateSoftwareDirect3D(options)};
    using d3d8::test::Vertex;
    Image32 frames[2];
    for (int i = 0; i < 2; ++i) {
        IDirect3DDevice8* device =
            CreateDevice(objects[i], i == 0 ? D3DDEVTYPE_HAL : D3DDEVTYPE_REF, &rig.desk, format);
        ASSERT_TRUE(device);
        // Identity transforms: the vertices are in clip space with w = 1.
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetVertexShader(d3d8::test::kFvf);
        const D3DVIEWPORT8 viewport{0, 0, kDesk, kDesk, 0.25f, 0.75f};
        device->SetViewport(&viewport);
        // Corners off the pixel centres: a sample exactly on an edge is a tie, which OpenGL
        // breaks its own way.
        const float l = -0.95f, r = 0.95f, t = 0.95f, b = -0.95f, m = 0.03f;
        auto v = [](float x, float y, float z, D3DCOLOR c) { return Vertex{x, y, z, 0, 0, -1, c, 0, 0}; };
        const std::vector<Vertex> vertices = {
            // red: z from -0.5 (before the near plane) on the left to 0.5 on the right
            v(l, b, -0.5f, 0xFFFF0000), v(l, m, -0.5f, 0xFFFF0000), v(r, b, 0.5f, 0xFFFF0000),
            // green: z from 0.5 to 1.5 (beyond the far plane) on the right
            v(l, m, 0.5f, 0xFF00FF00), v(l, t, 0.5f, 0xFF00FF00), v(r, t, 1.5f, 0xFF00FF00),
            // blue at depth 0.7 fails against the cleared 0.6; yellow at 0.5 passes
            v(m, m, 0.9f, 0xFF0000FF), v(r, m, 0.9f, 0xFF0000FF), v(r, 0.53f, 0.9f, 0xFF0000FF),
            v(m, 0.53f, 0.5f, 0xFFFFFF00), v(r, 0.53f, 0.5f, 0xFFFFFF00), v(r, t, 0.5f, 0xFFFFFF00),
        };
        IDirect3DVertexBuffer8* vb = nullptr;
        const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(Vertex));
        ASSERT_EQ(device->CreateVertexBuffer(bytes, 0, d3d8::test::kFvf, D3DPOOL_DEFAULT, &vb), S_OK);
        BYTE* data = nullptr;
        vb->Lock(0, bytes, &data, 0);
        std::memcpy(data, vertices.data(), bytes);
        vb->Unlock();
        device->SetStreamSource(0, vb, sizeof(Vertex));
        EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 0.6f, 0), S_OK);
        EXPECT_EQ(device->BeginScene(), S_OK);
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4), S_OK);
        EXPECT_EQ(device->EndScene(), S_OK);
        frames[i] = ReadBack(device, kDesk, format);
        vb->Release();
        device->Release();
        objects[i]->Release();
    }
    ExpectAgreement(frames[0], frames[1], format);
    EXPECT_EQ(frames[1].At(4, 56), 0u);           // red clipped before the near plane
    EXPECT_EQ(frames[1].At(40, 56), 0xFF0000u);
    EXPECT_EQ(frames[1].At(4, 4), 0x00FF00u);
    EXPECT_EQ(frames[1].At(30, 6), 0u);           // green clipped beyond the far plane
    EXPECT_EQ(frames[1].At(60, 28), 0u);          // blue behind the cleared depth
    EXPECT_EQ(frames[1].At(60, 10), 0xFFFF00u);
}

TEST(GlPresent, TheFrameReachesTheScreenAndAPickFrameDoesNot) {
    VELMO_REQUIRE_DISPLAY();
    GlSceneRig rig(kSize);
    ASSERT_TRUE(rig.window.ready);
    rig.Build();
    ASSERT_EQ(rig.scene->RenderFrame(), S_OK);
    const Image32 frame = rig.window.Screen();
    EXPECT_EQ(frame.pixels, rig.context.lastSwapped.pixels);

    const int swaps = rig.context.swaps;
    const Pixel front = Project({0, 0, -1.5f}, rig.size);
    EXPECT_EQ(rig.scene->PickAt(front.x, front.y), (PickResult{5, 0, 1}));
    const Pixel disc = Project(MirrorCentre(), rig.size);
    EXPECT_EQ(rig.scene->PickAt(disc.x, disc.y), (PickResult{16, 31, 31}));
    EXPECT_EQ(rig.context.swaps, swaps);
    EXPECT_EQ(rig.window.Screen().pixels, frame.pixels);

    // The next frame draws over the whole identification picture.
    ASSERT_EQ(rig.scene->RenderFrame(), S_OK);
    EXPECT_EQ(rig.window.Screen().pixels, frame.pixels);
}

// ---- The failures a real driver produces --------------------------------------------------

// No context to be had, or one that cannot be made current: the reference device draws,
// silently, with its reduced look, presenting through the desk's presenter.
TEST(GlFailure, WithoutAUsableContextTheReferenceDeviceDrawsSilently) {
    VELMO_REQUIRE_DISPLAY();
    for (const bool noContextAtAll : {true, false}) {
        SCOPED_TRACE(noContextAtAll ? "no context" : "context refused");
        GlSceneRig rig(kSize);
        if (noContextAtAll)
            rig.desk.gl = nullptr;
        else
            rig.context.refuse = true;
        rig.Build();
        EXPECT_TRUE(rig.shell.messages.empty());
        EXPECT_EQ(rig.shell.terminations, 0);
        ASSERT_TRUE(rig.scene->HasDevice());
        EXPECT_FALSE(rig.scene->IsHardwareDevice());
        ASSERT_EQ(rig.scene->RenderFrame(), S_OK);
        EXPECT_EQ(rig.context.swaps, 0);
        ASSERT_EQ(rig.frames.frames, 1);
        // Grey 192 bodies (within a step of a 16-bit screen's channels), no mirror.
        const Pixel bevel = Project({1.45f, -1, -1.45f}, rig.size);
        const std::uint32_t grey = rig.frames.PixelArgb(bevel.x, bevel.y);
        for (const int channel : {Red(grey), Green(grey), Blue(grey)}) EXPECT_NEAR(channel, 0xC0, 7);
        const Pixel mirror = Project(MirrorCentre(), rig.size);
        EXPECT_EQ(rig.frames.PixelArgb(mirror.x, mirror.y) & 0xFFFFFF, 0u);
    }
}

void ExpectReport(const GlSceneRig& rig, const std::string& caption, HRESULT code) {
    ASSERT_EQ(rig.shell.messages.size(), 1u);
    EXPECT_EQ(rig.shell.messages[0].caption, caption);
    EXPECT_EQ(rig.shell.messages[0].text, Direct3DErrorText(code));
    EXPECT_FALSE(rig.scene->HasDevice());
    EXPECT_FALSE(rig.scene->RenderingActive);
}

// Lost at any point of a frame, the context takes no further OpenGL call, the screen keeps the
// last frame, and the frame ends in the drawing report.
TEST(GlFailure, AContextLostDuringAFrameIsReportedAndNothingIsShown) {
    VELMO_REQUIRE_DISPLAY();
    GlSceneRig probe(kSize);
    ASSERT_TRUE(probe.window.ready);
    probe.Build();
    const int before = probe.context.makeCurrents;
    ASSERT_EQ(probe.scene->RenderFrame(), S_OK);
    const int perFrame = probe.context.makeCurrents - before;
    probe.scene.reset();

    // 0: the swap itself finds the context lost.
    for (const int at : {1, 2, perFrame / 2, perFrame - 1, perFrame, 0}) {
        SCOPED_TRACE("lost at make-current " + std::to_string(at) + " of " +
                     std::to_string(perFrame));
        GlSceneRig rig(kSize);
        rig.Build();
        ASSERT_EQ(rig.scene->RenderFrame(), S_OK);
        const Image32 shown = rig.window.Screen();
        rig.Cube().TurnFrontInv();  // the next frame would look different
        if (at > 0)
            rig.context.LoseAtMakeCurrent(at);
        else
            rig.context.failSwap = true;
        EXPECT_EQ(rig.scene->RenderFrame(), D3DERR_DEVICELOST);
        ExpectReport(rig, kCaptionRender, E_FAIL);
        EXPECT_EQ(rig.context.swaps, 1);
        EXPECT_EQ(rig.context.glCallsWhileLost, 0);
        EXPECT_EQ(rig.window.Screen().pixels, shown.pixels);
    }
}

TEST(GlFailure, AFailedLockOrALostContextEndsThePickInItsReport) {
    VELMO_REQUIRE_DISPLAY();
    {
        SCOPED_TRACE("read-back out of memory");
        GlSceneRig rig(kSize);
        rig.Build();
        rig.context.failReadPixels = true;
        EXPECT_FALSE(rig.scene->PickAt(256, 256));
        ExpectReport(rig, kCaptionPick, E_OUTOFMEMORY);
        EXPECT_EQ(rig.context.swaps, 0);
    }
    {
        SCOPED_TRACE("lost before the read-back");
        GlSceneRig rig(kSize);
        rig.Build();
        rig.context.LoseAtMakeCurrent(1);
        EXPECT_FALSE(rig.scene->PickAt(256, 256));
        ExpectReport(rig, kCaptionPick, D3DERR_DEVICELOST);
        EXPECT_EQ(rig.context.glCallsWhileLost, 0);
    }
}

}  // namespace
}  // namespace velmo::testing
