#pragma once

#include <QDate>
#include <QTime>
#include <QtGlobal>

#include <array>
#include <optional>

// One HID output report for the display: report ID 0, then 64 bytes of payload.
using DeviceReport = std::array<quint8, 65>;

// Size of the system drive, as the operating system reports it.
struct ReportDrive {
    quint64 totalBytes = 0;
    quint64 totalFreeBytes = 0;
};

// Everything one report carries. Sensor figures are whole numbers already (see snapshotToInt);
// temperatures are Celsius.
struct ReportFigures {
    int cpuTemperature = 0;
    int cpuUsage = 0;
    int cpuClock = 0;
    int cpuFan = 0;
    int cpuPower = 0;
    int gpuTemperature = 0;
    int gpuUsage = 0;
    int gpuClock = 0;
    int gpuFan = 0;
    int gpuPower = 0;
    quint32 memoryLoad = 0;   // percent of physical memory in use
    quint64 totalPhys = 0;    // installed physical memory, bytes
    std::optional<ReportDrive> drive; // empty when no system drive was found
    bool fahrenheit = false;  // the user's display unit; sets bit 7 of both temperature bytes
    QDate date;               // local date
    QTime time;               // local time
};

// Builds the report byte for byte. Pure: the same figures always give the same bytes.
DeviceReport encodeDeviceReport(const ReportFigures &figures);
