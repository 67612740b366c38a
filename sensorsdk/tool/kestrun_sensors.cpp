// kestrun-sensors: prints every sensor and reading libsensorsdk.so offers, with the figure of the
// window each reading would fill, so a user can see why a figure stays empty and which reading to
// re-label in /etc/sensors.d.

#include "entrypoints.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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

// The labels the sensor thread looks for, per kind, in the order it tries them.
struct Group {
    int kind;
    const char *field;
    std::vector<const char *> equal;
    std::vector<const char *> contains;
};

const std::vector<Group> &groups()
{
    static const std::vector<Group> table = {
        {0, "cpuTemperature", {"CPU", "CPU Temperature", "CPU Package", "CPU (Tctl/Tdie)"}, {}},
        {0, "gpuTemperature", {"GPU Temperature", "GPU Thermal Diode", "GPU TS0 (DispIO)"}, {}},
        {0, "boardTemperature", {"Motherboard", "PCH Temperature", "Chipset 1 (xHCI)"}, {}},
        {1, "cpuFan", {"CPU", "CPU Fan", "SYSFANIN", "CPUFANIN0"}, {}},
        {1, "gpuFan", {}, {"GPU Fan"}},
        {2, "cpuPower", {"CPU Package Power"}, {}},
        {2, "gpuPower",
         {"GPU Power (Total)", "GPU ASIC Power", "Total Graphics Power (TGP)", "GPU Core Power (VDDCR_GFX)",
          "GPU SoC Power (VDDCR_SOC)", "IGPU Power"},
         {}},
        {3, "cpuClock", {}, {"Core 0 Clock", "core 0 Clock"}},
        {3, "gpuClock", {"GPU Clock"}, {}},
        {3, "memoryClock", {"Memory Clock"}, {}},
        {4, "cpuUsage", {"Total CPU Usage"}, {}},
        {4, "gpuUsage", {"GPU Core Load", "GPU D3D Usage"}, {}},
    };
    return table;
}

bool matches(const Group &group, const char *label)
{
    for (const char *text : group.equal) {
        if (std::strcmp(label, text) == 0)
            return true;
    }
    for (const char *text : group.contains) {
        if (std::strstr(label, text))
            return true;
    }
    return false;
}

// What the reading does for the window: the field it fills, the field an earlier reading took,
// or nothing.
std::string verdict(int kind, const char *label, double value, std::vector<std::string> &taken)
{
    std::string passedOver;
    for (const Group &group : groups()) {
        if (group.kind != kind || !matches(group, label))
            continue;
        bool isTaken = false;
        for (const std::string &field : taken)
            isTaken = isTaken || field == group.field;
        if (isTaken) {
            passedOver = group.field;
            continue;
        }
        if (value < 1.0)
            return std::string("(") + group.field + " needs at least 1)";
        taken.push_back(group.field);
        return std::string("-> ") + group.field;
    }
    return passedOver.empty() ? std::string() : "(" + passedOver + " already filled)";
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
    std::vector<std::string> taken;
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
                            kinds[kind].unit, verdict(kind, label, value, taken).c_str());
            }
        }
    }
    if (count == 0)
        std::puts("No sensors found.");
    sdkUninit();
    return 0;
}
