#include "sessionend.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kWatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The self-pipe: the handler only writes the signal number into it; the GUI thread reads it.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[sizeof(kWatchedSignals) / sizeof(kWatchedSignals[0])];

void onSessionSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a wake-up; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

struct SessionEndWatch::Native {
    // The pipe's reading end, owned by the watch as its child.
    QSocketNotifier *notifier = nullptr;
};

SessionEndWatch::SessionEndWatch(QObject *parent)
    : QObject(parent)
    , native(std::make_unique<Native>())
{
    if (g_pipe[0] >= 0 || pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    native->notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(native->notifier, &QSocketNotifier::activated, this, &SessionEndWatch::deliverPending);

    struct sigaction action {
    };
    action.sa_handler = onSessionSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < sizeof(kWatchedSignals) / sizeof(kWatchedSignals[0]); ++i)
        sigaction(kWatchedSignals[i], &action, &g_previous[i]);
}

SessionEndWatch::~SessionEndWatch()
{
    if (!native->notifier)
        return;
    for (size_t i = 0; i < sizeof(kWatchedSignals) / sizeof(kWatchedSignals[0]); ++i)
        sigaction(kWatchedSignals[i], &g_previous[i], nullptr);
    delete native->notifier;
    native->notifier = nullptr;
    close(g_pipe[0]);
    close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool SessionEndWatch::isActive() const
{
    return native->notifier != nullptr;
}

void SessionEndWatch::watchWindow(WId) {}

void SessionEndWatch::deliverPending()
{
    if (!native->notifier)
        return;
    unsigned char bytes[16];
    ssize_t count;
    while ((count = read(g_pipe[0], bytes, sizeof(bytes))) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit sigSessionEnding(bytes[i]);
    }
}
