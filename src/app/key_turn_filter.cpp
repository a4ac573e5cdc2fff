#include "app/key_turn_filter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>

#include "app/main_window.h"
#include "app/run_guard.h"

namespace velmo {

namespace {

bool IsTextField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

QString PrefixHint(char32_t prefix) {
    return prefix == U'С' ? "С — средний слой: П, Ф или В (Shift — обратно), Esc — отмена"
                          : "О — весь кубик: П, Ф или В (Shift — обратно), Esc — отмена";
}

}  // namespace

TKeyTurns::TKeyTurns(Tfm_Main& window, std::function<void(Move)> turn)
    : QObject(&window), window_(window), turn_(std::move(turn)) {
    // Where the window system gives the physical key's code, it decides; elsewhere (the
    // offscreen platform of the tests) the character the key types.
    const QString platform = QGuiApplication::platformName();
    scanCodes_ = platform == "xcb" || platform.startsWith("wayland");
    timeout_.setSingleShot(true);
    timeout_.setInterval(kPrefixTimeoutMs);
    connect(&timeout_, &QTimer::timeout, this, &TKeyTurns::DropPending);
    qApp->installEventFilter(this);
}

TKeyTurns::~TKeyTurns() { qApp->removeEventFilter(this); }

bool TKeyTurns::TakesKeys(QObject* receiver) const {
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    if (!widget || widget->window() != &window_ || window_.Guard().Busy()) return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    return !IsTextField(QApplication::focusWidget());
}

bool TKeyTurns::eventFilter(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !TakesKeys(receiver)) return false;
    return HandleKey(*static_cast<QKeyEvent*>(event));
}

// True when the key was one of the turn keys (or Esc dropping a prefix): nobody else sees it.
bool TKeyTurns::HandleKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Escape && reader_.Pending()) {
        DropPending();
        return true;
    }
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers & ~Qt::ShiftModifier) return false;  // Alt and Ctrl keys are the menus'
    const quint32 scanCode = scanCodes_ ? key.nativeScanCode() : 0;
    const char32_t typed = key.text().isEmpty() ? static_cast<char32_t>(key.key())
                                                : key.text().toUcs4().value(0);
    const char32_t letter = KeyLetter(scanCode, typed);
    if (letter == 0) return false;
    if (key.isAutoRepeat()) return true;  // a held key turns once
    const KeyTurnReader::Step step = reader_.Press(letter, modifiers & Qt::ShiftModifier);
    switch (step.result) {
        case KeyTurnReader::Result::Pending:
            Show(PrefixHint(letter), kPrefixTimeoutMs);
            timeout_.start();
            break;
        case KeyTurnReader::Result::Unknown:
            timeout_.stop();
            Show("Такого вращения нет: нажмите П, Ф или В после С или О", 3000);
            break;
        case KeyTurnReader::Result::Turn:
            timeout_.stop();
            Show({}, 0);
            turn_(step.move);
            break;
        case KeyTurnReader::Result::None: return false;
    }
    return true;
}

// The status bar's message, taken back only while it is still ours.
void TKeyTurns::Show(const QString& message, int milliseconds) {
    QStatusBar& bar = *window_.statusBar();
    if (message.isEmpty()) {
        if (!shown_.isEmpty() && bar.currentMessage() == shown_) bar.clearMessage();
    } else {
        bar.showMessage(message, milliseconds);
    }
    shown_ = message;
}

void TKeyTurns::DropPending() {
    reader_.Cancel();
    timeout_.stop();
    Show({}, 0);
}

}  // namespace velmo
