// A sensor library that misbehaves: labels and sensor names with bytes that are not UTF-8 or with
// no terminating NUL within the 256-byte buffer, and values that are NaN, infinite or far beyond
// any sensor's range. Read through the real loader and sensor thread (scripted stand-in SDK), then
// turned into a device report as the update cycle does. Expected: no crash, NaN and minus infinity
// are no reading, plus infinity and huge values saturate, and the report's checksum holds.

#include "datapath/cyclefigures.h"
#include "device/devicereport.h"
#include "hardware/getpcinfothread.h"
#include "sensortestsupport.h"
#include "testenv.h"

#include <QTemporaryDir>

#include <limits>
#include <thread>

using namespace kestrun::test;

namespace {

// The report's figures as the update cycle makes them, at a fixed moment.
ReportFigures figuresOf(const SensorSnapshot &s)
{
    ReportFigures f = sensorReportFigures(s);
    f.date = QDate(2026, 12, 9);
    f.time = QTime(23, 45);
    return f;
}

} // namespace

class TestBadSensors : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void badLabelsAndValuesReachTheReportSafely()
    {
        const QString scenario = folder.filePath(QStringLiteral("scenario.txt"));
        QFile file(scenario);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("sensor \xff\xfe Sensor \x80 %1 %2\n"
                   "temperature 0 CPU Package = nan\n"
                   "temperature 1 CPU = 50\n"
                   "temperature 2 \xe9\xe8\xc3\x28 = 45\n"
                   "fan 0 CPU Fan = inf\n"
                   "power 0 CPU Package Power = inf\n"
                   "power 1 GPU ASIC Power = -inf\n"
                   "clock 0 Core 0 Clock = 1e300\n"
                   "clock 1 GPU Clock = nan\n"
                   "usage 0 Total CPU Usage = 55.5\n"
                   "sensor @unterminated\n"
                   "temperature 0 @unterminated = 60\n"
                   "temperature 1 GPU Temperature = 70\n"
                   "fan 1 GPU Fan = -inf\n"
                   "usage 0 GPU Core Load = inf\n"
                   "clock 3 Memory Clock = -1e300\n");
        file.close();
        qputenv("KESTRUN_SDK_SCENARIO", QFile::encodeName(scenario));

        StdoutCapture out; // the first cycle prints every reading, bytes and all
        getPcInfoThread thread;
        std::vector<SensorSnapshot> snapshots;
        connect(&thread, &getPcInfoThread::sigGetPcInfoOk, this, [&] { snapshots.push_back(thread.copySnapshot()); });
        thread.start();
        std::thread([&] { thread.onStartInitSdkLater(); }).join();
        QTRY_VERIFY_WITH_TIMEOUT(!snapshots.empty(), 10000);
        QCOMPARE(thread.stopAndUninit(), 0);
        QVERIFY(thread.wait(5000));

        const float inf = std::numeric_limits<float>::infinity();
        const SensorSnapshot s = snapshots.front();
        QCOMPARE(s.cpuTemperature, 50.0f); // the NaN reading before it is no reading
        QCOMPARE(s.cpuFan, 2147483648.0f); // the SDK's int fan, saturated from infinity
        QCOMPARE(s.cpuPower, inf);
        QCOMPARE(s.cpuClock, inf); // past float's range
        QCOMPARE(s.cpuUsage, 55.5f);
        QCOMPARE(s.gpuTemperature, 70.0f);
        QCOMPARE(s.gpuUsage, inf);
        QCOMPARE(s.gpuPower, 0.0f); // minus infinity is no reading
        QCOMPARE(s.gpuClock, 0.0f); // NaN is no reading
        QCOMPARE(s.gpuFan, 0.0f);
        QCOMPARE(s.memoryClock, 0.0f);
        QCOMPARE(s.boardTemperature, 0.0f);

        const DeviceReport report = encodeDeviceReport(figuresOf(s));
        const QByteArray bytes(reinterpret_cast<const char *>(report.data()), 31);
        QCOMPARE(bytes.toHex(' '), QByteArray("00 40 32 37 ff ff ff ff ff ff 46 ff 00 00 00 00 00 00 "
                                              "00 00 00 00 00 00 07 ea 0c 09 17 2d 32"));
        QVERIFY(out.take().contains("\xe9\xe8\xc3\x28"));
    }
};

KESTRUN_TEST_MAIN(TestBadSensors)
#include "tst_badsensors.moc"
