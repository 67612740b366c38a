#include "rates.h"

namespace sensorsdk {

EnergyRate::EnergyRate(const std::string &energyPath, const std::string &maxRangePath)
    : energy_(std::make_shared<KeptFile>(energyPath))
    , maxRange_(maxRangePath.empty() ? 0 : readInteger(maxRangePath).value_or(0))
{
}

std::optional<double> EnergyRate::operator()()
{
    const double now = monotonicSeconds();
    const std::optional<long long> energy = energy_->integer();
    std::optional<double> watts;
    if (energy && last_)
        watts = energyRateWatts(*last_, *energy, maxRange_, now - lastSeconds_);
    last_ = energy;
    lastSeconds_ = now;
    return watts;
}

std::optional<double> CpuUsage::sample()
{
    const auto text = stat_.head(1024);
    const std::optional<CpuTimes> times = text ? parseProcStatCpu(*text) : std::nullopt;
    std::optional<double> usage;
    if (times && last_)
        usage = usageBetween(*last_, *times);
    last_ = times;
    return usage;
}

} // namespace sensorsdk
