// Frame costs of the software device for the cube scene: a full frame (mirror image, translucent
// disc, ring and the cube, lit and textured) and a pick frame (unlit identification colours plus
// a one-pixel read-back). The scene is built here from the block template and camera set-up the
// view uses, without the view code itself.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "math/matrix.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3dx8.h"
#include "platform/d3d8/software_device.h"

namespace {

using namespace velmo;
using namespace velmo::d3d8;

struct Vertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
    float u, v;
};
static_assert(sizeof(Vertex) == 36);
constexpr DWORD kFvf = 0x152;

// The 24 points of the chamfered unit block: position, normal, texture coordinates.
constexpr float kPoints[24][8] = {
    {-0.4f, 0.5f, -0.4f, 0, 1, 0, 0, 0},   {-0.4f, 0.4f, -0.5f, 0, 0, -1, 0, 1},
    {-0.5f, 0.4f, -0.4f, -1, 0, 0, 1, 1},  {-0.4f, 0.5f, 0.4f, 0, 1, 0, 0, 1},
    {-0.5f, 0.4f, 0.4f, -1, 0, 0, 0, 1},   {-0.4f, 0.4f, 0.5f, 0, 0, 1, 1, 1},
    {0.4f, 0.5f, 0.4f, 0, 1, 0, 1, 1},     {0.4f, 0.4f, 0.5f, 0, 0, 1, 0, 1},
    {0.5f, 0.4f, 0.4f, 1, 0, 0, 1, 1},     {0.4f, 0.5f, -0.4f, 0, 1, 0, 1, 0},
    {0.5f, 0.4f, -0.4f, 1, 0, 0, 0, 1},    {0.4f, 0.4f, -0.5f, 0, 0, -1, 1, 1},
    {-0.4f, -0.5f, -0.4f, 0, -1, 0, 0, 1}, {-0.5f, -0.4f, -0.4f, -1, 0, 0, 1, 0},
    {-0.4f, -0.4f, -0.5f, 0, 0, -1, 0, 0}, {-0.4f, -0.5f, 0.4f, 0, -1, 0, 0, 0},
    {-0.5f, -0.4f, 0.4f, -1, 0, 0, 0, 0},  {-0.4f, -0.4f, 0.5f, 0, 0, 1, 1, 0},
    {0.4f, -0.5f, 0.4f, 0, -1, 0, 1, 0},   {0.4f, -0.4f, 0.5f, 0, 0, 1, 0, 0},
    {0.5f, -0.4f, 0.4f, 1, 0, 0, 1, 0},    {0.4f, -0.5f, -0.4f, 0, -1, 0, 1, 1},
    {0.4f, -0.4f, -0.5f, 0, 0, -1, 1, 0},  {0.5f, -0.4f, -0.4f, 1, 0, 0, 0, 0},
};

// 44 triangles (1-based point numbers): 12 sticker triangles, 24 bevel, 8 corner.
constexpr int kTriangles[44][3] = {
    {2, 12, 23},  {2, 23, 15},  {1, 4, 7},    {1, 7, 10},   {11, 9, 21},  {11, 21, 24},
    {8, 6, 18},   {8, 18, 20},  {16, 13, 22}, {16, 22, 19}, {5, 3, 14},   {5, 14, 17},
    {1, 10, 12},  {1, 12, 2},   {11, 24, 23}, {11, 23, 12}, {15, 23, 22}, {15, 22, 13},
    {2, 15, 14},  {2, 14, 3},   {10, 7, 9},   {10, 9, 11},  {7, 4, 6},    {7, 6, 8},
    {4, 1, 3},    {4, 3, 5},    {21, 9, 8},   {21, 8, 20},  {24, 21, 19}, {24, 19, 22},
    {20, 18, 16}, {20, 16, 19}, {5, 17, 18},  {5, 18, 6},   {17, 14, 13}, {17, 13, 16},
    {10, 11, 12}, {7, 8, 9},    {19, 21, 20}, {16, 18, 17}, {1, 2, 3},    {4, 5, 6},
    {13, 14, 15}, {22, 23, 24},
};

constexpr D3DCOLOR kColors[7] = {0xFFFFFFFF, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000,
                                 0xFF00C000, 0xFFFFFF00, 0xFFFF8000};

D3DMATRIX ToD3D(const Matrix4& m) {
    D3DMATRIX d;
    std::memcpy(&d, &m, sizeof d);
    return d;
}

struct Block {
    int cell;
    Matrix4 matrix;
    int faces[6];
};

class CubeScene {
public:
    explicit CubeScene(int size) {
        desk_ = {size, size, nullptr};  // headless: Present hands the frame to nobody
        SoftwareDeviceOptions options;
        options.actAsHardware = true;
        d3d_ = CreateSoftwareDirect3D(options);
        D3DPRESENT_PARAMETERS pp{};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &desk_,
                           D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &dev_);
        dev_->CreateVertexBuffer(286 * 36, 0, kFvf, D3DPOOL_DEFAULT, &vb_);
        dev_->SetStreamSource(0, vb_, 36);
        dev_->SetVertexShader(kFvf);
        FillBuffer();
        MakeTexture(&sticker_, 1);
        MakeTexture(&logo_, 2);
        dev_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        dev_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        dev_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        dev_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        dev_->SetRenderState(D3DRS_LIGHTING, TRUE);
        dev_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        dev_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

