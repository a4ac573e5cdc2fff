// The device's render, texture-stage and transform states: which exist, which values they take,
// and what a new device starts with.

#include <cstring>

#include "platform/d3d8/device.h"
#include "platform/d3d8/monitor.h"

namespace velmo::d3d8::detail {

namespace {

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

}  // namespace

void DeviceBase::InitStates(bool depth) {
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

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (const HRESULT hr = Enter(monitor_, Call::SetRenderState); FAILED(hr)) return hr;
    if (!IsRenderState(state) || !IsValidRenderStateValue(state, value))
        return D3DERR_INVALIDCALL;
    renderStates_[state] = value;
    return S_OK;
}

HRESULT DeviceBase::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (!value || !IsRenderState(state)) return D3DERR_INVALIDCALL;
    *value = renderStates_[state];
    return S_OK;
}

HRESULT DeviceBase::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
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

HRESULT DeviceBase::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (!value || stage >= kMaxTextureStages || type == 0 || type >= kStageStateCount)
        return D3DERR_INVALIDCALL;
    *value = stageStates_[stage][type];
    return S_OK;
}

HRESULT DeviceBase::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (const HRESULT hr = Enter(monitor_, Call::SetTransform); FAILED(hr)) return hr;
    D3DMATRIX* slot = TransformSlot(state);
    if (!slot || !matrix) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    return S_OK;
}

HRESULT DeviceBase::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    D3DMATRIX* slot = TransformSlot(state);
    if (!slot || !matrix) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return S_OK;
}

}  // namespace velmo::d3d8::detail
