#include "app/run_guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "model/velmo.h"

namespace velmo {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

// The widget a receiver stands for: widgets themselves, or the top-level widget of a native
// window (events from the window system first reach the QWindow of a top-level widget).
QWidget* WidgetOf(QObject* receiver) {
    if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget;
    if (auto* window = qobject_cast<QWindow*>(receiver)) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window) return top;
        // A native child window inside one of ours (the OpenGL desk).
        for (QWindow* w = window; w; w = w->parent())
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->windowHandle() == w) return top;
    }
    return nullptr;
}

}  // namespace

RunGuard::RunGuard(QWidget* window, QObject* parent) : QObject(parent), window_(window) {
    guarded_.emplace_back(window);
    qApp->installEventFilter(this);
}

RunGuard::~RunGuard() { qApp->removeEventFilter(this); }

void RunGuard::AddGuardedWindow(QWidget* window) { guarded_.emplace_back(window); }

bool RunGuard::Run(TVelmo& cube, const std::function<void()>& operation) {
    if (busy_) return false;
    busy_ = true;
    stopRequested_ = finishRequested_ = closeAsked_ = false;
    try {
        operation();
    } catch (const RunStopped&) {
        cube.EndStoppedRun();
    } catch (...) {
        busy_ = false;
        ReleaseParked();
        throw;
    }
    busy_ = false;
    stopRequested_ = finishRequested_ = false;
    const bool closeAsked = closeAsked_;
    closeAsked_ = false;
    ReleaseParked();
    if (closeAsked) emit closeDeferred();
    return true;
}

void RunGuard::ProcessPendingEvents() {
    // Outside a run nothing would keep input from starting a command inside the caller.
    if (!busy_) return;
    // All events, so that Esc and a close request can be seen at all (input excluded here
    // would wait in the window system's queue); the filter keeps the rest of the input back.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool RunGuard::IsGuarded(QObject* receiver) const {
    QWidget* widget = WidgetOf(receiver);
    if (!widget) return false;
    QWidget* top = widget->window();
    for (const QPointer<QWidget>& guarded : guarded_)
        if (guarded && top == guarded->window()) return true;
    return false;
}

bool RunGuard::eventFilter(QObject* receiver, QEvent* event) {
    if (!busy_) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::Close) {
        if (window_ && (receiver == window_ || receiver == window_->windowHandle())) {
            stopRequested_ = closeAsked_ = true;
            event->ignore();
            return true;
        }
        // Another of our windows (the reassembly tools) closes after the run, not inside it.
        if (!IsGuarded(receiver)) return false;
        Park(receiver, event);
        event->ignore();
        return true;
    }
    if (!IsUserInput(type) || !IsGuarded(receiver)) return false;
    if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        stopRequested_ = true;
        return true;
    }
    if (type == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return true;
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == kFinishKey) {
        if (type == QEvent::KeyPress) finishRequested_ = true;
        return true;
    }
    Park(receiver, event);
    return true;
}

// Input reaches the native window first and is eaten there, so nothing is parked twice. Of a
// run of plain mouse moves only the latest is worth keeping.
void RunGuard::Park(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::MouseMove && !parked_.empty() &&
        parked_.back().receiver == receiver && parked_.back().event->type() == QEvent::MouseMove &&
        static_cast<QMouseEvent*>(parked_.back().event.get())->buttons() ==
            static_cast<QMouseEvent*>(event)->buttons()) {
        parked_.back().event.reset(event->clone());
        return;
    }
    parked_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
}

void RunGuard::ReleaseParked() {
    if (parked_.empty()) return;
    std::vector<Parked> parked = std::move(parked_);
    parked_.clear();
    // Posted in their order; posting wakes the event loop, which delivers them next.
    for (Parked& p : parked)
        if (p.receiver) QCoreApplication::postEvent(p.receiver, p.event.release());
}

}  // namespace velmo
