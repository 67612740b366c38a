// Arbitrary sysfs and /proc contents through the sensor library's parsers.

#include "parse.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace sensorsdk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    parseInteger(text);
    if (const auto d = parseDecimal(text); d && !std::isfinite(*d))
        std::abort();
    const std::string_view t = trimmed(text);
    if (t.size() > text.size())
        std::abort();
    for (const auto &processor : parseCpuinfo(text)) {
        if (processor.mhz && !std::isfinite(*processor.mhz))
            std::abort();
    }
    parseCpuModel(text);
    if (const auto pci = parsePciAddress(text); pci && (pci->bus > 0xff || pci->device > 0x1f || pci->function > 7))
        std::abort();

    // Two /proc/stat samples: the input split in two.
    const std::string_view first = text.substr(0, size / 2);
    const std::string_view second = text.substr(size / 2);
    const auto before = parseProcStatCpu(first);
    const auto after = parseProcStatCpu(second);
    if (before && before->busy > before->total)
        std::abort();
    if (before && after) {
        if (const auto usage = usageBetween(*before, *after); usage && !(*usage >= 0.0 && *usage <= 100.0))
            std::abort();
    }

    // Counter readings as any numbers, and any interval.
    FuzzedDataProvider in(data, size);
    const long long beforeUj = in.ConsumeIntegral<long long>();
    const long long afterUj = in.ConsumeIntegral<long long>();
    const long long maxRange = in.ConsumeIntegral<long long>();
    const double seconds = in.ConsumeFloatingPoint<double>();
    if (const auto watts = energyRateWatts(beforeUj, afterUj, maxRange, seconds); watts && std::isnan(*watts))
        std::abort();
    return 0;
}
