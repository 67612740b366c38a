// Arbitrary readings (kind, label bytes, value) through the sensor label matching, with labels
// cut to the SDK's 256-byte buffer as the read cycle does.

#include "hardware/sensormatch.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    SensorMatcher matcher;
    char label[256];
    while (in.remaining_bytes() > 0) {
        const ReadingKind kind = kReadingKindsInWalkOrder[in.ConsumeIntegralInRange<std::size_t>(0, 4)];
        const double value =
            in.ConsumeBool() ? in.ConsumeFloatingPoint<double>() : in.ConsumeIntegralInRange<int>(-5, 5000);
        const std::string text = in.ConsumeRandomLengthString(300);
        std::memset(label, 'A', sizeof label);
        std::memcpy(label, text.data(), std::min(text.size(), sizeof label));
        label[sizeof label - 1] = '\0';
        const bool filled = matcher.offer(kind, label, value);
        if (filled && !readingPresent(label, value))
            std::abort();
    }
    // Every field is unmatched (0) or a present reading (at least 1, never NaN).
    const SensorSnapshot &s = matcher.snapshot();
    for (float v : {s.cpuTemperature, s.cpuUsage, s.cpuClock, s.cpuPower, s.cpuFan, s.gpuTemperature, s.gpuUsage,
                    s.gpuClock, s.gpuPower, s.gpuFan, s.boardTemperature, s.memoryClock}) {
        if (std::isnan(v) || (v != 0.0f && !(v >= 1.0f)))
            std::abort();
    }
    return 0;
}
