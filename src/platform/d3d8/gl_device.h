#pragma once
// Internal: the hardware device, the shared device over OpenGL 2.1 (compatibility profile) on the
// desk's context. Vertices are transformed and lit on the CPU by the shared code, exactly as the
// software device does it (OpenGL's fixed lights know no range), and drawn in clip space with
// three mappings from Direct3D to OpenGL:
//   - depth: Direct3D clips to 0 <= z <= w, OpenGL to -w <= z <= w, so z becomes 2z - w and the
//     viewport's MinZ..MaxZ is the depth range;
//   - pixel centres: Direct3D samples pixel (i, j) at (i, j), OpenGL at (i + 0.5, j + 0.5), so
//     every vertex moves half a pixel right and down;
//   - rows and winding: the back buffer's row 0 is the drawable's top row; front faces are
//     clockwise on screen, as Direct3D has them.
// The back buffer is the context's default back buffer: locking it reads it back before the swap
// (picking), Present swaps. A context that cannot be made current or fails to swap is lost: that
// call and every later one that needs OpenGL return D3DERR_DEVICELOST and issue no OpenGL call.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8/device.h"
#include "platform/d3d8/gl_functions.h"

namespace velmo::d3d8::detail {

class GlDevice final : public DeviceBase {
public:
    // A device on the context, or D3DERR_NOTAVAILABLE when the context cannot be made current,
    // lacks an entry point or OpenGL 2.1, or its framebuffer cannot hold the back buffer's format
    // (or a depth buffer of 16 bits when one is asked for).
    static HRESULT Create(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor,
                          const DeviceSetup& setup, IGLContext& context, IDirect3DDevice8** out);
    ~GlDevice() override;

private:
    struct Combiner;
    struct StateCache;

    GlDevice(IDirect3D8* d3d, std::shared_ptr<CallMonitor> monitor, const DeviceSetup& setup,
             IGLContext& context, const GlFunctions& gl);

    HRESULT ClearTarget(const std::vector<D3DRECT>& rects, DWORD flags, D3DCOLOR color,
                        float z) override;
    HRESULT DrawTriangles(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* vertices,
                          RasterState& st) override;
    HRESULT PresentTo(HWND window) override;
    HRESULT MapBackBuffer(bool readOnly, std::uint8_t** bits, int* pitch) override;
    HRESULT UnmapBackBuffer(bool written) override;
    HRESULT OnBeginScene() override { return Activate(); }

    // Makes the context current and OpenGL's state known; D3DERR_DEVICELOST once it failed.
    HRESULT Activate();
    void InitState();
    void SetCap(GLenum cap, bool on, bool& cached);
    void ApplyViewport();
    HRESULT ApplyStates(const RasterState& st);
    HRESULT ApplyStage(const RasterState& st);
    HRESULT BindTexture(Texture* texture, const RasterState& st);
    void FillVertices(D3DPRIMITIVETYPE type, UINT count, const ClipVertex* v, bool flat);
    HRESULT ReadBackBuffer();
    void DeleteDeadTextures();

    IGLContext& context_;
    GlFunctions gl_;
    bool lost_ = false;
    int surfaceWidth_ = 0, surfaceHeight_ = 0;
    std::unique_ptr<StateCache> cache_;
    GLuint whiteTexture_ = 0;  // stands in where a stage reads no texture but needs the combiner
    // Names of texture objects whose textures are gone, deleted when the context is current.
    std::shared_ptr<std::vector<GLuint>> deadTextures_;

    struct Vertex {
        float x, y, z, w;
        std::uint8_t r, g, b, a;
        float u, v;
    };
    std::vector<Vertex> glVertices_;    // reused across draws
    std::vector<std::uint8_t> staging_; // the back buffer read back, rows top-down
};

}  // namespace velmo::d3d8::detail
