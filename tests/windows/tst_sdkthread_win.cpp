// The sensor thread's start-up against the stand-in HWiNFO32.dll of this program's folder (the
// folder's name is the case, see sdkloader_test.cpp), and one read cycle through it.
#include "hardware/getpcinfothread.h"
#include "hardware/sensorcycle.h"
#include "platform/sensorsdk.h"

#include "testenv.h"

#include <QDir>

#include <atomic>

class TestSdkThreadWin : public QObject
{
    Q_OBJECT
    QString scenario;

private slots:
    void initTestCase() { scenario = QDir(QCoreApplication::applicationDirPath()).dirName(); }

    void startUp()
    {
        getPcInfoThread thread;
        QSignalSpy status(&thread, &getPcInfoThread::sigTheSdkInitStatus);
        thread.onStartInitSdkLater();
        QCOMPARE(status.count(), 1);
        const bool complete = scenario == "complete";
        QVERIFY(complete || scenario == "noordinal" || scenario == "nolibrary");
        // A missing library or entry point is -111, and sdkInit is never called.
        QCOMPARE(status.at(0).at(0).toBool(), complete);
        QCOMPARE(status.at(0).at(1).toInt(), complete ? 0 : -111);
    }

    void readCycle()
    {
        const kestrun::platform::SensorSdkApi *sdk = kestrun::platform::sensorSdk();
        if (scenario != "complete") {
            QVERIFY(!sdk);
            return;
        }
        QVERIFY(sdk);
        const std::atomic<bool> keepGoing{true};
        const std::optional<SensorSnapshot> snapshot = readSensorCycle(*sdk, false, keepGoing);
        QVERIFY(snapshot);
        QCOMPARE(snapshot->cpuTemperature, 41.5f);
        QCOMPARE(snapshot->cpuFan, 1234.0f);
        QCOMPARE(snapshot->cpuPower, 65.25f);
        QCOMPARE(snapshot->cpuClock, 4200.5f);
        QCOMPARE(snapshot->cpuUsage, 12.75f);
        QCOMPARE(snapshot->gpuTemperature, 0.0f);
    }
};

KESTRUN_TEST_MAIN(TestSdkThreadWin)
#include "tst_sdkthread_win.moc"
