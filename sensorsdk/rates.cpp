#include "rates.h"

namespace sensorsdk {

EnergyRate::EnergyRate(const std::string &energyPath, const std::string &maxRangePath)
    : energy(std::make_shared<KeptFile>(energyPath))
    , maxRange(maxRangePath.empty() ? 0 : readInteger(maxRangePath).value_or(0))
{
}

std::optional<double> EnergyRate::operator()()
{
    const double now = monotonicSeconds();
    const std::optional<long long> counter = energy->integer();
    std::optional<double> watts;
    if (counter && last)
        watts = energyRateWatts(*last, *counter, maxRange, now - lastSeconds);
    last = counter;
    lastSeconds = now;
    return watts;
}

std::optional<double> CpuUsage::sample()
{
    const auto text = stat.head(1024);
    const std::optional<CpuTimes> times = text ? parseProcStatCpu(*text) : std::nullopt;
    std::optional<double> usage;
    if (times && last)
        usage = usageBetween(*last, *times);
    last = times;
    return usage;
}

} // namespace sensorsdk
