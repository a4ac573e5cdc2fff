// Scene set-up: view points, building and rebuilding the scene, textures, failure reports.

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "view_test_support.h"

namespace velmo::testing {
namespace {

float Length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

TEST(ViewPoints, InitialAnglesPlaceTheCameraRightAboveFrontAndTheMirrorLeftBelow) {
    RecordingShell shell;
    TScene scene(SceneEnvironment{{}, nullptr, &shell, {}, {}, nullptr});
    scene.ComputeViewPoints();
    EXPECT_NEAR(scene.EyePoint.x, 3.477f, 1e-3f);
    EXPECT_NEAR(scene.EyePoint.y, 3.500f, 1e-3f);
    EXPECT_NEAR(scene.EyePoint.z, -4.966f, 1e-3f);
    EXPECT_NEAR(scene.MirrorPoint.x, -3.291f, 1e-3f);
    EXPECT_NEAR(scene.MirrorPoint.y, -3.762f, 1e-3f);
    EXPECT_NEAR(scene.MirrorPoint.z, 0.122f, 1e-3f);
    EXPECT_EQ(scene.MirrorNormal, (Vec3{-scene.MirrorPoint.x, -scene.MirrorPoint.y, -scene.MirrorPoint.z}));
}

TEST(ViewPoints, DistancesHoldForAnyAnglesAndZeroOffsetsPutTheMirrorBehindTheCube) {
    RecordingShell shell;
    for (float h = -3.0f; h <= 3.0f; h += 0.7f) {
        for (float v = -1.5f; v <= 1.5f; v += 0.5f) {
            TScene scene(SceneEnvironment{{}, nullptr, &shell, {}, {}, nullptr});
            scene.Angles = {h, v, 0.9f * v - 0.3f, 0.4f * h};
            scene.ComputeViewPoints();
            EXPECT_NEAR(Length(scene.EyePoint), 7.0f, 1e-4f);
            EXPECT_NEAR(Length(scene.MirrorPoint), 5.0f, 1e-4f);

            scene.Angles.MirrorAngleH = scene.Angles.MirrorAngleV = 0;
            scene.ComputeViewPoints();
            EXPECT_NEAR(scene.MirrorPoint.x, -5.0f / 7.0f * scene.EyePoint.x, 1e-4f);
            EXPECT_NEAR(scene.MirrorPoint.y, -5.0f / 7.0f * scene.EyePoint.y, 1e-4f);
            EXPECT_NEAR(scene.MirrorPoint.z, -5.0f / 7.0f * scene.EyePoint.z, 1e-4f);
        }
    }
}

TEST(ViewPoints, TheDiscIsTurnedAsTheMirrorStandsAndCentredOnTheCubesMirrorImage) {
    RecordingShell shell;
    const ViewAngles cases[] = {ViewAngles{}, {0.2f, -0.4f, 1.1f, 0.3f}, {-2.5f, 1.2f, -0.7f, 0.9f}};
    for (const ViewAngles& angles : cases) {
        TScene scene(SceneEnvironment{{}, nullptr, &shell, {}, {}, nullptr});
        scene.Angles = angles;
        scene.ComputeViewPoints();
        for (const Vec3 p : {Vec3{0, 0, 0}, Vec3{5, 0, 0}, Vec3{0, 5, 0}, Vec3{0, 0, -1}}) {
            const Vec3 drawn = TransformPoint(p, scene.MirrorMatrix());
            const Vec3 expected = DiscToWorld(p, angles);
            EXPECT_NEAR(drawn.x, expected.x, 1e-4f) << angles.CameraAngleH << " " << p.x << p.y << p.z;
            EXPECT_NEAR(drawn.y, expected.y, 1e-4f) << angles.CameraAngleH << " " << p.x << p.y << p.z;
            EXPECT_NEAR(drawn.z, expected.z, 1e-4f) << angles.CameraAngleH << " " << p.x << p.y << p.z;
        }
    }
}

TEST(SceneColours, BlendColorKeepsTheFirstAlphaAndTruncates) {
    EXPECT_EQ(BlendColor(0x80FF0000, 0x80FF00FF, 144), 0x80FF006Fu);
    EXPECT_EQ(BlendColor(0x12345678, 0xFFABCDEF, 0), 0x12ABCDEFu);
    EXPECT_EQ(BlendColor(0x12345678, 0xFFABCDEF, 255), 0x12345678u);
    // (0x01 * 155 + 0x02 * 100) / 255 = 1.39: the remainder is dropped.
    EXPECT_EQ(BlendColor(0x00020202, 0x00010101, 100), 0x00010101u);
}

TEST(SceneErrors, TextsAreShownLetterForLetter) {
    EXPECT_STREQ(Direct3DErrorText(S_OK), "No error occurred.");
    EXPECT_STREQ(Direct3DErrorText(E_FAIL),
                 "An undetermined error occurred inside the Direct3D subsystem.");
    EXPECT_STREQ(Direct3DErrorText(E_INVALIDARG),
                 "An invalid parameter was passed to the returning function");
    EXPECT_STREQ(Direct3DErrorText(D3DERR_TOOMANYOPERATIONS),
                 "The application is requesting more texture-filtering operations than the device");
    EXPECT_STREQ(Direct3DErrorText(D3DERR_INVALIDCALL),
                 "The method call is invalid. For example, a method's parameter may have an "
                 "invalid value.");
    EXPECT_STREQ(Direct3DErrorText(D3DERR_NOTAVAILABLE),
                 "This device does not support the queried technique.");
    EXPECT_STREQ(Direct3DErrorText(static_cast<HRESULT>(0x8876086Du)), "Unrecognized Error");
    EXPECT_STREQ(Direct3DErrorText(E_NOTIMPL), "Unrecognized Error");
    EXPECT_STREQ(Direct3DErrorText(S_FALSE), "Unrecognized Error");
}

TEST(SceneBuild, HardwareSceneHasTexturesLightsStatesAndANewModel) {
    SceneRig rig;
    rig.host.SetDoLog(false);
    TScene& scene = rig.Build();
    ASSERT_TRUE(rig.shell.messages.empty());
    EXPECT_TRUE(scene.IsHardwareDevice());
    EXPECT_TRUE(scene.RenderingActive);
    EXPECT_FALSE(scene.SceneRebuild);
    ASSERT_NE(scene.Model(), nullptr);
    EXPECT_FALSE(scene.Model()->LogTurns);  // copied from the host's DoLog
    EXPECT_NE(scene.Texture(TextureSlot::Sticker), nullptr);
    EXPECT_NE(scene.Texture(TextureSlot::Logo), nullptr);

    IDirect3DDevice8* device = scene.Device();
    DWORD value = 0;
    device->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, TRUE);
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, D3DCULL_CCW);
    device->GetRenderState(D3DRS_SRCBLEND, &value);
    EXPECT_EQ(value, D3DBLEND_SRCALPHA);
    device->GetRenderState(D3DRS_DESTBLEND, &value);
    EXPECT_EQ(value, D3DBLEND_INVSRCALPHA);
    device->GetTextureStageState(0, D3DTSS_MAGFILTER, &value);
    EXPECT_EQ(value, D3DTEXF_LINEAR);
    device->GetTextureStageState(0, D3DTSS_MINFILTER, &value);
    EXPECT_EQ(value, D3DTEXF_LINEAR);

