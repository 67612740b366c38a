// Cost of one update cycle of the shown main window on the offscreen platform: the figures of one
// sensor cycle handed to the window, then the repaint they cause. The "paints" counter is the
// number of widgets painted per cycle, which shows how much of the window one cycle touches;
// "layouts" the layout requests handled per cycle, each a new layout of the widget's children.

#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgettest.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QThread>

#include <memory>

namespace {

constexpr quint64 kGiB = 1ULL << 30;

DMainWidget *g_window = nullptr;

// Figures that differ from one cycle to the next in every field, like a busy machine's.
SensorSnapshot changingSnapshot(int step)
{
    const float wave = static_cast<float>(step % 20);
    SensorSnapshot s;
    s.cpuTemperature = 45 + wave;
    s.cpuUsage = 10 + 3 * wave;
    s.cpuClock = 3600 + 40 * wave;
    s.cpuFan = 1100 + 20 * wave;
    s.cpuPower = 40 + wave;
    s.gpuTemperature = 50 + wave;
    s.gpuUsage = 5 + 4 * wave;
    s.gpuClock = 1500 + 30 * wave;
    s.gpuFan = 900 + 25 * wave;
    s.gpuPower = 60 + 2 * wave;
    return s;
}

MemoryFigures memoryAt(int step)
{
    return MemoryFigures{static_cast<quint32>(40 + step % 20), 16 * kGiB, (8 + step % 4) * kGiB};
}

const DriveFigures kDrive{512 * kGiB, 200 * kGiB};

void runCycles(benchmark::State &state, bool changing, bool paint)
{
    const kestrun::test::PaintCounter counter(qApp);
    const kestrun::test::EventCounter layouts(qApp, QEvent::LayoutRequest);
    int step = 0;
    for (auto _ : state) {
        const int at = changing ? ++step : 0;
        g_window->dataPath().runCycle(changingSnapshot(at), memoryAt(at), kDrive);
        if (paint)
            QCoreApplication::processEvents();
    }
    state.counters["paints"] =
        benchmark::Counter(static_cast<double>(counter.count), benchmark::Counter::kAvgIterations);
    state.counters["layouts"] =
        benchmark::Counter(static_cast<double>(layouts.count), benchmark::Counter::kAvgIterations);
}

void BM_WindowCycleChanging(benchmark::State &state)
{
    runCycles(state, true, true);
}
BENCHMARK(BM_WindowCycleChanging)->Unit(benchmark::kMicrosecond);

void BM_WindowCycleUnchanged(benchmark::State &state)
{
    runCycles(state, false, true);
}
BENCHMARK(BM_WindowCycleUnchanged)->Unit(benchmark::kMicrosecond);

void BM_WindowFiguresOnly(benchmark::State &state)
{
    runCycles(state, true, false);
}
BENCHMARK(BM_WindowFiguresOnly)->Unit(benchmark::kMicrosecond);

// For scale: the whole window painted at once.
void BM_WindowFullRepaint(benchmark::State &state)
{
    for (auto _ : state)
        g_window->repaint();
}
BENCHMARK(BM_WindowFullRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    kestrun::test::isolateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    DDataManager::instance()->initInfo();
    auto window = std::make_unique<DMainWidget>();
    window->show();
    // Lets the start-up work (the delayed link and SDK start, the first paint) settle first.
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    g_window = window.get();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
