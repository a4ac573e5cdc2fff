#pragma once
// Turns from the keyboard in the main window (see control/key_turns.h for the keys). A key
// turn is what a double click on that turn in the tree is. The keys do nothing while a text
// field (the log included), a dialog or a menu has the keyboard, and while a run goes (the run
// guard has the keys then). A pending prefix letter shows in the status bar until its face
// letter comes; Esc or a pause drops it.

#include <QObject>
#include <QTimer>
#include <functional>

#include "control/key_turns.h"

class QKeyEvent;

namespace velmo {

class Tfm_Main;

class TKeyTurns : public QObject {
    Q_OBJECT
public:
    static constexpr int kPrefixTimeoutMs = 3000;

    TKeyTurns(Tfm_Main& window, std::function<void(Move)> turn);
    ~TKeyTurns() override;

    char32_t Pending() const { return reader_.Pending(); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    bool TakesKeys(QObject* receiver) const;
    bool HandleKey(const QKeyEvent& key);
    void Show(const QString& message, int milliseconds);
    void DropPending();

    Tfm_Main& window_;
    std::function<void(Move)> turn_;
    KeyTurnReader reader_;
    QTimer timeout_;
    QString shown_;
    bool scanCodes_;
};

}  // namespace velmo
