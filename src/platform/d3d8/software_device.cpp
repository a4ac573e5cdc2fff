// The software Direct3D 8 object and device.
//
// Lifetime: every object counts the references its callers hold. A resource (vertex buffer,
// texture, the back-buffer surface) holds one reference to its device while callers hold it, and
// the device holds one to its Direct3D object. Resources bound to the device (stream source,
// textures) are additionally kept alive by a binding count that the device drops when it unbinds
// them or is destroyed; this keeps bindings from forming reference cycles.

#include "platform/d3d8/software_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "platform/d3d8/formats.h"
#include "platform/d3d8/monitor.h"
#include "platform/d3d8/raster.h"
#include "platform/d3d8/resources.h"
#include "platform/d3d8/vertex_format.h"
#include "platform/d3d8/vertex_math.h"

namespace velmo::d3d8 {

namespace {

using detail::ClipVertex;
using detail::RasterState;
using detail::StageMode;
using detail::Enter;
using detail::EncodePixel;
using detail::IsBackBufferFormat;
using detail::ParseFvf;
using detail::PitchFor;
using detail::VertexLayout;
using detail::Dot;
using detail::FromColor;
using detail::FromValue;
using detail::Identity;
using detail::Multiply;
using detail::NormalMatrix;
using detail::Normalized;
using detail::Rgba;
using detail::ToChannel;
using detail::TransformDirection;
using detail::TransformPoint;
using detail::Vec3;
using detail::Texture;
using detail::VertexBuffer;

constexpr DWORD kMaxTextureStages = 8;
constexpr DWORD kMaxActiveLights = 8;
constexpr DWORD kMaxLightIndex = 4096;
constexpr UINT kMaxSurfaceSize = 8192;
constexpr UINT kMaxVertexBufferBytes = 256u << 20;

class SoftwareDevice;
class SoftwareDirect3D;

// ---- Device ------------------------------------------------------------------------------------------

struct LightSlot {
    D3DLIGHT8 light{};
    bool enabled = false;
};

constexpr DWORD kRenderStateCount = 256;

bool IsRenderState(DWORD s) {
    switch (s) {
        case D3DRS_ZENABLE: case D3DRS_FILLMODE: case D3DRS_SHADEMODE: case D3DRS_LINEPATTERN:
        case D3DRS_ZWRITEENABLE: case D3DRS_ALPHATESTENABLE: case D3DRS_LASTPIXEL:
        case D3DRS_SRCBLEND: case D3DRS_DESTBLEND: case D3DRS_CULLMODE: case D3DRS_ZFUNC:
        case D3DRS_ALPHAREF: case D3DRS_ALPHAFUNC: case D3DRS_DITHERENABLE:
        case D3DRS_ALPHABLENDENABLE: case D3DRS_FOGENABLE: case D3DRS_SPECULARENABLE:
        case D3DRS_ZVISIBLE: case D3DRS_FOGCOLOR: case D3DRS_FOGTABLEMODE: case D3DRS_FOGSTART:
        case D3DRS_FOGEND: case D3DRS_FOGDENSITY: case D3DRS_EDGEANTIALIAS: case D3DRS_ZBIAS:
        case D3DRS_RANGEFOGENABLE: case D3DRS_STENCILENABLE: case D3DRS_STENCILFAIL:
        case D3DRS_STENCILZFAIL: case D3DRS_STENCILPASS: case D3DRS_STENCILFUNC:
        case D3DRS_STENCILREF: case D3DRS_STENCILMASK: case D3DRS_STENCILWRITEMASK:
        case D3DRS_TEXTUREFACTOR: case D3DRS_WRAP0: case D3DRS_WRAP1: case D3DRS_WRAP2:
        case D3DRS_WRAP3: case D3DRS_WRAP4: case D3DRS_WRAP5: case D3DRS_WRAP6: case D3DRS_WRAP7:
        case D3DRS_CLIPPING: case D3DRS_LIGHTING: case D3DRS_AMBIENT: case D3DRS_FOGVERTEXMODE:
        case D3DRS_COLORVERTEX: case D3DRS_LOCALVIEWER: case D3DRS_NORMALIZENORMALS:
        case D3DRS_DIFFUSEMATERIALSOURCE: case D3DRS_SPECULARMATERIALSOURCE:
        case D3DRS_AMBIENTMATERIALSOURCE: case D3DRS_EMISSIVEMATERIALSOURCE:
        case D3DRS_VERTEXBLEND: case D3DRS_CLIPPLANEENABLE: case D3DRS_SOFTWAREVERTEXPROCESSING:
        case D3DRS_POINTSIZE: case D3DRS_POINTSIZE_MIN: case D3DRS_POINTSPRITEENABLE:
        case D3DRS_POINTSCALEENABLE: case D3DRS_POINTSCALE_A: case D3DRS_POINTSCALE_B:
        case D3DRS_POINTSCALE_C: case D3DRS_MULTISAMPLEANTIALIAS: case D3DRS_MULTISAMPLEMASK:
        case D3DRS_PATCHEDGESTYLE: case D3DRS_PATCHSEGMENTS: case D3DRS_DEBUGMONITORTOKEN:
        case D3DRS_POINTSIZE_MAX: case D3DRS_INDEXEDVERTEXBLENDENABLE:
        case D3DRS_COLORWRITEENABLE: case D3DRS_TWEENFACTOR: case D3DRS_BLENDOP:
        case D3DRS_POSITIONORDER: case D3DRS_NORMALORDER: return true;
        default: return false;
    }
}

// Values outside the enumeration of an enumerated state are rejected.
bool IsValidRenderStateValue(DWORD s, DWORD v) {
    switch (s) {
        case D3DRS_ZENABLE: return v <= D3DZB_USEW;
        case D3DRS_FILLMODE:
        case D3DRS_SHADEMODE:
        case D3DRS_CULLMODE: return v >= 1 && v <= 3;
        case D3DRS_ZFUNC:
        case D3DRS_ALPHAFUNC:
        case D3DRS_STENCILFUNC: return v >= D3DCMP_NEVER && v <= D3DCMP_ALWAYS;
        case D3DRS_SRCBLEND:
        case D3DRS_DESTBLEND: return v >= D3DBLEND_ZERO && v <= D3DBLEND_BOTHINVSRCALPHA;
        case D3DRS_BLENDOP: return v >= D3DBLENDOP_ADD && v <= D3DBLENDOP_MAX;
        case D3DRS_DIFFUSEMATERIALSOURCE:
        case D3DRS_SPECULARMATERIALSOURCE:
        case D3DRS_AMBIENTMATERIALSOURCE:
        case D3DRS_EMISSIVEMATERIALSOURCE: return v <= D3DMCS_COLOR2;
        case D3DRS_ALPHAREF: return v <= 255;
        default: return true;
    }
}

constexpr DWORD kStageStateCount = 29;

struct PreparedLight {
    D3DLIGHTTYPE type;
    Rgba diffuse, ambient;
    Vec3 position;   // camera space (point, spot)
    Vec3 toLight;    // camera space, unit, for directional lights
    Vec3 spotAxis;   // camera space, unit, direction the spot shines
    float range, att0, att1, att2;
    float cosHalfTheta, cosHalfPhi, falloff;
};


class SoftwareDevice final : public IDirect3DDevice8 {
public:
    SoftwareDevice(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor, D3DDEVTYPE type,
                   HWND focus, DWORD behavior, HWND window, int width, int height,
                   D3DFORMAT format, bool depth, bool lockable)
        : d3d_(d3d), monitor_(std::move(monitor)), type_(type), focus_(focus),
          behavior_(behavior), window_(window), width_(width), height_(height), format_(format),
          lockable_(lockable) {
        color_.assign(std::size_t(width) * height, detail::StoredColor(0, format));
        if (depth) depth_.assign(std::size_t(width) * height, 0xFFFF);
        d3d_->AddRef();
        InitStates(depth);
    }
    ~SoftwareDevice() override;

