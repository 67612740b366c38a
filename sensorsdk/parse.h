#pragma once

// Pure parsers for the text the kernel hands out in sysfs and /proc.
// Every function accepts arbitrary bytes: malformed text gives "no value", never a fault.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sensorsdk {

// A whole sysfs integer attribute ("45000\n"); surrounding blanks allowed, anything else rejected.
std::optional<long long> parseInteger(std::string_view text);

// A decimal number such as "2096.013"; surrounding blanks allowed. Non-finite values are rejected.
std::optional<double> parseDecimal(std::string_view text);

// The text with leading and trailing blanks and newlines removed.
std::string_view trimmed(std::string_view text);

// Busy and total jiffies of the aggregate "cpu " line of /proc/stat.
struct CpuTimes {
    unsigned long long busy = 0;
    unsigned long long total = 0;
};
std::optional<CpuTimes> parseProcStatCpu(std::string_view statText);

// Percentage of busy time between two samples; none when no time passed or the counters went back.
std::optional<double> usageBetween(const CpuTimes &before, const CpuTimes &after);

// One "processor" block of /proc/cpuinfo. Ids are -1 where the block does not give them.
struct CpuinfoProcessor {
    int processor = -1;
    int physicalId = -1;
    int coreId = -1;
    std::optional<double> mhz;
};
std::vector<CpuinfoProcessor> parseCpuinfo(std::string_view text);

// The first model name of /proc/cpuinfo given, or empty.
std::string parseCpuModel(std::string_view text);

// Average power in watts from two readings of a microjoule counter that wraps at maxRangeUj.
// None when no time passed, a reading is negative, or a reading lies beyond the counter's range.
std::optional<double> energyRateWatts(long long beforeUj, long long afterUj, long long maxRangeUj, double seconds);

// A fan tachometer's reading as a speed. 65535 RPM and beyond is no speed but the all-ones count of
// an input without a tachometer signal (no fan turns that fast): none.
std::optional<double> fanSpeed(double rpm);

// The kernel's number of a hwmon chip, N of the last path component "hwmonN" ("/sys/class/hwmon/hwmon3",
// or ".../hwmon3/device" for drivers whose files sit in the device's folder). The kernel numbers
// chips as they register, taking the lowest free number.
std::optional<unsigned long> hwmonNumber(std::string_view path);

// A PCI address "dddd:bb:dd.f" (the domain may have any number of hex digits), ordered as a number.
struct PciAddress {
    unsigned long long domain = 0;
    unsigned bus = 0;
    unsigned device = 0;
    unsigned function = 0;
    bool operator<(const PciAddress &other) const;
};
std::optional<PciAddress> parsePciAddress(std::string_view text);

} // namespace sensorsdk
