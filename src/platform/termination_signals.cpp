#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A signal handler may only write to a descriptor: the one place this file keeps state.
int writeEnd = -1;

void onSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = saved;
}

void restoreDefaults() {
    for (const int s : kSignals)
        std::signal(s, SIG_DFL);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int fds[2];
    if (writeEnd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return;
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    writeEnd = fds[1];
    notifier_ = new QSocketNotifier(fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    restoreDefaults();
    ::close(int(notifier_->socket()));
    ::close(writeEnd);
    writeEnd = -1;
}

void TerminationSignals::readSignal() {
    unsigned char byte = 0;
    if (::read(int(notifier_->socket()), &byte, 1) != 1)
        return;
    restoreDefaults();
    emit received(int(byte));
}

void IgnoreFileSizeLimitSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}
