// The shared part of every device: creation and destruction, resources and their bindings,
// lights, material, viewport and scenes. States are in device_states.cpp, drawing in
// device_draw.cpp, the back buffer in back_buffer.cpp.

#include "platform/d3d8/device.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/d3d8/monitor.h"
#include "platform/d3d8/resources.h"

namespace velmo::d3d8::detail {

DeviceBase::DeviceBase(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor,
                       const DeviceSetup& setup)
    : d3d_(d3d), monitor_(std::move(monitor)), type_(setup.type), focus_(setup.focus),
      behavior_(setup.behavior), window_(setup.window), width_(setup.width),
      height_(setup.height), format_(setup.format), hasDepth_(setup.depth),
      lockable_(setup.lockable) {
    d3d_->AddRef();
    InitStates(setup.depth);
}

DeviceBase::~DeviceBase() {
    ReleaseBindings();
    DestroyBackBuffer();
    d3d_->Release();
}

void DeviceBase::ReleaseBindings() {
    if (stream_) stream_->Unbind();
    stream_ = nullptr;
    stride_ = 0;
    for (Texture*& t : textures_) {
        if (t) t->Unbind();
        t = nullptr;
    }
}

HRESULT DeviceBase::GetDirect3D(IDirect3D8** d3d) {
    if (!d3d) return D3DERR_INVALIDCALL;
    d3d_->AddRef();
    *d3d = d3d_;
    return S_OK;
}

HRESULT DeviceBase::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* p) {
    if (!p) return D3DERR_INVALIDCALL;
    *p = {D3DADAPTER_DEFAULT, type_, focus_, behavior_};
    return S_OK;
}

// ---- Resources

HRESULT DeviceBase::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                           IDirect3DVertexBuffer8** out) {
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

HRESULT DeviceBase::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                      D3DPOOL pool, IDirect3DTexture8** out) {
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

HRESULT DeviceBase::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) {
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

HRESULT DeviceBase::SetVertexShader(DWORD fvf) {
    if (const HRESULT hr = Enter(monitor_, Call::SetVertexShader); FAILED(hr)) return hr;
    const VertexLayout l = ParseFvf(fvf);
    if (!l.valid) return D3DERR_INVALIDCALL;
    fvf_ = fvf;
    layout_ = l;
    return S_OK;
}

HRESULT DeviceBase::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
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

HRESULT DeviceBase::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    if (!texture || stage >= kMaxTextureStages) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return S_OK;
}

// ---- Lights and material

HRESULT DeviceBase::SetLight(DWORD index, const D3DLIGHT8* light) {
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

HRESULT DeviceBase::GetLight(DWORD index, D3DLIGHT8* light) {
    if (!light || index >= lights_.size() || !lightSet_[index]) return D3DERR_INVALIDCALL;
    *light = lights_[index].light;
    return S_OK;
}

HRESULT DeviceBase::LightEnable(DWORD index, BOOL enable) {
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

HRESULT DeviceBase::GetLightEnable(DWORD index, BOOL* enable) {
    if (!enable || index >= lights_.size() || !lightSet_[index]) return D3DERR_INVALIDCALL;
    *enable = lights_[index].enabled ? TRUE : FALSE;
    return S_OK;
}

HRESULT DeviceBase::SetMaterial(const D3DMATERIAL8* material) {
    if (const HRESULT hr = Enter(monitor_, Call::SetMaterial); FAILED(hr)) return hr;
    if (!material) return D3DERR_INVALIDCALL;
    material_ = *material;
    return S_OK;
}

HRESULT DeviceBase::GetMaterial(D3DMATERIAL8* material) {
    if (!material) return D3DERR_INVALIDCALL;
    *material = material_;
    return S_OK;
}

// ---- Viewport and scenes

HRESULT DeviceBase::SetViewport(const D3DVIEWPORT8* vp) {
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

HRESULT DeviceBase::GetViewport(D3DVIEWPORT8* vp) {
    if (!vp) return D3DERR_INVALIDCALL;
    *vp = viewport_;
    return S_OK;
}

HRESULT DeviceBase::BeginScene() {
    if (const HRESULT hr = Enter(monitor_, Call::BeginScene); FAILED(hr)) return hr;
    if (inScene_) return D3DERR_INVALIDCALL;
    if (const HRESULT hr = OnBeginScene(); FAILED(hr)) return hr;
    inScene_ = true;
    return S_OK;
}

HRESULT DeviceBase::EndScene() {
    if (const HRESULT hr = Enter(monitor_, Call::EndScene); FAILED(hr)) return hr;
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return S_OK;
}

}  // namespace velmo::d3d8::detail
