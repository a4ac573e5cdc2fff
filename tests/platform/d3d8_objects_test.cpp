// Object lifetime, device creation, scene rules, argument checking and the test hooks
// (fault injection and call counts) of the software Direct3D 8 implementation.

#include <functional>
#include <string>

#include "d3d8_helpers.h"

namespace velmo::d3d8::test {
namespace {

D3DPRESENT_PARAMETERS WindowedParams() {
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    return pp;
}

// ---- Creation -----------------------------------------------------------------------------------

TEST(Creation, OnlyTheRightSdkVersionGivesAnObject) {
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 100), nullptr);
    EXPECT_EQ(Direct3DCreate8(0), nullptr);
    IDirect3D8* d3d = Direct3DCreate8(120);
    ASSERT_NE(d3d, nullptr);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), S_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(d3d->Release(), 0u);
    SoftwareDeviceOptions bad;
    bad.displayFormat = D3DFMT_P8;
    EXPECT_EQ(CreateSoftwareDirect3D(bad), nullptr);
}

TEST(Creation, HardwareDeviceOnlyWhenEmulated) {
    DeskWindow desk{64, 48, nullptr};
    D3DPRESENT_PARAMETERS pp = WindowedParams();
    IDirect3DDevice8* device = nullptr;

    IDirect3D8* plain = CreateSoftwareDirect3D({});
    EXPECT_EQ(plain->CreateDevice(0, D3DDEVTYPE_HAL, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                  &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(plain->CreateDevice(0, D3DDEVTYPE_REF, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                  &device),
              S_OK);
    D3DDEVICE_CREATION_PARAMETERS cp{};
    ASSERT_EQ(device->GetCreationParameters(&cp), S_OK);
    EXPECT_EQ(cp.DeviceType, D3DDEVTYPE_REF);
    device->Release();
    plain->Release();

    SoftwareDeviceOptions hw;
    hw.actAsHardware = true;
    IDirect3D8* d3d = CreateSoftwareDirect3D(hw);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                &device),
              S_OK);
    ASSERT_EQ(device->GetCreationParameters(&cp), S_OK);
    EXPECT_EQ(cp.DeviceType, D3DDEVTYPE_HAL);
    device->Release();
    d3d->Release();
}

TEST(Creation, ChosenDeviceTypesCanBeMadeToFail) {
    DeskWindow desk{64, 48, nullptr};
    D3DPRESENT_PARAMETERS pp = WindowedParams();
    SoftwareDeviceOptions o;
    o.actAsHardware = true;
    o.failHardware = true;
    o.failReference = true;
    o.createFailure = D3DERR_OUTOFVIDEOMEMORY;
    IDirect3D8* d3d = CreateSoftwareDirect3D(o);
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                &device),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                &device),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(device, nullptr);
    d3d->Release();
}

TEST(Creation, BackBufferTakesTheClientSizeWhenAskedForZero) {
    DeskWindow desk{123, 45, nullptr};
    D3DPRESENT_PARAMETERS pp = WindowedParams();
    IDirect3D8* d3d = CreateSoftwareDirect3D({});
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                &device),
              S_OK);
    EXPECT_EQ(pp.BackBufferWidth, 123u);
    EXPECT_EQ(pp.BackBufferHeight, 45u);
    IDirect3DSurface8* s = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s), S_OK);
    D3DSURFACE_DESC desc{};
    s->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 123u);
    EXPECT_EQ(desc.Height, 45u);
    s->Release();
    device->Release();
    d3d->Release();
}

