#pragma once
// Long operations (turns, resets, scrambles, move strings, the solver, reassembly animations)
// run to their end inside the command or mouse event that started them. While one runs, the
// window must still repaint and answer the window system, so its pauses process events; but
// no command, click or key may slip in, then or later. The guard is an application event
// filter that, during a run:
//   - takes Esc as a request to stop the run (the model stops between two turns), and the
//     space bar as a request to finish it at once (the turns left are made without animation),
//   - takes a close request for the main window as a stop plus a close asked for after it,
//     and a close of another of our windows (the reassembly tools) as a close after the run,
//   - drops every other press, key, wheel turn and short cut aimed at the program's own
//     windows: what the user did while the cube was busy is not done afterwards.
// Button releases pass: they start nothing, and a widget that saw the press of a release
// would otherwise hold the mouse for good. Input for other top-level windows (a message box
// shown inside the run, the help window) passes untouched.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QEvent;
class QWidget;

namespace velmo {

class TVelmo;

class RunGuard : public QObject {
    Q_OBJECT
public:
    // `window` is the main window: its close requests are deferred and its input dropped.
    explicit RunGuard(QWidget* window, QObject* parent = nullptr);
    ~RunGuard() override;

    // Another top-level window whose input is dropped during a run (the reassembly tools).
    void AddGuardedWindow(QWidget* window);

    // Runs `operation` as one long operation on `cube`. Returns false without running it when
    // another run is under way. A stop request ends it between two turns (TVelmo::EndStoppedRun
    // writes the notice); a close asked during the run is passed on to the main window after.
    bool Run(TVelmo& cube, const std::function<void()>& operation);

    bool Busy() const { return busy_; }
    // Stops the run under way, if any, at its next turn.
    void RequestStop() { stopRequested_ = busy_; }
    // Stops the run under way and closes the main window after it.
    void DeferClose() { stopRequested_ = closeAsked_ = busy_; }
    // Stops the run under way and ends the program after it, without a question.
    void DeferQuit() { stopRequested_ = quitAsked_ = busy_; }
    bool StopRequested() const { return stopRequested_; }
    // The key that finishes the run under way at once, and whether it was pressed.
    static constexpr int kFinishKey = Qt::Key_Space;
    bool FinishRequested() const { return finishRequested_; }
    // Inside a run, processes pending events, all but the input the filter drops; outside a
    // run, nothing.
    void ProcessPendingEvents();

signals:
    // A close of the main window was asked for during the run that just ended.
    void closeDeferred();
    // The program was asked to end (a signal, the session's end) during the run that just ended.
    void quitDeferred();

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    // The top-level window of ours a receiver belongs to, null for other windows.
    QWidget* GuardedWindow(QObject* receiver) const;
    bool IsMainWindow(QObject* receiver) const;
    void EndRun();

    QPointer<QWidget> window_;
    std::vector<QPointer<QWidget>> guarded_;
    // Other windows of ours that were asked to close during the run.
    std::vector<QPointer<QWidget>> closeAfterRun_;
    bool busy_ = false;
    bool stopRequested_ = false;
    bool finishRequested_ = false;
    bool closeAsked_ = false;
    bool quitAsked_ = false;
};

}  // namespace velmo
