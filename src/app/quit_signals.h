#pragma once
// SIGTERM, SIGHUP and SIGINT ask the program to end: the desktop session closing, a terminal
// going away, Ctrl+C, `kill`. The handler only writes the signal's number into a pipe; the
// event loop reads it and says so with quitRequested, where the program can save its settings
// and end cleanly. A second signal of the same kind ends the program at once, the way it
// would have without us: a user who insists is not kept waiting on a stuck save.

#include <QObject>

class QSocketNotifier;

namespace velmo {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // One per process: the handlers are process-wide.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested(int signal);

private:
    void ReadPipe();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velmo
