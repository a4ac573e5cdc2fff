#include "app/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace velmo {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// [0] is written by the handler, [1] read by the event loop.
int pipeEnds[2] = {-1, -1};

extern "C" void OnQuitSignal(int signal) {
    const int savedErrno = errno;
    // The next one of its kind ends the program as if we had never been asked.
    ::signal(signal, SIG_DFL);
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &number, 1);
    errno = savedErrno;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) return;
    // A full pipe must not block the handler; one byte a signal is all it says.
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::ReadPipe);
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        // A signal the program was started to ignore (nohup, a background job) stays ignored.
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

QuitSignals::~QuitSignals() {
    for (int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == OnQuitSignal)
            ::signal(signal, SIG_DFL);
    }
    delete notifier_;
    for (int& end : pipeEnds) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

void QuitSignals::ReadPipe() {
    unsigned char number = 0;
    if (::read(pipeEnds[1], &number, 1) == 1) emit quitRequested(number);
}

}  // namespace velmo
