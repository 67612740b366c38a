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

// part × factor / whole, truncated, for part <= whole: exact for every 64-bit whole without a
// product wider than 64 bits (32-bit targets have no 128-bit integer). The product is built by
// doubling, as a quotient and a remainder by whole.
quint32 scaledShare(quint64 part, quint32 factor, quint64 whole)
{
    quint64 quotient = 0;
    quint64 remainder = 0;
    quint64 termQuotient = part / whole;  // of part × 2^k
    quint64 termRemainder = part % whole;
    for (quint32 bits = factor; bits != 0; bits >>= 1) {
        if (bits & 1) {
            const bool carry = remainder >= whole - termRemainder;
            quotient += termQuotient + (carry ? 1 : 0);
            remainder = carry ? remainder - (whole - termRemainder) : remainder + termRemainder;
        }
        const bool carry = termRemainder >= whole - termRemainder;
        termQuotient = 2 * termQuotient + (carry ? 1 : 0);
        termRemainder = carry ? termRemainder - (whole - termRemainder) : 2 * termRemainder;
    }
    return static_cast<quint32>(quotient);
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
    if (figures.totalPhys > 0)
        figures.memoryLoad = scaledShare(figures.totalPhys - figures.availPhys, 100, figures.totalPhys);
    return figures;
}
