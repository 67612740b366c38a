#include "hardwaresource.h"

#include "wmiquery_win.h"

#include <QDebug>

// The classes and properties of the eight wmic commands, asked of WMI directly. Each answer is
// turned into the very table the tool prints, so the parsers, the entries they make and the log
// lines stay those of the tool's output.

namespace {

// Every query stops waiting at this limit: the processor's on its own, the other seven together,
// so a stuck WMI holds the start-up for a minute at most.
constexpr int kQueryWaitMs = 30000;

QString tableText(const WmiConnection &wmi, const char *className, const QStringList &properties,
                  const QDeadlineTimer &deadline, const char *condition = "")
{
    return wmicTableText(properties,
                         wmi.select(QLatin1String(className), properties, QLatin1String(condition), deadline));
}

QStringList logged(const char *label, const QString &output)
{
    qDebug() << label << output;
    return wmicDataLines(output);
}

} // namespace

// The command names the column header to remove and whether the line is logged, as with the
// tool; the processor names come from Win32_Processor.
QString queryProcessorLine(const QString &command)
{
    const WmiConnection wmi;
    const QString output = tableText(wmi, "Win32_Processor", {QStringLiteral("Name")}, QDeadlineTimer(kQueryWaitMs));
    if (command.contains(QLatin1String("cpu")))
        qDebug() << "Windows HardwareInfo 01 CPU:" << output;
    return wmicSingleLine(output, command);
}

void gatherHardwareInventory(HardwareInventory &inventory)
{
    const WmiConnection wmi;
    const QDeadlineTimer deadline(kQueryWaitMs);
    const QString name = QStringLiteral("Name");
    inventory.boardName = parseBoardName(logged(
        "Windows HardwareInfo 02 Motherboard:",
        tableText(wmi, "Win32_BaseBoard", {QStringLiteral("Product"), QStringLiteral("Manufacturer")}, deadline)));
    inventory.memoryModules += parseMemoryModules(logged(
        "Windows HardwareInfo 03 Memorychip:",
        tableText(wmi, "Win32_PhysicalMemory",
                  {QStringLiteral("Capacity"), QStringLiteral("Speed"), QStringLiteral("Manufacturer")}, deadline)));
    inventory.disks += parseDisks(
        logged("Windows HardwareInfo 04 Diskdrive:",
               tableText(wmi, "Win32_DiskDrive", {QStringLiteral("Model"), QStringLiteral("Size")}, deadline)));
    inventory.graphicsAdapters += parseGraphicsAdapters(
        logged("Windows HardwareInfo 05 GPU:",
               tableText(wmi, "Win32_VideoController", {QStringLiteral("AdapterRAM"), name}, deadline)));
    inventory.soundDevices << chooseSoundDevice(
        logged("Windows HardwareInfo 06 Audio:", tableText(wmi, "Win32_SoundDevice", {name}, deadline)));
    inventory.networkAdapters += logged("Windows HardwareInfo 07 Network:",
                                        tableText(wmi, "Win32_NetworkAdapter", {name}, deadline, "NetEnabled=true"));
    inventory.osCaption =
        parseOsCaption(logged("Windows HardwareInfo 08 SystemVersion:",
                              tableText(wmi, "Win32_OperatingSystem", {QStringLiteral("Caption")}, deadline)));
}
