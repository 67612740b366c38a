#pragma once

// What a hwmon chip is, and the label each of its readings carries. Pure: no file access.

#include <string>
#include <string_view>

namespace sensorsdk {

enum class ChipRole {
    Cpu,       // coretemp, k10temp, zenpower: folded into the CPU sensor
    Board,     // Super I/O chips on the mainboard
    AcpiZone,  // ACPI thermal zones: the board temperature when no Super I/O chip is there
    AmdGpu,
    IntelGpu,
    OtherGpu,  // nouveau, radeon: hwmon readings only
    Other,     // any other chip: offered with the labels lm-sensors shows
};

ChipRole classifyChip(std::string_view prefix);

enum class FeatureKind { Temperature, Fan, Power };

// Facts about one reading of a chip, as libsensors and sysfs give them.
struct FeatureFacts {
    std::string_view chipPrefix;   // "nct6798", "k10temp", ...
    ChipRole role = ChipRole::Other;
    FeatureKind kind = FeatureKind::Temperature;
    int number = 0;                // the N of tempN / fanN / powerN
    std::string_view driverLabel;  // contents of <feature>_label, empty when the driver has none
    std::string_view shownLabel;   // what libsensors reports (the configuration's label if set)
    std::string_view featureName;  // "temp1"
};

// Context that only the whole chip or machine knows.
struct LabelContext {
    bool chipHasTdie = false;          // k10temp/zenpower: Tdie is the true die temperature
    bool acpiZoneIsBoard = false;      // no Super I/O chip: the first zone reads the board
};

// The label the sensor thread sees. A label set in lm-sensors' configuration (the shown label
// differs from the driver's own) passes through verbatim; otherwise known readings get the names
// the sensor thread looks for and the rest keep what libsensors shows.
std::string readingLabel(const FeatureFacts &facts, const LabelContext &context);

} // namespace sensorsdk
