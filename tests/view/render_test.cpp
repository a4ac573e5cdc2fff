// Frame drawing: what the frame shows, the calls it makes, the highlight rules and the failure
// reports.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <set>

#include "view_test_support.h"

namespace velmo::testing {
namespace {

constexpr int kSize = 512;

struct Frame {
    SceneRig rig;
    explicit Frame(bool hardware = true) : rig({.hardware = hardware, .size = kSize}) { rig.Build(); }
    TScene& Scene() { return *rig.scene; }
    HRESULT Draw() { return rig.scene->RenderFrame(); }
    std::uint32_t At(Pixel p) const { return rig.frames.PixelArgb(p.x, p.y) & 0xFFFFFF; }
    std::uint32_t At(Vec3 world) const { return At(Project(world, kSize)); }
    // The distinct colours in a square of (2r+1)^2 pixels around a point.
    std::set<std::uint32_t> Patch(Vec3 world, int r = 3) const {
        const Pixel c = Project(world, kSize);
        std::set<std::uint32_t> colours;
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) colours.insert(At(Pixel{c.x + dx, c.y + dy}));
        return colours;
    }
};

TEST(RenderFrame, HardwareFrameShowsTexturedLitCubeAndTheMirrorLowerLeft) {
    Frame frame;
    ASSERT_EQ(frame.Draw(), D3D_OK);
    ASSERT_EQ(frame.rig.frames.frames, 1);
    EXPECT_EQ(frame.At(Pixel{kSize - 3, 2}), 0x000000u);

    // The logo's red disc sits in the middle of the top centre's sticker.
    const std::uint32_t logo = frame.At(Vec3{0, 1.5f, 0});
    EXPECT_GT(Red(logo), 120);
    EXPECT_LT(Green(logo), Red(logo) / 2);
    EXPECT_LT(Blue(logo), Red(logo) / 2);
    // A plain white sticker: near white, lit, and grainy.
    const std::uint32_t white = frame.At(Vec3{-1, 1.5f, -1});
    EXPECT_GT(Green(white), 150);
    EXPECT_LT(std::abs(Red(white) - Blue(white)), 20);
    EXPECT_GE(frame.Patch({-1, 1.5f, -1}).size(), 5u);
    const std::uint32_t red = frame.At(Vec3{0, 0, -1.5f});
    EXPECT_GT(Red(red), 100);
    EXPECT_LT(Green(red), 40);

    // The mirror: its centre lower left, tinted by the translucent cyan disc over the image.
    const Pixel centre = Project(MirrorCentre(), kSize);
    EXPECT_LT(centre.x, kSize / 3);
    EXPECT_GT(centre.y, 2 * kSize / 3);
    const std::uint32_t mirror = frame.At(centre);
    EXPECT_GE(Green(mirror), 60);
    EXPECT_GE(Blue(mirror), 60);
    EXPECT_EQ(frame.At(DiscPoint(5.5f, kSize)), 0x000000u);
    EXPECT_EQ(frame.At(DiscPoint(8, kSize)), 0x000000u);
    // Inside the rim the disc is translucent cyan over the image.
    const std::uint32_t rim = frame.At(DiscPoint(4.5f, kSize));
    EXPECT_GT(Blue(rim), Red(rim));
}

// Without the disc's blending its cyan would hide the image; without the ring a block's image
// beyond the rim would show on the desk.
TEST(RenderFrame, TheMirrorImageShowsThroughTheDiscAndNowhereElse) {
    Frame empty;
    for (int cell = 1; cell <= kCellCount; ++cell) empty.Scene().Model()->Block(cell).InCube = false;
    ASSERT_EQ(empty.Draw(), D3D_OK);
    Frame full;
    ASSERT_EQ(full.Draw(), D3D_OK);
    const Pixel centre = Project(MirrorCentre(), kSize);
    EXPECT_GT(Blue(empty.At(centre)), 30);  // the disc is drawn, tinting the black
    for (const Pixel p : {centre, Pixel{centre.x + 8, centre.y - 8}, Pixel{centre.x - 4, centre.y - 12}})
        EXPECT_NE(full.At(p), empty.At(p)) << p.x << "," << p.y;

    // One block moved so far that its image lies 6.5 from the disc's centre, beyond the rim.
    const Vec3 stray = DiscPoint(6.5f, kSize);
    const Vec3 place = Reflected(stray);
    for (const bool hardware : {false, true}) {
        Frame moved(hardware);
        moved.Scene().Model()->Block(26).Matrix = MatrixTranslation(place.x, place.y, place.z);
        ASSERT_EQ(moved.Draw(), D3D_OK);
        EXPECT_EQ(moved.Patch(stray, 2), (std::set<std::uint32_t>{0})) << hardware;
    }
}

// The block's own placement comes first and the reflection second: a lone block's image stands
// where the mirror reflects the block's centre.
TEST(RenderFrame, ABlocksImageStandsWhereTheMirrorReflectsIt) {
    for (const int cell : {7, 24}) {
        Frame empty, lone;
        for (int other = 1; other <= kCellCount; ++other) {
            empty.Scene().Model()->Block(other).InCube = false;
            lone.Scene().Model()->Block(other).InCube = other == cell;
        }
        ASSERT_EQ(empty.Draw(), D3D_OK);
        ASSERT_EQ(lone.Draw(), D3D_OK);
        const CellPos c = CellPosition(cell);
        const Pixel image = Project(Reflected(Vec3{float(c.x), float(c.y), float(c.z)}), kSize);
        EXPECT_NE(lone.At(image), empty.At(image)) << cell;
    }
}

TEST(RenderFrame, ReferenceFrameHasGreyBodiesFlatStickersAndNoMirror) {
    Frame frame(false);
    ASSERT_EQ(frame.Draw(), D3D_OK);
    EXPECT_EQ(frame.At(Project(MirrorCentre(), kSize)), 0x000000u);
    EXPECT_EQ(frame.At(Vec3{1.45f, -1, -1.45f}), 0xC0C0C0u);  // a bevel of block 9
    EXPECT_EQ(frame.Patch({0, 0, -1.5f}), (std::set<std::uint32_t>{0xFF0000}));
    EXPECT_EQ(frame.Patch({0, 1.5f, 0}), (std::set<std::uint32_t>{0xFFFFFF}));  // no logo
    EXPECT_EQ(frame.Patch({1.5f, 1, 0}), (std::set<std::uint32_t>{0x0000FF}));
}

TEST(RenderFrame, ABlockWithoutStickersShowsItsBodyAllOver) {
    Frame frame;
    frame.Scene().Model()->Block(5).Faces = {0, 0, 0, 0, 0, 0};
    ASSERT_EQ(frame.Draw(), D3D_OK);
    const std::uint32_t face = frame.At(Vec3{0, 0, -1.5f});
    EXPECT_GT(Green(face), 100);
    EXPECT_LT(std::abs(Red(face) - Green(face)), 12);
    // No texture: the plain body is smooth.
    EXPECT_LE(frame.Patch({0, 0, -1.5f}, 2).size(), 3u);
}

TEST(RenderCalls, EachBlockTakesSevenLocksAndSevenDraws) {
    for (const bool hardware : {true, false}) {
        SCOPED_TRACE(hardware ? "hardware" : "reference");
        Frame frame(hardware);
        d3d8::CallMonitor& calls = *frame.rig.monitor;
        IDirect3DDevice8* device = frame.Scene().Device();
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        calls.ResetCounts();
        ASSERT_EQ(frame.Scene().DrawBlock(frame.Scene().Model()->Block(1), MatrixIdentity(), false), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        EXPECT_EQ(calls.Count(d3d8::Call::VertexBufferLock), 7u);
        EXPECT_EQ(calls.Count(d3d8::Call::VertexBufferUnlock), 7u);
        EXPECT_EQ(calls.Count(d3d8::Call::DrawPrimitive), 7u);
        EXPECT_EQ(calls.Count(d3d8::Call::SetTexture), hardware ? 7u : 0u);

        // A whole frame: the cube twice on hardware (image and cube) plus disc and ring.
        calls.ResetCounts();
        ASSERT_EQ(frame.Draw(), D3D_OK);
        EXPECT_EQ(calls.Count(d3d8::Call::DrawPrimitive), hardware ? 52u * 7 + 2 : 26u * 7);
        EXPECT_EQ(calls.Count(d3d8::Call::VertexBufferLock), hardware ? 52u * 7 : 26u * 7);
        EXPECT_EQ(calls.Count(d3d8::Call::Clear), hardware ? 3u : 1u);
        EXPECT_EQ(calls.Count(d3d8::Call::Present), 1u);
    }
}

TEST(RenderCalls, TheFrameLeavesTheDeviceAsTheNextFrameExpectsIt) {
    Frame frame;
    ASSERT_EQ(frame.Draw(), D3D_OK);
    IDirect3DDevice8* device = frame.Scene().Device();
    DWORD value = 0;
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, D3DCULL_CCW);
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, FALSE);
    device->GetRenderState(D3DRS_EDGEANTIALIAS, &value);
    EXPECT_EQ(value, FALSE);
    IDirect3DBaseTexture8* texture = nullptr;
    device->GetTexture(0, &texture);
    EXPECT_EQ(texture, nullptr);
    if (texture) texture->Release();
}

