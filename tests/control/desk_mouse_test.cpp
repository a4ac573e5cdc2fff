// Mouse control on a scene drawn by the software device acting as hardware, over a headless
// model: presses land where picking finds the sticker, the disc or the background.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "../model/test_support.h"
#include "../view/view_test_support.h"
#include "control/desk_mouse.h"

namespace velmo::testing {
namespace {

constexpr int kSize = 512;  // device pixels
constexpr float kQuarter = std::numbers::pi_v<float> / 2;
const MouseButton kLeftButton = MouseButton::Left;
const MouseButton kRightButton = MouseButton::Right;

class FakeMainWindow : public IDeskMouseHost {
public:
    bool ReassemblyMode() const override { return reassembly; }
    void HandleReassemblyClick() override { ++reassemblyClicks; }
    int DeskWidth() const override { return width; }
    double DevicePixelRatio() const override { return ratio; }

    bool reassembly = false;
    int reassemblyClicks = 0;
    int width = kSize;
    double ratio = 1;
};

// The same model turned directly, for comparison.
struct Twin {
    HeadlessHost host;
    TVelmo cube{host};
    Twin() { cube.TurnDuration = 0; }
};

DeskPoint operator+(DeskPoint p, DeskPoint d) { return {p.x + d.x, p.y + d.y}; }

struct Desk {
    SceneRig rig{{.size = kSize}};
    FakeMainWindow window;
    std::unique_ptr<DeskMouse> mouse;

    explicit Desk(double ratio = 1) {
        rig.Build();
        window.ratio = ratio;
        window.width = static_cast<int>(kSize / ratio);
        mouse = std::make_unique<DeskMouse>(*rig.scene, rig.Cube(), window);
    }
    TScene& Scene() { return *rig.scene; }
    TVelmo& Cube() { return rig.Cube(); }
    const std::vector<std::string>& Log() { return rig.host.Log().Lines(); }
    DeskPoint Logical(Pixel p) const { return {p.x / window.ratio, p.y / window.ratio}; }

    // The desk point over the middle of a sticker, where picking finds it.
    DeskPoint Sticker(int cell, int slot) {
        const CellPos c = CellPosition(cell), n = SlotDirection(slot);
        const Pixel p = Project({c.x + 0.5f * n.x, c.y + 0.5f * n.y, c.z + 0.5f * n.z}, kSize,
                                Scene().Angles);
        EXPECT_EQ(Scene().PickAt(p.x, p.y), (PickResult{cell, 0, slot}))
            << "cell " << cell << " slot " << slot;
        return Logical(p);
    }
    DeskPoint Background() { return Logical({kSize - 3, 2}); }

    void Drag(MouseButton button, DeskPoint from, DeskPoint by) {
        mouse->MouseDown(button, from);
        mouse->MouseMove(from + by);
        mouse->MouseUp(button, from + by);
    }
    void SetCamera(float h, float v) {
        Scene().Angles.CameraAngleH = h;
        Scene().Angles.CameraAngleV = v;
        Scene().ComputeViewPoints();
        Scene().SetupLights();
        Scene().ApplyViewTransform();
    }
};

TEST(DeskMouseTurns, ADragTurnsOnceItPassesThirtyTwoPixelsMainlyAlongOneAxis) {
    Desk desk;
    Twin twin;
    const DeskPoint p = desk.Sticker(2, kFront);
    desk.mouse->MouseDown(kLeftButton, p);
    const DragState& drag = desk.mouse->State();
    ASSERT_TRUE(drag.active);
    EXPECT_FALSE(drag.cameraDrag || drag.mirrorDrag);
    EXPECT_EQ(drag.pickedCell, 2);
    EXPECT_EQ(drag.pickedSlot, kFront);

    desk.mouse->MouseMove(p + DeskPoint{32, 0});
    desk.mouse->MouseMove(p + DeskPoint{33, 11});
    EXPECT_TRUE(drag.active);
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    desk.mouse->MouseMove(p + DeskPoint{33, 10});  // measured from the press point
    twin.cube.TurnTopInv();
    EXPECT_FALSE(drag.active);
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    desk.mouse->MouseMove(p + DeskPoint{120, 0});  // one turn per press
    desk.mouse->MouseUp(kLeftButton, p + DeskPoint{120, 0});
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));

    desk.mouse->MouseDown(kLeftButton, p);
    desk.mouse->MouseMove(p + DeskPoint{-11, -33});
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    desk.mouse->MouseMove(p + DeskPoint{-10, -33});
    twin.cube.TurnSliceRight();
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
}

