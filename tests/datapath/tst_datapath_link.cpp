// The data path's link to the display, on an emulated machine: the reports it queues while the
// link is open, with the figures of the cycle handed in, and none while it is closed. No sensor
// SDK is started here.

#include "datapath/ddatapath.h"
#include "emulateddisplay.h"
#include "testenv.h"

#include <QSignalSpy>

namespace {

constexpr quint64 kGiB = 1ULL << 30;

// The bytes before the date: everything a report carries but the moment it was made.
constexpr int kBytesBeforeDate = 24;

SensorSnapshot busyMachine()
{
    SensorSnapshot s;
    s.cpuTemperature = 55.9f;
    s.cpuUsage = 37.5f;
    s.cpuClock = 4321.7f;
    s.cpuFan = 1180;
    s.cpuPower = 65.4f;
    s.gpuTemperature = 61;
    s.gpuUsage = 99.9f;
    s.gpuClock = 1800;
    s.gpuPower = 120.5f;
    return s;
}

const MemoryFigures kMemory{48, 16 * kGiB, 8 * kGiB};
const DriveFigures kDrive{quint64(476.9 * kGiB), quint64(356.9 * kGiB)};

QByteArray leading(const EmulatedDisplay::Report &report)
{
    return QByteArray(reinterpret_cast<const char *>(report.data()), kBytesBeforeDate).toHex(' ');
}

} // namespace

class TestDataPathLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<DeviceChangeKind>(); }
    void reportsFollowTheLink();
};

void TestDataPathLink::reportsFollowTheLink()
{
    EmulatedDisplay machine;
    machine.plug();
    DDataPath path;
    QSignalSpy status(&path, &DDataPath::sigHidStatusText);
    // As the window does: the watch, and the hot-plug signals looped back to their slots.
    path.registerDevice(0);
    connect(&path, &DDataPath::sigHidDeviceConnectChanging_Into, &path, &DDataPath::onHidDeviceConnectChanging_Into);
    connect(&path, &DDataPath::sigHidDeviceConnectChanging_Remove, &path,
            &DDataPath::onHidDeviceConnectChanging_Remove);
    path.onStartUpdateLater();
    QVERIFY(path.isLinkOpen());
    QCOMPARE(status.count(), 2);
    QCOMPARE(status.at(0).first().toString(), QStringLiteral("Disconnected"));
    QCOMPARE(status.at(1).first().toString(), QStringLiteral("Connected"));

    // CPU 55 °C, 37 %, 4321 MHz, 1180 RPM, 65 W; GPU 61 °C, 99 %, 1800 MHz, no fan, 120 W;
    // memory 48 % of 16 GiB; the drive 25 % used of 476 GiB.
    const QByteArray celsius("00 40 37 25 10 e1 04 9c 00 41 3d 63 07 08 00 00 00 78 30 40 00 19 01 dc");
    const QDate day = QDate::currentDate();
    path.runCycle(busyMachine(), kMemory, kDrive);
    QTRY_COMPARE(machine.reportCount(), std::size_t(1));
    const EmulatedDisplay::Report first = machine.reports().at(0);
    QCOMPARE(leading(first), celsius);
    if (QDate::currentDate() == day) {
        QCOMPARE((first[24] << 8) | first[25], day.year());
        QCOMPARE(int(first[26]), day.month());
        QCOMPARE(int(first[27]), day.day());
    }
    quint8 sum = 0;
    for (int i = 1; i < 30; ++i)
        sum = quint8(sum + first[i]);
    QCOMPARE(first[30], sum);

    // In Fahrenheit the same Celsius figures, each temperature with the unit bit.
    path.setReportFahrenheit(true);
    path.runCycle(busyMachine(), kMemory, kDrive);
    QTRY_COMPARE(machine.reportCount(), std::size_t(2));
    QByteArray fahrenheit = celsius;
    fahrenheit.replace(6, 2, "b7").replace(30, 2, "bd");
    QCOMPARE(leading(machine.reports().at(1)), fahrenheit);

    // Pulled out: the link closes and the cycles go on without reports.
    machine.unplug();
    QTRY_VERIFY(!path.isLinkOpen());
    QCOMPARE(status.last().first().toString(), QStringLiteral("Disconnected"));
    path.runCycle(busyMachine(), kMemory, kDrive);
    QCOMPARE(machine.reportCount(), std::size_t(2));

    // Plugged in again: reports again.
    machine.plug();
    QTRY_VERIFY(path.isLinkOpen());
    QCOMPARE(status.last().first().toString(), QStringLiteral("Connected"));
    path.runCycle(busyMachine(), kMemory, kDrive);
    QTRY_COMPARE(machine.reportCount(), std::size_t(3));

    QVERIFY(path.shutdown());
    QVERIFY(!path.isLinkOpen());
    path.runCycle(busyMachine(), kMemory, kDrive);
    QCOMPARE(machine.reportCount(), std::size_t(3));
}

KESTRUN_TEST_MAIN(TestDataPathLink)
#include "tst_datapath_link.moc"
