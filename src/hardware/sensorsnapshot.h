#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// The latest sensor values, rebuilt whole by every read cycle. A field is 0 when no reading matched
// it in that cycle; a stored value is always at least 1.0. Consumers copy the record as one block.
struct SensorSnapshot {
    float cpuTemperature = 0;   // degrees Celsius
    float cpuUsage = 0;         // percent
    float cpuClock = 0;         // MHz
    float cpuPower = 0;         // watts
    float cpuFan = 0;           // RPM
    float gpuTemperature = 0;   // degrees Celsius
    float gpuUsage = 0;         // percent
    float gpuClock = 0;         // MHz
    float gpuPower = 0;         // watts
    float gpuFan = 0;           // RPM
    float boardTemperature = 0; // degrees Celsius
    float memoryClock = 0;      // MHz
};

// Every field with its name, in record order, for tools and diagnostics that report by name.
struct SensorSnapshotField {
    const char *name;
    float SensorSnapshot::*member;
};

inline constexpr SensorSnapshotField kSensorSnapshotFields[] = {
    {"cpuTemperature", &SensorSnapshot::cpuTemperature},
    {"cpuUsage", &SensorSnapshot::cpuUsage},
    {"cpuClock", &SensorSnapshot::cpuClock},
    {"cpuPower", &SensorSnapshot::cpuPower},
    {"cpuFan", &SensorSnapshot::cpuFan},
    {"gpuTemperature", &SensorSnapshot::gpuTemperature},
    {"gpuUsage", &SensorSnapshot::gpuUsage},
    {"gpuClock", &SensorSnapshot::gpuClock},
    {"gpuPower", &SensorSnapshot::gpuPower},
    {"gpuFan", &SensorSnapshot::gpuFan},
    {"boardTemperature", &SensorSnapshot::boardTemperature},
    {"memoryClock", &SensorSnapshot::memoryClock},
};

// Truncation toward zero into a signed 32-bit integer, defined for every input: NaN gives 0, values
// beyond the range give the nearest limit. A plain cast would be undefined for those.
inline int truncateToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483649.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<int>(value);
}

// A snapshot value as the whole number the window and the device report use.
inline int snapshotToInt(float value)
{
    return truncateToInt32(static_cast<double>(value));
}
