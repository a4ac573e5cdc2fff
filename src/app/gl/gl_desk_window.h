#pragma once
// The desk's OpenGL window: a native window with its own OpenGL 2.1 compatibility context
// (double-buffered, depth buffer of 16 bits or more, no multisampling, swaps without waiting for
// vertical sync) that the hardware device draws through. The desk places it with
// QWidget::createWindowContainer; it lets mouse input through to the widget below it, so the
// desk's own mouse handlers keep working.
//
//   auto* window = new velmo::GlDeskWindow;
//   QWidget* surface = QWidget::createWindowContainer(window, desk);
//   if (window->CreateContext()) deskWindow.gl = window;   // else: the reference device
//   ... show, then window->WaitUntilExposed() before the first frame ...
//   deskWindow.clientWidth = window->DevicePixelSize().width();   // likewise the height

#include <QSize>
#include <QWindow>
#include <memory>

#include "platform/d3d8/window.h"

class QOpenGLContext;

namespace velmo {

class GlDeskWindow : public QWindow, public d3d8::IGLContext {
public:
    explicit GlDeskWindow(QWindow* parent = nullptr);
    ~GlDeskWindow() override;

    // Creates the context; false when OpenGL cannot be had here (no display driver, a refused
    // context). Safe to call again after a failure.
    bool CreateContext();
    bool HasContext() const;
    // Processes events until the window is exposed or `timeoutMs` have passed; a frame swapped
    // before that would not reach the screen.
    bool WaitUntilExposed(int timeoutMs = 5000);
    // The drawable in device pixels: the logical size times devicePixelRatio(), rounded.
    QSize DevicePixelSize() const;

    // d3d8::IGLContext
    bool MakeCurrent() override;
    bool SwapBuffers() override;
    Function GetProcAddress(const char* name) override;
    void SurfaceSize(int* width, int* height) override;
    d3d8::DisplayInfo Display() override;

private:
    std::unique_ptr<QOpenGLContext> context_;
};

}  // namespace velmo