TEST(DeskMouseTurns, AStickerOnEachVisibleFaceTurnsTheLayerTheTableNames) {
    Desk desk;
    Twin twin;
    desk.Drag(kLeftButton, desk.Sticker(4, kFront), {-40, 0});
    twin.cube.TurnSliceTop();
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    desk.Drag(kLeftButton, desk.Sticker(19, kTop), {0, -40});
    twin.cube.TurnSliceRight();
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    desk.Drag(kLeftButton, desk.Sticker(14, kRight), {0, 40});
    twin.cube.TurnCubeFront(false);
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    desk.SetCamera(0.6108652f, -0.5f);
    desk.Drag(kLeftButton, desk.Sticker(24, kBottom), {40, 0});
    twin.cube.TurnBack();
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    // The whole-cube turn was an ordinary one: animated and logged.
    EXPECT_EQ(desk.Log().back(), "Операции пользователя: Св Сп Оф Т ");
}

TEST(DeskMouseTurns, TheUserLineOpensOnceAndHandTurnsTakeTheHandDuration) {
    Desk desk;
    desk.rig.host.SetHandTurnDuration(300);
    desk.Cube().Scramble();
    const std::size_t lines = desk.Log().size();
    const std::uint32_t start = desk.rig.host.Clock();
    desk.Drag(kLeftButton, desk.Sticker(2, kFront), {40, 0});
    EXPECT_EQ(desk.Cube().TurnDuration, 300);
    const std::uint32_t took = desk.rig.host.Clock() - start;
    EXPECT_GE(took, 300u);
    EXPECT_LT(took, 700u);  // not the automatic duration the scramble left behind
    desk.Drag(kLeftButton, desk.Sticker(5, kFront), {0, -40});
    ASSERT_EQ(desk.Log().size(), lines + 1);
    EXPECT_EQ(desk.Log().back(), "Операции пользователя: В' Оп ");

    // With logging off nothing is written, not even the header, but the cube turns.
    desk.Cube().LogTurns = false;
    desk.Cube().UserLineOpen = false;
    const std::vector<std::string> log = desk.Log();
    const auto before = Snapshot(desk.Cube());
    desk.Drag(kLeftButton, desk.Sticker(2, kFront), {40, 0});
    EXPECT_EQ(desk.Log(), log);
    EXPECT_NE(Snapshot(desk.Cube()), before);
}

TEST(DeskMouseTurns, InputDuringATurnWaitsUntilTheTurnHasEnded) {
    Desk desk;
    Twin twin;
    const DeskPoint first = desk.Sticker(2, kFront), second = desk.Sticker(6, kFront);
    int depth = 0, deepest = 0;
    bool sent = false;
    desk.rig.host.SetFrameListener([&] {
        deepest = std::max(deepest, ++depth);
        if (!sent) {  // the user lets go and drags another sticker while the turn animates
            sent = true;
            desk.mouse->MouseUp(kLeftButton, first + DeskPoint{40, 0});
            desk.Drag(kLeftButton, second, {0, -40});
            EXPECT_EQ(desk.Log().back(), "Операции пользователя: В' ");
        }
        --depth;
    });
    desk.mouse->MouseDown(kLeftButton, first);
    desk.mouse->MouseMove(first + DeskPoint{40, 0});
    EXPECT_EQ(deepest, 1);  // no turn ran inside a frame of another
    EXPECT_EQ(desk.Log().back(), "Операции пользователя: В' П ");
    twin.cube.TurnTopInv();
    twin.cube.TurnRight();
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
    EXPECT_FALSE(desk.mouse->State().active);
}