// The highlight of the reassembly mode: which picked cells qualify under which filter.
struct Highlight : Frame {
    explicit Highlight(bool hardware = true) : Frame(hardware) {}
    unsigned Draws() {
        rig.monitor->ResetCounts();
        EXPECT_EQ(Draw(), D3D_OK);
        return rig.monitor->Count(d3d8::Call::DrawPrimitive);
    }
    TVelmo& Cube() { return *Scene().Model(); }
};

TEST(RenderHighlight, APresentCentreIsNeverHighlightedAndTheCellIsCleared) {
    Highlight h;
    h.Cube().PickedCell = 5;
    EXPECT_EQ(h.Draws(), 52u * 7 + 2);
    EXPECT_EQ(h.Cube().PickedCell, -1);
}

TEST(RenderHighlight, APresentEdgeUnderFilter3IsTintedInCubeAndMirror) {
    Highlight h;
    h.Cube().PickedCell = 2;
    EXPECT_EQ(h.Draws(), 52u * 7 + 2 + 2 * 7);
    EXPECT_EQ(h.Cube().PickedCell, 2);
    // Its red front sticker is blended towards magenta (0x80FF006F), without texture.
    const std::uint32_t tinted = h.At(Vec3{0, 1, -1.5f});
    EXPECT_GT(Blue(tinted), 40);
    EXPECT_LT(Green(tinted), 8);
    EXPECT_LE(h.Patch({0, 1, -1.5f}, 2).size(), 3u);
}

