#include "app/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>

#include "app/main_window.h"
#include "app/message_panel.h"

namespace velmo {

namespace {
// This much of the window must show on a screen for its old place to be taken again.
constexpr int kVisibleSide = 64;
}  // namespace

WindowGeometry CaptureWindowGeometry(const Tfm_Main& window) {
    const bool maximized = window.isMaximized();
    const QRect normal = maximized ? window.normalGeometry() : window.geometry();
    WindowGeometry g;
    g.left = normal.x();
    g.top = normal.y();
    g.width = normal.width();
    g.height = normal.height();
    g.maximized = maximized;
    const TMessagePanel& panel = window.MessagePanel();
    g.messagesCollapsed = panel.Collapsed();
    // Folded, the panel unfolds to its designed height, as it does within a run.
    g.messagesHeight = panel.Collapsed() ? TMessagePanel::kExpandedHeight : panel.height();
    return g;
}

void RestoreWindowGeometry(Tfm_Main& window, const WindowGeometry& g) {
    const QRect place(g.left, g.top, g.width, g.height);
    bool shown = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(place);
        shown = shown || (common.width() >= kVisibleSide && common.height() >= kVisibleSide);
    }
    if (shown) window.setGeometry(place);
    else window.resize(place.size());
    // The upper band takes every change of the splitter's height, so the panel keeps this.
    if (g.messagesHeight > 0) window.MessageSplitter().setSizes({QWIDGETSIZE_MAX, g.messagesHeight});
    if (g.messagesCollapsed) window.MessagePanel().SetCollapsed(true);
    if (g.maximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

}  // namespace velmo