        const float a = 0.6108652f, b = 0.5235988f, g = 0.63f, d = -0.47f;
        eye_ = {7 * std::sin(a) * std::cos(b), 7 * std::sin(b), -7 * std::cos(a) * std::cos(b)};
        const float px = -5 * std::sin(g) * std::cos(d), py = 5 * std::sin(d),
                    pz = 5 * std::cos(g) * std::cos(d);
        const float y1 = py * std::cos(b) - pz * std::sin(b), z1 = py * std::sin(b) + pz * std::cos(b);
        mirror_ = {px * std::cos(a) - z1 * std::sin(a), y1, px * std::sin(a) + z1 * std::cos(a)};
        mirrorWorld_ = MatrixRotationX(d) * MatrixRotationY(g) * MatrixRotationX(b) *
                       MatrixRotationY(-a) *
                       MatrixTranslation(2 * mirror_.x, 2 * mirror_.y, 2 * mirror_.z);
        const D3DXVECTOR3 mp(mirror_.x, mirror_.y, mirror_.z), mn(-mirror_.x, -mirror_.y, -mirror_.z);
        D3DXPLANE plane;
        D3DXPlaneFromPointNormal(&plane, &mp, &mn);
        D3DXMATRIX r;
        D3DXMatrixReflect(&r, &plane);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) reflect_.m[i][j] = r.m[i][j];

        const D3DMATRIX view = ToD3D(MatrixLookAtLH(eye_, {0, 0, 0}, {0, 1, 0}));
        const D3DMATRIX proj = ToD3D(MatrixPerspectiveFovLH(0.875f, 1.0f, 1.0f, 40.0f));
        dev_->SetTransform(D3DTS_VIEW, &view);
        dev_->SetTransform(D3DTS_PROJECTION, &proj);
        SetupLights();

        int cell = 0;
        for (int y = 1; y >= -1; --y)
            for (int z = -1; z <= 1; ++z)
                for (int x = -1; x <= 1; ++x) {
                    if (x == 0 && y == 0 && z == 0) continue;
                    Block blk{++cell, MatrixTranslation(float(x), float(y), float(z)), {}};
                    blk.faces[0] = z == -1 ? 1 : 0;
                    blk.faces[1] = y == 1 ? 2 : 0;
                    blk.faces[2] = x == 1 ? 3 : 0;
                    blk.faces[3] = z == 1 ? 4 : 0;
                    blk.faces[4] = y == -1 ? 5 : 0;
                    blk.faces[5] = x == -1 ? 6 : 0;
                    if (cell == 5) blk.faces[1] = -2;  // the logo sticker
                    blocks_.push_back(blk);
                }
    }
    ~CubeScene() {
        logo_->Release();
        sticker_->Release();
        vb_->Release();
        dev_->Release();
        d3d_->Release();
    }

    void RenderFrame() {
        const D3DMATRIX identity = ToD3D(MatrixIdentity());
        dev_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        dev_->BeginScene();
        dev_->SetRenderState(D3DRS_EDGEANTIALIAS, TRUE);
        dev_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        DrawCube(reflect_, false);
        dev_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        const D3DMATRIX w = ToD3D(mirrorWorld_);
        dev_->SetTransform(D3DTS_WORLD, &w);
        dev_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        dev_->DrawPrimitive(D3DPT_TRIANGLEFAN, 132, 50);
        dev_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        dev_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 184, 100);
        dev_->SetTransform(D3DTS_WORLD, &identity);
        dev_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        dev_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        DrawCube(MatrixIdentity(), false);
        dev_->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
        dev_->EndScene();
        dev_->Present(nullptr, nullptr, nullptr, nullptr);
    }

    std::uint32_t PickAt(int x, int y) {
        const D3DMATRIX identity = ToD3D(MatrixIdentity());
        dev_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        dev_->BeginScene();
        dev_->SetRenderState(D3DRS_LIGHTING, FALSE);
        dev_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        dev_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        const D3DMATRIX w = ToD3D(mirrorWorld_);
        dev_->SetTransform(D3DTS_WORLD, &w);
        dev_->DrawPrimitive(D3DPT_TRIANGLEFAN, 132, 50);
        dev_->SetTransform(D3DTS_WORLD, &identity);
        dev_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        dev_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        DrawCube(MatrixIdentity(), true);
        dev_->EndScene();
        IDirect3DSurface8* surface = nullptr;
        dev_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
        D3DLOCKED_RECT lr{};
        surface->LockRect(&lr, nullptr, D3DLOCK_READONLY);
        std::uint32_t pixel;
        std::memcpy(&pixel, static_cast<const std::uint8_t*>(lr.pBits) + y * lr.Pitch + x * 4, 4);
        surface->UnlockRect();
        surface->Release();
        dev_->SetRenderState(D3DRS_LIGHTING, TRUE);
        return pixel;
    }