TEST(DeskMouseView, RightButtonBodiesAndTheDiscSwingTheViewAndTheBackgroundDoesNothing) {
    Desk desk;
    TScene& scene = desk.Scene();
    const ViewAngles start = scene.Angles;
    desk.Drag(kLeftButton, desk.Background(), {50, 20});
    EXPECT_EQ(desk.rig.frames.frames, 0);
    EXPECT_EQ(scene.Angles.CameraAngleH, start.CameraAngleH);

    // Anywhere with the right button: dragging right lowers the horizontal angle, down
    // raises the vertical one, each step from the last mouse position; one frame per step.
    const DeskPoint p = desk.Background();
    desk.mouse->MouseDown(kRightButton, p);
    EXPECT_TRUE(desk.mouse->State().cameraDrag);
    desk.mouse->MouseMove(p + DeskPoint{-16, 0});
    desk.mouse->MouseMove(p + DeskPoint{-8, 32});
    desk.mouse->MouseUp(kRightButton, p + DeskPoint{-8, 32});
    EXPECT_NEAR(scene.Angles.CameraAngleH, start.CameraAngleH + (16 - 8) * 2.0 / kSize, 1e-6);
    EXPECT_NEAR(scene.Angles.CameraAngleV, start.CameraAngleV + 32 * 2.0 / kSize, 1e-6);
    EXPECT_EQ(desk.rig.frames.frames, 2);
    // The eye, the light that follows it and the view transform were brought up to date.
    const float h = scene.Angles.CameraAngleH, v = scene.Angles.CameraAngleV;
    const Vec3 eye{7 * std::sin(h) * std::cos(v), 7 * std::sin(v), -7 * std::cos(h) * std::cos(v)};
    EXPECT_NEAR(scene.EyePoint.x, eye.x, 1e-5);
    EXPECT_NEAR(scene.EyePoint.y, eye.y, 1e-5);
    D3DLIGHT8 light{};
    scene.Device()->GetLight(0, &light);
    EXPECT_NEAR(light.Direction.x, -eye.x / 7, 1e-5);
    D3DMATRIX view{};
    scene.Device()->GetTransform(D3DTS_VIEW, &view);
    const Matrix4 lookAt = MatrixLookAtLH(scene.EyePoint, {}, {0, 1, 0});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(view.m[i / 4][i % 4], lookAt.m[i / 4][i % 4]);

    // The left button on a block's body swings the camera too; on the disc it moves the mirror.
    const Pixel bevel = Project({1.45f, -1, -1.45f}, kSize, scene.Angles);
    desk.mouse->MouseDown(kLeftButton, desk.Logical(bevel));
    EXPECT_TRUE(desk.mouse->State().cameraDrag);
    desk.mouse->MouseUp(kLeftButton, {});
    const DeskPoint disc = desk.Logical(Project(MirrorCentre(scene.Angles), kSize, scene.Angles));
    desk.mouse->MouseDown(kLeftButton, disc);
    EXPECT_TRUE(desk.mouse->State().mirrorDrag);
    const Vec3 mirror = scene.MirrorPoint;
    desk.mouse->MouseMove(disc + DeskPoint{16, -16});
    EXPECT_NEAR(scene.Angles.MirrorAngleH, start.MirrorAngleH - 16 * 1.6 / kSize, 1e-6);
    EXPECT_NEAR(scene.Angles.MirrorAngleV, start.MirrorAngleV + 16 * 1.6 / kSize, 1e-6);
    EXPECT_NE(scene.MirrorPoint, mirror);
    EXPECT_EQ(desk.rig.frames.frames, 3);
    // A second press while a drag is active changes nothing.
    desk.mouse->MouseDown(kRightButton, disc);
    EXPECT_TRUE(desk.mouse->State().mirrorDrag);
}

TEST(DeskMouseView, TheCameraWrapsByTurningTheModelSilentlyAndTheViewStaysTheSame) {
    Desk desk;
    desk.Cube().SeedRandom(7);
    desk.Cube().Scramble();
    desk.SetCamera(0.05f, 0.5235988f);
    const std::vector<std::string> log = desk.Log();
    const int modelFrames = desk.rig.host.Frames();
    const auto before = Snapshot(desk.Cube());
    ViewAngles unwrapped = desk.Scene().Angles;
    unwrapped.CameraAngleH = static_cast<float>(0.05f - 26 * 2.0 / kSize);
    std::vector<int> colours;
    for (int cell = 1; cell <= 9; ++cell) colours.push_back(desk.Cube().Colour(cell, kFront));

    desk.Drag(kRightButton, desk.Background(), {26, 0});
    EXPECT_NEAR(desk.Scene().Angles.CameraAngleH, unwrapped.CameraAngleH + kQuarter, 1e-6);
    EXPECT_EQ(desk.Log(), log);
    EXPECT_EQ(desk.rig.host.Frames(), modelFrames);  // no animation
    EXPECT_EQ(desk.rig.frames.frames, 1);
    // Where the camera without the wrap would see the front face, the camera now sees the
    // right face, holding the same stickers: the model was turned by "Ов'".
    const QuarterTurn& cubeTopInv = QuarterTurnOf(Axis::Y, -1);
    for (int cell = 1; cell <= 9; ++cell) {
        const CellPos c = CellPosition(cell);
        const Pixel p = Project({float(c.x), float(c.y), -1.5f}, kSize, unwrapped);
        const std::optional<PickResult> seen = desk.Scene().PickAt(p.x, p.y);
        ASSERT_EQ(seen, (PickResult{cubeTopInv.cellTo[cell], 0, kRight})) << "cell " << cell;
        EXPECT_EQ(desk.Cube().Colour(seen->red5, kRight), colours[cell - 1]) << "cell " << cell;
    }

    // Back over the right edge of the quarter: "Ов" undoes it.
    desk.Drag(kRightButton, desk.Background(), {-26, 0});
    EXPECT_NEAR(desk.Scene().Angles.CameraAngleH, 0.05f, 1e-6);
    EXPECT_EQ(Snapshot(desk.Cube()), before);

    // A flick across more than a quarter still leaves the camera inside it.
    Twin twin;
    desk.Cube().ResetToStart();
    desk.Drag(kRightButton, desk.Background(), {700, 0});
    EXPECT_NEAR(desk.Scene().Angles.CameraAngleH, 0.05 - 700 * 2.0 / kSize + 2 * kQuarter, 1e-5);
    twin.cube.TurnCubeTopInv(true);
    twin.cube.TurnCubeTopInv(true);
    EXPECT_EQ(Snapshot(desk.Cube()), Snapshot(twin.cube));
}

