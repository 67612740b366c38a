#include "systemstats.h"

#include "parse/meminfo.h"

#include <QByteArray>

MemoryFigures parseMeminfo(const QByteArray &text)
{
    const MeminfoFigures parsed =
        parseMeminfoText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    MemoryFigures figures;
    figures.memoryLoad = parsed.memoryLoad;
    figures.totalPhys = parsed.totalBytes;
    figures.availPhys = parsed.availBytes;
    return figures;
}
