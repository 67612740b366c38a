#include "parse/reportencoding.h"

#include "hardware/sensorsnapshot.h"

namespace {

constexpr std::uint8_t kStartMark = 0x40;
constexpr std::uint8_t kFahrenheitFlag = 0x80;
constexpr int kChecksumIndex = 30;

// Fields carry the low bits of the figure: values past the field's width and negatives wrap.
// The shifts act on the unsigned image, which is defined for negatives too.
void putByte(DeviceReport &report, int index, int value)
{
    report[index] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFF);
}

void putBe16(DeviceReport &report, int index, int value)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    report[index] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
    report[index + 1] = static_cast<std::uint8_t>(bits & 0xFF);
}

void putTemperature(DeviceReport &report, int index, int celsius, bool fahrenheit)
{
    putByte(report, index, celsius);
    if (fahrenheit)
        report[index] |= kFahrenheitFlag;
}

int driveUsagePercent(const ReportDrive &drive)
{
    if (drive.totalBytes == 0)
        return 0;
    const double freeShare = static_cast<double>(drive.totalFreeBytes) / static_cast<double>(drive.totalBytes);
    return truncateToInt32(100.0 - freeShare * 100.0);
}

} // namespace

DeviceReport encodeReport(const ReportValues &f, const std::optional<ReportDate> &date,
                          const std::optional<ReportTimeOfDay> &time)
{
    DeviceReport report{};
    report[1] = kStartMark;

    putTemperature(report, 2, f.cpuTemperature, f.fahrenheit);
    putByte(report, 3, f.cpuUsage);
    putBe16(report, 4, f.cpuClock);
    putBe16(report, 6, f.cpuFan);
    putBe16(report, 8, f.cpuPower);
    putTemperature(report, 10, f.gpuTemperature, f.fahrenheit);
    putByte(report, 11, f.gpuUsage);
    putBe16(report, 12, f.gpuClock);
    putBe16(report, 14, f.gpuFan);
    putBe16(report, 16, f.gpuPower);

    putByte(report, 18, static_cast<int>(f.memoryLoad & 0xFF));
    putBe16(report, 19, truncateToInt32(static_cast<double>(f.totalPhys) * 1.0 / 1048576.0));

    if (f.drive) {
        putByte(report, 21, driveUsagePercent(*f.drive));
        putBe16(report, 22, static_cast<int>((f.drive->totalBytes / 1073741824ULL) & 0xFFFF));
    }

    if (date) {
        putBe16(report, 24, date->year);
        putByte(report, 26, date->month);
        putByte(report, 27, date->day);
    }
    if (time) {
        putByte(report, 28, time->hour);
        putByte(report, 29, time->minute);
    }

    std::uint8_t sum = 0;
    for (int i = 1; i < kChecksumIndex; ++i)
        sum = static_cast<std::uint8_t>(sum + report[i]);
    report[kChecksumIndex] = sum;
    return report;
}
