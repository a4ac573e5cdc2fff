// The OpenGL device: creation on the desk's context, and the back end of the shared device in
// OpenGL 2.1 calls (see gl_device.h for the mappings from Direct3D).

#include "platform/d3d8/gl_device.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/d3d8/formats.h"
#include "platform/d3d8/resources.h"

namespace velmo::d3d8::detail {

namespace {

// The device whose OpenGL state the current context holds. Another device on the same context,
// or a context used in between, means the cached state must be set again.
const GlDevice* g_stateOwner = nullptr;

// How a back-buffer format is read from and written to the framebuffer, and the channel bits
// the framebuffer must have for it.
struct PixelTransfer {
    GLenum format, type;
    int red, green, blue;
};

bool TransferFor(D3DFORMAT format, PixelTransfer* t) {
    switch (format) {
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8R8G8B8: *t = {GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 8, 8, 8}; return true;
        case D3DFMT_R8G8B8: *t = {GL_BGR, GL_UNSIGNED_BYTE, 8, 8, 8}; return true;
        case D3DFMT_R5G6B5: *t = {GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 5, 6, 5}; return true;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: *t = {GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 5, 5, 5}; return true;
        default: return false;
    }
}

GLenum CompareFunction(D3DCMPFUNC f) {
    switch (f) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum BlendFactor(D3DBLEND f) {
    switch (f) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLint AddressMode(D3DTEXTUREADDRESS a) {
    switch (a) {
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        default: return GL_REPEAT;
    }
}

std::uint8_t ToByte(float f) {
    f = f > 0.0f ? f : 0.0f;
    f = f < 255.0f ? f : 255.0f;
    return static_cast<std::uint8_t>(f + 0.5f);
}

// The OpenGL texture object of a texture, kept in the texture's device data; its name goes to
// the device's list of dead names when the texture is destroyed.
struct GlTexture {
    GLuint name = 0;
    std::uint64_t generation = ~std::uint64_t{0};
    GLint filter = 0, wrapS = 0, wrapT = 0;
    std::shared_ptr<std::vector<GLuint>> dead;
    ~GlTexture() {
        if (name) dead->push_back(name);
    }
};

}  // namespace

// One texture-environment combiner setting for RGB and one for alpha.
struct GlDevice::Combiner {
    GLint mode[2] = {}, scale[2] = {1, 1}, source[2][2] = {}, operand[2][2] = {};
    D3DCOLOR constant = 0;
    bool operator==(const Combiner&) const = default;
};

// What OpenGL was last told; `valid` false means nothing is known.
struct GlDevice::StateCache {
    bool valid = false;
    GLint viewport[4] = {};
    float minZ = 0, maxZ = 1;
    bool cull = false, depthTest = false, depthWrite = true, alphaTest = false, blend = false;
    bool texturing = false, scissor = false;
    GLenum cullFace = GL_BACK, depthFunc = GL_LESS, alphaFunc = GL_ALWAYS;
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    float alphaRef = 0;
    GLuint texture = 0;
    Combiner combiner;
};

HRESULT GlDevice::Create(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor,
                         const DeviceSetup& setup, IGLContext& context, IDirect3DDevice8** out) {
    *out = nullptr;
    GlFunctions gl;
    if (!context.MakeCurrent() || !gl.Load(context) || !HasVersion(gl, 2, 1))
        return D3DERR_NOTAVAILABLE;
    PixelTransfer transfer;
    if (!TransferFor(setup.format, &transfer)) return D3DERR_NOTAVAILABLE;
    GLint red = 0, green = 0, blue = 0, depth = 0;
    gl.GetIntegerv(GL_RED_BITS, &red);
    gl.GetIntegerv(GL_GREEN_BITS, &green);
    gl.GetIntegerv(GL_BLUE_BITS, &blue);
    gl.GetIntegerv(GL_DEPTH_BITS, &depth);
    if (red != transfer.red || green != transfer.green || blue != transfer.blue)
        return D3DERR_NOTAVAILABLE;
    if (setup.depth && depth < 16) return D3DERR_NOTAVAILABLE;
    try {
        *out = new GlDevice(d3d, std::move(monitor), setup, context, gl);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

GlDevice::GlDevice(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor,
                   const DeviceSetup& setup, IGLContext& context, const GlFunctions& gl)
    : DeviceBase(d3d, std::move(monitor), setup), context_(context), gl_(gl),
      cache_(std::make_unique<StateCache>()),
      deadTextures_(std::make_shared<std::vector<GLuint>>()) {}

GlDevice::~GlDevice() {
    // Textures only bound to the device die with the bindings; their names are freed here while
    // the context can still be made current.
    ReleaseBindings();
    if (SUCCEEDED(Activate())) {
        if (whiteTexture_) gl_.DeleteTextures(1, &whiteTexture_);
        DeleteDeadTextures();
    }
    if (g_stateOwner == this) g_stateOwner = nullptr;
}

HRESULT GlDevice::Activate() {
    if (lost_) return D3DERR_DEVICELOST;
    if (!context_.MakeCurrent()) {
        lost_ = true;
        return D3DERR_DEVICELOST;
    }
    if (g_stateOwner != this) {
        cache_->valid = false;
        g_stateOwner = this;
    }
    context_.SurfaceSize(&surfaceWidth_, &surfaceHeight_);
    if (!cache_->valid) InitState();
    DeleteDeadTextures();
    return S_OK;
}

void GlDevice::InitState() {
    StateCache& c = *cache_;
    c = StateCache{};
    for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW, GL_TEXTURE}) {
        gl_.MatrixMode(mode);
        gl_.LoadIdentity();
    }
    gl_.Disable(GL_LIGHTING);
    gl_.Disable(GL_FOG);
    gl_.Disable(GL_DITHER);  // on by default; Direct3D's default is off
    gl_.Disable(GL_MULTISAMPLE);
    gl_.Disable(GL_CULL_FACE);
    gl_.Disable(GL_DEPTH_TEST);
    gl_.Disable(GL_ALPHA_TEST);
    gl_.Disable(GL_BLEND);
    gl_.Disable(GL_TEXTURE_2D);
    gl_.Disable(GL_SCISSOR_TEST);
    gl_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl_.DepthMask(GL_TRUE);
    gl_.DepthFunc(c.depthFunc);
    gl_.CullFace(c.cullFace);
    gl_.FrontFace(GL_CW);  // clockwise on screen is the front, as in Direct3D
    gl_.AlphaFunc(c.alphaFunc, 0.0f);
    gl_.BlendFunc(c.blendSrc, c.blendDst);
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    gl_.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    c.combiner.mode[0] = c.combiner.mode[1] = -1;  // unknown: set on first use
    c.minZ = -1.0f;  // another device may have left any depth range
    gl_.PixelStorei(GL_PACK_ALIGNMENT, 4);  // rows of the back buffer start on 4 bytes
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_.ReadBuffer(GL_BACK);
    gl_.DrawBuffer(GL_BACK);
    gl_.EnableClientState(GL_VERTEX_ARRAY);
    gl_.EnableClientState(GL_COLOR_ARRAY);
    gl_.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    c.valid = true;
    ApplyViewport();
}

void GlDevice::SetCap(GLenum cap, bool on, bool& cached) {
    if (cached == on) return;
    if (on)
        gl_.Enable(cap);
    else
        gl_.Disable(cap);
    cached = on;
}

void GlDevice::ApplyViewport() {
    const D3DVIEWPORT8& vp = viewport();
    // Rows count from the top of the drawable in Direct3D and from its bottom in OpenGL.
    const GLint v[4] = {static_cast<GLint>(vp.X),
                        surfaceHeight_ - static_cast<GLint>(vp.Y + vp.Height),
                        static_cast<GLint>(vp.Width), static_cast<GLint>(vp.Height)};
    StateCache& c = *cache_;
    if (!std::equal(v, v + 4, c.viewport)) {
        gl_.Viewport(v[0], v[1], v[2], v[3]);
        std::copy(v, v + 4, c.viewport);
    }
    if (c.minZ != vp.MinZ || c.maxZ != vp.MaxZ) {
        gl_.DepthRange(vp.MinZ, vp.MaxZ);
        c.minZ = vp.MinZ;
        c.maxZ = vp.MaxZ;
    }
}

// ---- Clear -----------------------------------------------------------------------------------

HRESULT GlDevice::ClearTarget(const std::vector<D3DRECT>& rects, DWORD flags, D3DCOLOR color,
                              float z) {
    if (const HRESULT hr = Activate(); FAILED(hr)) return hr;
    StateCache& c = *cache_;
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        gl_.ClearColor(((color >> 16) & 255) / 255.0f, ((color >> 8) & 255) / 255.0f,
                       (color & 255) / 255.0f, (color >> 24) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        gl_.ClearDepth(z);
        if (!c.depthWrite) {  // the depth mask also masks clears
            gl_.DepthMask(GL_TRUE);
            c.depthWrite = true;
        }
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    SetCap(GL_SCISSOR_TEST, true, c.scissor);
    for (const D3DRECT& r : rects) {
        gl_.Scissor(r.x1, surfaceHeight_ - r.y2, r.x2 - r.x1, r.y2 - r.y1);
        gl_.Clear(mask);
    }
    SetCap(GL_SCISSOR_TEST, false, c.scissor);
    return S_OK;
}

// ---- Drawing ---------------------------------------------------------------------------------

HRESULT GlDevice::ApplyStates(const RasterState& st) {
    StateCache& c = *cache_;
    ApplyViewport();
    SetCap(GL_CULL_FACE, st.cull != D3DCULL_NONE, c.cull);
    // Front faces are clockwise: CCW culling drops the back faces, CW culling the front ones.
    const GLenum face = st.cull == D3DCULL_CW ? GL_FRONT : GL_BACK;
    if (st.cull != D3DCULL_NONE && face != c.cullFace) {
        gl_.CullFace(face);
        c.cullFace = face;
    }
    SetCap(GL_DEPTH_TEST, st.depthTest, c.depthTest);
    if (st.depthTest) {
        const GLenum func = CompareFunction(st.depthFunc);
        if (func != c.depthFunc) {
            gl_.DepthFunc(func);
            c.depthFunc = func;
        }
        if (st.depthWrite != c.depthWrite) {
            gl_.DepthMask(st.depthWrite ? GL_TRUE : GL_FALSE);
            c.depthWrite = st.depthWrite;
        }
    }
    SetCap(GL_ALPHA_TEST, st.alphaTest, c.alphaTest);
    if (st.alphaTest) {
        const GLenum func = CompareFunction(st.alphaFunc);
        const float ref = static_cast<float>(st.alphaRef) / 255.0f;
        if (func != c.alphaFunc || ref != c.alphaRef) {
            gl_.AlphaFunc(func, ref);
            c.alphaFunc = func;
            c.alphaRef = ref;
        }
    }
    SetCap(GL_BLEND, st.blend, c.blend);
    if (st.blend) {
        D3DBLEND src = st.srcBlend, dst = st.destBlend;
        if (src == D3DBLEND_BOTHSRCALPHA) {
            src = D3DBLEND_SRCALPHA;
            dst = D3DBLEND_INVSRCALPHA;
        } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
            src = D3DBLEND_INVSRCALPHA;
            dst = D3DBLEND_SRCALPHA;
        }
        const GLenum s = BlendFactor(src), d = BlendFactor(dst);
        if (s != c.blendSrc || d != c.blendDst) {
            gl_.BlendFunc(s, d);
            c.blendSrc = s;
            c.blendDst = d;
        }
    }
    return ApplyStage(st);
}

namespace {

// The combiner source and operand for a Direct3D texture argument; false for the arguments this
// device does not draw (specular, temporary register).
bool CombinerArgument(DWORD arg, bool alpha, GLint* source, GLint* operand) {
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_TEXTURE: *source = GL_TEXTURE; break;
        case D3DTA_DIFFUSE:
        case D3DTA_CURRENT: *source = GL_PRIMARY_COLOR; break;  // CURRENT is the diffuse at stage 0
        case D3DTA_TFACTOR: *source = GL_CONSTANT; break;
        default: return false;
    }
    const bool complement = (arg & D3DTA_COMPLEMENT) != 0;
    if (alpha || (arg & D3DTA_ALPHAREPLICATE))
        *operand = complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    else
        *operand = complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
    return true;
}

// One half (k = 0 colour, 1 alpha) of the combiner for a Direct3D operation.
bool CombinerOperation(DWORD op, DWORD arg1, DWORD arg2, bool alpha, GLint* mode, GLint* scale,
                       GLint source[2], GLint operand[2]) {
    *scale = 1;
    switch (op) {
        case D3DTOP_SELECTARG1: *mode = GL_REPLACE; break;
        case D3DTOP_SELECTARG2: *mode = GL_REPLACE; arg1 = arg2; break;
        case D3DTOP_MODULATE: *mode = GL_MODULATE; break;
        case D3DTOP_MODULATE2X: *mode = GL_MODULATE; *scale = 2; break;
        case D3DTOP_MODULATE4X: *mode = GL_MODULATE; *scale = 4; break;
        case D3DTOP_ADD: *mode = GL_ADD; break;
        case D3DTOP_ADDSIGNED: *mode = GL_ADD_SIGNED; break;
        case D3DTOP_SUBTRACT: *mode = GL_SUBTRACT; break;
        default: return false;
    }
    if (!CombinerArgument(arg1, alpha, &source[0], &operand[0])) return false;
    if (*mode == GL_REPLACE) {
        source[1] = GL_PRIMARY_COLOR;
        operand[1] = alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
        return true;
    }
    return CombinerArgument(arg2, alpha, &source[1], &operand[1]);
}

}  // namespace

HRESULT GlDevice::ApplyStage(const RasterState& st) {
    StateCache& c = *cache_;
    if (st.stage == StageMode::Diffuse) {
        SetCap(GL_TEXTURE_2D, false, c.texturing);
        return S_OK;
    }
    Combiner k;
    const StageArgs& a = st.args;
    if (!CombinerOperation(a.colorOp, a.colorArg1, a.colorArg2, false, &k.mode[0], &k.scale[0],
                           k.source[0], k.operand[0]))
        return D3DERR_UNSUPPORTEDCOLORARG;
    if (a.alphaOp == D3DTOP_DISABLE) {
        k.mode[1] = GL_REPLACE;
        k.source[1][0] = k.source[1][1] = GL_PRIMARY_COLOR;
        k.operand[1][0] = k.operand[1][1] = GL_SRC_ALPHA;
    } else if (!CombinerOperation(a.alphaOp, a.alphaArg1, a.alphaArg2, true, &k.mode[1],
                                  &k.scale[1], k.source[1], k.operand[1])) {
        return D3DERR_UNSUPPORTEDALPHAARG;
    }
    k.constant = a.textureFactor;

    // The combiner runs only with texturing on; a stage without a texture reads a white one.
    if (const HRESULT hr = BindTexture(st.texture.texels ? boundTexture(0) : nullptr, st);
        FAILED(hr))
        return hr;
    SetCap(GL_TEXTURE_2D, true, c.texturing);
    if (!(k == c.combiner)) {
        static constexpr GLenum kMode[2] = {GL_COMBINE_RGB, GL_COMBINE_ALPHA};
        static constexpr GLenum kScale[2] = {GL_RGB_SCALE, GL_ALPHA_SCALE};
        static constexpr GLenum kSource[2][2] = {{GL_SOURCE0_RGB, GL_SOURCE1_RGB},
                                                 {GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA}};
        static constexpr GLenum kOperand[2][2] = {{GL_OPERAND0_RGB, GL_OPERAND1_RGB},
                                                  {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA}};
        for (int h = 0; h < 2; ++h) {
            gl_.TexEnvi(GL_TEXTURE_ENV, kMode[h], k.mode[h]);
            gl_.TexEnvi(GL_TEXTURE_ENV, kScale[h], k.scale[h]);
            for (int i = 0; i < 2; ++i) {
                gl_.TexEnvi(GL_TEXTURE_ENV, kSource[h][i], k.source[h][i]);
                gl_.TexEnvi(GL_TEXTURE_ENV, kOperand[h][i], k.operand[h][i]);
            }
        }
        const D3DCOLOR f = k.constant;
        const GLfloat constant[4] = {((f >> 16) & 255) / 255.0f, ((f >> 8) & 255) / 255.0f,
                                     (f & 255) / 255.0f, (f >> 24) / 255.0f};
        gl_.TexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
        c.combiner = k;
    }
    return S_OK;
}

HRESULT GlDevice::BindTexture(Texture* texture, const RasterState& st) {
    StateCache& c = *cache_;
    GLuint name = 0;
    if (!texture) {
        if (!whiteTexture_) {
            const std::uint32_t white = 0xFFFFFFFFu;
            gl_.GenTextures(1, &whiteTexture_);
            gl_.BindTexture(GL_TEXTURE_2D, whiteTexture_);
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA,
                           GL_UNSIGNED_INT_8_8_8_8_REV, &white);
            c.texture = whiteTexture_;
        }
        name = whiteTexture_;
    } else {
        std::shared_ptr<void>& data = texture->DeviceData();
        if (!data) {
            auto object = std::make_shared<GlTexture>();
            object->dead = deadTextures_;
            gl_.GenTextures(1, &object->name);
            data = object;
        }
        GlTexture& t = *static_cast<GlTexture*>(data.get());
        name = t.name;
        if (c.texture != name) {
            gl_.BindTexture(GL_TEXTURE_2D, name);
            c.texture = name;
        }
        if (t.generation != texture->Level0Generation()) {
            const Texture::Level& level = texture->Level0();
            while (gl_.GetError() != GL_NO_ERROR) {
            }
            // Only level 0 exists here: no mip filter is ever applied.
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, level.width, level.height, 0, GL_BGRA,
                           GL_UNSIGNED_INT_8_8_8_8_REV, level.texels.data());
            if (const GLenum error = gl_.GetError(); error != GL_NO_ERROR)
                return error == GL_OUT_OF_MEMORY ? D3DERR_OUTOFVIDEOMEMORY
                                                 : D3DERR_DRIVERINTERNALERROR;
            t.generation = texture->Level0Generation();
        }
        // Filtering and addressing belong to the stage in Direct3D and to the texture here.
        const GLint filter = st.linear ? GL_LINEAR : GL_NEAREST;
        const GLint wrapS = AddressMode(st.addressU), wrapT = AddressMode(st.addressV);
        if (t.filter != filter) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
            t.filter = filter;
        }
        if (t.wrapS != wrapS) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
            t.wrapS = wrapS;
        }
        if (t.wrapT != wrapT) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
            t.wrapT = wrapT;
        }
    }
    if (c.texture != name) {
        gl_.BindTexture(GL_TEXTURE_2D, name);
        c.texture = name;
    }
    return S_OK;
}