    // ---- IUnknown
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        if (refs_ == 0) return 0;
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    HRESULT GetDirect3D(IDirect3D8** d3d) override {
        if (!d3d) return D3DERR_INVALIDCALL;
        d3d_->AddRef();
        *d3d = d3d_;
        return S_OK;
    }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* p) override {
        if (!p) return D3DERR_INVALIDCALL;
        *p = {D3DADAPTER_DEFAULT, type_, focus_, behavior_};
        return S_OK;
    }

    // ---- Resources
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** out) override {
        if (const HRESULT hr = Enter(monitor_, Call::CreateVertexBuffer); FAILED(hr)) return hr;
        if (!out) return D3DERR_INVALIDCALL;
        *out = nullptr;
        if (length == 0 || pool > D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
        constexpr DWORD kUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING |
                                 D3DUSAGE_DONOTCLIP | D3DUSAGE_DYNAMIC | 0x40 /*POINTS*/;
        if (usage & ~kUsage) return D3DERR_INVALIDCALL;
        if (fvf != 0) {
            const VertexLayout l = ParseFvf(fvf);
            if (!l.valid || length < l.size) return D3DERR_INVALIDCALL;
        }
        if (length > kMaxVertexBufferBytes) return E_OUTOFMEMORY;
        try {
            *out = new VertexBuffer(this, monitor_, length, usage, fvf, pool);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture8** out) override {
        if (const HRESULT hr = Enter(monitor_, Call::CreateTexture); FAILED(hr)) return hr;
        if (!out) return D3DERR_INVALIDCALL;
        *out = nullptr;
        if (width == 0 || height == 0 || width > 4096 || height > 4096) return D3DERR_INVALIDCALL;
        if (usage != 0 || pool > D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
        if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
        UINT full = 1;
        for (UINT m = std::max(width, height); m > 1; m /= 2) ++full;
        if (levels == 0) levels = full;
        if (levels > full) return D3DERR_INVALIDCALL;
        try {
            *out = new Texture(this, monitor_, width, height, levels, format, pool);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetStreamSource); FAILED(hr)) return hr;
        if (stream != 0) return D3DERR_INVALIDCALL;  // one stream is all FVF drawing uses
        auto* vb = dynamic_cast<VertexBuffer*>(buffer);
        if (vb && vb->Owner() != this) return D3DERR_INVALIDCALL;
        if (vb) vb->Bind();
        if (stream_) stream_->Unbind();
        stream_ = vb;
        stride_ = vb ? stride : 0;
        return S_OK;
    }

    HRESULT SetVertexShader(DWORD fvf) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetVertexShader); FAILED(hr)) return hr;
        const VertexLayout l = ParseFvf(fvf);
        if (!l.valid) return D3DERR_INVALIDCALL;
        fvf_ = fvf;
        layout_ = l;
        return S_OK;
    }

    // ---- States
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetRenderState); FAILED(hr)) return hr;
        if (!IsRenderState(state) || !IsValidRenderStateValue(state, value))
            return D3DERR_INVALIDCALL;
        renderStates_[state] = value;
        return S_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        if (!value || !IsRenderState(state)) return D3DERR_INVALIDCALL;
        *value = renderStates_[state];
        return S_OK;
    }

    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetTextureStageState); FAILED(hr)) return hr;
        if (stage >= kMaxTextureStages || type == 0 || type == 12 || type >= kStageStateCount)
            return D3DERR_INVALIDCALL;
        switch (type) {
            case D3DTSS_COLOROP:
            case D3DTSS_ALPHAOP:
                if (value < D3DTOP_DISABLE || value > D3DTOP_LERP) return D3DERR_INVALIDCALL;
                break;
            case D3DTSS_ADDRESSU:
            case D3DTSS_ADDRESSV:
            case D3DTSS_ADDRESSW:
                if (value < D3DTADDRESS_WRAP || value > D3DTADDRESS_MIRRORONCE)
                    return D3DERR_INVALIDCALL;
                break;
            case D3DTSS_MAGFILTER:
            case D3DTSS_MINFILTER:
            case D3DTSS_MIPFILTER:
                if (value > D3DTEXF_GAUSSIANCUBIC) return D3DERR_INVALIDCALL;
                break;
            default: break;
        }
        stageStates_[stage][type] = value;
        return S_OK;
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
        if (!value || stage >= kMaxTextureStages || type == 0 || type >= kStageStateCount)
            return D3DERR_INVALIDCALL;
        *value = stageStates_[stage][type];
        return S_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetTransform); FAILED(hr)) return hr;
        D3DMATRIX* slot = TransformSlot(state);
        if (!slot || !matrix) return D3DERR_INVALIDCALL;
        *slot = *matrix;
        return S_OK;
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
        D3DMATRIX* slot = TransformSlot(state);
        if (!slot || !matrix) return D3DERR_INVALIDCALL;
        *matrix = *slot;
        return S_OK;
    }

    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetLight); FAILED(hr)) return hr;
        if (!light || index >= kMaxLightIndex) return D3DERR_INVALIDCALL;
        if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
            return D3DERR_INVALIDCALL;
        if (light->Type != D3DLIGHT_POINT) {
            const D3DVECTOR& d = light->Direction;
            if (!(d.x * d.x + d.y * d.y + d.z * d.z > 0.0f)) return D3DERR_INVALIDCALL;
        }
        if (light->Type != D3DLIGHT_DIRECTIONAL) {
            if (!(light->Range >= 0.0f) || light->Range > 1.8446743e19f)  // sqrt(FLT_MAX)
                return D3DERR_INVALIDCALL;
            if (!(light->Attenuation0 >= 0.0f) || !(light->Attenuation1 >= 0.0f) ||
                !(light->Attenuation2 >= 0.0f))
                return D3DERR_INVALIDCALL;
        }
        if (light->Type == D3DLIGHT_SPOT &&
            (!(light->Theta >= 0.0f) || !(light->Phi >= light->Theta) || light->Phi > 3.1415927f))
            return D3DERR_INVALIDCALL;
        if (lights_.size() <= index) lights_.resize(index + 1);
        lights_[index].light = *light;
        lightSet_.resize(lights_.size());
        lightSet_[index] = true;
        return S_OK;
    }
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override {
        if (!light || index >= lights_.size() || !lightSet_[index]) return D3DERR_INVALIDCALL;
        *light = lights_[index].light;
        return S_OK;
    }
    HRESULT LightEnable(DWORD index, BOOL enable) override {
        if (const HRESULT hr = Enter(monitor_, Call::LightEnable); FAILED(hr)) return hr;
        if (index >= kMaxLightIndex) return D3DERR_INVALIDCALL;
        if (lights_.size() <= index) {
            lights_.resize(index + 1);
            lightSet_.resize(index + 1);
        }
        if (!lightSet_[index]) {
            // Enabling a light that was never set creates the default light: white, directional,
            // shining along +z.
            D3DLIGHT8 l{};
            l.Type = D3DLIGHT_DIRECTIONAL;
            l.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
            l.Direction = {0.0f, 0.0f, 1.0f};
            lights_[index].light = l;
            lightSet_[index] = true;
        }
        if (enable && !lights_[index].enabled) {
            DWORD active = 0;
            for (const LightSlot& s : lights_) active += s.enabled ? 1 : 0;
            if (active >= kMaxActiveLights) return D3DERR_INVALIDCALL;
        }
        lights_[index].enabled = enable != FALSE;
        return S_OK;
    }
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override {
        if (!enable || index >= lights_.size() || !lightSet_[index]) return D3DERR_INVALIDCALL;
        *enable = lights_[index].enabled ? TRUE : FALSE;
        return S_OK;
    }

    HRESULT SetMaterial(const D3DMATERIAL8* material) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetMaterial); FAILED(hr)) return hr;
        if (!material) return D3DERR_INVALIDCALL;
        material_ = *material;
        return S_OK;
    }
    HRESULT GetMaterial(D3DMATERIAL8* material) override {
        if (!material) return D3DERR_INVALIDCALL;
        *material = material_;
        return S_OK;
    }

    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetTexture); FAILED(hr)) return hr;
        if (stage >= kMaxTextureStages) return D3DERR_INVALIDCALL;
        Texture* t = nullptr;
        if (texture) {
            t = dynamic_cast<Texture*>(texture);
            if (!t || t->Owner() != this) return D3DERR_INVALIDCALL;
            t->Bind();
        }
        if (textures_[stage]) textures_[stage]->Unbind();
        textures_[stage] = t;
        return S_OK;
    }
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override {
        if (!texture || stage >= kMaxTextureStages) return D3DERR_INVALIDCALL;
        *texture = textures_[stage];
        if (*texture) (*texture)->AddRef();
        return S_OK;
    }

    HRESULT SetViewport(const D3DVIEWPORT8* vp) override {
        if (const HRESULT hr = Enter(monitor_, Call::SetViewport); FAILED(hr)) return hr;
        if (!vp || vp->Width == 0 || vp->Height == 0) return D3DERR_INVALIDCALL;
        if (std::uint64_t(vp->X) + vp->Width > UINT(width_) ||
            std::uint64_t(vp->Y) + vp->Height > UINT(height_))
            return D3DERR_INVALIDCALL;
        if (!(vp->MinZ >= 0.0f && vp->MaxZ <= 1.0f && vp->MinZ <= vp->MaxZ))
            return D3DERR_INVALIDCALL;
        viewport_ = *vp;
        return S_OK;
    }
    HRESULT GetViewport(D3DVIEWPORT8* vp) override {
        if (!vp) return D3DERR_INVALIDCALL;
        *vp = viewport_;
        return S_OK;
    }

    // ---- Frame
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT BeginScene() override {
        if (const HRESULT hr = Enter(monitor_, Call::BeginScene); FAILED(hr)) return hr;
        if (inScene_) return D3DERR_INVALIDCALL;
        inScene_ = true;
        return S_OK;
    }
    HRESULT EndScene() override {
        if (const HRESULT hr = Enter(monitor_, Call::EndScene); FAILED(hr)) return hr;
        if (!inScene_) return D3DERR_INVALIDCALL;
        inScene_ = false;
        return S_OK;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT count) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND override,
                    const RGNDATA* dirty) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** out) override;

    // ---- Back buffer access for the surface
    HRESULT LockBackBuffer(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockBackBuffer();
    void DescribeBackBuffer(D3DSURFACE_DESC* desc) const {
        *desc = {format_, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                 static_cast<UINT>(PitchFor(width_, format_) * height_), D3DMULTISAMPLE_NONE,
                 static_cast<UINT>(width_), static_cast<UINT>(height_)};
    }
    const std::shared_ptr<CallMonitor>& monitor() const { return monitor_; }

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
    const std::uint8_t* PresentedPixels(int* pitch);

    ULONG refs_ = 1;
    IDirect3D8* d3d_;
    std::shared_ptr<CallMonitor> monitor_;
    D3DDEVTYPE type_;
    HWND focus_;
    DWORD behavior_;
    HWND window_;
    int width_, height_;
    D3DFORMAT format_;
    bool lockable_;

    std::vector<std::uint32_t> color_;
    std::vector<std::uint16_t> depth_;
    std::vector<std::uint8_t> staging_;  // format conversion for locks and presents
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

// The device's one back buffer as a surface. The device owns the object; callers' references keep
// the device alive.
class SoftwareDevice::BackBuffer final : public IDirect3DSurface8 {
public:
    explicit BackBuffer(SoftwareDevice* device) : device_(device) {}

    ULONG AddRef() override {
        if (refs_++ == 0) device_->AddRef();
        return refs_;
    }
    ULONG Release() override {
        if (refs_ == 0) return 0;
        const ULONG n = --refs_;
        if (n == 0) device_->Release();  // the device deletes this object when it goes
        return n;
    }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        if (!desc) return D3DERR_INVALIDCALL;
        device_->DescribeBackBuffer(desc);
        return S_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
        if (const HRESULT hr = Enter(device_->monitor(), Call::SurfaceLockRect); FAILED(hr))
            return hr;
        return device_->LockBackBuffer(locked, rect, flags);
    }
    HRESULT UnlockRect() override {
        if (const HRESULT hr = Enter(device_->monitor(), Call::SurfaceUnlockRect); FAILED(hr))
            return hr;
        return device_->UnlockBackBuffer();
    }

private:
    SoftwareDevice* device_;
    ULONG refs_ = 0;
};

