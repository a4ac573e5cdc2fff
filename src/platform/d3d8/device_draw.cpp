// Drawing: Clear, and DrawPrimitive with what it needs: the device's states turned into the
// rasteriser's, and the vertices transformed to clip space and lit. The back end does the rest.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d8/device.h"
#include "platform/d3d8/monitor.h"
#include "platform/d3d8/resources.h"

namespace velmo::d3d8::detail {

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

HRESULT DeviceBase::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                              float z, DWORD /*stencil*/) {
    if (const HRESULT hr = Enter(monitor_, Call::Clear); FAILED(hr)) return hr;
    if ((count > 0) != (rects != nullptr)) return D3DERR_INVALIDCALL;
    if (flags == 0 || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) || ((flags & D3DCLEAR_ZBUFFER) && !hasDepth_))
        return D3DERR_INVALIDCALL;  // D16 has no stencil; no depth buffer to clear
    if ((flags & D3DCLEAR_ZBUFFER) && !(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;
    if (backBufferLocked_) return D3DERR_INVALIDCALL;

    return ClearTarget(ClearRectsInViewport(count, rects), flags, color, z);
}

// A Clear reaches the rectangles it is given (all of the viewport when none), only inside the
// viewport.
std::vector<D3DRECT> DeviceBase::ClearRectsInViewport(DWORD count, const D3DRECT* rects) const {
    const LONG vx0 = static_cast<LONG>(viewport_.X), vy0 = static_cast<LONG>(viewport_.Y);
    const LONG vx1 = vx0 + static_cast<LONG>(viewport_.Width);
    const LONG vy1 = vy0 + static_cast<LONG>(viewport_.Height);
    if (count == 0) return {{vx0, vy0, vx1, vy1}};
    std::vector<D3DRECT> clipped;
    for (DWORD i = 0; i < count; ++i) {
        const D3DRECT r{std::max(rects[i].x1, vx0), std::max(rects[i].y1, vy0),
                        std::min(rects[i].x2, vx1), std::min(rects[i].y2, vy1)};
        if (r.x1 < r.x2 && r.y1 < r.y2) clipped.push_back(r);
    }
    return clipped;
}

HRESULT DeviceBase::PrepareRaster(RasterState& st) {
    const DWORD* rs = renderStates_;
    // States this device does not draw; failing loudly beats drawing something else.
    if (rs[D3DRS_FILLMODE] != D3DFILL_SOLID || rs[D3DRS_FOGENABLE] || rs[D3DRS_SPECULARENABLE] ||
        rs[D3DRS_VERTEXBLEND] != 0 || rs[D3DRS_CLIPPLANEENABLE] != 0 ||
        rs[D3DRS_ZENABLE] == D3DZB_USEW || rs[D3DRS_ZBIAS] != 0 ||
        (rs[D3DRS_COLORWRITEENABLE] & 0xF) != 0xF ||
        (rs[D3DRS_ALPHABLENDENABLE] && rs[D3DRS_BLENDOP] != D3DBLENDOP_ADD))
        return D3DERR_NOTAVAILABLE;

    st.viewport = {static_cast<int>(viewport_.X), static_cast<int>(viewport_.Y),
                   static_cast<int>(viewport_.Width), static_cast<int>(viewport_.Height),
                   viewport_.MinZ, viewport_.MaxZ};
    st.cull = static_cast<D3DCULL>(rs[D3DRS_CULLMODE]);
    st.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE && hasDepth_;
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
    StageArgs args;
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

void DeviceBase::ProcessVertices(UINT first, UINT count) {
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

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT count) {
    if (const HRESULT hr = Enter(monitor_, Call::DrawPrimitive); FAILED(hr)) return hr;
    if (!inScene_) return D3DERR_INVALIDCALL;
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDCALL;
    if (type < D3DPT_TRIANGLELIST) return D3DERR_NOTAVAILABLE;  // points and lines
    if (!stream_ || !layout_.valid || stride_ < layout_.size) return D3DERR_INVALIDCALL;
    if (stream_->locked() || backBufferLocked_) return D3DERR_INVALIDCALL;
    if (count == 0) return S_OK;
    const std::uint64_t vertexCount =
        type == D3DPT_TRIANGLELIST ? std::uint64_t(count) * 3 : std::uint64_t(count) + 2;
    // The last vertex must lie in the buffer. Its offset, last * stride, can pass 2^64 (last is
    // below 2^34, the stride below 2^32) and wrap to a small value, so divide instead.
    const std::uint64_t last = std::uint64_t(startVertex) + vertexCount - 1;
    if (stream_->size() < layout_.size || last > (stream_->size() - layout_.size) / stride_)
        return D3DERR_INVALIDCALL;

    RasterState st;
    if (const HRESULT hr = PrepareRaster(st); FAILED(hr)) return hr;
    ProcessVertices(startVertex, static_cast<UINT>(vertexCount));

    return DrawTriangles(type, count, vertices_.data(), st);
}

}  // namespace velmo::d3d8::detail