void GlDevice::FillVertices(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* v, bool flat) {
    const D3DVIEWPORT8& vp = viewport();
    // Half a pixel right and down: x/w grows by 1/width, y/w shrinks by 1/height.
    const float dx = 1.0f / static_cast<float>(vp.Width);
    const float dy = 1.0f / static_cast<float>(vp.Height);
    auto convert = [dx, dy](const ClipVertex& c, const ClipVertex& colour) {
        return Vertex{c.x + c.w * dx, c.y - c.w * dy, 2.0f * c.z - c.w, c.w,
                      ToByte(colour.r),  ToByte(colour.g),  ToByte(colour.b), ToByte(colour.a),
                      c.u,  c.v};
    };
    glVertices_.clear();
    if (!flat) {
        const UINT n = type == D3DPT_TRIANGLELIST ? 3 * count : count + 2;
        for (UINT i = 0; i < n; ++i) glVertices_.push_back(convert(v[i], v[i]));
        return;
    }
    // Flat shading takes each triangle's first vertex in Direct3D's order; the triangles are
    // listed one by one, every second one of a strip in reverse so that all keep the winding.
    for (UINT k = 0; k < count; ++k) {
        const ClipVertex *a, *b, *c;
        switch (type) {
            case D3DPT_TRIANGLELIST: a = &v[3 * k]; b = &v[3 * k + 1]; c = &v[3 * k + 2]; break;
            case D3DPT_TRIANGLESTRIP: a = &v[k]; b = &v[k + 1]; c = &v[k + 2]; break;
            default: a = &v[0]; b = &v[k + 1]; c = &v[k + 2]; break;
        }
        const bool odd = type == D3DPT_TRIANGLESTRIP && (k & 1) != 0;
        glVertices_.push_back(convert(odd ? *b : *a, *a));
        glVertices_.push_back(convert(odd ? *a : *b, *a));
        glVertices_.push_back(convert(*c, *a));
    }
}