TEST(DeskMouseView, TheCameraStopsShortOfThePolesAndTheMirrorAtItsLimits) {
    Desk desk;
    TScene& scene = desk.Scene();
    const DeskPoint disc = desk.Logical(Project(MirrorCentre(), kSize));
    desk.Drag(kLeftButton, disc, {2000, 2000});
    EXPECT_EQ(scene.Angles.MirrorAngleH, -0.63f);
    EXPECT_EQ(scene.Angles.MirrorAngleV, -0.63f);
    desk.mouse->MouseDown(kLeftButton, desk.Logical(Project(MirrorCentre(scene.Angles), kSize)));
    desk.mouse->MouseMove({-5000, -5000});
    EXPECT_EQ(scene.Angles.MirrorAngleH, 0.63f);
    EXPECT_EQ(scene.Angles.MirrorAngleV, 0.63f);
    desk.mouse->MouseUp(kLeftButton, {});

    desk.Drag(kRightButton, desk.Background(), {0, 5000});
    EXPECT_EQ(scene.Angles.CameraAngleV, 1.5697963f);
    desk.Drag(kRightButton, desk.Background(), {0, -5000});
    EXPECT_EQ(scene.Angles.CameraAngleV, -1.5697963f);
}

TEST(DeskMouse, ReassemblyModeHighlightsUnderTheMouseAndHandsPressesOver) {
    Desk desk;
    desk.window.reassembly = true;
    desk.Cube().PickFilter = 3;
    const DeskPoint corner = desk.Sticker(9, kRight);
    desk.mouse->MouseMove(corner);
    EXPECT_EQ(desk.Cube().PickedCell, 9);
    EXPECT_EQ(desk.rig.frames.frames, 1);
    desk.mouse->MouseDown(kLeftButton, corner);
    EXPECT_EQ(desk.window.reassemblyClicks, 1);
    EXPECT_FALSE(desk.mouse->State().active);
    desk.mouse->MouseUp(kLeftButton, corner);

    desk.mouse->MouseMove(desk.Logical(Project(MirrorCentre(), kSize)));
    EXPECT_EQ(desk.Cube().PickedCell, -1);
    desk.mouse->MouseMove(corner);
    desk.mouse->MouseMove(desk.Background());
    EXPECT_EQ(desk.Cube().PickedCell, -1);
    // Nothing highlighted: the press is an ordinary one.
    desk.mouse->MouseDown(kLeftButton, corner);
    EXPECT_EQ(desk.window.reassemblyClicks, 1);
    EXPECT_TRUE(desk.mouse->State().active);

    // A failed pick (reported by the scene) ends the drag.
    desk.Scene().ReleaseScene();
    desk.mouse->MouseMove(corner);
    EXPECT_FALSE(desk.mouse->State().active);
    ASSERT_EQ(desk.rig.shell.messages.size(), 1u);
    EXPECT_EQ(desk.rig.shell.messages[0].caption, "Упрощенная отрисовка");
    desk.window.reassembly = false;
    desk.mouse->MouseDown(kRightButton, corner);
    EXPECT_FALSE(desk.mouse->State().active);
}

TEST(DeskMouse, OnAHighDensityScreenPicksInDevicePixelsAndDragsInLogicalOnes) {
    Desk desk(2.0);
    const DeskPoint p = desk.Sticker(2, kFront);  // logical: half the device pixel
    ASSERT_NE(desk.Scene().PickAt(int(p.x), int(p.y)), (PickResult{2, 0, kFront}));
    desk.mouse->MouseDown(kLeftButton, p);
    EXPECT_EQ(desk.mouse->State().pickedCell, 2);
    desk.mouse->MouseMove(p + DeskPoint{32, 0});  // 64 device pixels
    EXPECT_TRUE(desk.mouse->State().active);
    desk.mouse->MouseMove(p + DeskPoint{33, 0});
    EXPECT_FALSE(desk.mouse->State().active);
    desk.mouse->MouseUp(kLeftButton, p);

    const float h = desk.Scene().Angles.CameraAngleH;
    desk.Drag(kRightButton, desk.Background(), {16, 0});
    EXPECT_NEAR(desk.Scene().Angles.CameraAngleH, h - 16 * 2.0 / (kSize / 2), 1e-6);
}

}  // namespace
}  // namespace velmo::testing
