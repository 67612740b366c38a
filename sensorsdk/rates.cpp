#include "rates.h"

#include "sysfs.h"

namespace sensorsdk {

EnergyRate::EnergyRate(std::string energyPath, std::string maxRangePath)
    : energyPath_(std::move(energyPath))
    , maxRangePath_(std::move(maxRangePath))
{
}

std::optional<double> EnergyRate::operator()()
{
    const double now = monotonicSeconds();
    const std::optional<long long> energy = readInteger(energyPath_);
    std::optional<double> watts;
    if (energy && last_) {
        const long long maxRange = maxRangePath_.empty() ? 0 : readInteger(maxRangePath_).value_or(0);
        watts = energyRateWatts(*last_, *energy, maxRange, now - lastSeconds_);
    }
    last_ = energy;
    lastSeconds_ = now;
    return watts;
}

std::optional<double> CpuUsage::sample()
{
    const auto text = readHead("/proc/stat", 1024);
    const std::optional<CpuTimes> times = text ? parseProcStatCpu(*text) : std::nullopt;
    std::optional<double> usage;
    if (times && last_)
        usage = usageBetween(*last_, *times);
    last_ = times;
    return usage;
}

} // namespace sensorsdk
