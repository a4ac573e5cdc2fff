// Picking: what the identification picture says under a desk pixel, in every back-buffer
// format, and how failures are reported.

#include <gtest/gtest.h>

#include "view_test_support.h"

namespace velmo::testing {
namespace {

constexpr int kSize = 512;

const PickResult kNothing{0, 0, 0};
const PickResult kDisc{16, 31, 31};

struct Picker {
    SceneRig rig;
    explicit Picker(RigOptions options = {.size = kSize}) : rig(options) { rig.Build(); }
    TScene& Scene() { return *rig.scene; }
    TVelmo& Cube() { return *rig.scene->Model(); }
    std::optional<PickResult> At(Pixel p) { return rig.scene->PickAt(p.x, p.y); }
    std::optional<PickResult> At(Vec3 world) { return At(Project(world, rig.size)); }
};

TEST(Pick, StickersBevelsAndEmptySpace) {
    Picker pick;
    EXPECT_EQ(pick.At(Vec3{1.5f, -1, -1}), (PickResult{9, 0, 3}));      // block 9, right sticker
    EXPECT_EQ(pick.At(Vec3{1, -1, -1.5f}), (PickResult{9, 0, 1}));      // its front sticker
    EXPECT_EQ(pick.At(Vec3{1.45f, -1, -1.45f}), (PickResult{9, 0, 0}));  // the bevel between
    EXPECT_EQ(pick.At(Vec3{0, 1.5f, 0}), (PickResult{11, 0, 2}));       // the logo sticker
    EXPECT_EQ(pick.At(Pixel{kSize - 3, 2}), kNothing);                  // background
    EXPECT_EQ(pick.At(MirrorCentre()), kDisc);
    // Off the desk reads nothing instead of reading past the back buffer.
    EXPECT_EQ(pick.At(Pixel{-1, 10}), kNothing);
    EXPECT_EQ(pick.At(Pixel{kSize, kSize / 2}), kNothing);
    EXPECT_EQ(pick.At(Pixel{kSize / 2, 100000}), kNothing);
    EXPECT_TRUE(pick.rig.shell.messages.empty());
}

TEST(Pick, TheRingAroundTheDiscReadsNothing) {
    Picker pick;
    const Pixel ring = Project(DiscPoint(5.5f, kSize), kSize);
    ASSERT_TRUE(ring.x >= 0 && ring.x < kSize && ring.y >= 0 && ring.y < kSize);
    EXPECT_EQ(pick.At(ring), kNothing);
    EXPECT_EQ(pick.At(DiscPoint(8, kSize)), kNothing);
    EXPECT_EQ(pick.At(DiscPoint(4.5f, kSize)), kDisc);
}

TEST(Pick, TheIdentificationPictureIsNeverPresentedAndLightingReturns) {
    Picker pick;
    ASSERT_TRUE(pick.At(Vec3{0, 0, -1.5f}));
    EXPECT_EQ(pick.rig.frames.frames, 0);
    DWORD lighting = FALSE;
    pick.Scene().Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, TRUE);
    // The next frame draws over the whole picture.
    ASSERT_EQ(pick.Scene().RenderFrame(), D3D_OK);
    EXPECT_EQ(pick.rig.frames.PixelArgb(kSize - 3, 2) & 0xFFFFFF, 0u);
}

TEST(Pick, OnTheReferenceDeviceThereIsNoDiscAndLightingStaysOff) {
    Picker pick({.hardware = false, .size = kSize});
    EXPECT_EQ(pick.At(MirrorCentre()), kNothing);
    EXPECT_EQ(pick.At(Vec3{1.5f, -1, -1}), (PickResult{9, 0, 3}));
    DWORD lighting = TRUE;
    pick.Scene().Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, FALSE);
}

TEST(Pick, EmptyCellsCanBeHitOnlyWhereTheFilterOffersThem) {
    Picker pick;
    pick.Cube().Block(9).InCube = false;
    pick.Cube().PickFilter = 1;  // empty corners
    EXPECT_EQ(pick.At(Vec3{1.5f, -1, -1}), (PickResult{9, 0, 3}));
    pick.Cube().PickFilter = 2;  // empty edges: the corner's place is open
    EXPECT_NE(pick.At(Vec3{1.5f, -1, -1})->red5, 9);
    pick.Cube().PickFilter = 3;
    EXPECT_NE(pick.At(Vec3{1.5f, -1, -1})->red5, 9);

    pick.Cube().Block(6).InCube = false;
    pick.Cube().PickFilter = 2;
    EXPECT_EQ(pick.At(Vec3{1.5f, 0, -1}), (PickResult{6, 0, 3}));
}

class PickFormat : public ::testing::TestWithParam<D3DFORMAT> {};