HRESULT GlDevice::DrawTriangles(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* v,
                                RasterState& st) {
    if (const HRESULT hr = Activate(); FAILED(hr)) return hr;
    if (const HRESULT hr = ApplyStates(st); FAILED(hr)) return hr;
    FillVertices(type, count, v, st.flatShade);
    GLenum mode = GL_TRIANGLES;
    if (!st.flatShade && type == D3DPT_TRIANGLESTRIP) mode = GL_TRIANGLE_STRIP;
    if (!st.flatShade && type == D3DPT_TRIANGLEFAN) mode = GL_TRIANGLE_FAN;
    const Vertex* data = glVertices_.data();
    gl_.VertexPointer(4, GL_FLOAT, sizeof(Vertex), &data->x);
    gl_.ColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), &data->r);
    gl_.TexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &data->u);
    gl_.DrawArrays(mode, 0, static_cast<GLsizei>(glVertices_.size()));
    return S_OK;
}

// ---- Present and the back buffer ------------------------------------------------------------

HRESULT GlDevice::PresentTo(HWND target) {
    if (target && target != window() && target->gl != &context_) {
        // Another window cannot show this context's buffer: it gets a copy through its presenter.
        if (!target->presenter) return S_OK;
        if (const HRESULT hr = ReadBackBuffer(); FAILED(hr)) return hr;
        target->presenter->PresentFrame(staging_.data(), width(), height(),
                                        PitchFor(width(), format()), format());
        return S_OK;
    }
    if (const HRESULT hr = Activate(); FAILED(hr)) return hr;
    if (!context_.SwapBuffers()) {
        lost_ = true;
        return D3DERR_DEVICELOST;
    }
    return S_OK;
}

