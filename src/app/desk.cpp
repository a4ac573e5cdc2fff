#include "app/desk.h"

#include <QVBoxLayout>

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
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

QPoint TDesk::ToDevicePixels(QPointF logical) const {
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(logical.x() * ratio), static_cast<int>(logical.y() * ratio)};
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(glSurface_);
    window_.gl = glWindow_;
    return true;
}

void TDesk::ShowHardwareFrames(bool hardware) {
    if (glSurface_) glSurface_->setVisible(hardware);
}

bool TDesk::UpdateDeviceSize() {
    const qreal ratio = devicePixelRatioF();
    const int w = static_cast<int>(std::lround(width() * ratio));
    const int h = static_cast<int>(std::lround(height() * ratio));
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
    if (!frame_.isNull()) painter.drawImage(QPointF(0, 0), frame_);
}

void TDesk::resizeEvent(QResizeEvent*) {
    UpdateDeviceSize();
    emit resized();
}

void TDesk::showEvent(QShowEvent* event) {
    // Moving to a screen with another scale changes the back buffer's size without a resize.
    if (QWindow* native = window()->windowHandle(); native && !screenWatched_) {
        screenWatched_ = true;
        connect(native, &QWindow::screenChanged, this, [this] {
            if (UpdateDeviceSize()) emit resized();
        });
    }
    if (UpdateDeviceSize()) emit resized();
    QWidget::showEvent(event);
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
