// kestrun-sensors: prints every sensor and reading libsensorsdk.so offers, with the figure of the
// window each reading would fill, so a user can see why a figure stays empty and which reading to
// re-label in /etc/sensors.d.

#include "hardware/sensormatch.h"
#include "platform/sensorsdk_abi.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct KindInfo {
    const char *name;
    const char *unit;
    double (*read)(int, int, char *, int);
};

double readFanAsDouble(int sensor, int reading, char *label, int size)
{
    return sdkReadFan(sensor, reading, label, size);
}

const KindInfo kinds[] = {
    {"temperature", "°C", sdkReadTemperature},
    {"fan", "RPM", readFanAsDouble},
    {"power", "W", sdkReadPower},
    {"clock", "MHz", sdkReadClock},
    {"usage", "%", sdkReadUsage},
};

// The snapshot fields by name, to tell which one a reading filled.
struct Field {
    const char *name;
    float SensorSnapshot::*member;
};

const Field fields[] = {
    {"cpuTemperature", &SensorSnapshot::cpuTemperature}, {"cpuUsage", &SensorSnapshot::cpuUsage},
    {"cpuClock", &SensorSnapshot::cpuClock},             {"cpuPower", &SensorSnapshot::cpuPower},
    {"cpuFan", &SensorSnapshot::cpuFan},                 {"gpuTemperature", &SensorSnapshot::gpuTemperature},
    {"gpuUsage", &SensorSnapshot::gpuUsage},             {"gpuClock", &SensorSnapshot::gpuClock},
    {"gpuPower", &SensorSnapshot::gpuPower},             {"gpuFan", &SensorSnapshot::gpuFan},
    {"boardTemperature", &SensorSnapshot::boardTemperature}, {"memoryClock", &SensorSnapshot::memoryClock},
};

// Offers the reading to the sensor thread's matcher and names the field it filled, if any.
std::string verdict(SensorMatcher &matcher, ReadingKind kind, const char *label, double value)
{
    const SensorSnapshot before = matcher.snapshot();
    if (!matcher.offer(kind, label, value))
        return value < 1.0 ? "(below 1: ignored)" : "";
    for (const Field &field : fields) {
        if (before.*field.member != matcher.snapshot().*field.member)
            return std::string("-> ") + field.name;
    }
    return "-> (filled)";
}

void usage()
{
    std::puts("Usage: kestrun-sensors [--once]\n"
              "Lists the sensors and readings Kestrun sees and the figure each one fills.\n"
              "  --once  one sample only (CPU usage and energy-based power need two, a second apart)");
}

} // namespace

int main(int argc, char *argv[])
{
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--once") == 0) {
            once = true;
        } else {
            usage();
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    const int status = sdkInit(64);
    if (status != 0) {
        std::fprintf(stderr, "kestrun-sensors: the sensor library did not start (%d)\n", status);
        return 1;
    }
    const int count = sdkSensorCount();
    if (!once) {
        for (int sensor = 0; sensor < count; ++sensor)
            sdkPrepareSensor(sensor);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    SensorMatcher matcher;
    char label[256];
    for (int sensor = 0; sensor < count; ++sensor) {
        sdkPrepareSensor(sensor);
        sdkSensorName(sensor, label, sizeof label);
        std::printf("Sensor %d: %s\n", sensor, label);
        for (int reading = 0; reading < 512; ++reading) {
            for (int kind = 0; kind < 5; ++kind) {
                label[0] = '\0';
                const double value = kinds[kind].read(sensor, reading, label, sizeof label);
                if (label[0] == '\0')
                    continue;
                std::printf("  %-11s %3d  %-28s %10.1f %-4s %s\n", kinds[kind].name, reading, label, value,
                            kinds[kind].unit,
                            verdict(matcher, kReadingKindsInWalkOrder[kind], label, value).c_str());
            }
        }
    }
    if (count == 0)
        std::puts("No sensors found.");
    sdkUninit();
    return 0;
}
