#pragma once
// The OpenGL device under test: a real desk window with its context on the X server (Xvfb with
// Mesa in CI), a context between it and the device that can fail the way a driver does, and the
// scene built on it beside its twin on the software device.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/gl/gl_desk_window.h"
#include "platform/d3d8/gl_direct3d.h"
#include "view/view_test_support.h"

namespace velmo::testing {

// Set by main: whether an X display (and so OpenGL) is there to test with.
extern bool g_haveDisplay;

#define VELMO_REQUIRE_DISPLAY()                                                      \
    do {                                                                             \
        if (!::velmo::testing::g_haveDisplay)                                        \
            GTEST_SKIP() << "no X display: run under xvfb-run for the OpenGL device"; \
    } while (false)

// A frame as 0x00RRGGBB words, rows top-down.
struct Image32 {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * width + x] & 0xFFFFFF; }
};

// Between the desk window's context and the device: passes every call through, keeps what was
// swapped, and fails on request as a driver does.
class FaultContext : public d3d8::IGLContext {
public:
    explicit FaultContext(d3d8::IGLContext& real);
    ~FaultContext() override;

    // No context can be had: MakeCurrent and GetProcAddress fail from the start.
    bool refuse = false;
    // The context is lost at the n-th MakeCurrent counted from now (1-based) and stays lost.
    void LoseAtMakeCurrent(int n) { loseAt_ = makeCurrents + n; }
    // The swap finds the context lost: nothing is shown.
    bool failSwap = false;
    // glReadPixels reads nothing and glGetError then reports GL_OUT_OF_MEMORY.
    bool failReadPixels = false;

    bool lost = false;
    int makeCurrents = 0;
    int swaps = 0;
    int glCallsWhileLost = 0;  // clears, draws and reads issued after the loss
    Image32 lastSwapped;       // the back buffer as each swap found it

    bool MakeCurrent() override;
    bool SwapBuffers() override;
    Function GetProcAddress(const char* name) override;
    void SurfaceSize(int* width, int* height) override { real_.SurfaceSize(width, height); }
    d3d8::DisplayInfo Display() override { return real_.Display(); }

    // The real entry points, for the wrappers.
    void (*readPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) = nullptr;
    GLenum (*getError)() = nullptr;
    void (*drawArrays)(GLenum, GLint, GLsizei) = nullptr;
    void (*clear)(GLbitfield) = nullptr;
    GLenum pendingError = GL_NO_ERROR;

private:
    d3d8::IGLContext& real_;
    int loseAt_ = 0;
};

// A shown desk window of size x size pixels with its context.
struct GlWindow {
    explicit GlWindow(int size);
    GlDeskWindow window;
    bool ready = false;  // context made and window exposed
    // The window as the screen shows it now.
    Image32 Screen();
};

// The scene on the OpenGL device over a headless model, as SceneRig has it on the software one.
// The desk is the window's drawable unless `deskSize` asks for a back buffer of its own size.
struct GlSceneRig {
    explicit GlSceneRig(int windowSize, int deskSize = 0);
    TScene& Build();
    TVelmo& Cube() { return *scene->Model(); }
    // The display format the program's Direct3D object reports for this desk.
    D3DFORMAT DisplayFormat();

    int size;
    GlWindow window;
    FaultContext context;
    std::shared_ptr<d3d8::CallMonitor> monitor = std::make_shared<d3d8::CallMonitor>();
    d3d8::FrameCollector frames;  // what the reference device presents, when it stands in
    d3d8::DeskWindow desk;
    RecordingShell shell;
    SceneHost host;
    std::unique_ptr<TScene> scene;
};

// A software-device frame as an image.
Image32 FromCollector(const d3d8::FrameCollector& frames);

// How far two frames of the same size agree. A pixel is on an edge when it differs from one of
// its eight neighbours in the reference frame by more than `edgeSpread` levels in a channel:
// there the two rasterisers may decide a sample differently.
struct Agreement {
    int pixels = 0;
    int withinTolerance = 0;  // no channel further apart than `tolerance`
    int offEdgeMismatches = 0;
    int worstOffEdge = 0;     // largest channel difference off the edges
};
Agreement Compare(const Image32& frame, const Image32& reference, int tolerance = 3,
                  int edgeSpread = 64);

}  // namespace velmo::testing
