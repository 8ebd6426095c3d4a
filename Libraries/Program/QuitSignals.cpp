#include "QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The pair that carries a signal from its handler to the event loop; a
// handler may only write to a descriptor.
int g_signalFds[2] = {-1, -1};
const int QuitSignalNumbers[] = {SIGTERM, SIGHUP, SIGINT};

void SignalHandler(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = ::write(g_signalFds[0], &byte, 1);
    errno = saved;
}

} // namespace

TQuitSignals::TQuitSignals(std::function<void(int)> onQuit, QObject *parent)
    : QObject(parent), OnQuit(std::move(onQuit))
{
    if (g_signalFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) != 0)
        return;
    ::fcntl(g_signalFds[0], F_SETFL, O_NONBLOCK);
    Notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        if (::read(g_signalFds[1], &byte, 1) == 1 && OnQuit)
            OnQuit(byte);
    });
    for (int signal : QuitSignalNumbers) {
        struct sigaction action = {};
        action.sa_handler = SignalHandler;
        sigemptyset(&action.sa_mask);
        // The handler is used once: the next signal ends the process.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

TQuitSignals::~TQuitSignals()
{
    if (!Notifier)
        return;
    for (int signal : QuitSignalNumbers)
        ::signal(signal, SIG_DFL);
    delete Notifier;
    ::close(g_signalFds[0]);
    ::close(g_signalFds[1]);
    g_signalFds[0] = g_signalFds[1] = -1;
}
