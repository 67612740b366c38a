#include "hardwaresource.h"

#include <QDebug>
#include <QProcess>

namespace {

enum class Decoding { Local8Bit, Utf8 };

constexpr int kQueryWaitMs = 30000;

// Runs one query and returns its decoded standard output. Neither the exit code nor the wait's
// result matters: a failed or hung query yields whatever output arrived, usually none.
QString runQuery(const QString &program, const QStringList &arguments, int waitMs, Decoding decoding)
{
    QProcess process;
    process.start(program, arguments, QIODevice::ReadWrite);
    process.waitForFinished(waitMs);
    const QByteArray output = process.readAllStandardOutput();
    return decoding == Decoding::Local8Bit ? QString::fromLocal8Bit(output) : QString::fromUtf8(output);
}

// A whole command line, split into program and arguments by the toolkit's quoting rules.
QString runCommandLine(const QString &commandLine, int waitMs, Decoding decoding)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    return runQuery(program, arguments, waitMs, decoding);
}

QStringList logged(const char *label, const QString &output)
{
    qDebug() << label << output;
    return wmicDataLines(output);
}

} // namespace

QString queryProcessorLine(const QString &command)
{
    const QString output = runCommandLine(command, -1, Decoding::Local8Bit);
    if (command.contains(QLatin1String("cpu")))
        qDebug() << "Windows HardwareInfo 01 CPU:" << output;
    return wmicSingleLine(output, command);
}

void gatherHardwareInventory(HardwareInventory &inventory)
{
    inventory.boardName = parseBoardName(
        logged("Windows HardwareInfo 02 Motherboard:",
               runCommandLine(QStringLiteral("wmic baseboard get product,Manufacturer"), kQueryWaitMs,
                              Decoding::Utf8)));
    inventory.memoryModules += parseMemoryModules(
        logged("Windows HardwareInfo 03 Memorychip:",
               runCommandLine(QStringLiteral("wmic memorychip get capacity, speed, manufacturer"),
                              kQueryWaitMs, Decoding::Utf8)));
    inventory.disks += parseDisks(
        logged("Windows HardwareInfo 04 Diskdrive:",
               runQuery(QStringLiteral("wmic"),
                        {QStringLiteral("diskdrive"), QStringLiteral("get"), QStringLiteral("model,size")},
                        kQueryWaitMs, Decoding::Utf8)));
    inventory.graphicsAdapters += parseGraphicsAdapters(
        logged("Windows HardwareInfo 05 GPU:",
               runCommandLine(QStringLiteral("wmic path win32_VideoController get AdapterRAM,Name"),
                              kQueryWaitMs, Decoding::Utf8)));
    inventory.soundDevices << chooseSoundDevice(
        logged("Windows HardwareInfo 06 Audio:",
               runCommandLine(QStringLiteral("wmic path Win32_SoundDevice get Name"), kQueryWaitMs,
                              Decoding::Local8Bit)));
    inventory.networkAdapters += logged(
        "Windows HardwareInfo 07 Network:",
        runCommandLine(QStringLiteral("wmic nic where \"NetEnabled=true\" get Name"), kQueryWaitMs,
                       Decoding::Local8Bit));
    inventory.osCaption = parseOsCaption(
        logged("Windows HardwareInfo 08 SystemVersion:",
               runCommandLine(QStringLiteral("wmic os get Caption"), kQueryWaitMs, Decoding::Local8Bit)));
}
