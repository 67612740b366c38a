// The sensor thread against the scripted stand-in SDK, through the real loader.

#include "hardware/getpcinfothread.h"
#include "sensortestsupport.h"

#include "testenv.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <memory>
#include <pthread.h>
#include <thread>

using namespace kestrun::test;

namespace {

// One sensor thread as the window drives it: started at once, the SDK initialised from another
// thread, each finished cycle's snapshot copied on the GUI thread.
class Harness
{
public:
    explicit Harness(QObject *context)
    {
        QObject::connect(thread.get(), &getPcInfoThread::sigGetPcInfoOk, context, [this] {
            if (thread)
                snapshots.push_back(thread->copySnapshot());
        });
        QObject::connect(thread.get(), &getPcInfoThread::sigTheSdkInitStatus, context, [this](bool ok, int code) {
            initStatus = {ok, code};
        });
        thread->start(QThread::InheritPriority);
    }

    ~Harness()
    {
        thread.reset();
        // Signals queued before the thread ended still reach the slots above: deliver them now.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }

    // Runs onStartInitSdkLater on a thread of its own; returns that thread's id.
    unsigned long initialise()
    {
        unsigned long starter = 0;
        std::thread sdkStart([&] {
            starter = static_cast<unsigned long>(pthread_self());
            thread->onStartInitSdkLater();
        });
        sdkStart.join();
        return starter;
    }

    std::unique_ptr<getPcInfoThread> thread = std::make_unique<getPcInfoThread>();
    std::vector<SensorSnapshot> snapshots;
    std::optional<std::pair<bool, int>> initStatus;
};

QByteArray unterminatedLabel()
{
    return QByteArray(255, 'A');
}

// A guard for code that would wait for the library for ever: it lets the stand-in's hangs return
// after a while, so such a wait fails the test's checks instead of hanging the test.
class HangGuard
{
public:
    explicit HangGuard(std::chrono::seconds after)
        : thread([this, after] {
            std::unique_lock<std::mutex> lock(mutex);
            if (!wake.wait_for(lock, after, [this] { return done; }))
                releaseStandinHangs();
        })
    {
    }

    ~HangGuard()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        wake.notify_all();
        thread.join();
        releaseStandinHangs();
    }

private:
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    std::thread thread;
};

} // namespace

class TestSensorThread : public QObject
{
    Q_OBJECT

private slots:
    void firstCycleLogsEverySensorLaterCyclesStayQuiet();
    void walkOrderDecidesTheWinner();
    void noSensorsStillCycleEverySecond();
    void quitDuringCycleStopsReadingAndReleases();
    void readThatNeverReturnsIsLeftAtTheStop();
    void startThatNeverReturnsIsLeftAtTheDeadline();
};