    for (DWORD index = 0; index < 4; ++index) {
        BOOL enabled = FALSE;
        EXPECT_EQ(device->GetLightEnable(index, &enabled), D3D_OK);
        EXPECT_TRUE(enabled) << "light " << index;
    }
    D3DLIGHT8 light{};
    device->GetLight(0, &light);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_NEAR(light.Direction.x, -scene.EyePoint.x / 7, 1e-5f);
    EXPECT_NEAR(light.Direction.y, -scene.EyePoint.y / 7, 1e-5f);
    EXPECT_NEAR(light.Direction.z, -scene.EyePoint.z / 7, 1e-5f);
    device->GetLight(3, &light);
    EXPECT_EQ(light.Type, D3DLIGHT_POINT);
    EXPECT_EQ(light.Position.x, 3.0f);
    EXPECT_EQ(light.Range, 3.0f);
    EXPECT_EQ(light.Diffuse.r, 0.25f);
    EXPECT_EQ(light.Attenuation0, 1.0f);

    D3DMATRIX projection{};
    device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_NEAR(projection._11, 2.1379855f, 1e-5f);
    EXPECT_NEAR(projection._33, 40.0f / 39.0f, 1e-5f);
    EXPECT_NEAR(projection._43, -40.0f / 39.0f, 1e-5f);
    EXPECT_EQ(projection._34, 1.0f);
}

