#include "app/gl/gl_desk_window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QOpenGLContext>
#include <QScreen>
#include <QSurfaceFormat>
#include <cmath>

namespace velmo {

namespace {

QSurfaceFormat DeskFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(16);
    format.setSamples(0);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSwapInterval(0);
    // A driver reset then shows as a context that is no longer valid, which the device reports
    // as a lost device.
    format.setOption(QSurfaceFormat::ResetNotification);
    return format;
}

}  // namespace

GlDeskWindow::GlDeskWindow(QWindow* parent) : QWindow(parent) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(DeskFormat());
    // Clicks and drags belong to the desk widget underneath.
    setFlag(Qt::WindowTransparentForInput);
}

GlDeskWindow::~GlDeskWindow() {
    if (context_ && QOpenGLContext::currentContext() == context_.get()) context_->doneCurrent();
}

bool GlDeskWindow::CreateContext() {
    if (HasContext()) return true;
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(DeskFormat());
    if (!context->create()) return false;
    // The native window must exist before the context can be made current on it.
    if (!handle()) create();
    context_ = std::move(context);
    return true;
}

bool GlDeskWindow::HasContext() const { return context_ && context_->isValid(); }

bool GlDeskWindow::WaitUntilExposed(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return isExposed();
}

QSize GlDeskWindow::DevicePixelSize() const {
    const qreal ratio = devicePixelRatio();
    return {static_cast<int>(std::lround(width() * ratio)),
            static_cast<int>(std::lround(height() * ratio))};
}

bool GlDeskWindow::MakeCurrent() {
    if (!HasContext()) return false;
    if (QOpenGLContext::currentContext() == context_.get() && context_->surface() == this)
        return true;
    return context_->makeCurrent(this);
}

bool GlDeskWindow::SwapBuffers() {
    if (!HasContext()) return false;
    // A window that is not exposed (not yet shown, minimised) has nothing to show the frame
    // in; swapping there is undefined, and skipping it loses nothing.
    if (isExposed()) context_->swapBuffers(this);
    return context_->isValid();
}

d3d8::IGLContext::Function GlDeskWindow::GetProcAddress(const char* name) {
    return context_ ? context_->getProcAddress(name) : nullptr;
}

void GlDeskWindow::SurfaceSize(int* width, int* height) {
    const QSize size = DevicePixelSize();
    *width = size.width();
    *height = size.height();
}

d3d8::DisplayInfo GlDeskWindow::Display() {
    const QScreen* s = screen();
    if (!s) return {};
    const QSize size = s->geometry().size() * s->devicePixelRatio();
    return {size.width(), size.height(), static_cast<int>(std::lround(s->refreshRate())),
            s->depth()};
}

}  // namespace velmo