void TestSensorThread::firstCycleLogsEverySensorLaterCyclesStayQuiet()
{
    useScenario(QStringLiteral("sensor CPU [#0]: Test Processor\n"
                               "temperature 0 CPU Package = 45.5 47.25\n"
                               "fan 0 CPU Fan = 1234\n"
                               "power 1 CPU Package Power = 65.125\n"
                               "clock 2 P-core 0 Clock = 4700.6\n"
                               "clock 3 Core 10 Clock = 3000\n"
                               "temperature 4 Unlisted Sensor = 33\n"
                               "usage 511 Total CPU Usage = 12.4 0.6\n"
                               "sensor GPU [#0]: Test Graphics\n"
                               "temperature 0 GPU Temperature = 52\n"
                               "fan 1 GPU Fan2 = 900\n"
                               "usage 2 GPU Core Load = 0.6\n"
                               "temperature 5 @unterminated = 40\n"
                               "clock 9 = 1500\n"
                               "power 10 GPU ASIC Power = 1234567.5\n"));
    DebugCapture debug;
    StdoutCapture out;
    Harness h(this);
    const unsigned long starter = h.initialise();
    QTRY_VERIFY(h.initStatus.has_value());
    QCOMPARE(*h.initStatus, std::make_pair(true, 0));

    QTRY_COMPARE_WITH_TIMEOUT(h.snapshots.size(), std::size_t(1), 5000);
    const QStringList firstLog = debug.take();
    const QByteArray firstOut = out.take();
    QTRY_COMPARE_WITH_TIMEOUT(h.snapshots.size(), std::size_t(2), 5000);
    const QStringList secondLog = debug.take();
    const QByteArray secondOut = out.take();

    const QString a255 = QString::fromLatin1(unterminatedLabel());
    // After the details, a line for each figure no reading fills: here the GPU clock (its label is
    // empty), but not the GPU usage, whose reading is there though below 1. The reason depends on
    // the machine the test runs on.
    QCOMPARE(firstLog.size(), 16);
    QVERIFY2(firstLog.last().startsWith("No source for GPU clock: "), qPrintable(firstLog.last()));
    QCOMPARE(firstLog.mid(0, 15),
             QStringList({
                 "---------------------------- *** Hardware info get [Start] *** ----------------------------",
                 "======== CPU [#0]: Test Processor ========",
                 QString::fromUtf8("Temperature ===> CPU Package = 45.5 \u2103"),
                 "Fan ===> CPU Fan = 1234 RPM",
                 "Power ===> CPU Package Power = 65.125 W",
                 "Clock ===> P-core 0 Clock = 4700.6 MHz",
                 "Clock ===> Core 10 Clock = 3000 MHz",
                 QString::fromUtf8("Temperature ===> Unlisted Sensor = 33 \u2103"),
                 "Usage ===> Total CPU Usage = 12.4 %",
                 "======== GPU [#0]: Test Graphics ========",
                 QString::fromUtf8("Temperature ===> GPU Temperature = 52 \u2103"),
                 "Fan ===> GPU Fan2 = 900 RPM",
                 QString::fromUtf8("Temperature ===> %1 = 40 \u2103").arg(a255),
                 "Power ===> GPU ASIC Power = 1.23457e+06 W",
                 "---------------------------- *** Hardware info get [Over] *** ----------------------------",
             }));
    QCOMPARE(firstOut, QByteArray("SDK HWiNFO -> INIT OK\n"
                                  "======== CPU [#0]: Test Processor ========\n"
                                  "Temperature ===> CPU Package = 45.5 C\n"
                                  "Fan ===> CPU Fan = 1234 RPM\n"
                                  "Power ===> CPU Package Power = 65.125 W\n"
                                  "Clock ===> P-core 0 Clock = 4700.6 MHz\n"
                                  "Clock ===> Core 10 Clock = 3000.0 MHz\n"
                                  "Temperature ===> Unlisted Sensor = 33.0 C\n"
                                  "Usage ===> Total CPU Usage = 12.4%\n"
                                  "\n"
                                  "======== GPU [#0]: Test Graphics ========\n"
                                  "Temperature ===> GPU Temperature = 52.0 C\n"
                                  "Fan ===> GPU Fan2 = 900 RPM\n"
                                  "Temperature ===> "
                                  + unterminatedLabel()
                                  + " = 40.0 C\n"
                                    "Power ===> GPU ASIC Power = 1234567.500 W\n"
                                    "\n"));
    QCOMPARE(secondLog, QStringList());
    QCOMPARE(secondOut, QByteArray("\n\n"));

    const FieldValues firstValues{{&SensorSnapshot::cpuTemperature, 45.5f}, {&SensorSnapshot::cpuFan, 1234},
                                  {&SensorSnapshot::cpuPower, 65.125f},     {&SensorSnapshot::cpuClock, 4700.6f},
                                  {&SensorSnapshot::cpuUsage, 12.4f},       {&SensorSnapshot::gpuTemperature, 52},
                                  {&SensorSnapshot::gpuFan, 900},           {&SensorSnapshot::gpuPower, 1234567.5f}};
    QString mismatch = snapshotMismatch(h.snapshots[0], firstValues);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // Values follow the SDK from cycle to cycle; a field without a match falls back to 0.
    FieldValues secondValues = firstValues;
    secondValues[0].second = 47.25f;
    secondValues[4].second = 0;
    mismatch = snapshotMismatch(h.snapshots[1], secondValues);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));

    QElapsedTimer stopping;
    stopping.start();
    QCOMPARE(h.thread->stopAndUninit(), 0);
    QVERIFY(stopping.elapsed() < 500); // no cycle is running, so nothing to wait for
    QVERIFY(h.thread->wait(3000));

    const StandinStats stats = *loadedStandinStats();
    QCOMPARE(stats.initCalls, 1);
    QCOMPARE(stats.initArgument, 64);
    QCOMPARE(stats.initThread, starter);
    QVERIFY(stats.readThread != starter);
    QVERIFY(stats.readThread != static_cast<unsigned long>(pthread_self()));
    QCOMPARE(stats.readsOffThread, 0L);
    QCOMPARE(stats.cycles, 2);
    QCOMPARE(stats.readCalls, 2L * 2 * 512 * 5); // every reading index of every sensor, five kinds
    QCOMPARE(stats.uninitCalls, 1);
    QCOMPARE(stats.callsAfterUninit, 0);
    QCOMPARE(h.thread->stopAndUninit(), -88); // released once only
}

