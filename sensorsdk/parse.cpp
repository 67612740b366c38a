#include "parse.h"

#include "parse/cpuinfo.h"

#include <charconv>
#include <cmath>
#include <tuple>

namespace sensorsdk {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

template <typename T>
std::optional<T> parseWhole(std::string_view text, int base = 10)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    T value{};
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Splits off the next line, without its newline.
std::string_view nextLine(std::string_view &text)
{
    const auto newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    return line;
}

} // namespace

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<long long> parseInteger(std::string_view text)
{
    return parseWhole<long long>(text);
}

std::optional<double> parseDecimal(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<CpuTimes> parseProcStatCpu(std::string_view statText)
{
    std::string_view rest = statText;
    while (!rest.empty()) {
        std::string_view line = nextLine(rest);
        if (line.substr(0, 4) != "cpu ")
            continue;
        line.remove_prefix(4);
        // user nice system idle iowait irq softirq steal [guest guest_nice]; guest time is
        // already counted in user and nice, so only the first eight fields make up the total.
        unsigned long long fields[8] = {};
        int count = 0;
        while (count < 8) {
            line = trimmed(line);
            if (line.empty())
                break;
            const auto blank = line.find_first_of(" \t");
            const auto value = parseWhole<unsigned long long>(line.substr(0, blank));
            if (!value)
                return std::nullopt;
            fields[count++] = *value;
            line = blank == std::string_view::npos ? std::string_view() : line.substr(blank);
        }
        if (count < 4)
            return std::nullopt;
        CpuTimes times;
        for (int i = 0; i < count; ++i) {
            if (times.total > ~0ULL - fields[i])
                return std::nullopt;
            times.total += fields[i];
        }
        const unsigned long long idle = fields[3] + fields[4];
        if (idle > times.total)
            return std::nullopt;
        times.busy = times.total - idle;
        return times;
    }
    return std::nullopt;
}

std::optional<double> usageBetween(const CpuTimes &before, const CpuTimes &after)
{
    if (after.total <= before.total || after.busy < before.busy)
        return std::nullopt;
    const auto total = static_cast<double>(after.total - before.total);
    const auto busy = static_cast<double>(after.busy - before.busy);
    if (busy > total)
        return std::nullopt;
    return busy * 100.0 / total;
}

std::vector<CpuinfoProcessor> parseCpuinfo(std::string_view text)
{
    std::vector<CpuinfoProcessor> processors;
    for (const CpuinfoBlock &block : parseCpuinfoBlocks(text)) {
        if (!block.hasProcessor)
            continue;
        CpuinfoProcessor processor;
        processor.processor = block.processor.value_or(static_cast<int>(processors.size()));
        processor.physicalId = parseWhole<int>(block.physicalId).value_or(-1);
        processor.coreId = block.coreId.value_or(-1);
        processor.mhz = block.mhz;
        processors.push_back(processor);
    }
    return processors;
}

std::string parseCpuModel(std::string_view text)
{
    for (const CpuinfoBlock &block : parseCpuinfoBlocks(text)) {
        if (!block.modelName.empty())
            return block.modelName;
    }
    return {};
}

std::optional<double> fanSpeed(double rpm)
{
    if (!std::isfinite(rpm) || rpm >= 65535)
        return std::nullopt;
    return rpm;
}

std::optional<double> energyRateWatts(long long beforeUj, long long afterUj, long long maxRangeUj, double seconds)
{
    if (!(seconds > 0) || beforeUj < 0 || afterUj < 0)
        return std::nullopt;
    long long delta = 0;
    if (afterUj >= beforeUj) {
        delta = afterUj - beforeUj;
    } else {
        // The counter wrapped: it counts from 0 to maxRangeUj and starts again at 0.
        if (maxRangeUj <= 0 || beforeUj > maxRangeUj || afterUj > maxRangeUj)
            return std::nullopt;
        delta = (maxRangeUj - beforeUj) + afterUj;
    }
    return static_cast<double>(delta) / 1e6 / seconds;
}

std::optional<unsigned long> hwmonNumber(std::string_view path)
{
    std::optional<unsigned long> number;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        constexpr std::string_view stem = "hwmon";
        if (component.size() <= stem.size() || component.substr(0, stem.size()) != stem)
            continue;
        const std::string_view digits = component.substr(stem.size());
        if (digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        if (const auto value = parseWhole<unsigned long>(digits))
            number = value;
    }
    return number;
}

bool PciAddress::operator<(const PciAddress &other) const
{
    return std::tie(domain, bus, device, function) < std::tie(other.domain, other.bus, other.device, other.function);
}

std::optional<PciAddress> parsePciAddress(std::string_view text)
{
    text = trimmed(text);
    const auto firstColon = text.find(':');
    const auto secondColon = text.find(':', firstColon == std::string_view::npos ? 0 : firstColon + 1);
    const auto dot = text.rfind('.');
    if (firstColon == std::string_view::npos || secondColon == std::string_view::npos || dot == std::string_view::npos
        || dot < secondColon)
        return std::nullopt;
    const auto domain = parseWhole<unsigned long long>(text.substr(0, firstColon), 16);
    const auto bus = parseWhole<unsigned>(text.substr(firstColon + 1, secondColon - firstColon - 1), 16);
    const auto device = parseWhole<unsigned>(text.substr(secondColon + 1, dot - secondColon - 1), 16);
    const auto function = parseWhole<unsigned>(text.substr(dot + 1), 16);
    if (!domain || !bus || !device || !function || *bus > 0xff || *device > 0x1f || *function > 7)
        return std::nullopt;
    return PciAddress{*domain, *bus, *device, *function};
}

} // namespace sensorsdk
