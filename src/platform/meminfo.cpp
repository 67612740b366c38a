#include "systemstats.h"

#include <QByteArray>
#include <QList>

#include <limits>

namespace {

// A "Name:   1234 kB" line gives 1234 × 1024 bytes; a value without unit is taken as bytes.
bool readField(const QByteArray &line, const QByteArray &name, quint64 *bytes)
{
    if (!line.startsWith(name) || line.size() <= name.size() || line.at(name.size()) != ':')
        return false;
    const QList<QByteArray> parts = line.mid(name.size() + 1).simplified().split(' ');
    bool ok = false;
    const quint64 value = parts.value(0).toULongLong(&ok);
    if (!ok)
        return false;
    const bool kibibytes = parts.value(1) == "kB";
    if (kibibytes && value > std::numeric_limits<quint64>::max() / 1024)
        return false;
    *bytes = kibibytes ? value * 1024 : value;
    return true;
}

} // namespace

MemoryFigures parseMeminfo(const QByteArray &text)
{
    MemoryFigures figures;
    for (const QByteArray &line : text.split('\n')) {
        if (!readField(line, "MemTotal", &figures.totalPhys))
            readField(line, "MemAvailable", &figures.availPhys);
    }
    // A kernel never reports more available than total, but a broken file must not underflow.
    if (figures.availPhys > figures.totalPhys)
        figures.availPhys = figures.totalPhys;
    if (figures.totalPhys > 0) {
        // 128-bit product: exact truncated percent for every 64-bit total.
        const unsigned __int128 used = figures.totalPhys - figures.availPhys;
        figures.memoryLoad = static_cast<quint32>(used * 100 / figures.totalPhys);
    }
    return figures;
}