TEST_P(PickFormat, EveryListedFormatReadsTheSameValues) {
    Picker pick({.size = kSize, .format = GetParam()});
    ASSERT_TRUE(pick.rig.shell.messages.empty());
    EXPECT_EQ(pick.At(MirrorCentre()), kDisc);
    EXPECT_EQ(pick.At(Vec3{1.5f, -1, -1}), (PickResult{9, 0, 3}));
    EXPECT_EQ(pick.At(Vec3{-1, 1, -1.5f}), (PickResult{1, 0, 1}));
    EXPECT_EQ(pick.At(Vec3{-1, 1.5f, 1}), (PickResult{18, 0, 2}));
    EXPECT_EQ(pick.At(Pixel{kSize - 3, 2}), kNothing);
}

INSTANTIATE_TEST_SUITE_P(ListedFormats, PickFormat,
                         ::testing::Values(D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R8G8B8,
                                           D3DFMT_R5G6B5));

TEST(Pick, FiveBitGreenBackBuffersReadNothing) {
    for (const D3DFORMAT format : {D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5}) {
        Picker pick({.size = kSize, .format = format});
        EXPECT_EQ(pick.At(MirrorCentre()), kNothing);
        EXPECT_EQ(pick.At(Vec3{1.5f, -1, -1}), kNothing);
        EXPECT_TRUE(pick.rig.shell.messages.empty());
    }
}

TEST(PickDecode, TakesTheTopFiveBitsOfEachChannelFromThePixelsOwnBytes) {
    const BYTE argb[4] = {0xFF, 0x07, 0x48, 0x12};  // 0x124807FF: a = 0x12 is not read
    EXPECT_EQ(DecodePickPixel(argb, D3DFMT_A8R8G8B8), (PickResult{9, 0, 31}));
    const BYTE rgb[3] = {0x18, 0xF8, 0x80};
    EXPECT_EQ(DecodePickPixel(rgb, D3DFMT_R8G8B8), (PickResult{16, 31, 3}));
    // R5G6B5 0x8BE3: red 10001, green 011111, blue 00011.
    const BYTE r5g6b5[2] = {0xE3, 0x8B};
    EXPECT_EQ(DecodePickPixel(r5g6b5, D3DFMT_R5G6B5), (PickResult{17, 15, 3}));
    EXPECT_EQ(DecodePickPixel(argb, D3DFMT_X1R5G5B5), kNothing);
    EXPECT_EQ(DecodePickPixel(argb, D3DFMT_A4R4G4B4), kNothing);
}

// A failure is reported under the picking caption with the failing call's own code, and no
// reference is left behind.
void ExpectPickFailure(Picker& pick, HRESULT code) {
    ASSERT_EQ(pick.rig.shell.messages.size(), 1u);
    EXPECT_EQ(pick.rig.shell.messages[0].caption, "Упрощенная отрисовка");
    EXPECT_EQ(pick.rig.shell.messages[0].text, Direct3DErrorText(code));
    EXPECT_FALSE(pick.Scene().HasDevice());
    EXPECT_FALSE(pick.Scene().RenderingActive);
}

TEST(PickFailure, EachFailingCallIsReportedWithItsOwnCode) {
    const struct {
        d3d8::Call call;
        unsigned onCall;
        HRESULT code;
    } cases[] = {
        {d3d8::Call::Clear, 1, D3DERR_DEVICELOST},
        {d3d8::Call::BeginScene, 1, D3DERR_INVALIDCALL},
        {d3d8::Call::Clear, 2, D3DERR_DRIVERINTERNALERROR},
        {d3d8::Call::Clear, 3, E_OUTOFMEMORY},
        {d3d8::Call::VertexBufferLock, 40, D3DERR_NOTAVAILABLE},
        {d3d8::Call::DrawPrimitive, 10, D3DERR_INVALIDCALL},
        {d3d8::Call::EndScene, 1, D3DERR_DEVICENOTRESET},
        {d3d8::Call::GetBackBuffer, 1, D3DERR_NOTFOUND},
        {d3d8::Call::SurfaceLockRect, 1, D3DERR_DEVICELOST},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(d3d8::CallName(c.call)) + " #" + std::to_string(c.onCall));
        Picker pick;
        IDirect3D8* d3d = pick.Scene().Direct3D();
        d3d->AddRef();
        pick.rig.monitor->ResetCounts();
        pick.rig.monitor->FailCall(c.call, c.code, c.onCall);
        EXPECT_FALSE(pick.At(Vec3{0, 0, -1.5f}));
        ExpectPickFailure(pick, c.code);
        EXPECT_EQ(d3d->Release(), 0u);  // the back buffer's reference was given up too
    }
}

TEST(PickFailure, WithoutADeviceItIsAnUndeterminedError) {
    Picker pick;
    pick.Scene().ReleaseScene();
    EXPECT_FALSE(pick.At(Vec3{0, 0, -1.5f}));
    ExpectPickFailure(pick, E_FAIL);
}

TEST(PickFailure, TheDiscsDrawIsNotChecked) {
    Picker pick;
    pick.rig.monitor->ResetCounts();
    pick.rig.monitor->FailCall(d3d8::Call::DrawPrimitive, D3DERR_INVALIDCALL, 1);
    EXPECT_EQ(pick.At(MirrorCentre()), kNothing);
    EXPECT_TRUE(pick.rig.shell.messages.empty());
}

}  // namespace
}  // namespace velmo::testing