SoftwareDevice::~SoftwareDevice() {
    if (stream_) stream_->Unbind();
    for (Texture*& t : textures_)
        if (t) t->Unbind();
    delete backBuffer_;
    d3d_->Release();
}

void SoftwareDevice::InitStates(bool depth) {
    auto f = [](float v) {
        DWORD d;
        std::memcpy(&d, &v, 4);
        return d;
    };
    DWORD* rs = renderStates_;
    rs[D3DRS_ZENABLE] = depth ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGEND] = f(1.0f);
    rs[D3DRS_FOGDENSITY] = f(1.0f);
    rs[D3DRS_STENCILFAIL] = rs[D3DRS_STENCILZFAIL] = rs[D3DRS_STENCILPASS] = 1;  // KEEP
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_SOFTWAREVERTEXPROCESSING] = (behavior_ & D3DCREATE_SOFTWARE_VERTEXPROCESSING) ? TRUE : FALSE;
    rs[D3DRS_POINTSIZE] = f(1.0f);
    rs[D3DRS_POINTSCALE_A] = f(1.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
    rs[D3DRS_PATCHSEGMENTS] = f(1.0f);
    rs[D3DRS_POINTSIZE_MAX] = f(64.0f);
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_POSITIONORDER] = 3;  // cubic
    rs[D3DRS_NORMALORDER] = 1;    // linear

    for (DWORD i = 0; i < kMaxTextureStages; ++i) {
        DWORD* ts = stageStates_[i];
        ts[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = i;
        ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ts[D3DTSS_MAXANISOTROPY] = 1;
        ts[D3DTSS_COLORARG0] = ts[D3DTSS_ALPHAARG0] = ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    for (D3DMATRIX& m : textureTransforms_) m = Identity();
    viewport_ = {0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0.0f, 1.0f};
}

namespace {

// Fills n words with v at memory speed (memset when all bytes of v are equal).
template <class T>
void FillWords(T* p, std::size_t n, T v) {
    const auto byte = static_cast<unsigned char>(v);
    bool sameBytes = true;
    for (std::size_t i = 1; i < sizeof(T); ++i)
        sameBytes = sameBytes && static_cast<unsigned char>(v >> (8 * i)) == byte;
    if (sameBytes) {
        std::memset(p, byte, n * sizeof(T));
        return;
    }
    // Build a 64-bit pattern and store it in blocks; the tail goes word by word.
    std::uint64_t pattern = 0;
    for (std::size_t i = 0; i < 8 / sizeof(T); ++i) pattern |= std::uint64_t(v) << (8 * sizeof(T) * i);
    std::size_t i = 0;
    const std::size_t perBlock = 8 / sizeof(T);
    for (; i + perBlock <= n; i += perBlock) std::memcpy(p + i, &pattern, 8);
    for (; i < n; ++i) p[i] = v;
}

}  // namespace

HRESULT SoftwareDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                              float z, DWORD /*stencil*/) {
    if (const HRESULT hr = Enter(monitor_, Call::Clear); FAILED(hr)) return hr;
    if ((count > 0) != (rects != nullptr)) return D3DERR_INVALIDCALL;
    if (flags == 0 || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) || ((flags & D3DCLEAR_ZBUFFER) && depth_.empty()))
        return D3DERR_INVALIDCALL;  // D16 has no stencil; no depth buffer to clear
    if ((flags & D3DCLEAR_ZBUFFER) && !(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;
    if (backBufferLocked_) return D3DERR_INVALIDCALL;

    const std::uint32_t stored = detail::StoredColor(color, format_);
    const auto depthValue = static_cast<std::uint16_t>(std::lround(z * 65535.0f));
    const LONG vx0 = static_cast<LONG>(viewport_.X), vy0 = static_cast<LONG>(viewport_.Y);
    const LONG vx1 = vx0 + static_cast<LONG>(viewport_.Width);
    const LONG vy1 = vy0 + static_cast<LONG>(viewport_.Height);
    const bool wholeRows = vx0 == 0 && vx1 == width_;
    auto clearRect = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
        x0 = std::max(x0, vx0);
        y0 = std::max(y0, vy0);
        x1 = std::min(x1, vx1);
        y1 = std::min(y1, vy1);
        if (x0 >= x1 || y0 >= y1) return;
        if (wholeRows && x0 == vx0 && x1 == vx1) {  // one contiguous block
            const std::size_t first = std::size_t(y0) * width_;
            const std::size_t n = std::size_t(y1 - y0) * width_;
            if (flags & D3DCLEAR_TARGET) FillWords(color_.data() + first, n, stored);
            if (flags & D3DCLEAR_ZBUFFER) FillWords(depth_.data() + first, n, depthValue);
            return;
        }
        for (LONG y = y0; y < y1; ++y) {
            const std::size_t row = std::size_t(y) * width_;
            if (flags & D3DCLEAR_TARGET) FillWords(color_.data() + row + x0, std::size_t(x1 - x0), stored);
            if (flags & D3DCLEAR_ZBUFFER) FillWords(depth_.data() + row + x0, std::size_t(x1 - x0), depthValue);
        }
    };
    if (count == 0) {
        clearRect(vx0, vy0, vx1, vy1);
    } else {
        for (DWORD i = 0; i < count; ++i) clearRect(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    }
    return S_OK;
}

namespace {

bool ReferencesTexture(DWORD op, DWORD arg1, DWORD arg2) {
    const bool uses1 = op != D3DTOP_SELECTARG2;
    const bool uses2 = op != D3DTOP_SELECTARG1;
    return (uses1 && (arg1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE) ||
           (uses2 && (arg2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE);
}

bool SupportedOp(DWORD op) {
    switch (op) {
        case D3DTOP_SELECTARG1: case D3DTOP_SELECTARG2: case D3DTOP_MODULATE:
        case D3DTOP_MODULATE2X: case D3DTOP_MODULATE4X: case D3DTOP_ADD:
        case D3DTOP_ADDSIGNED: case D3DTOP_SUBTRACT: return true;
        default: return false;
    }
}

bool IsPlainDiffuse(DWORD arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; }

// The selected argument is the plain diffuse colour.
bool SelectsDiffuse(DWORD op, DWORD arg1, DWORD arg2) {
    return (op == D3DTOP_SELECTARG1 && IsPlainDiffuse(arg1)) ||
           (op == D3DTOP_SELECTARG2 && IsPlainDiffuse(arg2));
}

}  // namespace

HRESULT SoftwareDevice::PrepareRaster(RasterState& st) {
    const DWORD* rs = renderStates_;
    // States this device does not draw; failing loudly beats drawing something else.
    if (rs[D3DRS_FILLMODE] != D3DFILL_SOLID || rs[D3DRS_FOGENABLE] || rs[D3DRS_SPECULARENABLE] ||
        rs[D3DRS_VERTEXBLEND] != 0 || rs[D3DRS_CLIPPLANEENABLE] != 0 ||
        rs[D3DRS_ZENABLE] == D3DZB_USEW || rs[D3DRS_ZBIAS] != 0 ||
        (rs[D3DRS_COLORWRITEENABLE] & 0xF) != 0xF ||
        (rs[D3DRS_ALPHABLENDENABLE] && rs[D3DRS_BLENDOP] != D3DBLENDOP_ADD))
        return D3DERR_NOTAVAILABLE;

    st.target = {width_, height_, color_.data(), depth_.empty() ? nullptr : depth_.data(), format_};
    st.viewport = {static_cast<int>(viewport_.X), static_cast<int>(viewport_.Y),
                   static_cast<int>(viewport_.Width), static_cast<int>(viewport_.Height),
                   viewport_.MinZ, viewport_.MaxZ};
    st.cull = static_cast<D3DCULL>(rs[D3DRS_CULLMODE]);
    st.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE && !depth_.empty();
    st.depthWrite = rs[D3DRS_ZWRITEENABLE] != FALSE;
    st.depthFunc = static_cast<D3DCMPFUNC>(rs[D3DRS_ZFUNC]);
    st.flatShade = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    st.alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    st.alphaFunc = static_cast<D3DCMPFUNC>(rs[D3DRS_ALPHAFUNC]);
    st.alphaRef = static_cast<int>(rs[D3DRS_ALPHAREF]);
    st.blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    st.srcBlend = static_cast<D3DBLEND>(rs[D3DRS_SRCBLEND]);
    st.destBlend = static_cast<D3DBLEND>(rs[D3DRS_DESTBLEND]);

    // Only stage 0 is implemented.
    if (stageStates_[1][D3DTSS_COLOROP] != D3DTOP_DISABLE) return D3DERR_TOOMANYOPERATIONS;

    const DWORD* ts = stageStates_[0];
    detail::StageArgs args;
    args.colorOp = ts[D3DTSS_COLOROP];
    args.colorArg1 = ts[D3DTSS_COLORARG1];
    args.colorArg2 = ts[D3DTSS_COLORARG2];
    args.alphaOp = ts[D3DTSS_ALPHAOP];
    args.alphaArg1 = ts[D3DTSS_ALPHAARG1];
    args.alphaArg2 = ts[D3DTSS_ALPHAARG2];
    args.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    const Texture* tex = textures_[0];

    st.texture = {};
    if (args.colorOp == D3DTOP_DISABLE) {
        st.stage = StageMode::Diffuse;
        return S_OK;
    }
    // A stage that reads a missing texture passes the incoming colour (or alpha) through.
    if (!tex && ReferencesTexture(args.colorOp, args.colorArg1, args.colorArg2)) {
        args.colorOp = D3DTOP_SELECTARG1;
        args.colorArg1 = D3DTA_CURRENT;
    }
    if (!tex && args.alphaOp != D3DTOP_DISABLE &&
        ReferencesTexture(args.alphaOp, args.alphaArg1, args.alphaArg2)) {
        args.alphaOp = D3DTOP_SELECTARG1;
        args.alphaArg1 = D3DTA_CURRENT;
    }
    if (!SupportedOp(args.colorOp)) return D3DERR_UNSUPPORTEDCOLOROPERATION;
    if (args.alphaOp != D3DTOP_DISABLE && !SupportedOp(args.alphaOp))
        return D3DERR_UNSUPPORTEDALPHAOPERATION;

    const bool colorIsDiffuse = SelectsDiffuse(args.colorOp, args.colorArg1, args.colorArg2);
    const bool alphaIsDiffuse = args.alphaOp == D3DTOP_DISABLE ||
                                SelectsDiffuse(args.alphaOp, args.alphaArg1, args.alphaArg2);
    if (colorIsDiffuse && alphaIsDiffuse) {
        st.stage = StageMode::Diffuse;
        return S_OK;
    }

    const bool usesTexture =
        tex && (ReferencesTexture(args.colorOp, args.colorArg1, args.colorArg2) ||
                (args.alphaOp != D3DTOP_DISABLE &&
                 ReferencesTexture(args.alphaOp, args.alphaArg1, args.alphaArg2)));
    if (usesTexture) {
        if (ts[D3DTSS_TEXCOORDINDEX] != 0 || ts[D3DTSS_TEXTURETRANSFORMFLAGS] != 0)
            return D3DERR_NOTAVAILABLE;
        const DWORD au = ts[D3DTSS_ADDRESSU], av = ts[D3DTSS_ADDRESSV];
        auto supportedAddress = [](DWORD a) {
            return a == D3DTADDRESS_WRAP || a == D3DTADDRESS_CLAMP || a == D3DTADDRESS_MIRROR;
        };
        if (!supportedAddress(au) || !supportedAddress(av)) return D3DERR_NOTAVAILABLE;
        const Texture::Level& l0 = tex->Level0();
        st.texture = {l0.texels.data(), l0.width, l0.height};
        st.addressU = static_cast<D3DTEXTUREADDRESS>(au);
        st.addressV = static_cast<D3DTEXTUREADDRESS>(av);
        // Only level 0 is sampled (no mip filtering); where magnification and minification
        // filters differ, the magnification filter is used.
        st.linear = ts[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR;
    }

    const bool modulate =
        usesTexture && args.colorOp == D3DTOP_MODULATE &&
        ((args.colorArg1 == D3DTA_TEXTURE && IsPlainDiffuse(args.colorArg2)) ||
         (args.colorArg2 == D3DTA_TEXTURE && IsPlainDiffuse(args.colorArg1))) &&
        ((args.alphaOp == D3DTOP_SELECTARG1 && args.alphaArg1 == D3DTA_TEXTURE) ||
         (args.alphaOp == D3DTOP_SELECTARG2 && args.alphaArg2 == D3DTA_TEXTURE));
    st.stage = modulate ? StageMode::ModulateTexture : StageMode::General;
    st.args = args;
    return S_OK;
}


void SoftwareDevice::ProcessVertices(UINT first, UINT count) {
    vertices_.resize(count);
    const D3DMATRIX& world = world_[0];
    const D3DMATRIX worldView = Multiply(world, view_);
    const D3DMATRIX wvp = Multiply(worldView, projection_);
    const bool lighting = renderStates_[D3DRS_LIGHTING] != FALSE;
    const std::uint8_t* base = stream_->data() + std::size_t(first) * stride_;

    float normalMatrix[3][3];
    std::vector<PreparedLight>& lights = preparedLights_;  // reused: no allocation per draw
    lights.clear();
    Rgba globalAmbient, material[3];  // diffuse, ambient, emissive when taken from the material
    DWORD sources[3] = {};
    bool normalize = false;
    if (lighting) {
        NormalMatrix(worldView, normalMatrix);
        normalize = renderStates_[D3DRS_NORMALIZENORMALS] != FALSE;
        float view3[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) view3[i][j] = view_.m[i][j];
        for (const LightSlot& slot : lights_) {
            if (!slot.enabled) continue;
            const D3DLIGHT8& l = slot.light;
            PreparedLight p{};
            p.type = l.Type;
            p.diffuse = FromValue(l.Diffuse);
            p.ambient = FromValue(l.Ambient);
            const float pos[3] = {l.Position.x, l.Position.y, l.Position.z};
            p.position = TransformPoint(pos, view_);
            const Vec3 dir = Normalized(TransformDirection({l.Direction.x, l.Direction.y, l.Direction.z}, view3));
            p.toLight = {-dir.x, -dir.y, -dir.z};
            p.spotAxis = dir;
            p.range = l.Range;
            p.att0 = l.Attenuation0;
            p.att1 = l.Attenuation1;
            p.att2 = l.Attenuation2;
            p.cosHalfTheta = std::cos(l.Theta * 0.5f);
            p.cosHalfPhi = std::cos(l.Phi * 0.5f);
            p.falloff = l.Falloff;
            lights.push_back(p);
        }
        globalAmbient = FromColor(renderStates_[D3DRS_AMBIENT]);
        material[0] = FromValue(material_.Diffuse);
        material[1] = FromValue(material_.Ambient);
        material[2] = FromValue(material_.Emissive);
        sources[0] = renderStates_[D3DRS_DIFFUSEMATERIALSOURCE];
        sources[1] = renderStates_[D3DRS_AMBIENTMATERIALSOURCE];
        sources[2] = renderStates_[D3DRS_EMISSIVEMATERIALSOURCE];
    }
    const bool colorVertex = renderStates_[D3DRS_COLORVERTEX] != FALSE;

    for (UINT i = 0; i < count; ++i) {
        const std::uint8_t* v = base + std::size_t(i) * stride_;
        float pos[3];
        std::memcpy(pos, v, 12);
        ClipVertex& out = vertices_[i];
        out.x = pos[0] * wvp.m[0][0] + pos[1] * wvp.m[1][0] + pos[2] * wvp.m[2][0] + wvp.m[3][0];
        out.y = pos[0] * wvp.m[0][1] + pos[1] * wvp.m[1][1] + pos[2] * wvp.m[2][1] + wvp.m[3][1];
        out.z = pos[0] * wvp.m[0][2] + pos[1] * wvp.m[1][2] + pos[2] * wvp.m[2][2] + wvp.m[3][2];
        out.w = pos[0] * wvp.m[0][3] + pos[1] * wvp.m[1][3] + pos[2] * wvp.m[2][3] + wvp.m[3][3];

        D3DCOLOR diffuse = 0xFFFFFFFFu, specular = 0;
        if (layout_.diffuse >= 0) std::memcpy(&diffuse, v + layout_.diffuse, 4);
        if (layout_.specular >= 0) std::memcpy(&specular, v + layout_.specular, 4);
        if (layout_.tex0 >= 0) {
            float uv[2];
            std::memcpy(uv, v + layout_.tex0, 8);
            out.u = uv[0];
            out.v = uv[1];
        } else {
            out.u = out.v = 0.0f;
        }

        if (!lighting) {
            out.a = float(diffuse >> 24);
            out.r = float((diffuse >> 16) & 255);
            out.g = float((diffuse >> 8) & 255);
            out.b = float(diffuse & 255);
            continue;
        }

        auto source = [&](int k) {
            const DWORD src = sources[k];
            if (colorVertex && src == D3DMCS_COLOR1 && layout_.diffuse >= 0) return FromColor(diffuse);
            if (colorVertex && src == D3DMCS_COLOR2 && layout_.specular >= 0) return FromColor(specular);
            return material[k];
        };
        const Rgba cd = source(0), ca = source(1), ce = source(2);

        Vec3 n{};
        if (layout_.normal >= 0) {
            float nn[3];
            std::memcpy(nn, v + layout_.normal, 12);
            n = TransformDirection({nn[0], nn[1], nn[2]}, normalMatrix);
            if (normalize) n = Normalized(n);
        }
        const Vec3 pc = TransformPoint(pos, worldView);

        Rgba diffuseSum, ambientSum;
        for (const PreparedLight& l : lights) {
            Vec3 toLight;
            float att = 1.0f;
            if (l.type == D3DLIGHT_DIRECTIONAL) {
                toLight = l.toLight;
            } else {
                const Vec3 d{l.position.x - pc.x, l.position.y - pc.y, l.position.z - pc.z};
                const float dist = std::sqrt(Dot(d, d));
                if (dist > l.range) continue;  // beyond its range a light adds nothing
                const float denom = l.att0 + l.att1 * dist + l.att2 * dist * dist;
                att = denom > 0.0f ? 1.0f / denom : 1.0f;
                toLight = dist > 0.0f ? Vec3{d.x / dist, d.y / dist, d.z / dist} : Vec3{};
                if (l.type == D3DLIGHT_SPOT) {
                    const float rho = -Dot(toLight, l.spotAxis);
                    if (rho <= l.cosHalfPhi) {
                        att = 0.0f;
                    } else if (rho <= l.cosHalfTheta) {
                        const float t = (rho - l.cosHalfPhi) / (l.cosHalfTheta - l.cosHalfPhi);
                        att *= l.falloff == 1.0f ? t : std::pow(t, l.falloff);
                    }
                }
            }
            const float ndotl = std::max(0.0f, Dot(n, toLight)) * att;
            diffuseSum.r += l.diffuse.r * ndotl;
            diffuseSum.g += l.diffuse.g * ndotl;
            diffuseSum.b += l.diffuse.b * ndotl;
            ambientSum.r += l.ambient.r * att;
            ambientSum.g += l.ambient.g * att;
            ambientSum.b += l.ambient.b * att;
        }
        out.r = ToChannel(ce.r + ca.r * (globalAmbient.r + ambientSum.r) + cd.r * diffuseSum.r);
        out.g = ToChannel(ce.g + ca.g * (globalAmbient.g + ambientSum.g) + cd.g * diffuseSum.g);
        out.b = ToChannel(ce.b + ca.b * (globalAmbient.b + ambientSum.b) + cd.b * diffuseSum.b);
        out.a = ToChannel(cd.a);
    }
}

HRESULT SoftwareDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT count) {
    if (const HRESULT hr = Enter(monitor_, Call::DrawPrimitive); FAILED(hr)) return hr;
    if (!inScene_) return D3DERR_INVALIDCALL;
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDCALL;
    if (type < D3DPT_TRIANGLELIST) return D3DERR_NOTAVAILABLE;  // points and lines
    if (!stream_ || !layout_.valid || stride_ < layout_.size) return D3DERR_INVALIDCALL;
    if (stream_->locked() || backBufferLocked_) return D3DERR_INVALIDCALL;
    if (count == 0) return S_OK;
    const std::uint64_t vertexCount =
        type == D3DPT_TRIANGLELIST ? std::uint64_t(count) * 3 : std::uint64_t(count) + 2;
    const std::uint64_t end = (std::uint64_t(startVertex) + vertexCount - 1) * stride_ + layout_.size;
    if (end > stream_->size()) return D3DERR_INVALIDCALL;

    RasterState st;
    if (const HRESULT hr = PrepareRaster(st); FAILED(hr)) return hr;
    ProcessVertices(startVertex, static_cast<UINT>(vertexCount));

    const ClipVertex* v = vertices_.data();
    for (UINT k = 0; k < count; ++k) {
        switch (type) {
            case D3DPT_TRIANGLELIST:
                detail::DrawTriangle(st, v[3 * k], v[3 * k + 1], v[3 * k + 2], false);
                break;
            case D3DPT_TRIANGLESTRIP:
                detail::DrawTriangle(st, v[k], v[k + 1], v[k + 2], (k & 1) != 0);
                break;
            default:  // fan
                detail::DrawTriangle(st, v[0], v[k + 1], v[k + 2], false);
                break;
        }
    }
    return S_OK;
}

const std::uint8_t* SoftwareDevice::PresentedPixels(int* pitch) {
    if (BytesPerPixel(format_) == 4) {
        *pitch = width_ * 4;
        return reinterpret_cast<const std::uint8_t*>(color_.data());
    }
    const int bpp = BytesPerPixel(format_);
    *pitch = PitchFor(width_, format_);
    staging_.assign(std::size_t(*pitch) * height_, 0);
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = staging_.data() + std::size_t(y) * *pitch;
        const std::uint32_t* src = color_.data() + std::size_t(y) * width_;
        for (int x = 0; x < width_; ++x) EncodePixel(src[x], format_, row + x * bpp);
    }
    return staging_.data();
}

HRESULT SoftwareDevice::Present(const RECT* source, const RECT* dest, HWND override,
                                const RGNDATA* dirty) {
    if (const HRESULT hr = Enter(monitor_, Call::Present); FAILED(hr)) return hr;
    if (source || dest || dirty) return D3DERR_INVALIDCALL;
    if (inScene_ || backBufferLocked_) return D3DERR_INVALIDCALL;
    HWND window = override ? override : window_;
    if (window && window->presenter) {
        int pitch = 0;
        const std::uint8_t* pixels = PresentedPixels(&pitch);
        window->presenter->PresentFrame(pixels, width_, height_, pitch, format_);
    }
    return S_OK;
}

HRESULT SoftwareDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                      IDirect3DSurface8** out) {
    if (const HRESULT hr = Enter(monitor_, Call::GetBackBuffer); FAILED(hr)) return hr;
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (index != 0 || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
    if (!backBuffer_) {
        try {
            backBuffer_ = new BackBuffer(this);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    backBuffer_->AddRef();
    *out = backBuffer_;
    return S_OK;
}

HRESULT SoftwareDevice::LockBackBuffer(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!locked) return D3DERR_INVALIDCALL;
    if (!lockable_ || backBufferLocked_) return D3DERR_INVALIDCALL;
    constexpr DWORD kKnown = D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NO_DIRTY_UPDATE;
    if (flags & ~kKnown) return D3DERR_INVALIDCALL;
    LONG left = 0, top = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || rect->right > width_ || rect->bottom > height_)
            return D3DERR_INVALIDCALL;
        left = rect->left;
        top = rect->top;
    }
    const int bpp = BytesPerPixel(format_);
    int pitch = 0;
    std::uint8_t* bits;
    if (bpp == 4) {
        pitch = width_ * 4;
        bits = reinterpret_cast<std::uint8_t*>(color_.data());
    } else {
        bits = const_cast<std::uint8_t*>(PresentedPixels(&pitch));
    }
    backBufferLocked_ = true;
    lockReadOnly_ = (flags & D3DLOCK_READONLY) != 0;
    locked->Pitch = pitch;
    locked->pBits = bits + std::size_t(top) * pitch + std::size_t(left) * bpp;
    return S_OK;
}

HRESULT SoftwareDevice::UnlockBackBuffer() {
    if (!backBufferLocked_) return D3DERR_INVALIDCALL;
    backBufferLocked_ = false;
    if (lockReadOnly_) return S_OK;
    // Whatever the caller wrote is brought back to what the format can hold.
    const int bpp = BytesPerPixel(format_);
    if (bpp == 4) {
        for (std::uint32_t& c : color_) c = detail::StoredColor(c, format_);
    } else {
        const int pitch = PitchFor(width_, format_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                color_[std::size_t(y) * width_ + x] = detail::StoredColor(
                    DecodePixel(staging_.data() + std::size_t(y) * pitch + x * bpp, format_),
                    format_);
    }
    return S_OK;
}

// ---- Direct3D object ---------------------------------------------------------------------------------

class SoftwareDirect3D final : public IDirect3D8 {
public:
    explicit SoftwareDirect3D(const SoftwareDeviceOptions& options) : options_(options) {}

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        if (refs_ == 0) return 0;
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        if (const HRESULT hr = Enter(options_.monitor, Call::GetAdapterDisplayMode); FAILED(hr))
            return hr;
        if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
        *mode = {options_.displayWidth, options_.displayHeight, options_.refreshRate,
                 options_.displayFormat};
        return S_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behavior,
                         D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** out) override {
        if (const HRESULT hr = Enter(options_.monitor, Call::CreateDevice); FAILED(hr)) return hr;
        if (!out) return D3DERR_INVALIDCALL;
        *out = nullptr;
        if (!pp || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
        if (type == D3DDEVTYPE_HAL) {
            if (!options_.actAsHardware) return D3DERR_NOTAVAILABLE;
            if (options_.failHardware) return options_.createFailure;
        } else if (type == D3DDEVTYPE_REF) {
            if (options_.failReference) return options_.createFailure;
        } else {
            return D3DERR_INVALIDCALL;
        }
        const DWORD vp = behavior & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                     D3DCREATE_MIXED_VERTEXPROCESSING);
        if (vp != D3DCREATE_SOFTWARE_VERTEXPROCESSING && vp != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
            vp != D3DCREATE_MIXED_VERTEXPROCESSING)
            return D3DERR_INVALIDCALL;
        if (!pp->Windowed) return D3DERR_NOTAVAILABLE;  // only windowed devices exist here
        HWND window = pp->hDeviceWindow ? pp->hDeviceWindow : focus;
        const long long w = pp->BackBufferWidth ? (long long)pp->BackBufferWidth
                                                : (window ? window->clientWidth : 0);
        const long long h = pp->BackBufferHeight ? (long long)pp->BackBufferHeight
                                                 : (window ? window->clientHeight : 0);
        if (w <= 0 || h <= 0 || w > kMaxSurfaceSize || h > kMaxSurfaceSize)
            return D3DERR_INVALIDCALL;
        D3DFORMAT format = pp->BackBufferFormat;
        if (format == D3DFMT_UNKNOWN) format = options_.displayFormat;
        if (format != options_.displayFormat) return D3DERR_INVALIDCALL;
        if (pp->BackBufferCount > 1 || pp->MultiSampleType != D3DMULTISAMPLE_NONE)
            return D3DERR_NOTAVAILABLE;
        if (pp->SwapEffect < D3DSWAPEFFECT_DISCARD || pp->SwapEffect > D3DSWAPEFFECT_COPY_VSYNC)
            return D3DERR_INVALIDCALL;
        if (pp->Flags & ~D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) return D3DERR_INVALIDCALL;
        const bool depth = pp->EnableAutoDepthStencil != FALSE;
        if (depth && pp->AutoDepthStencilFormat != D3DFMT_D16 &&
            pp->AutoDepthStencilFormat != D3DFMT_D16_LOCKABLE) {
            switch (pp->AutoDepthStencilFormat) {
                case D3DFMT_D32: case D3DFMT_D15S1: case D3DFMT_D24S8: case D3DFMT_D24X8:
                case D3DFMT_D24X4S4: return D3DERR_NOTAVAILABLE;
                default: return D3DERR_INVALIDCALL;
            }
        }
        pp->BackBufferWidth = static_cast<UINT>(w);
        pp->BackBufferHeight = static_cast<UINT>(h);
        pp->BackBufferFormat = format;
        pp->BackBufferCount = 1;
        try {
            *out = new SoftwareDevice(this, options_.monitor, type, focus, behavior, window,
                                      static_cast<int>(w), static_cast<int>(h), format, depth,
                                      (pp->Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

private:
    SoftwareDeviceOptions options_;
    ULONG refs_ = 1;
};

}  // namespace

IDirect3D8* CreateSoftwareDirect3D(const SoftwareDeviceOptions& options, UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || !IsBackBufferFormat(options.displayFormat)) return nullptr;
    return new (std::nothrow) SoftwareDirect3D(options);
}

std::function<IDirect3D8*(UINT)> SoftwareDirect3DFactory(SoftwareDeviceOptions options) {
    return [options](UINT sdkVersion) { return CreateSoftwareDirect3D(options, sdkVersion); };
}

}  // namespace velmo::d3d8

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    return velmo::d3d8::CreateSoftwareDirect3D(velmo::d3d8::SoftwareDeviceOptions{}, sdkVersion);
}
