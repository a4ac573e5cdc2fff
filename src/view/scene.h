#pragma once
// The 3-D scene of the desk: the Direct3D 8 device, the shared vertex buffer (block template,
// mirror disc and ring), the sticker and logo textures, the lights and transforms, the view
// angles, and the cube model it draws. It draws frames with the mirror image and the
// identification picture that picking reads back.
//
// The scene owns one reference to each of its five Direct3D objects and gives them up in a fixed
// order: logo texture, sticker texture, vertex buffer, device, Direct3D object. Whatever it needs
// from the application (the Direct3D entry point, the desk window, message boxes and the cursor,
// the two pictures, the model's host) is handed in through SceneEnvironment, so it runs headless.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "math/matrix.h"
#include "platform/d3d8/d3d8.h"
#include "platform/image.h"
#include "view/view_angles.h"

namespace velmo {

class IModelHost;
class TBlock;
class TVelmo;

// What the scene asks of the application shell when something goes wrong.
class ISceneShell {
public:
    virtual ~ISceneShell() = default;
    // A modal message box; flags as the Windows message box takes them (0x30: exclamation, OK).
    virtual void ShowMessage(const std::string& caption, const std::string& text,
                             unsigned flags) = 0;
    virtual void RestoreDefaultCursor() = 0;
    // The scene could not be built: the application is to end.
    virtual void Terminate() = 0;
};

inline constexpr unsigned kMessageExclamationOk = 0x30;

// Captions of the scene's failure reports.
inline constexpr const char* kCaptionInit = "Инициализация Direct3D";
inline constexpr const char* kCaptionRender = "Отрисовка изображения";
inline constexpr const char* kCaptionPick = "Упрощенная отрисовка";

// The Direct3DCreate8 entry point. An empty function stands for a missing runtime library.
using Direct3DFactory = std::function<IDirect3D8*(UINT sdkVersion)>;

struct SceneEnvironment {
    Direct3DFactory direct3DCreate8;
    HWND desk = nullptr;              // the window the device draws into
    ISceneShell* shell = nullptr;     // must outlive the scene
    Image stickerPicture;             // 64 x 64 grain
    Image logoPicture;                // 64 x 64 logo on the same grain
    // Host of the model that the first scene build creates; its DoLog() is copied into the
    // model's LogTurns. Not needed when a model is attached before the first build.
    IModelHost* modelHost = nullptr;
};

// One vertex of the shared buffer (flexible vertex format 0x152).
struct SceneVertex {
    float x, y, z;
    float nx, ny, nz;
    std::uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(SceneVertex) == 36);

inline constexpr DWORD kSceneFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
inline constexpr UINT kSceneVertexCount = 286;
inline constexpr UINT kSceneBufferBytes = kSceneVertexCount * sizeof(SceneVertex);  // 10296
inline constexpr UINT kTemplateBytes = 132 * sizeof(SceneVertex);                   // 4752
inline constexpr UINT kStickerBytes = 36 * sizeof(SceneVertex);                     // 1296
inline constexpr UINT kDiscCentreVertex = 132;
inline constexpr UINT kRingFirstVertex = 184;

inline constexpr std::uint32_t kReferenceBodyColour = 0xFFC0C0C0;  // grey 192
inline constexpr std::uint32_t kDiscCentreColour = 0x4080FFFF;
inline constexpr std::uint32_t kDiscRimColour = 0x8080FFFF;
inline constexpr std::uint32_t kRingColour = 0xFF000000;

// What lies under a desk pixel, as three 5-bit channels of the identification picture.
struct PickResult {
    int red5 = 0;    // the cell of the block, when green5 is 0
    int green5 = 0;  // non-zero only on the mirror disc
    int blue5 = 0;   // the face slot (1..6), 0 for the block's body
    bool Nothing() const { return red5 == 0 && green5 == 0 && blue5 == 0; }
    bool Disc() const { return green5 != 0; }
    friend bool operator==(const PickResult&, const PickResult&) = default;
};

// What picking finds under every pixel of the desk, row by row.
struct PickMap {
    int width = 0, height = 0;
    std::vector<PickResult> results;
    PickResult At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return {};
        return results[static_cast<std::size_t>(y) * width + x];
    }
};

// Decodes one back-buffer pixel; formats other than A8R8G8B8, X8R8G8B8, R8G8B8 and R5G6B5 read
// as nothing.
PickResult DecodePickPixel(const void* pixel, D3DFORMAT format);
// Bytes one back-buffer pixel takes in the formats picking reads, 0 for the others.
int PickPixelSize(D3DFORMAT format);

