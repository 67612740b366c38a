// The cost of one sensor cycle as the sensor thread makes it: per sensor one prepare, the name and
// 5 x 512 reads. Run plainly for this machine's /proc and /sys, and under umockdev-wrapper for the
// emulated Intel desktop and for layout 067 of the sensor corpus, its largest real machine (see
// CONTRIBUTING.md).

#include "corpus.h"
#include "fakenvml.h"
#include "platform/sensorsdk_abi.h"
#include "testbed.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {

// umockdev-wrapper preloads its library; without it a testbed cannot replace /sys.
bool underUmockdev()
{
    const char *preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "umockdev-preload");
}

void fullCycle(benchmark::State &state)
{
    char label[256];
    double sum = 0;
    for (auto _ : state) {
        const int count = sdkSensorCount();
        for (int sensor = 0; sensor < count; ++sensor) {
            sdkPrepareSensor(sensor);
            sdkSensorName(sensor, label, sizeof label);
            for (int reading = 0; reading < 512; ++reading) {
                label[0] = '\0';
                sum += sdkReadTemperature(sensor, reading, label, sizeof label);
                label[0] = '\0';
                sum += sdkReadFan(sensor, reading, label, sizeof label);
                label[0] = '\0';
                sum += sdkReadPower(sensor, reading, label, sizeof label);
                label[0] = '\0';
                sum += sdkReadClock(sensor, reading, label, sizeof label);
                label[0] = '\0';
                sum += sdkReadUsage(sensor, reading, label, sizeof label);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["sensors"] = sdkSensorCount();
}

void BM_CycleThisMachine(benchmark::State &state)
{
    if (underUmockdev()) {
        state.SkipWithError("run without umockdev-wrapper to measure this machine");
        return;
    }
    sdkInit(64);
    fullCycle(state);
    sdkUninit();
}
BENCHMARK(BM_CycleThisMachine)->Unit(benchmark::kMicrosecond);

void BM_CycleEmulatedDesktop(benchmark::State &state)
{
    if (!underUmockdev()) {
        state.SkipWithError("run under umockdev-wrapper to measure the emulated desktop");
        return;
    }
    sensortest::Testbed bed;
    sensortest::buildIntelDesktop(bed);
    // The desktop's NVIDIA card, when the stand-in NVML is on the library path.
    void *nvml = ::dlopen("libnvidia-ml.so.1", RTLD_NOW | RTLD_LOCAL);
    if (nvml) {
        if (auto configure = reinterpret_cast<FakeNvmlConfigure>(::dlsym(nvml, "fakeNvmlConfigure"))) {
            const FakeNvmlGpu gpu{0, 1, "NVIDIA GeForce RTX 3070", 61, 37, 1845, 123456, 1500, 0};
            configure(0, 1, &gpu);
        }
    }
    sdkInit(64);
    fullCycle(state);
    sdkUninit();
    if (nvml)
        ::dlclose(nvml);
}
BENCHMARK(BM_CycleEmulatedDesktop)->Unit(benchmark::kMicrosecond);

// 067: two Xeon packages, a Lewisburg PCH, five NVMe drives, an nct7904 and an nct6793, an AMD card.
void BM_CycleCorpus067(benchmark::State &state)
{
    if (!underUmockdev()) {
        state.SkipWithError("run under umockdev-wrapper to measure the corpus machine");
        return;
    }
    sensorcorpus::useMemoryForTestbeds();
    const auto layouts = sensorcorpus::layouts(KESTRUN_CORPUS_LAYOUTS);
    const auto layout =
        std::find_if(layouts.begin(), layouts.end(), [](const sensorcorpus::Layout &one) { return one.id == "067"; });
    if (layout == layouts.end()) {
        state.SkipWithError("layout 067 is not in " KESTRUN_CORPUS_LAYOUTS);
        return;
    }
    sensortest::Testbed bed;
    if (!sensorcorpus::buildMachine(bed, *layout).empty()) {
        state.SkipWithError("layout 067 does not parse");
        return;
    }
    sdkInit(64);
    fullCycle(state);
    sdkUninit();
}
BENCHMARK(BM_CycleCorpus067)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
