// The data path on its own: the real sensor thread and loader with the scripted stand-in SDK
// (datapath.scenario), what it tells the window once per cycle, and its reports to the emulated
// display.

#include "datapath/ddatapath.h"
#include "emulateddisplay.h"
#include "sensortestsupport.h"
#include "testenv.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <chrono>
#include <map>
#include <thread>

using namespace kestrun::test;

namespace {

// What the monitor page is to show in the scenario's three cycles, which the CPU temperature
// tells apart.
struct Expected {
    int cpuTemperature;
    PeakBar cpuClock;
    PeakBar cpuPower;
};

const Expected kCycles[] = {
    {55, {4700, 4701}, {65, 66}},
    {56, {3000, 4701}, {20, 66}}, // the bars keep their peaks
    {57, {5000, 5001}, {20, 66}},
};

} // namespace

// For QCOMPARE, found beside the type.
static bool operator==(const PeakBar &a, const PeakBar &b)
{
    return a.value == b.value && a.maximum == b.maximum;
}

static char *toString(const PeakBar &bar)
{
    return qstrdup(qPrintable(QStringLiteral("%1 of %2").arg(bar.value).arg(bar.maximum)));
}

class TestDataPath : public QObject
{
    Q_OBJECT

private slots:
    void cyclesTellWhatTheMonitorShows();
    void reportsNeedNoGuiThread();
};

void TestDataPath::cyclesTellWhatTheMonitorShows()
{
    DebugCapture log;
    DDataPath path;
    QSignalSpy status(&path, &DDataPath::sigHidStatusText);
    std::map<int, MonitorFigures> cycles; // by CPU temperature
    int told = 0;
    connect(&path, &DDataPath::sigCycleFigures, this, [&](const MonitorFigures &figures) {
        ++told;
        cycles.emplace(figures.cpuTemperature, figures);
    });

    // Before the SDK's word a cycle only says so.
    path.onGetPcInfoOk();
    QCOMPARE(log.take(), QStringList{"SDK Init doing ... ... wait monment ... "});
    QCOMPARE(told, 0);

    path.startSensorThread();
    path.onStartUpdateLater();
    // No display on this machine.
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Disconnected"));
    QVERIFY(!path.isLinkOpen());
    QTRY_VERIFY_WITH_TIMEOUT(cycles.size() == 3, 30000);
    QStringList start = log.take().filter(QRegularExpression("^Start |^HWi32SDK"));
    QCOMPARE(start,
             (QStringList{"Start Update -> Start", "Start Update -> Over",
                          "Start Thread Runing SDK -> GetComputerInfo [Start]", "HWi32SDK init Over [Successful]"}));

    for (const Expected &e : kCycles) {
        QVERIFY2(cycles.count(e.cpuTemperature), qPrintable(QString::number(e.cpuTemperature)));
        const MonitorFigures &f = cycles.at(e.cpuTemperature);
        QCOMPARE(f.gpuTemperature, 61);
        QCOMPARE(f.cpuUsage, 37);
        QCOMPARE(f.gpuUsage, 99);
        QCOMPARE(f.cpuClock, e.cpuClock);
        QCOMPARE(f.gpuClock, (PeakBar{1500, 1501}));
        QCOMPARE(f.cpuFan, (PeakBar{1180, 1181}));
        QCOMPARE(f.gpuFan, (PeakBar{0, 1})); // no reading: 0 on a bar of 1
        // ... and the window is told so; every other figure has its reading.
        FigureSet unread;
        unread.set(static_cast<std::size_t>(Figure::GpuFan));
        QVERIFY2(f.unread == unread, f.unread.to_string().c_str());
        QCOMPARE(f.cpuPower, e.cpuPower);
        QCOMPARE(f.gpuPower, (PeakBar{120, 121}));
        // This machine's memory and the file system that holds /.
        QVERIFY(f.memoryLoad <= 100);
        QVERIFY2(QRegularExpression("^\\d+\\.\\dG/\\d+\\.\\dG$").match(f.memoryText).hasMatch(),
                 qPrintable(f.memoryText));
        QVERIFY(f.drive);
        QVERIFY(f.drive->percent >= 0 && f.drive->percent <= 100);
        QVERIFY2(QRegularExpression("^\\d+G/\\d+G$").match(f.drive->text).hasMatch(), qPrintable(f.drive->text));
    }
    // The last cycle's temperatures stay for the unit switch.
    QCOMPARE(path.cpuTemperature(), 57);
    QCOMPARE(path.gpuTemperature(), 61);

    // The end releases the SDK once; a second request does nothing, and no cycle runs after it,
    // not even one already queued.
    log.take();
    QVERIFY(path.shutdown());
    QVERIFY(log.take().contains("HWi32SDK UNinit Over [Status],errorCode: 0"));
    QVERIFY(!path.shutdown());
    const int toldBefore = told;
    path.onGetPcInfoOk();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    QCOMPARE(told, toldBefore);
    QCOMPARE(log.take(), QStringList());
    const std::optional<StandinStats> stats = loadedStandinStats();
    QVERIFY(stats);
    QCOMPARE(stats->uninitCalls, 1);
    QCOMPARE(stats->callsAfterUninit, 0);
}

// The sensor thread's cycles reach the display while the GUI thread runs no event at all, and while
// the figures are held the GUI thread is not told of them: a hidden window costs no wake-up.
void TestDataPath::reportsNeedNoGuiThread()
{
    EmulatedDisplay machine;
    machine.plug();
    DDataPath path;
    int told = 0;
    connect(&path, &DDataPath::sigCycleFigures, this, [&told] { ++told; });
    path.startSensorThread();
    path.onStartUpdateLater();
    QVERIFY(path.isLinkOpen());
    // The SDK's word has reached this thread once a cycle is told.
    QTRY_VERIFY_WITH_TIMEOUT(told > 0, 30000);

    path.holdFigures();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    const int toldBefore = told;
    const std::size_t reportsBefore = machine.reportCount();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (machine.reportCount() < reportsBefore + 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QVERIFY(machine.reportCount() >= reportsBefore + 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    QCOMPARE(told, toldBefore);

    // What was held is the latest cycle's, with this machine's drive.
    const std::optional<MonitorFigures> held = path.releaseFigures();
    QVERIFY(held);
    QVERIFY(held->cpuTemperature >= 55 && held->cpuTemperature <= 57);
    QVERIFY(held->drive);
    QVERIFY(!path.releaseFigures());
    QTRY_VERIFY_WITH_TIMEOUT(told > toldBefore, 30000);
    QVERIFY(path.shutdown());
}

KESTRUN_TEST_MAIN(TestDataPath)
#include "tst_datapath.moc"