TEST(Creation, InvalidParametersAreRefused) {
    DeskWindow desk{32, 32, nullptr};
    DeskWindow empty{0, 0, nullptr};
    IDirect3D8* d3d = CreateSoftwareDirect3D({});
    IDirect3DDevice8* device = nullptr;
    auto create = [&](D3DPRESENT_PARAMETERS pp, HWND window = nullptr, DWORD behavior = D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                      UINT adapter = 0) {
        return d3d->CreateDevice(adapter, D3DDEVTYPE_REF, window, behavior, &pp, &device);
    };
    D3DPRESENT_PARAMETERS pp = WindowedParams();
    EXPECT_EQ(create(pp, nullptr), D3DERR_INVALIDCALL);  // no window and no size
    EXPECT_EQ(create(pp, &empty), D3DERR_INVALIDCALL);   // window without area
    EXPECT_EQ(create(pp, &desk, 0), D3DERR_INVALIDCALL);  // no vertex processing chosen
    EXPECT_EQ(create(pp, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, 1), D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS wrongFormat = pp;
    wrongFormat.BackBufferFormat = D3DFMT_R5G6B5;  // not the display format
    EXPECT_EQ(create(wrongFormat, &desk), D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS huge = pp;
    huge.BackBufferWidth = 100000;
    huge.BackBufferHeight = 100000;
    EXPECT_EQ(create(huge, &desk), D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS badDepth = pp;
    badDepth.AutoDepthStencilFormat = D3DFMT_X8R8G8B8;
    EXPECT_EQ(create(badDepth, &desk), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr,
                                &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->GetAdapterDisplayMode(0, nullptr), D3DERR_INVALIDCALL);
    d3d->Release();
}

// ---- Lifetime ----------------------------------------------------------------------------------

struct Scene {
    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3DVertexBuffer8* vb = nullptr;
    IDirect3DTexture8* texture = nullptr;
    IDirect3DSurface8* surface = nullptr;
    DeskWindow desk{8, 8, nullptr};

    Scene() {
        d3d = CreateSoftwareDirect3D({});
        D3DPRESENT_PARAMETERS pp = WindowedParams();
        EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, &desk, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                    &device),
                  S_OK);
        EXPECT_EQ(device->CreateVertexBuffer(36 * 3, 0, kFvf, D3DPOOL_DEFAULT, &vb), S_OK);
        EXPECT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
        EXPECT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), S_OK);
        EXPECT_EQ(device->SetStreamSource(0, vb, 36), S_OK);
        EXPECT_EQ(device->SetTexture(0, texture), S_OK);
    }
};

TEST(Lifetime, AddRefAndReleaseReturnTheNewCount) {
    IDirect3D8* d3d = CreateSoftwareDirect3D({});
    EXPECT_EQ(d3d->AddRef(), 2u);
    EXPECT_EQ(d3d->AddRef(), 3u);
    EXPECT_EQ(d3d->Release(), 2u);
    EXPECT_EQ(d3d->Release(), 1u);
    EXPECT_EQ(d3d->Release(), 0u);
}

// Every order of giving up the five references must be safe (run under AddressSanitizer this
// also checks that nothing is leaked or used after being freed).
class ReleaseOrder : public ::testing::TestWithParam<std::string> {};