TEST(SceneBuild, WithoutHardwareTheReferenceDeviceDrawsUnlitWithoutTextures) {
    SceneRig rig({.hardware = false});
    TScene& scene = rig.Build();
    ASSERT_TRUE(rig.shell.messages.empty());
    EXPECT_FALSE(scene.IsHardwareDevice());
    EXPECT_EQ(scene.Texture(TextureSlot::Sticker), nullptr);
    EXPECT_EQ(scene.Texture(TextureSlot::Logo), nullptr);
    EXPECT_EQ(rig.monitor->Count(d3d8::Call::CreateTexture), 0u);
    EXPECT_EQ(rig.monitor->Count(d3d8::Call::SetLight), 0u);
    DWORD lighting = TRUE;
    scene.Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, FALSE);
    EXPECT_TRUE(scene.RenderingActive);
}

TEST(SceneBuild, AnAttachedModelIsDrawnInsteadOfANewOne) {
    SceneRig rig;
    TVelmo mine(rig.host);
    TScene scene(rig.Environment());
    scene.AttachModel(mine);
    ASSERT_TRUE(scene.InitScene(true));
    EXPECT_EQ(scene.Model(), &mine);
}

// Everything a failed build must do: one report under the set-up caption with the code's
// text, the default cursor back, the application told to end, and no scene left.
void ExpectInitFailure(SceneRig& rig, const char* text) {
    ASSERT_EQ(rig.shell.messages.size(), 1u);
    EXPECT_EQ(rig.shell.messages[0].caption, "Инициализация Direct3D");
    EXPECT_EQ(rig.shell.messages[0].text, text);
    EXPECT_EQ(rig.shell.messages[0].flags, 0x30u);
    EXPECT_EQ(rig.shell.cursorRestores, 1);
    EXPECT_EQ(rig.shell.terminations, 1);
    EXPECT_FALSE(rig.scene->HasDevice());
    EXPECT_EQ(rig.scene->Direct3D(), nullptr);
    EXPECT_FALSE(rig.scene->RenderingActive);
}

TEST(SceneBuildFailure, NoDeviceOfEitherTypeIsReportedWithCreateDevicesCode) {
    SceneRig rig;
    rig.deviceOptions.failHardware = rig.deviceOptions.failReference = true;
    rig.deviceOptions.createFailure = D3DERR_NOTAVAILABLE;
    rig.Build();
    ExpectInitFailure(rig, "This device does not support the queried technique.");
    EXPECT_EQ(rig.monitor->Count(d3d8::Call::CreateDevice), 2u);
}

TEST(SceneBuildFailure, MissingRuntimeOrNoDirect3DObjectIsAnUndeterminedError) {
    const char* undetermined = "An undetermined error occurred inside the Direct3D subsystem.";
    {
        SceneRig rig;
        SceneEnvironment env = rig.Environment();
        env.direct3DCreate8 = nullptr;
        rig.Build(std::move(env));
        ExpectInitFailure(rig, undetermined);
    }
    {
        SceneRig rig;
        SceneEnvironment env = rig.Environment();
        env.direct3DCreate8 = [](UINT) -> IDirect3D8* { return nullptr; };
        rig.Build(std::move(env));
        ExpectInitFailure(rig, undetermined);
    }
    {
        SceneRig rig;
        SceneEnvironment env = rig.Environment();
        env.direct3DCreate8 = [](UINT) -> IDirect3D8* { throw std::runtime_error("no library"); };
        rig.Build(std::move(env));
        ExpectInitFailure(rig, undetermined);
    }
}

