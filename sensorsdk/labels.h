#pragma once

// What a hwmon chip is, and the label each of its readings carries. Pure: no file access.

#include <string>
#include <string_view>

namespace sensorsdk {

enum class ChipRole {
    Cpu,   // the processor's own sensors (coretemp, k10temp, zenpower, k8temp, via_cputemp) and
           // power (fam15h_power): folded into the CPU sensor
    Board, // Super I/O and other mainboard monitors, the board makers' WMI and ACPI drivers
    AmdGpu,
    IntelGpu,
    OtherGpu, // nouveau, radeon: hwmon readings only
    Other,    // any other chip, laptop embedded controllers and ACPI thermal zones among them:
              // offered after the GPUs, so that a GPU's own readings come before an EC's view of it
};

ChipRole classifyChip(std::string_view prefix);

enum class FeatureKind { Temperature, Fan, Power };

// Facts about one reading of a chip, as libsensors and sysfs give them.
struct FeatureFacts {
    std::string_view chipPrefix; // "nct6798", "k10temp", ...
    ChipRole role = ChipRole::Other;
    FeatureKind kind = FeatureKind::Temperature;
    int number = 0;               // the N of tempN / fanN / powerN
    std::string_view driverLabel; // contents of <feature>_label, empty when the driver has none
    std::string_view shownLabel;  // what libsensors reports (the configuration's label if set)
    std::string_view featureName; // "temp1"
};

// Context that only the whole chip knows.
struct LabelContext {
    bool chipHasTdie = false; // k10temp/zenpower: Tdie is the true die temperature
    bool amdGpuIsApu = false; // amdgpu with a "vddnb" rail: its power is the whole chip's
};

// The label the sensor thread sees. A label set in lm-sensors' configuration (the shown label
// differs from the driver's own) passes through verbatim unless it is another spelling of a name
// the sensor thread looks for (canonicalLabel); otherwise known readings get the names the sensor
// thread looks for and the rest keep what libsensors shows.
std::string readingLabel(const FeatureFacts &facts, const LabelContext &context);

// Labels that name a figure in another spelling ("CPU_Temp", "MB Temperature", "cpu_fan",
// "Processor Fan", "CPU FAN Speed", "GPU temp", ...) become the name the sensor thread looks for;
// any other label comes back unchanged. Case, blanks and underscores do not matter.
std::string canonicalLabel(FeatureKind kind, std::string_view label);

// coretemp's reading of a whole package: "Package id N", or "Physical id N" on older kernels.
bool isCoretempPackageLabel(std::string_view driverLabel);

} // namespace sensorsdk
