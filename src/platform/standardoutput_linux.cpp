#include "standardoutput.h"

#include <cerrno>

#include <limits.h>
#include <poll.h>
#include <unistd.h>

bool writeWithoutBlocking(StandardStream stream, const char *text, std::size_t size)
{
    const int fd = stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO;
    // The descriptor is shared with whoever started the program, so it is not switched to
    // non-blocking mode; instead a text goes out only when the stream has room for it now. A pipe
    // with room takes up to PIPE_BUF bytes whole, so longer texts go in such pieces, each one
    // asked for.
    while (size > 0) {
        pollfd ready{fd, POLLOUT, 0};
        int polled;
        do
            polled = ::poll(&ready, 1, 0);
        while (polled < 0 && errno == EINTR);
        if (polled <= 0 || (ready.revents & POLLOUT) == 0 || (ready.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
        const std::size_t piece = size < PIPE_BUF ? size : PIPE_BUF;
        const ssize_t written = ::write(fd, text, piece);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}
