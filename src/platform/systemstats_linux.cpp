#include "systemstats.h"

#include <QFile>

#include <sys/statvfs.h>

MemoryFigures queryMemory()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // procfs files report size 0: read until the end rather than by size.
    return parseMeminfo(file.readAll());
}

std::optional<DriveFigures> querySystemDrive()
{
    struct statvfs fs{};
    if (statvfs("/", &fs) != 0 || fs.f_blocks == 0)
        return std::nullopt;
    DriveFigures figures;
    figures.totalBytes = static_cast<quint64>(fs.f_blocks) * fs.f_frsize;
    figures.totalFreeBytes = static_cast<quint64>(fs.f_bfree) * fs.f_frsize;
    return figures;
}
