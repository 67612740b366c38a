// The sensor thread on an emulated machine, with the scripted stand-in SDK: its first cycle logs
// why each figure without a source has none, once.

#include "hardware/getpcinfothread.h"
#include "logCollect/log_out.h"
#include "logfiles.h"
#include "sensortestsupport.h"
#include "testbed.h"
#include "testenv.h"

#include <memory>
#include <thread>

using namespace kestrun::test;

namespace {

const QString kOver =
    QStringLiteral("---------------------------- *** Hardware info get [Over] *** ----------------------------");
const QString kArrow = QStringLiteral("--------------------> ");

// The messages of the log file, in order.
QStringList loggedMessages()
{
    QStringList messages;
    for (const QString &line : QString::fromUtf8(readAllLogs()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const int arrow = line.indexOf(kArrow);
        messages << (arrow < 0 ? line : line.mid(arrow + kArrow.size()));
    }
    return messages;
}

// An Intel desktop whose sensor drivers are not loaded: no hwmon chip, no graphics card, the
// package's energy counter readable.
void buildBareDesktop(sensortest::Testbed &bed)
{
    bed.writeFile("/proc/cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\n"
                                   "model name\t: Intel(R) Core(TM) i5-12400\nflags\t\t: fpu vme de pse\n\n");
    bed.writeProcStat(1000, 9000);
    bed.writeFile("/sys/class/dmi/id/sys_vendor", "Micro-Star International Co., Ltd.\n");
    bed.writeFile("/sys/class/dmi/id/product_name", "MS-7D25\n");
    bed.writeFile("/sys/class/dmi/id/chassis_type", "3\n");
    bed.addRaplZone("intel-rapl:0", "package-0", 1000000, 262143328850);
}

} // namespace

class TestSensorThreadReasons : public QObject
{
    Q_OBJECT

private slots:
    void firstCycleLogsWhyFiguresHaveNoSource();
};

void TestSensorThreadReasons::firstCycleLogsWhyFiguresHaveNoSource()
{
    InitializeLog(QString());
    qInstallMessageHandler(writeLogRecord);
    sensortest::Testbed bed;
    buildBareDesktop(bed);
    // The clock has a reading, and so has the GPU's load, though an idle one: below 1 % it is no
    // value, but the figure has a source. Usage and energy-based power need a second sample.
    useScenario(QStringLiteral("sensor CPU\nclock 0 Core 0 Clock = 4000\nsensor GPU\nusage 0 GPU Core Load = 0\n"));

    auto thread = std::make_unique<getPcInfoThread>();
    int cycles = 0;
    connect(thread.get(), &getPcInfoThread::sigGetPcInfoOk, this, [&cycles] { ++cycles; });
    thread->start(QThread::InheritPriority);
    std::thread sdkStart([&] { thread->onStartInitSdkLater(); });
    sdkStart.join();
    QTRY_VERIFY_WITH_TIMEOUT(cycles >= 2, 10000);
    QCOMPARE(thread->stopAndUninit(), 0);
    thread.reset();
    // Deliver the signals queued before the thread ended, while the counter still exists.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    qInstallMessageHandler(nullptr);

    const QStringList logged = loggedMessages();
    QCOMPARE(logged.count(kOver), 1);
    const QStringList reasons = logged.mid(logged.indexOf(kOver) + 1);
    const QStringList expected{
        ("No source for CPU temperature: no CPU temperature driver is loaded (this Intel processor needs coretemp). "
         "Load it with sudo modprobe coretemp"),
        ("No source for CPU fan: no chip reports a fan speed: the mainboard's Super I/O chip, which reads the fan "
         "headers, has no driver loaded. Run sudo sensors-detect"),
        "No source for GPU temperature: no graphics card was found (no display adapter on the PCI bus).",
        "No source for GPU clock: no graphics card was found",
        "No source for GPU power: no graphics card was found",
        "No source for GPU fan: no graphics card was found",
    };
    // Right after the first cycle's details, in figure order, and nothing in the second cycle.
    QCOMPARE(reasons.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(reasons[i].startsWith(expected[i]), qPrintable(reasons[i]));
}

KESTRUN_TEST_MAIN(TestSensorThreadReasons)
#include "tst_sensorthread_reasons.moc"
