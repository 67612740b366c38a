#pragma once

#include <array>
#include <cstdint>
#include <optional>

// One HID output report for the display: report ID 0, then 64 bytes of payload.
using DeviceReport = std::array<std::uint8_t, 65>;

// Size of the system drive, as the operating system reports it.
struct ReportDrive {
    unsigned long long totalBytes = 0;
    unsigned long long totalFreeBytes = 0;
};

// Everything one report carries but the clock. Sensor figures are whole numbers already (see
// snapshotToInt); temperatures are Celsius.
struct ReportValues {
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
    std::uint32_t memoryLoad = 0;     // percent of physical memory in use
    unsigned long long totalPhys = 0; // installed physical memory, bytes
    std::optional<ReportDrive> drive; // empty when no system drive was found
    bool fahrenheit = false;          // the user's display unit; sets bit 7 of both temperature bytes
};

// The local date and time of day as the report carries them.
struct ReportDate {
    int year = 0;
    int month = 0;
    int day = 0;
};
struct ReportTimeOfDay {
    int hour = 0;
    int minute = 0;
};

// Builds the report byte for byte. Pure: the same figures always give the same bytes. A missing
// date or time is sent as zeros.
DeviceReport encodeReport(const ReportValues &values, const std::optional<ReportDate> &date,
                          const std::optional<ReportTimeOfDay> &time);
