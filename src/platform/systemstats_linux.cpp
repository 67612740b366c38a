#include "systemstats.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// /proc/meminfo opened once: every read from its start brings the current figures, so the cycle
// needs no new file each second.
class MeminfoFile
{
public:
    MeminfoFile()
        : fd(::open("/proc/meminfo", O_RDONLY | O_CLOEXEC))
    {
    }
    ~MeminfoFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    MeminfoFile(const MeminfoFile &) = delete;
    MeminfoFile &operator=(const MeminfoFile &) = delete;

    // The whole text, empty when the file cannot be read. procfs files report size 0: read until
    // the end rather than by size.
    QByteArray read() const
    {
        QByteArray text;
        if (fd < 0)
            return text;
        char chunk[4096];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(fd, chunk, sizeof chunk, at);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return got < 0 ? QByteArray() : text;
            text.append(chunk, int(got));
            at += got;
        }
    }

private:
    const int fd;
};

} // namespace

MemoryFigures queryMemory()
{
    static const MeminfoFile meminfo;
    return parseMeminfo(meminfo.read());
}

std::optional<DriveFigures> querySystemDrive()
{
    struct statvfs fs {
    };
    if (statvfs("/", &fs) != 0 || fs.f_blocks == 0)
        return std::nullopt;
    DriveFigures figures;
    figures.totalBytes = static_cast<quint64>(fs.f_blocks) * fs.f_frsize;
    figures.totalFreeBytes = static_cast<quint64>(fs.f_bfree) * fs.f_frsize;
    return figures;
}