TEST(RenderHighlight, UnlitTheTintIsTheStickerBlendedTowardsMagentaBy144) {
    // Each channel (magenta x (255 - 144) + sticker x 144) / 255: the red front sticker gives
    // (FF, 00, 6F), the white top one (FF, 90, FF); the body is magenta.
    Highlight h(false);
    h.Cube().PickedCell = 2;
    h.Draws();
    EXPECT_EQ(h.Patch({0, 1, -1.5f}, 2), (std::set<std::uint32_t>{0xFF006F}));
    EXPECT_EQ(h.Patch({0, 1.5f, -1}, 2), (std::set<std::uint32_t>{0xFF90FF}));
    EXPECT_EQ(h.At(Vec3{0, 1.45f, -1.45f}), 0xFF00FFu);
}

TEST(RenderHighlight, AnEmptyCornerUnderFilter1IsAWholeMagentaBlock) {
    Highlight h;
    h.Cube().Block(9).InCube = false;
    h.Cube().PickFilter = 1;
    h.Cube().PickedCell = 9;
    EXPECT_EQ(h.Draws(), 50u * 7 + 2 + 2 * 7);
    EXPECT_EQ(h.Cube().PickedCell, 9);
    for (const Vec3 point : {Vec3{1, -1, -1.5f}, Vec3{1.5f, -1, -1}, Vec3{1.45f, -1, -1.45f}}) {
        const std::uint32_t colour = h.At(point);
        EXPECT_EQ(Green(colour), 0) << std::hex << colour;
        EXPECT_GT(Red(colour), 60) << std::hex << colour;
        EXPECT_GT(Blue(colour), 60) << std::hex << colour;
    }
}