TEST_P(ReleaseOrder, AnyOrderIsSafe) {
    Scene s;
    for (char c : GetParam()) {
        switch (c) {
            case 'd': s.d3d->Release(); break;
            case 'D': s.device->Release(); break;
            case 'v': s.vb->Release(); break;
            case 't': s.texture->Release(); break;
            case 's': s.surface->Release(); break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, ReleaseOrder,
                         ::testing::Values("tvsDd", "dDvts", "Ddstv", "vDtds", "sdDvt", "Dtdvs"));

TEST(Lifetime, ChildrenKeepTheirParentsUsable) {
    Scene s;
    s.d3d->Release();
    s.device->Release();
    // The device and the Direct3D object live on through the children.
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(s.vb->GetDevice(&device), S_OK);
    IDirect3D8* d3d = nullptr;
    ASSERT_EQ(device->GetDirect3D(&d3d), S_OK);
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(d3d->GetAdapterDisplayMode(0, &mode), S_OK);
    d3d->Release();
    device->Release();
    BYTE* p = nullptr;
    EXPECT_EQ(s.vb->Lock(0, 0, &p, 0), S_OK);
    EXPECT_EQ(s.vb->Unlock(), S_OK);
    D3DLOCKED_RECT lr{};
    EXPECT_EQ(s.texture->LockRect(0, &lr, nullptr, 0), S_OK);
    EXPECT_EQ(s.texture->UnlockRect(0), S_OK);
    EXPECT_EQ(s.surface->LockRect(&lr, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(s.surface->UnlockRect(), S_OK);
    EXPECT_EQ(s.vb->Release(), 0u);
    EXPECT_EQ(s.texture->Release(), 0u);
    EXPECT_EQ(s.surface->Release(), 0u);
}

TEST(Lifetime, BoundStreamSourceSurvivesItsLastCallerReference) {
    DeviceFixture f;
    f.ClearAll();
    f.Upload({f.Screen(0, 0, 0xFFFF0000), f.Screen(16, 0, 0xFFFF0000), f.Screen(0, 16, 0xFFFF0000)});
    EXPECT_EQ(f.vb->Release(), 0u);
    f.vb = nullptr;
    ASSERT_EQ(f.device->BeginScene(), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), S_OK);
    ASSERT_EQ(f.device->EndScene(), S_OK);
    EXPECT_GT(f.CountRgb(0xFFFF0000), 100);
    // Unbinding frees it; drawing then has no stream.
    EXPECT_EQ(f.device->SetStreamSource(0, nullptr, 0), S_OK);
    ASSERT_EQ(f.device->BeginScene(), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    f.device->EndScene();
}

TEST(Lifetime, ResourcesOfAnotherDeviceAreRefused) {
    DeviceFixture a, b;
    IDirect3DTexture8* t = nullptr;
    ASSERT_EQ(a.device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), S_OK);
    EXPECT_EQ(b.device->SetTexture(0, t), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(a.device->CreateVertexBuffer(36, 0, kFvf, D3DPOOL_DEFAULT, &vb), S_OK);
    EXPECT_EQ(b.device->SetStreamSource(0, vb, 36), D3DERR_INVALIDCALL);
    vb->Release();
    t->Release();
}

// ---- Scenes and presentation -------------------------------------------------------------------

TEST(SceneRules, BeginEndPairsAndDrawingOnlyInside) {
    DeviceFixture f;
    f.Upload({f.Screen(0, 0, 0xFFFFFFFF), f.Screen(16, 0, 0xFFFFFFFF), f.Screen(0, 16, 0xFFFFFFFF)});
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->EndScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(f.device->BeginScene(), S_OK);
    EXPECT_EQ(f.device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), S_OK);
    EXPECT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), S_OK);  // allowed inside
    EXPECT_EQ(f.device->EndScene(), S_OK);
    EXPECT_EQ(f.device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
}

TEST(SceneRules, PresentGoesToTheDeskOrTheOverrideWindow) {
    DeviceFixture f;
    f.ClearAll(0xFF123456);
    ASSERT_EQ(f.device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(f.collector.frames, 1);
    EXPECT_EQ(f.collector.width, 16);
    EXPECT_EQ(f.collector.PixelArgb(5, 5), 0xFF123456u);
    FrameCollector other;
    DeskWindow otherDesk{16, 16, &other};
    ASSERT_EQ(f.device->Present(nullptr, nullptr, &otherDesk, nullptr), S_OK);
    EXPECT_EQ(other.frames, 1);
    EXPECT_EQ(f.collector.frames, 1);
    // A desk without a presenter is fine (headless).
    DeskWindow headless{16, 16, nullptr};
    EXPECT_EQ(f.device->Present(nullptr, nullptr, &headless, nullptr), S_OK);
    const RECT r{0, 0, 4, 4};
    EXPECT_EQ(f.device->Present(&r, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
}

// ---- Argument checking --------------------------------------------------------------------------

TEST(Arguments, VertexBufferLocksStayInsideTheBuffer) {
    DeviceFixture f;
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(f.device->CreateVertexBuffer(360, 0, kFvf, D3DPOOL_DEFAULT, &vb), S_OK);
    BYTE* p = reinterpret_cast<BYTE*>(1);
    EXPECT_EQ(vb->Lock(0, 361, &p, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(vb->Lock(300, 61, &p, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(0xFFFFFFF0u, 0x20, &p, 0), D3DERR_INVALIDCALL);  // wraps in 32 bits
    EXPECT_EQ(vb->Lock(0, 10, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    ASSERT_EQ(vb->Lock(324, 36, &p, 0), S_OK);
    EXPECT_EQ(vb->Lock(0, 36, &p, 0), D3DERR_INVALIDCALL);  // already locked
    EXPECT_EQ(vb->Unlock(), S_OK);
    vb->Release();
}

TEST(Arguments, DrawingOutsideTheVertexBufferIsRefused) {
    DeviceFixture f;
    std::vector<Vertex> v(6, f.Screen(1, 1, 0xFFFFFFFF));
    f.Upload(v);
    ASSERT_EQ(f.device->BeginScene(), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 2, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0xFFFFFFFFu, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 2, 2), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), S_OK);
    // A locked buffer cannot be drawn from; a stride below the format's size is refused.
    BYTE* p = nullptr;
    ASSERT_EQ(f.vb->Lock(0, 0, &p, 0), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    f.vb->Unlock();
    f.device->SetStreamSource(0, f.vb, 20);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    f.device->EndScene();
}

TEST(Arguments, DrawRangesTooLargeFor64BitsAreRefused) {
    // (2^33 + 1) / 3 triangles from vertex 0 end at vertex 2^33; at a stride of 2^31 that is byte
    // 2^64, which must not wrap around to the start of a buffer that holds one triangle.
    DeviceFixture f;
    f.Upload(std::vector<Vertex>(3, f.Screen(1, 1, 0xFFFFFFFF)));
    ASSERT_EQ(f.device->SetStreamSource(0, f.vb, 1u << 31), S_OK);
    ASSERT_EQ(f.device->BeginScene(), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2863311531u), D3DERR_INVALIDCALL);
    // Strips and fans: 2^32 - 1 triangles starting at the last vertex a UINT can name.
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0xFFFFFFFFu, 0xFFFFFFFFu),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(f.device->SetStreamSource(0, f.vb, 0xFFFFFFFFu), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0xFFFFFFFFu, 0xFFFFFFFFu),
              D3DERR_INVALIDCALL);
    // The one triangle the buffer holds still draws at its own stride.
    ASSERT_EQ(f.device->SetStreamSource(0, f.vb, sizeof(Vertex)), S_OK);
    EXPECT_EQ(f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), S_OK);
    f.device->EndScene();
}

TEST(Arguments, StatesOutsideTheirEnumerationsAreRefused) {
    DeviceFixture f;
    IDirect3DDevice8* d = f.device;
    EXPECT_EQ(d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(1), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(500), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetRenderState(D3DRS_CULLMODE, 4), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetRenderState(D3DRS_SRCBLEND, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetRenderState(D3DRS_ZFUNC, 9), D3DERR_INVALIDCALL);
    DWORD cull = 0;
    d->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));  // unchanged by the refused calls
    EXPECT_EQ(d->SetRenderState(D3DRS_EDGEANTIALIAS, TRUE), S_OK);  // accepted, no effect
    EXPECT_EQ(d->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_MODULATE), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetTextureStageState(0, D3DTSS_COLOROP, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(40), 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetTextureStageState(0, D3DTSS_MAGFILTER, 9), D3DERR_INVALIDCALL);
    const D3DMATRIX m = IdentityMatrix();
    EXPECT_EQ(d->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(1), &m), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetVertexShader(0x152 | D3DFVF_XYZRHW), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->SetStreamSource(1, f.vb, 36), D3DERR_INVALIDCALL);
}

TEST(Arguments, LightsAreValidated) {
    DeviceFixture f;
    D3DLIGHT8 l{};
    EXPECT_EQ(f.device->SetLight(0, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->SetLight(0, &l), D3DERR_INVALIDCALL);  // type 0
    l.Type = D3DLIGHT_DIRECTIONAL;
    EXPECT_EQ(f.device->SetLight(0, &l), D3DERR_INVALIDCALL);  // no direction
    l.Direction = {0, 0, 1};
    EXPECT_EQ(f.device->SetLight(0, &l), S_OK);
    l.Type = D3DLIGHT_POINT;
    l.Range = -1;
    EXPECT_EQ(f.device->SetLight(1, &l), D3DERR_INVALIDCALL);
    l.Range = 3;
    l.Attenuation1 = -0.5f;
    EXPECT_EQ(f.device->SetLight(1, &l), D3DERR_INVALIDCALL);
    BOOL on = TRUE;
    EXPECT_EQ(f.device->GetLightEnable(1, &on), D3DERR_INVALIDCALL);  // never set
    for (DWORD i = 0; i < 8; ++i) EXPECT_EQ(f.device->LightEnable(i, TRUE), S_OK);
    EXPECT_EQ(f.device->LightEnable(8, TRUE), D3DERR_INVALIDCALL);  // eight active at most
    EXPECT_EQ(f.device->LightEnable(0, TRUE), S_OK);                 // already on
}

TEST(Arguments, TexturesAndTheirLocks) {
    DeviceFixture f;
    IDirect3DTexture8* t = nullptr;
    EXPECT_EQ(f.device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->CreateTexture(4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(f.device->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), S_OK);
    EXPECT_EQ(t->GetLevelCount(), 7u);  // 64, 32, 16, 8, 4, 2, 1
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(t->GetLevelDesc(6, &desc), S_OK);
    EXPECT_EQ(desc.Width, 1u);
    D3DLOCKED_RECT lr{};
    EXPECT_EQ(t->LockRect(7, &lr, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    const RECT outside{60, 60, 70, 70};
    EXPECT_EQ(t->LockRect(0, &lr, &outside, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), S_OK);
    EXPECT_EQ(lr.Pitch, 256);
    EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->UnlockRect(0), S_OK);
    EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL);
    t->Release();
}

TEST(Arguments, ClearChecksItsFlagsAndRectangles) {
    DeviceFixture f;
    EXPECT_EQ(f.device->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->Clear(2, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    DeviceConfig noDepth;
    noDepth.depth = false;
    DeviceFixture g(noDepth);
    EXPECT_EQ(g.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    DWORD z = 1;
    g.device->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_FALSE));  // no automatic depth buffer: test off
}

TEST(Arguments, BackBufferRequests) {
    DeviceFixture f;
    IDirect3DSurface8* s = nullptr;
    EXPECT_EQ(f.device->GetBackBuffer(1, D3DBACKBUFFER_TYPE_MONO, &s), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_LEFT, &s), D3DERR_INVALIDCALL);
    EXPECT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s), S_OK);
    EXPECT_EQ(s->LockRect(nullptr, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
    s->Release();
}

// ---- Fault injection and counting -------------------------------------------------------------------

// Each hookable call, made the way the view makes it, on a fully set-up fixture.
struct HookedCall {
    Call call;
    std::function<HRESULT(DeviceFixture&)> invoke;
};

std::vector<HookedCall> AllHookedCalls() {
    static const D3DMATRIX identity = IdentityMatrix();
    return {
        {Call::GetAdapterDisplayMode,
         [](DeviceFixture& f) {
             D3DDISPLAYMODE m{};
             return f.d3d->GetAdapterDisplayMode(0, &m);
         }},
        {Call::CreateDevice,
         [](DeviceFixture& f) {
             D3DPRESENT_PARAMETERS pp = WindowedParams();
             IDirect3DDevice8* d = nullptr;
             const HRESULT hr = f.d3d->CreateDevice(0, D3DDEVTYPE_REF, &f.window,
                                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &d);
             if (d) d->Release();
             return hr;
         }},
        {Call::CreateVertexBuffer,
         [](DeviceFixture& f) {
             IDirect3DVertexBuffer8* vb = nullptr;
             const HRESULT hr = f.device->CreateVertexBuffer(10296, 0, kFvf, D3DPOOL_DEFAULT, &vb);
             if (vb) vb->Release();
             return hr;
         }},
        {Call::CreateTexture,
         [](DeviceFixture& f) {
             IDirect3DTexture8* t = nullptr;
             const HRESULT hr = f.device->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t);
             if (t) t->Release();
             return hr;
         }},
        {Call::SetStreamSource, [](DeviceFixture& f) { return f.device->SetStreamSource(0, f.vb, 36); }},
        {Call::SetVertexShader, [](DeviceFixture& f) { return f.device->SetVertexShader(kFvf); }},
        {Call::SetRenderState,
         [](DeviceFixture& f) { return f.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW); }},
        {Call::SetTextureStageState,
         [](DeviceFixture& f) {
             return f.device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
         }},
        {Call::SetTransform, [](DeviceFixture& f) { return f.device->SetTransform(D3DTS_WORLD, &identity); }},
        {Call::SetLight,
         [](DeviceFixture& f) {
             D3DLIGHT8 l{};
             l.Type = D3DLIGHT_DIRECTIONAL;
             l.Direction = {0, 0, 1};
             return f.device->SetLight(0, &l);
         }},
        {Call::LightEnable, [](DeviceFixture& f) { return f.device->LightEnable(0, TRUE); }},
        {Call::SetMaterial,
         [](DeviceFixture& f) {
             D3DMATERIAL8 m{};
             return f.device->SetMaterial(&m);
         }},
        {Call::SetTexture, [](DeviceFixture& f) { return f.device->SetTexture(0, nullptr); }},
        {Call::SetViewport,
         [](DeviceFixture& f) {
             D3DVIEWPORT8 vp{0, 0, 16, 16, 0, 1};
             return f.device->SetViewport(&vp);
         }},
        {Call::Clear,
         [](DeviceFixture& f) {
             return f.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
         }},
        {Call::BeginScene,
         [](DeviceFixture& f) {
             const HRESULT hr = f.device->BeginScene();
             if (SUCCEEDED(hr)) f.device->EndScene();
             return hr;
         }},
        {Call::EndScene,
         [](DeviceFixture& f) {
             f.device->BeginScene();
             return f.device->EndScene();
         }},
        {Call::DrawPrimitive,
         [](DeviceFixture& f) {
             f.device->BeginScene();
             const HRESULT hr = f.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
             f.device->EndScene();
             return hr;
         }},
        {Call::Present, [](DeviceFixture& f) { return f.device->Present(nullptr, nullptr, nullptr, nullptr); }},
        {Call::GetBackBuffer,
         [](DeviceFixture& f) {
             IDirect3DSurface8* s = nullptr;
             const HRESULT hr = f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s);
             if (s) s->Release();
             return hr;
         }},
        {Call::VertexBufferLock,
         [](DeviceFixture& f) {
             BYTE* p = nullptr;
             const HRESULT hr = f.vb->Lock(0, 108, &p, 0);
             if (SUCCEEDED(hr)) f.vb->Unlock();
             return hr;
         }},
        {Call::VertexBufferUnlock,
         [](DeviceFixture& f) {
             BYTE* p = nullptr;
             f.vb->Lock(0, 108, &p, 0);
             return f.vb->Unlock();
         }},
        {Call::TextureLockRect,
         [](DeviceFixture& f) {
             IDirect3DTexture8* t = nullptr;
             f.device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t);
             D3DLOCKED_RECT lr{};
             const HRESULT hr = t->LockRect(0, &lr, nullptr, 0);
             if (SUCCEEDED(hr)) t->UnlockRect(0);
             t->Release();
             return hr;
         }},
        {Call::TextureUnlockRect,
         [](DeviceFixture& f) {
             IDirect3DTexture8* t = nullptr;
             f.device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t);
             D3DLOCKED_RECT lr{};
             t->LockRect(0, &lr, nullptr, 0);
             const HRESULT hr = t->UnlockRect(0);
             t->Release();
             return hr;
         }},
        {Call::SurfaceLockRect,
         [](DeviceFixture& f) {
             IDirect3DSurface8* s = nullptr;
             f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s);
             D3DLOCKED_RECT lr{};
             const HRESULT hr = s->LockRect(&lr, nullptr, D3DLOCK_READONLY);
             if (SUCCEEDED(hr)) s->UnlockRect();
             s->Release();
             return hr;
         }},
        {Call::SurfaceUnlockRect,
         [](DeviceFixture& f) {
             IDirect3DSurface8* s = nullptr;
             f.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &s);
             D3DLOCKED_RECT lr{};
             s->LockRect(&lr, nullptr, D3DLOCK_READONLY);
             const HRESULT hr = s->UnlockRect();
             s->Release();
             return hr;
         }},
    };
}