private:
    void FillBuffer() {
        BYTE* p = nullptr;
        vb_->Lock(0, 286 * 36, &p, 0);
        auto* v = reinterpret_cast<Vertex*>(p);
        for (int t = 0; t < 44; ++t)
            for (int k = 0; k < 3; ++k) {
                const float* q = kPoints[kTriangles[t][k] - 1];
                v[3 * t + k] = {q[0], q[1], q[2], q[3], q[4], q[5], 0xFFFFFFFF, q[6], q[7]};
            }
        v[132] = {0, 0, 0, 0, 0, -1, 0x4080FFFF, 0.5f, 0.5f};
        for (int i = 0; i <= 50; ++i) {
            const float th = 6.2831853f * i / 50, c = std::cos(th), s = std::sin(th);
            v[133 + i] = {5 * c, 5 * s, 0, 0, 0, -1, 0x8080FFFF, 0.5f * c + 0.5f, 0.5f * s + 0.5f};
            v[184 + 2 * i] = {5 * c, 5 * s, 0, 0, 0, -1, 0xFF000000, 0, 0};
            v[185 + 2 * i] = {20 * c, 20 * s, 0, 0, 0, -1, 0xFF000000, 0, 0};
        }
        vb_->Unlock();
    }

    void MakeTexture(IDirect3DTexture8** t, unsigned seed) {
        dev_->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t);
        D3DLOCKED_RECT lr{};
        (*t)->LockRect(0, &lr, nullptr, 0);
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> grey(208, 255);
        for (int r = 0; r < 64; ++r) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(lr.pBits) + r * lr.Pitch);
            for (int k = 0; k < 64; ++k) {
                const std::uint32_t g = static_cast<std::uint32_t>(grey(rng));
                row[k] = 0x7F000000u | (g << 16) | (g << 8) | g;
            }
        }
        (*t)->UnlockRect(0);
    }

    void SetupLights() {
        D3DLIGHT8 l{};
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Diffuse = {1, 1, 1, 0};
        const float len = std::sqrt(eye_.x * eye_.x + eye_.y * eye_.y + eye_.z * eye_.z);
        l.Direction = {-eye_.x / len, -eye_.y / len, -eye_.z / len};
        dev_->SetLight(0, &l);
        dev_->LightEnable(0, TRUE);
        l.Type = D3DLIGHT_POINT;
        l.Diffuse = l.Specular = l.Ambient = {0.25f, 0.25f, 0.25f, 0};
        l.Attenuation0 = 1;
        l.Range = 3;
        const D3DVECTOR positions[3] = {{1, 1, -3}, {1, 3, -1}, {3, 1, -1}};
        for (DWORD i = 0; i < 3; ++i) {
            l.Position = positions[i];
            dev_->SetLight(i + 1, &l);
            dev_->LightEnable(i + 1, TRUE);
        }
    }

    void SetColors(UINT first, UINT count, D3DCOLOR color, UINT lockBytes) {
        BYTE* p = nullptr;
        vb_->Lock(0, lockBytes, &p, 0);
        auto* v = reinterpret_cast<Vertex*>(p);
        for (UINT i = first; i < first + count; ++i) v[i].color = color;
        vb_->Unlock();
    }

    void DrawCube(const Matrix4& base, bool identification) {
        for (const Block& blk : blocks_) {
            const D3DMATRIX world = ToD3D(blk.matrix * base);
            dev_->SetTransform(D3DTS_WORLD, &world);
            SetColors(0, 132, identification ? D3DCOLOR_XRGB(8 * blk.cell, 0, 0) : kColors[0], 4752);
            for (int s = 1; s <= 6; ++s) {
                const int v = blk.faces[s - 1];
                const int n = v < 0 ? -v : v;
                SetColors(6 * (s - 1), 6,
                          identification ? D3DCOLOR_XRGB(8 * blk.cell, 0, 8 * s) : kColors[n], 1296);
                if (!identification && n != 0)
                    dev_->SetTexture(0, v < 0 ? logo_ : sticker_);
                else
                    dev_->SetTexture(0, nullptr);
                dev_->DrawPrimitive(D3DPT_TRIANGLELIST, 6 * (s - 1), 2);
            }
            dev_->SetTexture(0, nullptr);
            dev_->DrawPrimitive(D3DPT_TRIANGLELIST, 36, 32);
        }
    }

    DeskWindow desk_{};
    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* dev_ = nullptr;
    IDirect3DVertexBuffer8* vb_ = nullptr;
    IDirect3DTexture8* sticker_ = nullptr;
    IDirect3DTexture8* logo_ = nullptr;
    Vec3 eye_, mirror_;
    Matrix4 mirrorWorld_;
    Matrix4 reflect_;
    std::vector<Block> blocks_;
};

void BM_FullFrame(benchmark::State& state) {
    CubeScene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) scene.RenderFrame();
}
BENCHMARK(BM_FullFrame)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_PickFrame(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    CubeScene scene(size);
    std::uint32_t sink = 0;
    for (auto _ : state) sink ^= scene.PickAt(size / 2, size / 2);
    benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_PickFrame)->Arg(512)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