TEST(RenderHighlight, CellsTheFilterDoesNotOfferAreCleared) {
    const struct {
        int filter, cell;
        bool present;
    } cases[] = {{0, 9, false}, {0, 2, true}, {2, 9, false}, {1, 2, false}, {3, 9, false}, {1, 9, true},
                 {3, 27, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("filter " + std::to_string(c.filter) + " cell " + std::to_string(c.cell));
        Highlight h;
        if (c.cell <= 26) h.Cube().Block(c.cell).InCube = c.present;
        h.Cube().PickFilter = c.filter;
        h.Cube().PickedCell = c.cell;
        const unsigned present = c.present ? 52 : 50;
        EXPECT_EQ(h.Draws(), (c.cell <= 26 ? present : 52u) * 7 + 2);
        EXPECT_EQ(h.Cube().PickedCell, -1);
    }
}

// A tested call that fails abandons the frame and always shows the undetermined error; the
// caller still gets the call's own code.
struct FrameFault {
    d3d8::Call call;
    unsigned onCall;  // counted from the start of the frame
    const char* what;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FrameFault& fault, std::ostream* out) { *out << fault.what; }

class RenderFailure : public ::testing::TestWithParam<FrameFault> {};

TEST_P(RenderFailure, IsReportedAsAnUndeterminedErrorAndReleasesTheScene) {
    Frame frame;
    frame.rig.monitor->ResetCounts();
    frame.rig.monitor->FailCall(GetParam().call, D3DERR_DEVICELOST, GetParam().onCall);
    EXPECT_EQ(frame.Draw(), D3DERR_DEVICELOST);
    ASSERT_EQ(frame.rig.shell.messages.size(), 1u);
    EXPECT_EQ(frame.rig.shell.messages[0].caption, "Отрисовка изображения");
    EXPECT_EQ(frame.rig.shell.messages[0].text,
              "An undetermined error occurred inside the Direct3D subsystem.");
    EXPECT_FALSE(frame.Scene().RenderingActive);
    EXPECT_FALSE(frame.Scene().HasDevice());
    EXPECT_EQ(frame.rig.frames.frames, 0);

    // Without a device every later frame fails the same way, one report each.
    EXPECT_EQ(frame.Draw(), E_FAIL);
    EXPECT_EQ(frame.rig.shell.messages.size(), 2u);
    // A rebuild brings the scene back.
    frame.rig.monitor->ClearFaults();
    frame.Scene().ResetScene();
    EXPECT_EQ(frame.Draw(), D3D_OK);
    EXPECT_EQ(frame.rig.frames.frames, 1);
}

INSTANTIATE_TEST_SUITE_P(
    TestedCalls, RenderFailure,
    ::testing::Values(FrameFault{d3d8::Call::Clear, 1, "first clear"},
                      FrameFault{d3d8::Call::Clear, 2, "clear after the mirror image"},
                      FrameFault{d3d8::Call::Clear, 3, "clear after the ring"},
                      FrameFault{d3d8::Call::BeginScene, 1, "begin"},
                      FrameFault{d3d8::Call::SetRenderState, 1, "edge antialias on"},
                      FrameFault{d3d8::Call::DrawPrimitive, 5, "mirror image"},
                      FrameFault{d3d8::Call::VertexBufferLock, 300, "cube"},
                      FrameFault{d3d8::Call::SetTransform, 40, "cube's world matrix"},
                      FrameFault{d3d8::Call::EndScene, 1, "end"},
                      FrameFault{d3d8::Call::Present, 1, "present"}),
    [](const ::testing::TestParamInfo<FrameFault>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ' || c == '\'') c = '_';
        return name;
    });

TEST(RenderFailure, TheDiscAndRingAreNotChecked) {
    for (const unsigned draw : {183u, 184u}) {  // after the 26 blocks x 7 draws of the image
        Frame frame;
        frame.rig.monitor->ResetCounts();
        frame.rig.monitor->FailCall(d3d8::Call::DrawPrimitive, D3DERR_INVALIDCALL, draw);
        EXPECT_EQ(frame.Draw(), D3D_OK);
        EXPECT_TRUE(frame.rig.shell.messages.empty());
        EXPECT_EQ(frame.rig.frames.frames, 1);
    }
}

}  // namespace
}  // namespace velmo::testing
