#pragma once

// Readings that are differences between two samples: power from energy counters, CPU usage from
// /proc/stat. The first sample after start, or after a failed read, has nothing to compare with
// and gives no value.

#include "parse.h"
#include "sysfs.h"

#include <memory>
#include <optional>
#include <string>

namespace sensorsdk {

class EnergyRate
{
public:
    // energyPath holds microjoules; maxRangePath the counter's range (may be empty: no wrap known),
    // a constant of the counter read once here.
    EnergyRate(const std::string &energyPath, const std::string &maxRangePath);
    std::optional<double> operator()();

private:
    std::shared_ptr<KeptFile> energy;
    long long maxRange = 0;
    std::optional<long long> last;
    double lastSeconds = 0;
};

class CpuUsage
{
public:
    std::optional<double> sample();

private:
    KeptFile stat{"/proc/stat"};
    std::optional<CpuTimes> last;
};

} // namespace sensorsdk
