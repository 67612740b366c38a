// Arbitrary text as the output of every wmic query, through each parser the inventory uses.

#include "platform/hardwareinventory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));

    const QStringList lines = wmicDataLines(output);
    // Data lines come trimmed (a line of blanks only comes out empty).
    for (const QString &line : lines) {
        if (line != line.trimmed())
            std::abort();
    }

    const QString firstLine = output.section(QLatin1Char('\n'), 0, 0);
    const QString single = wmicSingleLine(output, firstLine);
    if (single.contains(QLatin1Char('\r')) || single.contains(QLatin1Char('\n')))
        std::abort();

    parseBoardName(lines);
    if (parseMemoryModules(lines).size() != lines.size() || parseDisks(lines).size() != lines.size())
        std::abort();
    if (parseGraphicsAdapters(lines).size() > lines.size())
        std::abort();
    const QString sound = chooseSoundDevice(lines);
    if (!sound.isEmpty() && !lines.contains(sound))
        std::abort();
    if (parseOsCaption(lines) != (lines.isEmpty() ? QString() : lines.last()))
        std::abort();

    // Any byte count, including ones no disk has.
    if (size >= sizeof(double)) {
        double bytes = 0;
        std::memcpy(&bytes, data, sizeof bytes);
        gibibytesText(bytes);
    }
    return 0;
}
