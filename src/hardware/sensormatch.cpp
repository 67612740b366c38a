#include "hardware/sensormatch.h"

#include <limits>
#include <string_view>

namespace {

enum class Compare { Equal, Contains };

struct MatchGroup {
    ReadingKind kind;
    float SensorSnapshot::*field;
    Compare compare;
    std::array<std::string_view, 6> texts; // unused slots are empty and never compared
};

// Groups in the order they are tried within a kind. One group per snapshot field.
constexpr std::array<MatchGroup, 12> kGroups{{
    {ReadingKind::Temperature,
     &SensorSnapshot::cpuTemperature,
     Compare::Equal,
     {"CPU", "CPU Temperature", "CPU Package", "CPU (Tctl/Tdie)"}},
    {ReadingKind::Temperature,
     &SensorSnapshot::gpuTemperature,
     Compare::Equal,
     {"GPU Temperature", "GPU Thermal Diode", "GPU TS0 (DispIO)"}},
    {ReadingKind::Temperature,
     &SensorSnapshot::boardTemperature,
     Compare::Equal,
     {"Motherboard", "PCH Temperature", "Chipset 1 (xHCI)"}},
    {ReadingKind::Fan, &SensorSnapshot::cpuFan, Compare::Equal, {"CPU", "CPU Fan", "SYSFANIN", "CPUFANIN0"}},
    {ReadingKind::Fan, &SensorSnapshot::gpuFan, Compare::Contains, {"GPU Fan"}},
    {ReadingKind::Power, &SensorSnapshot::cpuPower, Compare::Equal, {"CPU Package Power"}},
    {ReadingKind::Power,
     &SensorSnapshot::gpuPower,
     Compare::Equal,
     {"GPU Power (Total)", "GPU ASIC Power", "Total Graphics Power (TGP)", "GPU Core Power (VDDCR_GFX)",
      "GPU SoC Power (VDDCR_SOC)", "IGPU Power"}},
    {ReadingKind::Clock, &SensorSnapshot::cpuClock, Compare::Contains, {"Core 0 Clock", "core 0 Clock"}},
    {ReadingKind::Clock, &SensorSnapshot::gpuClock, Compare::Equal, {"GPU Clock"}},
    {ReadingKind::Clock, &SensorSnapshot::memoryClock, Compare::Equal, {"Memory Clock"}},
    {ReadingKind::Usage, &SensorSnapshot::cpuUsage, Compare::Equal, {"Total CPU Usage"}},
    {ReadingKind::Usage, &SensorSnapshot::gpuUsage, Compare::Equal, {"GPU Core Load", "GPU D3D Usage"}},
}};

bool groupMatches(const MatchGroup &group, std::string_view label)
{
    for (std::string_view text : group.texts) {
        if (text.empty())
            break;
        const bool hit = group.compare == Compare::Equal ? label == text : label.find(text) != std::string_view::npos;
        if (hit)
            return true;
    }
    return false;
}

// The SDK answers in double; the snapshot keeps float. Values past float's range become infinity
// explicitly, as converting them directly would be undefined.
float narrow(double value)
{
    if (value > static_cast<double>(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace

bool SensorMatcher::offer(ReadingKind kind, const char *label, double value)
{
    if (!readingPresent(label, value))
        return false;
    const std::string_view text(label);
    for (std::size_t i = 0; i < kGroups.size(); ++i) {
        const MatchGroup &group = kGroups[i];
        if (group.kind != kind || taken[i] || !groupMatches(group, text))
            continue;
        gathered.*group.field = narrow(value);
        taken[i] = true;
        return true;
    }
    return false;
}

void SensorSourceSeen::see(ReadingKind kind, const char *label)
{
    if (label[0] == '\0')
        return;
    const std::string_view text(label);
    for (std::size_t i = 0; i < kGroups.size(); ++i) {
        if (kGroups[i].kind == kind && !seenGroups[i] && groupMatches(kGroups[i], text))
            seenGroups[i] = true;
    }
}

bool SensorSourceSeen::seen(float SensorSnapshot::*field) const
{
    for (std::size_t i = 0; i < kGroups.size(); ++i) {
        if (kGroups[i].field == field)
            return seenGroups[i];
    }
    return false;
}
