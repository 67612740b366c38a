#include "datapath/cyclefigures.h"

#include "hardware/sensorsnapshot.h"

#include <limits>

namespace {
constexpr double kGiB = 1024.0 * 1024.0 * 1024.0;
}

int nextBarPeak(int peak, int value)
{
    if (peak < 1)
        peak = 1;
    if (peak < value)
        peak = value == std::numeric_limits<int>::max() ? value : value + 1;
    return peak;
}

QString memoryUsageText(const MemoryFigures &memory)
{
    const float total = static_cast<float>(memory.totalPhys) / static_cast<float>(kGiB);
    const float available = static_cast<float>(memory.availPhys) / static_cast<float>(kGiB);
    const float used = total - available;
    return QStringLiteral("%1G/%2G").arg(QString::asprintf("%.1f", static_cast<double>(used)),
                                         QString::asprintf("%.1f", static_cast<double>(total)));
}

DriveUsage driveUsage(const DriveFigures &drive)
{
    DriveUsage usage;
    if (drive.totalBytes == 0)
        return usage;
    const double total = static_cast<double>(drive.totalBytes);
    const double free = static_cast<double>(drive.totalFreeBytes);
    usage.percent = truncateToInt32(100.0 - free / total * 100.0);
    const double usedGiB = (total - free) / kGiB;
    usage.text = QString::number(usedGiB, 'f', 0) + QStringLiteral("G") + QStringLiteral("/")
                 + QString::number(total / kGiB, 'f', 0) + QStringLiteral("G");
    return usage;
}

ReportFigures sensorReportFigures(const SensorSnapshot &snapshot)
{
    ReportFigures figures;
    figures.cpuTemperature = snapshotToInt(snapshot.cpuTemperature);
    figures.cpuUsage = snapshotToInt(snapshot.cpuUsage);
    figures.cpuClock = snapshotToInt(snapshot.cpuClock);
    figures.cpuFan = snapshotToInt(snapshot.cpuFan);
    figures.cpuPower = snapshotToInt(snapshot.cpuPower);
    figures.gpuTemperature = snapshotToInt(snapshot.gpuTemperature);
    figures.gpuUsage = snapshotToInt(snapshot.gpuUsage);
    figures.gpuClock = snapshotToInt(snapshot.gpuClock);
    figures.gpuFan = snapshotToInt(snapshot.gpuFan);
    figures.gpuPower = snapshotToInt(snapshot.gpuPower);
    return figures;
}