// Keeps the alpha of a; each colour channel is (b * (255 - w) + a * w) / 255, truncated.
constexpr std::uint32_t BlendColor(std::uint32_t a, std::uint32_t b, unsigned w) {
    std::uint32_t result = a & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        result |= ((cb * (255 - w) + ca * w) / 255) << shift;
    }
    return result;
}

// The English text of a Direct3D result code, as the failure report shows it.
const char* Direct3DErrorText(HRESULT code);

enum class TextureSlot { Sticker, Logo };

class TScene {
public:
    explicit TScene(SceneEnvironment environment);
    ~TScene();
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;

    // The view angles (radians) and the points derived from them by ComputeViewPoints.
    ViewAngles Angles;
    Vec3 EyePoint, MirrorPoint, MirrorNormal;

    // Frames may be drawn from the idle handler; cleared by a failure report and on minimise.
    bool RenderingActive = false;
    // Set only while ResetScene rebuilds the scene.
    bool SceneRebuild = false;

    // Draws an existing model instead of creating one on the first build. The model must
    // outlive the scene.
    void AttachModel(TVelmo& model);
    // The model drawn: attached, or created by the first build; null before either.
    TVelmo* Model() { return model_; }

    // Scene set-up. InitScene reports a failure under "Инициализация Direct3D" and tells the
    // shell to terminate; it returns whether the scene was built.
    bool InitScene(bool firstCreation);
    void ResetScene();
    void ReleaseScene();
    void ReportSceneError(const std::string& caption, HRESULT code);
    void ComputeViewPoints();
    HRESULT SetupLights();
    void ApplyViewTransform();
    HRESULT CreateSceneDevice();
    HRESULT CreateTextureFromImage(TextureSlot slot, const Image& image);

    // The shared vertex buffer.
    HRESULT CreateSceneVertexBuffer();
    void FillVertexBuffer(bool firstCreation);

    // Frame drawing; a failure is reported under "Отрисовка изображения".
    HRESULT RenderFrame();
    HRESULT DrawCube(TVelmo& cube, const Matrix4& base, bool identification);
    HRESULT DrawBlock(const TBlock& block, const Matrix4& base, bool identification);
    HRESULT DrawBlockHighlighted(const TBlock& block, const Matrix4& base);
    // The world matrix of the mirror disc and ring.
    Matrix4 MirrorMatrix() const;

    // Picking: the identification picture, and the pixel under (x, y) read back from it. A
    // failure is reported under "Упрощенная отрисовка" and gives no result.
    HRESULT RenderPickFrame();
    std::optional<PickResult> PickAt(int x, int y);
    // The whole identification picture read back at once, as PickAt reads one pixel of it
    // (for finding where things are on the desk); failures are reported as PickAt reports them.
    std::optional<PickMap> PickAll();

    bool IsHardwareDevice() const { return hardware_; }
    bool HasDevice() const { return device_ != nullptr; }
    IDirect3D8* Direct3D() { return d3d_; }
    IDirect3DDevice8* Device() { return device_; }
    IDirect3DVertexBuffer8* VertexBuffer() { return vertexBuffer_; }
    IDirect3DTexture8* Texture(TextureSlot slot) {
        return slot == TextureSlot::Logo ? logoTexture_ : stickerTexture_;
    }

private:
    void CreateModel();
    HRESULT DrawFrame();
    HRESULT DrawMirror();
    HRESULT SetWorld(const Matrix4& m);
    HRESULT SetSlotColour(int slot, std::uint32_t colour);
    HRESULT DrawSlot(int slot);
    // Draws the identification picture and hands the locked back buffer, its description and
    // its format to `read`; false (after the report) when a step fails.
    using PickReader =
        std::function<void(const D3DLOCKED_RECT&, const D3DSURFACE_DESC&, D3DFORMAT)>;
    bool ReadPickPicture(const PickReader& read);

    SceneEnvironment env_;
    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* device_ = nullptr;
    IDirect3DVertexBuffer8* vertexBuffer_ = nullptr;
    IDirect3DTexture8* stickerTexture_ = nullptr;
    IDirect3DTexture8* logoTexture_ = nullptr;
    bool hardware_ = false;
    std::unique_ptr<TVelmo> ownedModel_;
    TVelmo* model_ = nullptr;
};

}  // namespace velmo
