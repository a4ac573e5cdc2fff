#include "app/run_guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

#include "model/velmo.h"

namespace velmo {

namespace {

// Input that could start something: dropped during a run.
bool IsActingInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
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
        // A native child window inside one of ours (the OpenGL desk) counts as its top level.
        for (QWindow* w = window; w; w = w->parent())
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->windowHandle() == w) return top;
    }
    return nullptr;
}

bool IsKey(QEvent* event, int key) {
    return static_cast<QKeyEvent*>(event)->key() == key;
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
    try {
        operation();
    } catch (const RunStopped&) {
        cube.EndStoppedRun();
    } catch (...) {
        EndRun();
        throw;
    }
    EndRun();
    return true;
}

// What was asked for during the run happens now, in this order: the program's end outranks
// a close, which would ask first.
void RunGuard::EndRun() {
    busy_ = false;
    stopRequested_ = finishRequested_ = false;
    const bool quit = quitAsked_, close = closeAsked_;
    quitAsked_ = closeAsked_ = false;
    const std::vector<QPointer<QWidget>> closing = std::exchange(closeAfterRun_, {});
    for (const QPointer<QWidget>& window : closing)
        if (window) window->close();
    if (quit) emit quitDeferred();
    else if (close) emit closeDeferred();
}

void RunGuard::ProcessPendingEvents() {
    // Outside a run nothing would keep input from starting a command inside the caller.
    if (!busy_) return;
    // All events, so that Esc and a close request can be seen at all (input excluded here
    // would wait in the window system's queue and run after the run); the filter drops the
    // rest of the input.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool RunGuard::IsMainWindow(QObject* receiver) const {
    return window_ && (receiver == window_ || receiver == window_->windowHandle());
}

QWidget* RunGuard::GuardedWindow(QObject* receiver) const {
    QWidget* widget = WidgetOf(receiver);
    if (!widget) return nullptr;
    QWidget* top = widget->window();
    for (const QPointer<QWidget>& guarded : guarded_)
        if (guarded && top == guarded->window()) return top;
    return nullptr;
}

bool RunGuard::eventFilter(QObject* receiver, QEvent* event) {
    if (!busy_) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::Close) {
        if (IsMainWindow(receiver)) {
            stopRequested_ = closeAsked_ = true;
        } else if (QWidget* top = GuardedWindow(receiver)) {
            closeAfterRun_.emplace_back(top);
        } else {
            return false;
        }
        event->ignore();
        return true;
    }
    if (!IsActingInput(type) || !GuardedWindow(receiver)) return false;
    // A short cut of ours would run its command now, inside the run. Accepting the override
    // keeps the key a plain key press, which is dropped here in turn (or taken as Esc or as
    // the finishing key).
    if (type == QEvent::ShortcutOverride) event->accept();
    if (type == QEvent::KeyPress && IsKey(event, Qt::Key_Escape)) stopRequested_ = true;
    if (type == QEvent::KeyPress && IsKey(event, kFinishKey)) finishRequested_ = true;
    return true;
}

}  // namespace velmo
