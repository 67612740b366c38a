#include "singleinstance.h"

#include "runtimefolder.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// A lock on a file in the user's runtime folder: the kernel drops it with the last descriptor, so
// there is no stale mark to recover, and another user's folder is never looked at.
struct SingleInstanceGuard::Hold {
    explicit Hold(int descriptor)
        : fd(descriptor)
    {
    }
    ~Hold() { ::close(fd); }
    Hold(const Hold &) = delete;
    Hold &operator=(const Hold &) = delete;
    const int fd;
};

SingleInstanceGuard::SingleInstanceGuard(const QString &instanceKey)
    : key(instanceKey)
{
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

SingleInstanceGuard::Claim SingleInstanceGuard::claim()
{
    if (hold)
        return Claim::Taken;
    const QString folder = userRuntimeFolder(&failure);
    if (folder.isEmpty())
        return Claim::Failed;
    const QString path = folder + QLatin1Char('/') + key + QStringLiteral(".lock");
    // Close-on-exec: a copy started from this one (the crash restart) must not inherit the mark.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        failure = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return Claim::Failed;
    }
    auto held = std::make_unique<Hold>(fd);
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        if (errno == EWOULDBLOCK)
            return Claim::HeldByAnotherCopy;
        failure = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return Claim::Failed;
    }
    hold = std::move(held);
    failure.clear();
    return Claim::Taken;
}
