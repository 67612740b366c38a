// Cost of one sensor read cycle (through the real loader and the scripted stand-in SDK, found via
// this executable's RUNPATH), of encoding one device report, and of the whole way from the SDK to a
// report waiting in the writer's queue.

#include "datapath/cyclefigures.h"
#include "device/devicereport.h"
#include "device/reportqueue.h"
#include "hardware/sensorcycle.h"
#include "platform/sensorsdk.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QtGlobal>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

// Ten sensors of 30 to 57 readings each, named like those of a desktop machine.
std::string writeScenario()
{
    char path[] = "/tmp/kestrun-bench-scenario-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    std::ofstream out(path);
    const char *sensors[] = {"System: Desktop",
                             "CPU [#0]: Processor",
                             "CPU [#0]: Processor: Enhanced",
                             "CPU [#0]: Processor: C-State Residency",
                             "Memory Timings",
                             "Motherboard: Super I/O",
                             "Drive: NVMe SSD",
                             "GPU [#0]: Graphics",
                             "Network: Ethernet",
                             "Windows Hardware Errors"};
    const char *kinds[] = {"temperature", "fan", "power", "clock", "usage"};
    for (int s = 0; s < 10; ++s) {
        out << "sensor " << sensors[s] << "\n";
        if (s == 1)
            out << "temperature 0 CPU Package = 45.5\nclock 1 P-core 0 Clock = 4700\n";
        const int readings = 30 + s * 3;
        for (int r = 2; r < readings; ++r)
            out << kinds[(r + s) % 5] << ' ' << r << " Core " << r << " Reading " << s << " = " << 10 + r << "\n";
    }
    return path;
}

// Silences standard output (the cycle prints a line per sensor) for as long as it lives.
class QuietStdout
{
public:
    QuietStdout()
    {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }

private:
    int saved = -1;
};

const kestrun::platform::SensorSdkApi *readySdk()
{
    static const kestrun::platform::SensorSdkApi *sdk = [] {
        const std::string scenario = writeScenario();
        setenv("KESTRUN_SDK_SCENARIO", scenario.c_str(), 1);
        const kestrun::platform::SensorSdkApi *api = kestrun::platform::sensorSdk();
        if (api && api->init(SENSORSDK_INIT_ARGUMENT) != 0)
            api = nullptr;
        std::remove(scenario.c_str());
        return api;
    }();
    return sdk;
}

void cycle(benchmark::State &state, bool logDetails)
{
    const auto *sdk = readySdk();
    if (!sdk) {
        state.SkipWithError("the scripted stand-in SDK did not load");
        return;
    }
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const std::atomic<bool> keepGoing{true};
    QuietStdout quiet;
    for (auto _ : state)
        benchmark::DoNotOptimize(readSensorCycle(*sdk, logDetails, keepGoing));
    qInstallMessageHandler(nullptr);
}

// The walk with its matching, the report's figures, the encoding, and the hand-over to the writer
// thread as the transport makes it (the queue under its lock, the writer woken).
void BM_CycleToQueuedReport(benchmark::State &state)
{
    const auto *sdk = readySdk();
    if (!sdk) {
        state.SkipWithError("the scripted stand-in SDK did not load");
        return;
    }
    const std::atomic<bool> keepGoing{true};
    std::mutex queueLock;
    std::condition_variable queueChanged;
    ReportQueue queue;
    QuietStdout quiet;
    for (auto _ : state) {
        const std::optional<SensorSnapshot> snapshot = readSensorCycle(*sdk, false, keepGoing);
        ReportFigures figures = sensorReportFigures(snapshot.value_or(SensorSnapshot{}));
        figures.memoryLoad = 41;
        figures.totalPhys = 17071435776ULL;
        figures.drive = ReportDrive{511101431808ULL, 122000000000ULL};
        const QDateTime now = QDateTime::currentDateTime();
        figures.date = now.date();
        figures.time = now.time();
        const DeviceReport report = encodeDeviceReport(figures);
        {
            const std::lock_guard<std::mutex> lock(queueLock);
            queue.push(report.data());
        }
        queueChanged.notify_one();
    }
    benchmark::DoNotOptimize(queue.size());
}
BENCHMARK(BM_CycleToQueuedReport)->Unit(benchmark::kMicrosecond);

void BM_SensorCycle(benchmark::State &state)
{
    cycle(state, false);
}
BENCHMARK(BM_SensorCycle)->Unit(benchmark::kMicrosecond);

void BM_SensorCycleFirstLogged(benchmark::State &state)
{
    cycle(state, true);
}
BENCHMARK(BM_SensorCycleFirstLogged)->Unit(benchmark::kMicrosecond);

void BM_EncodeDeviceReport(benchmark::State &state)
{
    ReportFigures figures;
    figures.cpuTemperature = 45;
    figures.cpuClock = 4700;
    figures.totalPhys = 17071435776ULL;
    figures.drive = ReportDrive{511101431808ULL, 122000000000ULL};
    figures.date = QDate(2024, 3, 7);
    figures.time = QTime(14, 5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(figures);
        benchmark::DoNotOptimize(encodeDeviceReport(figures));
    }
}
BENCHMARK(BM_EncodeDeviceReport);

} // namespace

BENCHMARK_MAIN();
