#pragma once
// Internal: what every device of the subset shares, whatever draws its pixels: states and their
// validation, resources and bindings, lights, material, viewport, scenes, and the vertices
// transformed to clip space and lit exactly as Direct3D does it. A back end (the software
// rasteriser in software_raster_device.h, OpenGL in gl_device.h) clears, draws the prepared
// triangles, presents and maps the back buffer. The shared part is spread over
//   device.cpp         creation, destruction, resources and bindings, lights, material, viewport,
//                      scenes
//   device_states.cpp  render, texture-stage and transform states: defaults and validation
//   device_draw.cpp    Clear and DrawPrimitive: checks, states for the rasteriser, transform,
//                      lighting
//   back_buffer.cpp    the back buffer: Present, GetBackBuffer and its surface, locking
//
// Lifetime: the device counts the references its callers hold and holds one reference to its
// Direct3D object. Its resources and its back-buffer surface hold one to the device while callers
// hold them (see resources.h for the bindings).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/raster.h"
#include "platform/d3d8/ref_counted.h"
#include "platform/d3d8/software_device.h"
#include "platform/d3d8/vertex_format.h"
#include "platform/d3d8/vertex_math.h"

namespace velmo::d3d8::detail {

class Texture;
class VertexBuffer;

constexpr DWORD kMaxTextureStages = 8;
constexpr DWORD kMaxActiveLights = 8;
constexpr DWORD kMaxLightIndex = 4096;
constexpr UINT kMaxVertexBufferBytes = 256u << 20;
constexpr DWORD kRenderStateCount = 256;
constexpr DWORD kStageStateCount = 29;

struct LightSlot {
    D3DLIGHT8 light{};
    bool enabled = false;
};

struct PreparedLight {
    D3DLIGHTTYPE type;
    Rgba diffuse, ambient;
    Vec3 position;   // camera space (point, spot)
    Vec3 toLight;    // camera space, unit, for directional lights
    Vec3 spotAxis;   // camera space, unit, direction the spot shines
    float range, att0, att1, att2;
    float cosHalfTheta, cosHalfPhi, falloff;
};

// What CreateDevice decided: the device's type, windows and back buffer.
struct DeviceSetup {
    D3DDEVTYPE type;
    HWND focus;
    DWORD behavior;
    HWND window;
    int width, height;
    D3DFORMAT format;
    bool depth;
    bool lockable;
};

// The checks of CreateDevice that do not depend on the device type (device_request.cpp): the
// behaviour, the presentation parameters against the display format. Fills in the parameters
// left to the device (size 0 = the window's client size, format UNKNOWN = the display's).
HRESULT CheckDeviceRequest(D3DDEVTYPE type, HWND focus, DWORD behavior, D3DPRESENT_PARAMETERS* pp,
                           D3DFORMAT displayFormat, DeviceSetup* setup);

class DeviceBase : public RefCounted<IDirect3DDevice8> {
public:
    DeviceBase(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor, const DeviceSetup& setup);
    ~DeviceBase() override;

    HRESULT GetDirect3D(IDirect3D8** d3d) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* p) override;

    // ---- Resources
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** out) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture8** out) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override;
    HRESULT SetVertexShader(DWORD fvf) override;

    // ---- States
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
    HRESULT SetViewport(const D3DVIEWPORT8* vp) override;
    HRESULT GetViewport(D3DVIEWPORT8* vp) override;

    // ---- Frame
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT count) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND override,
                    const RGNDATA* dirty) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** out) override;

    // ---- Back buffer access for the surface
    HRESULT LockBackBuffer(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockBackBuffer();
    void DescribeBackBuffer(D3DSURFACE_DESC* desc) const;
    const std::shared_ptr<CallMonitor>& monitor() const { return monitor_; }

protected:
    // ---- The back end. Each is called after the shared checks passed.
    // Clears the rectangles: each lies inside the viewport and none is empty.
    virtual HRESULT ClearTarget(const std::vector<D3DRECT>& rects, DWORD flags, D3DCOLOR color,
                                float z) = 0;
    // Draws `count` primitives of `type` from `vertices` (clip space, lit) with the prepared
    // states; `st.target` is the back end's to fill.
    virtual HRESULT DrawTriangles(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* vertices,
                                  RasterState& st) = 0;
    virtual HRESULT PresentTo(HWND window) = 0;
    // The whole back buffer in its format, rows top-down; valid until UnmapBackBuffer.
    virtual HRESULT MapBackBuffer(bool readOnly, std::uint8_t** bits, int* pitch) = 0;
    // `written`: the caller may have changed the mapped bytes.
    virtual HRESULT UnmapBackBuffer(bool written) = 0;
    virtual HRESULT OnBeginScene() { return S_OK; }

    // Drops the stream source and the textures, which frees those the caller no longer holds; a
    // back end that must free its copies of them while it still can calls it from its destructor.
    void ReleaseBindings();

    int width() const { return width_; }
    int height() const { return height_; }
    std::vector<D3DRECT> ClearRectsInViewport(DWORD count, const D3DRECT* rects) const;
    D3DFORMAT format() const { return format_; }
    HWND window() const { return window_; }
    const D3DVIEWPORT8& viewport() const { return viewport_; }
    const D3DMATRIX& viewTransform() const { return view_; }
    bool backBufferLocked() const { return backBufferLocked_; }
    Texture* boundTexture(DWORD stage) const { return textures_[stage]; }

private:
    class BackBuffer;

    void InitStates(bool depth);
    D3DMATRIX* TransformSlot(DWORD state) {
        if (state == D3DTS_VIEW) return &view_;
        if (state == D3DTS_PROJECTION) return &projection_;
        if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7)
            return &textureTransforms_[state - D3DTS_TEXTURE0];
        if (state >= 256 && state < 512) return &world_[state - 256];
        return nullptr;
    }
    HRESULT PrepareRaster(RasterState& rs);
    void ProcessVertices(UINT first, UINT count);
    void DestroyBackBuffer();

    IDirect3D8* d3d_;
    std::shared_ptr<CallMonitor> monitor_;
    D3DDEVTYPE type_;
    HWND focus_;
    DWORD behavior_;
    HWND window_;
    int width_, height_;
    D3DFORMAT format_;
    bool hasDepth_;
    bool lockable_;

    BackBuffer* backBuffer_ = nullptr;
    bool backBufferLocked_ = false;
    bool lockReadOnly_ = false;

    DWORD renderStates_[kRenderStateCount] = {};
    DWORD stageStates_[kMaxTextureStages][kStageStateCount] = {};
    D3DMATRIX view_ = Identity(), projection_ = Identity();
    D3DMATRIX textureTransforms_[8];
    std::vector<D3DMATRIX> world_ = std::vector<D3DMATRIX>(256, Identity());
    std::vector<LightSlot> lights_;
    std::vector<bool> lightSet_;
    D3DMATERIAL8 material_{};
    Texture* textures_[kMaxTextureStages] = {};
    VertexBuffer* stream_ = nullptr;
    UINT stride_ = 0;
    DWORD fvf_ = 0;
    VertexLayout layout_;
    D3DVIEWPORT8 viewport_{};
    bool inScene_ = false;

    std::vector<ClipVertex> vertices_;  // reused across draws
    std::vector<PreparedLight> preparedLights_;
};

}  // namespace velmo::d3d8::detail
