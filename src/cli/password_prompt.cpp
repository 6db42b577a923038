#include "cli/password_prompt.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Ctrl+C at the prompt must not leave the terminal without echo: the handler puts the
// settings back and lets the signal end the run. Signal handlers reach no object, hence the
// file-level state, set only while the prompt is shown.
int promptFd = -1;
termios savedTerminal{};

void restoreAndRaise(int signal) {
    if (promptFd >= 0)
        ::tcsetattr(promptFd, TCSAFLUSH, &savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

QByteArray readLine(int fd) {
    QByteArray line;
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        line += c;
    }
    return line;
}

}  // namespace

std::optional<QString> PromptPasswordOnTerminal(const QString& user, const QString& host) {
    // Only someone typing at the run is asked: a script's input is not a terminal.
    if (!::isatty(STDIN_FILENO))
        return std::nullopt;
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    termios terminal{};
    if (::tcgetattr(fd, &terminal) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    savedTerminal = terminal;
    promptFd = fd;
    struct sigaction action = {};
    struct sigaction oldInt = {};
    struct sigaction oldTerm = {};
    struct sigaction oldHup = {};
    action.sa_handler = restoreAndRaise;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &oldInt);
    ::sigaction(SIGTERM, &action, &oldTerm);
    ::sigaction(SIGHUP, &action, &oldHup);
    termios quiet = terminal;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;
    // Echo goes off before the prompt shows, so nothing typed after it is echoed or lost.
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
    const QByteArray prompt = QStringLiteral("Password for %1@%2: ").arg(user, host).toUtf8();
    [[maybe_unused]] const ssize_t written = ::write(fd, prompt.constData(), size_t(prompt.size()));

    QByteArray line = readLine(fd);

    ::tcsetattr(fd, TCSAFLUSH, &terminal);
    promptFd = -1;
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
    ::sigaction(SIGHUP, &oldHup, nullptr);
    ::close(fd);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

std::optional<QString> ReadPasswordFromStdin() {
    char c = 0;
    ssize_t n = 0;
    while ((n = ::read(STDIN_FILENO, &c, 1)) < 0 && errno == EINTR) {
    }
    if (n <= 0)
        return std::nullopt;
    QByteArray line = c == '\n' ? QByteArray() : QByteArray(1, c);
    if (c != '\n')
        line += readLine(STDIN_FILENO);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}
