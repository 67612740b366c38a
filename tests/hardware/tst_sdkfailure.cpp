// The sensor thread when the SDK cannot start: the library or an entry point is missing, or its
// initialisation fails. KESTRUN_EXPECTED_INIT_CODE names the error code this process must see.

#include "hardware/getpcinfothread.h"
#include "sensortestsupport.h"

#include "testenv.h"

#include <QElapsedTimer>
#include <QSignalSpy>

using namespace kestrun::test;

class TestSdkFailure : public QObject
{
    Q_OBJECT

private slots:
    void failureIsReportedAndNoCycleRuns();
};

void TestSdkFailure::failureIsReportedAndNoCycleRuns()
{
    const int expected = qEnvironmentVariableIntValue("KESTRUN_EXPECTED_INIT_CODE");
    QVERIFY(expected != 0);
    useScenario(QStringLiteral("sensor CPU\ntemperature 0 CPU Package = 45\n"));

    DebugCapture debug;
    StdoutCapture out;
    getPcInfoThread thread;
    QSignalSpy status(&thread, &getPcInfoThread::sigTheSdkInitStatus);
    QSignalSpy cycles(&thread, &getPcInfoThread::sigGetPcInfoOk);
    thread.start(QThread::InheritPriority);
    thread.onStartInitSdkLater();

    QCOMPARE(status.count(), 1);
    QCOMPARE(status[0][0].toBool(), false);
    QCOMPARE(status[0][1].toInt(), expected);
    QCOMPARE(out.take(), expected == -111
                             ? QByteArray("CANNOT LOAD DLL\n")
                             : QByteArray("SDK HWiNFO -> INIT FAILED ") + QByteArray::number(expected) + "\n");

    // The loop keeps idling: no cycle, nothing logged, nothing printed.
    QTest::qWait(1500);
    QCOMPARE(cycles.count(), 0);
    QCOMPARE(debug.take(), QStringList());
    QCOMPARE(out.take(), QByteArray());

    // No cycle ever finished, so the stop waits its full second before reporting the missing SDK.
    QElapsedTimer stopping;
    stopping.start();
    QCOMPARE(thread.stopAndUninit(), -88);
    QVERIFY(stopping.elapsed() >= 990);
    QVERIFY(stopping.elapsed() < 3000);

    if (const auto stats = loadedStandinStats()) {
        QCOMPARE(stats->initCalls, expected == -111 ? 0 : 1); // a partial library is never initialised
        QCOMPARE(stats->cycles, 0);
        QCOMPARE(stats->readCalls, 0L);
        QCOMPARE(stats->uninitCalls, 0);
    } else {
        QCOMPARE(expected, -111);
    }
}

KESTRUN_TEST_MAIN(TestSdkFailure)
#include "tst_sdkfailure.moc"
