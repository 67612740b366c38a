#pragma once

#include "device/devicereport.h"
#include "hardware/sensorsnapshot.h"
#include "platform/systemstats.h"

#include <QString>
#include <QtGlobal>

// Pure pieces of the update cycle, kept apart from the window so they can be checked alone.

// The ten sensor figures of a report, whole numbers as the window shows them; the rest of the
// report (memory, drive, unit, date and time) is left as it is.
ReportFigures sensorReportFigures(const SensorSnapshot &snapshot);

// The upper end of a bar after showing value: at least 1, and one above the highest value seen
// (it never shrinks).
int nextBarPeak(int peak, int value);

// "<used>G/<total>G" of physical memory, in GiB with one decimal.
QString memoryUsageText(const MemoryFigures &memory);

// The system drive as the window shows it (the report encodes its own figures from the bytes).
struct DriveUsage
{
    int percent = 0; // used share, truncated
    QString text;    // "<used>G/<total>G", whole GiB rounded
};

DriveUsage driveUsage(const DriveFigures &drive);
