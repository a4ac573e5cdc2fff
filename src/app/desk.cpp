#include "app/desk.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "app/gl/gl_desk_window.h"

namespace velmo {

namespace {

QImage::Format ImageFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8R8G8B8: return QImage::Format_RGB32;
        case D3DFMT_R8G8B8: return QImage::Format_BGR888;
        case D3DFMT_R5G6B5: return QImage::Format_RGB16;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: return QImage::Format_RGB555;
        default: return QImage::Format_Invalid;
    }
}

}  // namespace

TDesk::TDesk(QWidget* parent) : QWidget(parent) {
    setObjectName("pn_Desk");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    // Only the long part of the hint: it goes to the status bar, there is no tool tip.
    setStatusTip("Смотри справку, что бы узнать, как собрать Кубик Вельмо");
    setMouseTracking(true);
    resize(256, 248);
    window_.presenter = this;
    UpdateDeviceSize();
}

QRectF TDesk::PictureRect() const {
    const qreal ratio = devicePixelRatioF();
    // Offset and length along one side: only a capped back buffer leaves a margin.
    const auto side = [ratio](int logical, int device) {
        if (std::lround(logical * ratio) <= device) return std::pair<qreal, qreal>(0, logical);
        return std::pair<qreal, qreal>((logical - device / ratio) / 2, device / ratio);
    };
    const auto [x, w] = side(width(), window_.clientWidth);
    const auto [y, h] = side(height(), window_.clientHeight);
    return {x, y, w, h};
}

bool TDesk::OfferOpenGL() {
    if (window_.gl) return true;
    auto* glWindow = new GlDeskWindow;
    if (!glWindow->CreateContext()) {
        delete glWindow;
        return false;
    }
    glWindow_ = glWindow;
    glSurface_ = QWidget::createWindowContainer(glWindow_, this);
    glSurface_->setObjectName("pn_DeskOpenGL");
    // Mouse input passes through the OpenGL window to the desk underneath.
    glSurface_->setAttribute(Qt::WA_TransparentForMouseEvents);
    window_.gl = glWindow_;
    PlaceOpenGLSurface();
    return true;
}

// The OpenGL window is exactly the back buffer: its frames are never stretched.
void TDesk::PlaceOpenGLSurface() {
    if (glSurface_) glSurface_->setGeometry(PictureRect().toAlignedRect());
}

void TDesk::ShowHardwareFrames(bool hardware) {
    if (glSurface_) glSurface_->setVisible(hardware);
}

// A desk larger than any back buffer (a window taller than 8,192 device pixels) keeps the
// largest one, centred: the device is never asked for more than it can give.
bool TDesk::UpdateDeviceSize() {
    const qreal ratio = devicePixelRatioF();
    const int w = std::min<long>(std::lround(width() * ratio), d3d8::kMaxBackBufferSize);
    const int h = std::min<long>(std::lround(height() * ratio), d3d8::kMaxBackBufferSize);
    if (w == window_.clientWidth && h == window_.clientHeight) return false;
    window_.clientWidth = w;
    window_.clientHeight = h;
    return true;
}

void TDesk::PresentFrame(const void* pixels, int width, int height, int pitch, D3DFORMAT format) {
    const QImage::Format imageFormat = ImageFormat(format);
    if (imageFormat == QImage::Format_Invalid || width <= 0 || height <= 0) return;
    frame_ = QImage(static_cast<const uchar*>(pixels), width, height, pitch, imageFormat).copy();
    frame_.setDevicePixelRatio(devicePixelRatioF());
    ++presented_;
    repaint();
}

void TDesk::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!frame_.isNull()) painter.drawImage(PictureRect().topLeft(), frame_);
}

void TDesk::resizeEvent(QResizeEvent*) {
    UpdateDeviceSize();
    PlaceOpenGLSurface();
    emit resized();
}

void TDesk::showEvent(QShowEvent* event) {
    // Moving to a screen with another scale changes the back buffer's size without a resize.
    if (QWindow* native = window()->windowHandle(); native && !screenWatched_) {
        screenWatched_ = true;
        connect(native, &QWindow::screenChanged, this, &TDesk::FollowDeviceSize);
    }
    FollowDeviceSize();
    QWidget::showEvent(event);
}

void TDesk::FollowDeviceSize() {
    if (!UpdateDeviceSize()) return;
    PlaceOpenGLSurface();
    emit resized();
}

void TDesk::mousePressEvent(QMouseEvent* event) {
    if (onMousePress) onMousePress(event);
}

void TDesk::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(event);
}

void TDesk::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseRelease) onMouseRelease(event);
}

}  // namespace velmo
