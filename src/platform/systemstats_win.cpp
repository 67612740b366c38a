#include "systemstats.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

MemoryFigures queryMemory()
{
    // Zero-filled before the call, so a failed call reads as zeros.
    MEMORYSTATUSEX status;
    ZeroMemory(&status, sizeof(status));
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    MemoryFigures figures;
    figures.memoryLoad = status.dwMemoryLoad;
    figures.totalPhys = status.ullTotalPhys;
    figures.availPhys = status.ullAvailPhys;
    return figures;
}

std::optional<DriveFigures> querySystemDrive()
{
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo &drive : drives) {
        const QString path = drive.absolutePath();
        ULARGE_INTEGER freeToCaller;
        ULARGE_INTEGER total;
        ULARGE_INTEGER totalFree;
        if (!GetDiskFreeSpaceExW(reinterpret_cast<LPCWSTR>(path.utf16()), &freeToCaller, &total,
                                 &totalFree)
            || total.QuadPart == 0) // a drive of no size has no usage to show; treat as failed
            continue;
        if (!path.contains(QLatin1Char('C'), Qt::CaseInsensitive))
            continue;
        DriveFigures figures;
        figures.totalBytes = total.QuadPart;
        figures.totalFreeBytes = totalFree.QuadPart;
        return figures;
    }
    return std::nullopt;
}
