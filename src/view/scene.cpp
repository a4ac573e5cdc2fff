#include "view/scene.h"

#include <cmath>
#include <stdexcept>

#include "model/velmo.h"
#include "view/vertex_access.h"

namespace velmo {

namespace {

template <class T>
void ReleaseReference(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

// The projection: vertical field of view 0.875 rad, square desk, near 1, far 40.
constexpr float kFieldOfView = 0.875f;
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 40.0f;

constexpr float kEyeDistance = 7.0f;
constexpr float kMirrorDistance = 5.0f;

}  // namespace

TScene::TScene(SceneEnvironment environment) : env_(std::move(environment)) {
    if (!env_.shell) throw std::invalid_argument("TScene needs a shell");
}

TScene::~TScene() { ReleaseScene(); }

void TScene::AttachModel(TVelmo& model) {
    ownedModel_.reset();
    model_ = &model;
}

bool TScene::InitScene(bool firstCreation) {
    HRESULT code = E_FAIL;
    // Each step's code is kept, so that a failure is reported with the code of the step that
    // failed.
    const auto ok = [&code](HRESULT result) {
        code = result;
        return SUCCEEDED(result);
    };
    try {
        ComputeViewPoints();
        bool built = ok(CreateSceneDevice()) && ok(CreateSceneVertexBuffer());
        if (built && hardware_)
            built = ok(CreateTextureFromImage(TextureSlot::Sticker, env_.stickerPicture)) &&
                    ok(CreateTextureFromImage(TextureSlot::Logo, env_.logoPicture)) &&
                    ok(SetupLights());
        if (built) {
            FillVertexBuffer(firstCreation);
            ApplyViewTransform();
            const D3DMATRIX projection = ToD3D(
                MatrixPerspectiveFovLH(kFieldOfView, 1.0f, kNearPlane, kFarPlane));
            device_->SetTransform(D3DTS_PROJECTION, &projection);
            RenderingActive = true;
            SceneRebuild = false;
            return true;
        }
    } catch (...) {
        // A step that raised an error instead of returning a code (a missing runtime, no
        // memory) is reported with the code recorded last. When every step before it
        // succeeded that code says "No error occurred.", which would announce the failure as a
        // success, so it becomes E_FAIL.
        if (SUCCEEDED(code)) code = E_FAIL;
    }
    ReportSceneError(kCaptionInit, code);
    env_.shell->Terminate();
    return false;
}

void TScene::ResetScene() {
    // A resize that arrives while the scene is being rebuilt does not start a second rebuild.
    if (SceneRebuild) return;
    SceneRebuild = true;
    ReleaseScene();
    InitScene(false);
    SceneRebuild = false;
}

void TScene::ReleaseScene() {
    ReleaseReference(logoTexture_);
    ReleaseReference(stickerTexture_);
    ReleaseReference(vertexBuffer_);
    ReleaseReference(device_);
    ReleaseReference(d3d_);
}

void TScene::ReportSceneError(const std::string& caption, HRESULT code) {
    RenderingActive = false;
    ReleaseScene();
    env_.shell->RestoreDefaultCursor();
    env_.shell->ShowMessage(caption, Direct3DErrorText(code), kMessageExclamationOk);
}

void TScene::ComputeViewPoints() {
    const double a = Angles.CameraAngleH, b = Angles.CameraAngleV;
    const double g = Angles.MirrorAngleH, d = Angles.MirrorAngleV;
    EyePoint = {static_cast<float>(kEyeDistance * std::sin(a) * std::cos(b)),
                static_cast<float>(kEyeDistance * std::sin(b)),
                static_cast<float>(-kEyeDistance * std::cos(a) * std::cos(b))};
    // The mirror is placed relative to the line of sight: its point starts behind the cube as
    // seen from (0, 0, -7) and takes the same two turns that carry that eye to EyePoint.
    const double x = -kMirrorDistance * std::sin(g) * std::cos(d);
    const double y = kMirrorDistance * std::sin(d);
    const double z = kMirrorDistance * std::cos(g) * std::cos(d);
    const double y1 = y * std::cos(b) - z * std::sin(b);
    const double z1 = y * std::sin(b) + z * std::cos(b);
    const double x2 = x * std::cos(a) - z1 * std::sin(a);
    const double z2 = x * std::sin(a) + z1 * std::cos(a);
    MirrorPoint = {static_cast<float>(x2), static_cast<float>(y1), static_cast<float>(z2)};
    MirrorNormal = {-MirrorPoint.x, -MirrorPoint.y, -MirrorPoint.z};
}

HRESULT TScene::SetupLights() {
    if (!device_) return E_FAIL;
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    const float length = std::sqrt(EyePoint.x * EyePoint.x + EyePoint.y * EyePoint.y +
                                   EyePoint.z * EyePoint.z);
    if (length > 0) light.Direction = {-EyePoint.x / length, -EyePoint.y / length, -EyePoint.z / length};
    HRESULT hr = device_->SetLight(0, &light);
    if (SUCCEEDED(hr)) hr = device_->LightEnable(0, TRUE);
    if (FAILED(hr)) return hr;

    // Three weak point lights off the faces the camera sees at the start; their range does not
    // reach the far side. The direction of light 0 stays in the record; point lights ignore it.
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = light.Specular = light.Ambient = {0.25f, 0.25f, 0.25f, 0};
    light.Attenuation0 = 1;
    light.Range = 3.0f;
    const D3DVECTOR positions[3] = {{1, 1, -3}, {1, 3, -1}, {3, 1, -1}};
    for (DWORD index = 1; index <= 3; ++index) {
        light.Position = positions[index - 1];
        hr = device_->SetLight(index, &light);
        if (SUCCEEDED(hr)) hr = device_->LightEnable(index, TRUE);
        if (FAILED(hr)) return hr;
    }
    return hr;
}

void TScene::ApplyViewTransform() {
    if (!device_) return;
    const D3DMATRIX view = ToD3D(MatrixLookAtLH(EyePoint, {0, 0, 0}, {0, 1, 0}));
    device_->SetTransform(D3DTS_VIEW, &view);
}

HRESULT TScene::CreateSceneDevice() {
    ReleaseScene();
    if (!env_.direct3DCreate8) throw std::runtime_error("the Direct3D runtime is missing");
    d3d_ = env_.direct3DCreate8(D3D_SDK_VERSION);
    if (!d3d_) return E_FAIL;

    D3DDISPLAYMODE mode{};
    HRESULT hr = d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (FAILED(hr)) return hr;

    // Width and height 0: the size of the desk's client area. The back buffer is read back by
    // picking, so it must be lockable.
    D3DPRESENT_PARAMETERS params{};
    params.Windowed = TRUE;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.BackBufferFormat = mode.Format;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    params.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;

    hardware_ = true;
    hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, env_.desk,
                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device_);
    if (FAILED(hr)) {
        hardware_ = false;
        device_ = nullptr;
        hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, env_.desk,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device_);
        if (FAILED(hr)) {
            device_ = nullptr;
            return hr;
        }
    }

    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    if (hardware_) {
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device_->SetRenderState(D3DRS_LIGHTING, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    } else {
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    }
    return hr;
}

HRESULT TScene::CreateTextureFromImage(TextureSlot slot, const Image& image) {
    IDirect3DTexture8*& texture = slot == TextureSlot::Logo ? logoTexture_ : stickerTexture_;
    ReleaseReference(texture);
    if (!device_) return E_FAIL;
    if (!image.Valid()) return E_INVALIDARG;
    HRESULT hr = device_->CreateTexture(static_cast<UINT>(image.width),
                                        static_cast<UINT>(image.height), 0, 0, D3DFMT_A8R8G8B8,
                                        D3DPOOL_MANAGED, &texture);
    if (FAILED(hr)) {
        texture = nullptr;
        return hr;
    }
    D3DLOCKED_RECT locked{};
    hr = texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    if (!locked.pBits) {
        texture->UnlockRect(0);
        return E_FAIL;
    }
    // Texture row 0 is the bottom row of the picture; every texel gets alpha 0x7F.
    auto* bits = static_cast<BYTE*>(locked.pBits);
    for (int r = 0; r < image.height; ++r) {
        auto* row = reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(r) * locked.Pitch);
        for (int k = 0; k < image.width; ++k)
            row[k] = 0x7F000000u | (image.At(k, image.height - 1 - r) & 0xFFFFFFu);
    }
    return texture->UnlockRect(0);
}

void TScene::CreateModel() {
    if (!env_.modelHost) throw std::logic_error("no host for the cube model");
    ownedModel_ = std::make_unique<TVelmo>(*env_.modelHost);
    model_ = ownedModel_.get();
    model_->LogTurns = env_.modelHost->DoLog();
}

}  // namespace velmo
