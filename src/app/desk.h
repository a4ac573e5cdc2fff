#pragma once
// The desk pn_Desk: the black square panel the cube is drawn on. It is the window the scene's
// device draws into: it tells the device its size in device pixels and the OpenGL context the
// hardware device draws through (a native OpenGL window filling the desk, where OpenGL can be
// had), and it shows every frame the software device presents at once (repaint, not update),
// because frames are presented from inside long operations during which no event loop turns.

#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/d3d8/window.h"

namespace velmo {

class GlDeskWindow;

class TDesk : public QWidget, public d3d8::IPresenter {
    Q_OBJECT
public:
    explicit TDesk(QWidget* parent = nullptr);

    // The device's view of this desk; its size follows the widget's in device pixels.
    HWND Handle() { return &window_; }
    int DevicePixelWidth() const { return window_.clientWidth; }
    int DevicePixelHeight() const { return window_.clientHeight; }
    // Where the picture lies on the desk, in logical pixels: the whole desk, or, on a desk
    // larger than any back buffer a device makes, the largest one centred on it.
    QRectF PictureRect() const;

    // Offers the hardware device an OpenGL context on a window over the desk; false when OpenGL
    // cannot be had here (then only the reference device draws).
    bool OfferOpenGL();
    bool HasOpenGL() const { return window_.gl != nullptr; }
    // Which device's frames the desk shows: the OpenGL window's or the presented images.
    void ShowHardwareFrames(bool hardware);

    // IPresenter
    void PresentFrame(const void* pixels, int width, int height, int pitch,
                      D3DFORMAT format) override;
    // The last presented frame (device pixels), for tests and screenshots.
    const QImage& Frame() const { return frame_; }
    int PresentedFrames() const { return presented_; }

    // Mouse events of the desk go to these handlers (the mouse control of the main window).
    std::function<void(QMouseEvent*)> onMousePress, onMouseMove, onMouseRelease;

signals:
    // The desk changed its size (or its device pixel ratio): the scene must be rebuilt.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool UpdateDeviceSize();
    void PlaceOpenGLSurface();
    // A new device size (a new screen scale) places the OpenGL window and rebuilds the scene.
    void FollowDeviceSize();

    d3d8::DeskWindow window_;
    GlDeskWindow* glWindow_ = nullptr;
    QWidget* glSurface_ = nullptr;
    QImage frame_;
    int presented_ = 0;
    bool screenWatched_ = false;
};

}  // namespace velmo