TEST(FaultInjection, EveryHookedCallSucceedsUntoldAndFailsWithTheChosenCode) {
    const auto calls = AllHookedCalls();
    ASSERT_EQ(calls.size(), kCallCount);  // a new Call value needs a case here
    for (const HookedCall& c : calls) {
        SCOPED_TRACE(CallName(c.call));
        DeviceFixture f;
        f.Upload({f.Screen(0, 0, 0xFFFFFFFF), f.Screen(16, 0, 0xFFFFFFFF), f.Screen(0, 16, 0xFFFFFFFF)});
        EXPECT_EQ(c.invoke(f), S_OK);
        f.monitor->ResetCounts();
        f.monitor->FailCall(c.call, D3DERR_DEVICELOST);
        EXPECT_EQ(c.invoke(f), D3DERR_DEVICELOST);
        EXPECT_EQ(f.monitor->Count(c.call), 1u);
        f.monitor->ClearFaults();
        EXPECT_EQ(c.invoke(f), S_OK);
    }
}

TEST(FaultInjection, OnlyTheNthCallOrTheNthAndLater) {
    DeviceFixture f;
    f.monitor->ResetCounts();
    f.monitor->FailCall(Call::Present, E_OUTOFMEMORY, 3);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(f.device->Present(nullptr, nullptr, nullptr, nullptr), i == 3 ? E_OUTOFMEMORY : S_OK) << i;
    EXPECT_EQ(f.collector.frames, 4);  // the failed call presented nothing
    f.monitor->ResetCounts();
    f.monitor->FailCall(Call::BeginScene, D3DERR_DEVICELOST, 2, true);
    EXPECT_EQ(f.device->BeginScene(), S_OK);
    EXPECT_EQ(f.device->EndScene(), S_OK);
    EXPECT_EQ(f.device->BeginScene(), D3DERR_DEVICELOST);
    EXPECT_EQ(f.device->BeginScene(), D3DERR_DEVICELOST);
    EXPECT_EQ(f.device->EndScene(), D3DERR_INVALIDCALL);  // the failed BeginScene opened nothing
}

