#pragma once

#include "device/devicereport.h"
#include "hardware/figurereasons.h"
#include "hardware/sensorsnapshot.h"
#include "platform/systemstats.h"

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <optional>

// Pure pieces of the update cycle, and the record of what one cycle shows, so they can be checked
// without a window.

// The ten sensor figures of a report, whole numbers as the window shows them; the rest of the
// report (memory, drive, unit, date and time) is left as it is.
ReportFigures sensorReportFigures(const SensorSnapshot &snapshot);

// The upper end of a bar after showing value: at least 1, and one above the highest value seen
// (it never shrinks).
int nextBarPeak(int peak, int value);

// "<used>G/<total>G" of physical memory, in GiB with one decimal.
QString memoryUsageText(const MemoryFigures &memory);

// The system drive as the window shows it (the report encodes its own figures from the bytes).
struct DriveUsage {
    int percent = 0; // used share, truncated
    QString text;    // "<used>G/<total>G", whole GiB rounded
};

DriveUsage driveUsage(const DriveFigures &drive);

// A bar whose upper end is the running peak of its values (see nextBarPeak).
struct PeakBar {
    int value = 0;
    int maximum = 1;
};

// Everything the monitor page shows after one cycle: the figures as whole numbers, each shown in
// its label in decimal.
struct MonitorFigures {
    // Whole degrees Celsius: the dashboards convert to the unit they show.
    int cpuTemperature = 0;
    int gpuTemperature = 0;
    // The usage bars keep the range the form gives them.
    int cpuUsage = 0;
    int gpuUsage = 0;
    PeakBar cpuClock;
    PeakBar gpuClock;
    PeakBar cpuFan;
    PeakBar gpuFan;
    PeakBar cpuPower;
    PeakBar gpuPower;
    quint32 memoryLoad = 0; // percent
    QString memoryText;     // see memoryUsageText
    // Nothing when no system drive was found: the disk widgets keep what they show.
    std::optional<DriveUsage> drive;
    // The figures without a reading this cycle: the window shows "--" for them, not their 0.
    FigureSet unread;
};

Q_DECLARE_METATYPE(MonitorFigures)
