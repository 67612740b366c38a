#pragma once

// Readings that are differences between two samples: power from energy counters, CPU usage from
// /proc/stat. The first sample after start, or after a failed read, has nothing to compare with
// and gives no value.

#include "parse.h"

#include <optional>
#include <string>

namespace sensorsdk {

class EnergyRate
{
public:
    // energyPath holds microjoules; maxRangePath the counter's range (may be empty: no wrap known).
    EnergyRate(std::string energyPath, std::string maxRangePath);
    std::optional<double> operator()();

private:
    std::string energyPath_;
    std::string maxRangePath_;
    std::optional<long long> last_;
    double lastSeconds_ = 0;
};

class CpuUsage
{
public:
    std::optional<double> sample();

private:
    std::optional<CpuTimes> last_;
};

} // namespace sensorsdk
