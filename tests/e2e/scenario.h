#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace kestrun::e2e {

// The figures the scripted sensor library serves: every reading moves by a fixed step per cycle,
// so a report tells by itself which cycle it carries and whether all its fields come from that
// one cycle.
namespace scenario {

constexpr int kCycles = 60;
// What the library's sdkUninit answers; the program logs it at the end.
constexpr int kUninitResult = 3;

// The text of the scripted library's scenario file.
QString fileText();

// The records the program logs for the first cycle: a banner per sensor and a line per reading.
QStringList firstCycleLogLines();

// The cycle a report carries, read back from its CPU temperature; nothing when out of range.
std::optional<int> cycleOf(const std::array<unsigned char, 65> &report);

} // namespace scenario

// What a report must hold apart from the sensor figures of its cycle.
struct ReportContext {
    bool fahrenheit = false;
    int memoryLoad = 0;
    int memoryMiB = 0;
    int drivePercent = 0; // may differ by one: the drive fills while the program runs
    int driveGiB = 0;
    QDateTime received; // the report's date and time are no later than this, and close to it
};

// Empty when the report is the one expected for its cycle, else every field that differs.
QString reportMismatch(const std::array<unsigned char, 65> &report, const ReportContext &context);

} // namespace kestrun::e2e