TEST(FaultInjection, FailedLockHandsOutNoPointer) {
    DeviceFixture f;
    f.Upload({f.Screen(0, 0, 0xFFFFFFFF), f.Screen(16, 0, 0xFFFFFFFF), f.Screen(0, 16, 0xFFFFFFFF)});
    f.monitor->FailCall(Call::VertexBufferLock, E_FAIL);
    BYTE* p = reinterpret_cast<BYTE*>(1);
    EXPECT_EQ(f.vb->Lock(0, 0, &p, 0), E_FAIL);
    f.monitor->ClearFault(Call::VertexBufferLock);
    EXPECT_EQ(f.vb->Lock(0, 0, &p, 0), S_OK);  // the failed lock left the buffer unlocked
    EXPECT_EQ(f.vb->Unlock(), S_OK);
}

TEST(CallCounts, CountWhatTheCallerDid) {
    DeviceFixture f;
    f.Upload(std::vector<Vertex>(132, f.Screen(1, 1, 0xFFFFFFFF)));
    f.monitor->ResetCounts();
    for (int block = 0; block < 3; ++block) {
        BYTE* p = nullptr;
        f.vb->Lock(0, 4752, &p, 0);
        f.vb->Unlock();
        for (int slot = 0; slot < 6; ++slot) {
            f.vb->Lock(0, 1296, &p, 0);
            f.vb->Unlock();
        }
    }
    EXPECT_EQ(f.monitor->Count(Call::VertexBufferLock), 21u);
    EXPECT_EQ(f.monitor->Count(Call::VertexBufferUnlock), 21u);
    EXPECT_EQ(f.monitor->Count(Call::DrawPrimitive), 0u);
}

TEST(CallCounts, NamesRoundTrip) {
    for (std::size_t i = 0; i < kCallCount; ++i)
        EXPECT_EQ(CallFromName(CallName(static_cast<Call>(i))), static_cast<Call>(i));
    EXPECT_EQ(CallFromName("Lock"), Call::Count);
}

}  // namespace
}  // namespace velmo::d3d8::test