void TestSensorThread::walkOrderDecidesTheWinner()
{
    useScenario(QStringLiteral("sensor First\n"
                               "temperature 3 CPU = 40\n"
                               "temperature 0 CPU (Tctl/Tdie) = 50\n"
                               "fan 2 GPU Fan = 0\n"
                               "sensor Second\n"
                               "temperature 0 CPU Package = 60\n"
                               "fan 0 GPU Fan1 = 1000\n"
                               "fan 1 GPU Fan = 1100\n"
                               "clock 0 GPU Clock = 1800\n"));
    Harness h(this);
    h.initialise();
    QTRY_COMPARE_WITH_TIMEOUT(h.snapshots.size(), std::size_t(1), 5000);
    // Lower sensor first, then lower reading index; the 0 RPM fan of the first sensor is no reading.
    const QString mismatch = snapshotMismatch(
        h.snapshots[0],
        {{&SensorSnapshot::cpuTemperature, 50}, {&SensorSnapshot::gpuFan, 1000}, {&SensorSnapshot::gpuClock, 1800}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(h.thread->stopAndUninit(), 0);
}

void TestSensorThread::noSensorsStillCycleEverySecond()
{
    useScenario(QString());
    Harness h(this);
    QElapsedTimer elapsed;
    elapsed.start();
    h.initialise();
    QTRY_COMPARE_WITH_TIMEOUT(h.snapshots.size(), std::size_t(2), 5000);
    QVERIFY(elapsed.elapsed() >= 1900); // one pause of a second before each cycle
    for (const SensorSnapshot &s : h.snapshots)
        QCOMPARE(snapshotMismatch(s, {}), QString());
    QCOMPARE(h.thread->stopAndUninit(), 0);
}

void TestSensorThread::quitDuringCycleStopsReadingAndReleases()
{
    // Each read sleeps 2 ms, so one cycle would take more than five seconds.
    useScenario(QStringLiteral("delay_us 2000\nuninit_result 5\nsensor Slow\ntemperature 0 CPU = 40\n"));
    Harness h(this);
    h.initialise();
    QTRY_VERIFY_WITH_TIMEOUT(loadedStandinStats()->readCalls > 0, 5000);

    QElapsedTimer stopping;
    stopping.start();
    QCOMPARE(h.thread->stopAndUninit(), 5); // the SDK's own result is handed on
    QVERIFY(stopping.elapsed() < 1500);
    QVERIFY(h.thread->wait(3000));

    const StandinStats stats = *loadedStandinStats();
    QCOMPARE(stats.uninitCalls, 1);
    QCOMPARE(stats.callsAfterUninit, 0);
    QVERIFY(stats.readCalls < 512L * 5); // the cycle was given up
    QCoreApplication::processEvents();
    QCOMPARE(h.snapshots.size(), std::size_t(0)); // an abandoned cycle publishes nothing
}

void TestSensorThread::readThatNeverReturnsIsLeftAtTheStop()
{
    // The second read call of the walk does not come back until the test lets it.
    useScenario(QStringLiteral("hang_read 2\nsensor Stuck\ntemperature 0 CPU = 40\n"));
    Harness h(this);
    const HangGuard guard(std::chrono::seconds(20));
    h.initialise();
    QTRY_COMPARE_WITH_TIMEOUT(loadedStandinStats()->hangs, 1, 5000);

    // About 1.5 s: the wait for the cycle, then for the read to leave the library.
    QElapsedTimer stopping;
    stopping.start();
    QCOMPARE(h.thread->stopAndUninit(), getPcInfoThread::kSdkStillBusy);
    QVERIFY2(stopping.elapsed() < 10000, "the stop waited for the read");
    const getPcInfoThread::ThreadsLeft left =
        h.thread->endThreads(std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
    QVERIFY(left.readLoop);
    QVERIFY(!left.sdkStart);

    // When the read does return, the cycle gives up and nothing more is asked of the library.
    releaseStandinHangs();
    QVERIFY(h.thread->wait(10000));
    const StandinStats stats = *loadedStandinStats();
    QCOMPARE(stats.uninitCalls, 0); // never released under a running read
    QVERIFY(stats.readCalls <= 5);  // the rest of that reading index at most
    QCoreApplication::processEvents();
    QCOMPARE(h.snapshots.size(), std::size_t(0));
}

void TestSensorThread::startThatNeverReturnsIsLeftAtTheDeadline()
{
    useScenario(QStringLiteral("hang_init\nsensor CPU\ntemperature 0 CPU = 40\n"));
    getPcInfoThread thread;
    QSignalSpy status(&thread, &getPcInfoThread::sigTheSdkInitStatus);
    const int initsBefore = loadedStandinStats()->initCalls;
    thread.start(QThread::InheritPriority);
    thread.startSdkInit();
    thread.startSdkInit(); // only the first call starts a thread
    QTRY_VERIFY_WITH_TIMEOUT(loadedStandinStats()->initCalls == initsBefore + 1 && loadedStandinStats()->hangs == 1,
                             5000);

    const getPcInfoThread::ThreadsLeft left =
        thread.endThreads(std::chrono::steady_clock::now() + std::chrono::milliseconds(300));
    QVERIFY(left.sdkStart);
    QVERIFY(!left.readLoop); // the idle loop ends at once

    // Returning into a program that is ending, the start reports nothing and readies nothing.
    releaseStandinHangs();
    QVERIFY(!thread.endThreads(std::chrono::steady_clock::now() + std::chrono::seconds(10)).any());
    QCoreApplication::processEvents();
    QCOMPARE(status.count(), 0);
    const StandinStats stats = *loadedStandinStats();
    QCOMPARE(stats.initCalls, initsBefore + 1);
    QVERIFY(stats.initThread != static_cast<unsigned long>(pthread_self()));
    QCOMPARE(stats.cycles, 0);
}

KESTRUN_TEST_MAIN(TestSensorThread)
#include "tst_sensorthread.moc"