TEST(SceneBuildFailure, EachFailingStepIsReportedWithItsOwnCode) {
    const struct {
        d3d8::Call call;
        HRESULT code;
    } cases[] = {
        {d3d8::Call::GetAdapterDisplayMode, D3DERR_NOTAVAILABLE},
        {d3d8::Call::CreateVertexBuffer, D3DERR_OUTOFVIDEOMEMORY},
        {d3d8::Call::SetVertexShader, D3DERR_INVALIDCALL},
        {d3d8::Call::CreateTexture, E_OUTOFMEMORY},
        {d3d8::Call::TextureLockRect, D3DERR_DRIVERINTERNALERROR},
        {d3d8::Call::SetLight, D3DERR_INVALIDCALL},
        {d3d8::Call::LightEnable, D3DERR_NOTFOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(d3d8::CallName(c.call));
        SceneRig rig;
        rig.monitor->FailCall(c.call, c.code);
        rig.Build();
        ExpectInitFailure(rig, Direct3DErrorText(c.code));
    }
}

// A host whose settings cannot be read: the build fails by an exception after every Direct3D
// step has succeeded.
class BrokenSettingsHost : public SceneHost {
public:
    bool DoLog() const override { throw std::runtime_error("settings unreadable"); }
};

TEST(SceneBuildFailure, AnErrorRaisedAfterSuccessfulStepsIsNotReportedAsSuccess) {
    SceneRig rig;
    BrokenSettingsHost host;
    SceneEnvironment env = rig.Environment();
    env.modelHost = &host;
    rig.Build(std::move(env));
    ExpectInitFailure(rig, "An undetermined error occurred inside the Direct3D subsystem.");
}

TEST(SceneBuildFailure, APictureOfTheWrongSizeIsRefusedNotRead) {
    SceneRig rig;
    SceneEnvironment env = rig.Environment();
    env.logoPicture.pixels.resize(10);
    rig.Build(std::move(env));
    ExpectInitFailure(rig, Direct3DErrorText(E_INVALIDARG));
}

TEST(SceneTextures, RowZeroIsThePicturesBottomRowAndEveryTexelHasAlpha7F) {
    SceneRig rig;
    SceneEnvironment env = rig.Environment();
    Image picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) picture.At(x, y) = 0xFF000000u | (y << 16) | (x << 8) | (x ^ y);
    env.logoPicture = picture;
    TScene& scene = rig.Build(std::move(env));
    IDirect3DTexture8* texture = scene.Texture(TextureSlot::Logo);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 7u);  // the full chain down to 1 x 1
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    int wrong = 0;
    for (int r = 0; r < 64; ++r) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(locked.pBits) +
                                                                 r * locked.Pitch);
        for (int k = 0; k < 64; ++k)
            if (row[k] != (0x7F000000u | (picture.At(k, 63 - r) & 0xFFFFFFu))) ++wrong;
    }
    texture->UnlockRect(0);
    EXPECT_EQ(wrong, 0);
}

TEST(SceneRebuild, KeepsTheModelAndResetsTheLogosTextureCoordinates) {
    SceneRig rig;
    TScene& scene = rig.Build();
    TVelmo* model = scene.Model();
    model->ExecuteMove("В");
    model->ExecuteMove("П");
    const auto faces = model->Block(11).Faces;
    StickerTexCoords turned;
    SceneTexCoords(scene).Read(turned);
    ASSERT_NE(turned, TemplateStickerTexCoords());

    scene.ResetScene();
    ASSERT_TRUE(rig.shell.messages.empty());
    EXPECT_EQ(rig.monitor->Count(d3d8::Call::CreateDevice), 2u);
    EXPECT_EQ(scene.Model(), model);
    EXPECT_EQ(model->Block(11).Faces, faces);
    StickerTexCoords reset;
    SceneTexCoords(scene).Read(reset);
    EXPECT_EQ(reset, TemplateStickerTexCoords());
    EXPECT_TRUE(scene.RenderingActive);
    EXPECT_FALSE(scene.SceneRebuild);
}

TEST(SceneRebuild, AResizeDuringARebuildDoesNothing) {
    SceneRig rig;
    TScene& scene = rig.Build();
    IDirect3DDevice8* device = scene.Device();
    scene.SceneRebuild = true;
    scene.ResetScene();
    EXPECT_EQ(scene.Device(), device);
    EXPECT_EQ(rig.monitor->Count(d3d8::Call::CreateDevice), 1u);
}

TEST(SceneRelease, GivesUpEveryReferenceItHeld) {
    SceneRig rig;
    TScene& scene = rig.Build();
    scene.RenderFrame();
    scene.PickAt(10, 10);
    // The Direct3D object lives as long as anything holds it (children hold their parents),
    // so its count after the release shows whether anything leaked.
    IDirect3D8* d3d = scene.Direct3D();
    d3d->AddRef();
    scene.ReleaseScene();
    EXPECT_FALSE(scene.HasDevice());
    EXPECT_EQ(scene.VertexBuffer(), nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
}

}  // namespace
}  // namespace velmo::testing
