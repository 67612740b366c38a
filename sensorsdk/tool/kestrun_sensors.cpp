// kestrun-sensors: prints every sensor and reading libsensorsdk.so offers, with the figure of the
// window each reading would fill, and ends with the figures no reading fills and why, so a user
// can see why a figure stays empty and what to do: load a driver, or re-label a reading in
// /etc/sensors.d.

#include "hardware/figurereasons.h"
#include "hardware/sensormatch.h"
#include "platform/machinefacts.h"
#include "platform/sensorsdk_abi.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
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

// Offers the reading to the sensor thread's matcher and names the field it filled, if any.
std::string verdict(SensorMatcher &matcher, ReadingKind kind, const char *label, double value)
{
    const SensorSnapshot before = matcher.snapshot();
    if (!matcher.offer(kind, label, value))
        return value < 1.0 ? "(below 1: ignored)" : "";
    for (const SensorSnapshotField &field : kSensorSnapshotFields) {
        if (before.*field.member != matcher.snapshot().*field.member)
            return std::string("-> ") + field.name;
    }
    return "-> (filled)";
}

std::string capitalised(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// The figures without a source, those that share a reason together under it.
void printFiguresWithoutSource(const std::vector<Figure> &missing, int sdkStatus, bool oneSample)
{
    if (missing.empty()) {
        std::puts("\nEvery figure the window shows has a source.");
        return;
    }
    const MachineFacts facts = sdkStatus == 0 ? kestrun::platform::probeMachineFacts() : MachineFacts{};
    std::vector<std::pair<std::string, const FigureReason *>> groups; // figure names, reason
    const std::vector<FigureReason> reasons = explainMissingFigures(missing, facts, sdkStatus, oneSample);
    for (const FigureReason &reason : reasons) {
        auto same = groups.begin();
        while (same != groups.end() && reasonText(*same->second) != reasonText(reason))
            ++same;
        if (same == groups.end())
            groups.emplace_back(figureName(reason.figure), &reason);
        else
            same->first += std::string(", ") + figureName(reason.figure);
    }
    std::puts("\nFigures without a source:");
    for (const auto &[names, reason] : groups) {
        std::printf("  %s:\n    %s.\n", names.c_str(), capitalised(reason->reason).c_str());
        if (!reason->remedy.empty())
            std::printf("    %s\n", reason->remedy.c_str());
    }
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
        std::vector<Figure> all;
        for (const ShownFigure &shown : kShownFigures)
            all.push_back(shown.figure);
        printFiguresWithoutSource(all, status, once);
        return 1;
    }
    const int count = sdkSensorCount();
    if (!once) {
        for (int sensor = 0; sensor < count; ++sensor)
            sdkPrepareSensor(sensor);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    SensorMatcher matcher;
    SensorSourceSeen sources;
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
                sources.see(kReadingKindsInWalkOrder[kind], label);
                std::printf("  %-11s %3d  %-28s %10.1f %-4s %s\n", kinds[kind].name, reading, label, value,
                            kinds[kind].unit, verdict(matcher, kReadingKindsInWalkOrder[kind], label, value).c_str());
            }
        }
    }
    if (count == 0)
        std::puts("No sensors found.");
    sdkUninit();
    printFiguresWithoutSource(figuresWithoutSource(sources), 0, once);
    return 0;
}