void GlDevice::DeleteDeadTextures() {
    std::vector<GLuint>& dead = *deadTextures_;
    if (dead.empty()) return;
    for (GLuint name : dead)
        if (cache_->texture == name) cache_->texture = 0;  // a new object may get the name
    gl_.DeleteTextures(static_cast<GLsizei>(dead.size()), dead.data());
    dead.clear();
}

HRESULT GlDevice::ReadBackBuffer() {
    if (const HRESULT hr = Activate(); FAILED(hr)) return hr;
    PixelTransfer t{};
    TransferFor(format(), &t);
    const int w = width(), h = height();
    const int pitch = PitchFor(w, format());
    try {
        staging_.resize(std::size_t(pitch) * h);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    while (gl_.GetError() != GL_NO_ERROR) {  // earlier errors are not this read's
    }
    gl_.ReadPixels(0, surfaceHeight_ - h, w, h, t.format, t.type, staging_.data());
    if (const GLenum error = gl_.GetError(); error != GL_NO_ERROR)
        return error == GL_OUT_OF_MEMORY ? E_OUTOFMEMORY : D3DERR_DRIVERINTERNALERROR;
    // OpenGL's rows run bottom-up.
    std::vector<std::uint8_t> row(static_cast<std::size_t>(pitch));
    for (int y = 0; y < h / 2; ++y) {
        std::uint8_t* top = staging_.data() + std::size_t(y) * pitch;
        std::uint8_t* bottom = staging_.data() + std::size_t(h - 1 - y) * pitch;
        std::memcpy(row.data(), top, pitch);
        std::memcpy(top, bottom, pitch);
        std::memcpy(bottom, row.data(), pitch);
    }
    return S_OK;
}

HRESULT GlDevice::MapBackBuffer(bool /*readOnly*/, std::uint8_t** bits, int* pitch) {
    if (const HRESULT hr = ReadBackBuffer(); FAILED(hr)) return hr;
    *bits = staging_.data();
    *pitch = PitchFor(width(), format());
    return S_OK;
}

HRESULT GlDevice::UnmapBackBuffer(bool written) {
    if (!written) return S_OK;
    if (const HRESULT hr = Activate(); FAILED(hr)) return hr;
    // Whatever the caller wrote goes back into the framebuffer, bottom row first, untouched by
    // the fragment tests and blending.
    const int w = width(), h = height();
    const int pitch = PitchFor(w, format());
    std::vector<std::uint8_t> flipped(staging_.size());
    for (int y = 0; y < h; ++y)
        std::memcpy(flipped.data() + std::size_t(y) * pitch,
                    staging_.data() + std::size_t(h - 1 - y) * pitch, pitch);
    PixelTransfer t{};
    TransferFor(format(), &t);
    for (GLenum cap : {GL_DEPTH_TEST, GL_ALPHA_TEST, GL_BLEND, GL_TEXTURE_2D, GL_SCISSOR_TEST})
        gl_.Disable(cap);
    gl_.WindowPos2i(0, surfaceHeight_ - h);
    gl_.DrawPixels(w, h, t.format, t.type, flipped.data());
    cache_->valid = false;  // set everything again before the next draw
    return S_OK;
}

}  // namespace velmo::d3d8::detail
