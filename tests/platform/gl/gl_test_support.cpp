#include "gl_test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

namespace velmo::testing {

namespace {

FaultContext* g_faults = nullptr;

void APIENTRY WrappedReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                                GLvoid* data) {
    if (g_faults->lost) ++g_faults->glCallsWhileLost;
    if (g_faults->failReadPixels) {
        g_faults->pendingError = GL_OUT_OF_MEMORY;
        return;
    }
    g_faults->readPixels(x, y, w, h, format, type, data);
}

GLenum APIENTRY WrappedGetError() {
    const GLenum pending = g_faults->pendingError;
    g_faults->pendingError = GL_NO_ERROR;
    const GLenum real = g_faults->getError();
    return pending != GL_NO_ERROR ? pending : real;
}

void APIENTRY WrappedDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (g_faults->lost) ++g_faults->glCallsWhileLost;
    g_faults->drawArrays(mode, first, count);
}

void APIENTRY WrappedClear(GLbitfield mask) {
    if (g_faults->lost) ++g_faults->glCallsWhileLost;
    g_faults->clear(mask);
}

template <class F>
F Lookup(d3d8::IGLContext& context, const char* name) {
    return reinterpret_cast<F>(context.GetProcAddress(name));
}

}  // namespace

FaultContext::FaultContext(d3d8::IGLContext& real) : real_(real) {
    g_faults = this;
    readPixels = Lookup<decltype(readPixels)>(real, "glReadPixels");
    getError = Lookup<decltype(getError)>(real, "glGetError");
    drawArrays = Lookup<decltype(drawArrays)>(real, "glDrawArrays");
    clear = Lookup<decltype(clear)>(real, "glClear");
}

FaultContext::~FaultContext() {
    if (g_faults == this) g_faults = nullptr;
}

bool FaultContext::MakeCurrent() {
    ++makeCurrents;
    if (loseAt_ > 0 && makeCurrents >= loseAt_) lost = true;
    if (refuse || lost) return false;
    return real_.MakeCurrent();
}

bool FaultContext::SwapBuffers() {
    if (failSwap) lost = true;
    if (refuse || lost) return false;
    int w = 0, h = 0;
    real_.SurfaceSize(&w, &h);
    lastSwapped.width = w;
    lastSwapped.height = h;
    lastSwapped.pixels.assign(std::size_t(w) * h, 0);
    readPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, lastSwapped.pixels.data());
    // OpenGL's rows run bottom-up.
    for (int y = 0; y < h / 2; ++y)
        std::swap_ranges(lastSwapped.pixels.begin() + std::ptrdiff_t(y) * w,
                         lastSwapped.pixels.begin() + std::ptrdiff_t(y + 1) * w,
                         lastSwapped.pixels.begin() + std::ptrdiff_t(h - 1 - y) * w);
    ++swaps;
    return real_.SwapBuffers();
}

d3d8::IGLContext::Function FaultContext::GetProcAddress(const char* name) {
    if (refuse) return nullptr;
    const std::string n = name;
    if (n == "glReadPixels") return reinterpret_cast<Function>(&WrappedReadPixels);
    if (n == "glGetError") return reinterpret_cast<Function>(&WrappedGetError);
    if (n == "glDrawArrays") return reinterpret_cast<Function>(&WrappedDrawArrays);
    if (n == "glClear") return reinterpret_cast<Function>(&WrappedClear);
    return real_.GetProcAddress(name);
}

GlWindow::GlWindow(int size) {
    if (!g_haveDisplay) return;
    window.resize(size, size);
    window.setPosition(0, 0);
    if (!window.CreateContext()) return;
    window.show();
    ready = window.WaitUntilExposed();
}

Image32 GlWindow::Screen() {
    const QImage grab = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
    Image32 image{grab.width(), grab.height(), {}};
    for (int y = 0; y < grab.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(grab.constScanLine(y));
        image.pixels.insert(image.pixels.end(), row, row + grab.width());
    }
    return image;
}

GlSceneRig::GlSceneRig(int windowSize, int deskSize)
    : size(deskSize), window(windowSize), context(window.window) {
    if (size == 0) size = window.window.DevicePixelSize().width();
    desk = {size, size, &frames, &context};
}

D3DFORMAT GlSceneRig::DisplayFormat() {
    IDirect3D8* d3d = d3d8::OpenGLDirect3DFactory(&desk)(D3D_SDK_VERSION);
    D3DDISPLAYMODE mode{};
    d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    d3d->Release();
    return mode.Format;
}

TScene& GlSceneRig::Build() {
    SceneEnvironment env;
    env.direct3DCreate8 = d3d8::OpenGLDirect3DFactory(&desk, monitor);
    env.desk = &desk;
    env.shell = &shell;
    env.stickerPicture = GrainPicture();
    env.logoPicture = LogoPicture();
    env.modelHost = &host;
    scene = std::make_unique<TScene>(std::move(env));
    host.scene = scene.get();
    scene->InitScene(true);
    return *scene;
}

namespace {

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return d;
}

int Spread(const Image32& image, int x, int y) {
    int spread = 0;
    const std::uint32_t centre = image.At(x, y);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = std::clamp(x + dx, 0, image.width - 1);
            const int ny = std::clamp(y + dy, 0, image.height - 1);
            spread = std::max(spread, ChannelDistance(centre, image.At(nx, ny)));
        }
    return spread;
}

}  // namespace

Agreement Compare(const Image32& frame, const Image32& reference, int tolerance, int edgeSpread) {
    Agreement a;
    if (frame.width != reference.width || frame.height != reference.height) return a;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            ++a.pixels;
            const int d = ChannelDistance(frame.At(x, y), reference.At(x, y));
            if (d <= tolerance) {
                ++a.withinTolerance;
            } else if (Spread(reference, x, y) <= edgeSpread) {
                ++a.offEdgeMismatches;
                a.worstOffEdge = std::max(a.worstOffEdge, d);
            }
        }
    return a;
}

Image32 FromCollector(const d3d8::FrameCollector& frames) {
    Image32 image{frames.width, frames.height, {}};
    for (int y = 0; y < frames.height; ++y)
        for (int x = 0; x < frames.width; ++x) image.pixels.push_back(frames.PixelArgb(x, y));
    return image;
}

}  // namespace velmo::testing
