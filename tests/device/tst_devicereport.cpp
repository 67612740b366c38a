#include "device/devicereport.h"

#include "testenv.h"

#include <limits>
#include <map>

namespace {

using Bytes = std::map<int, int>; // index -> expected byte

// The figures of a typical machine; rows change what they test.
ReportFigures typicalFigures()
{
    ReportFigures f;
    f.cpuTemperature = 45; // 45.9 °C truncated by the caller
    f.cpuUsage = 12;
    f.cpuClock = 4700;
    f.cpuFan = 1234;
    f.cpuPower = 65;
    f.gpuTemperature = 52;
    f.gpuUsage = 3;
    f.gpuClock = 1410;
    f.gpuFan = 0;
    f.gpuPower = 20;
    f.memoryLoad = 43;
    f.totalPhys = 17071435776ULL;
    f.drive = ReportDrive{511101431808ULL, 122000000000ULL};
    f.date = QDate(2024, 3, 7);
    f.time = QTime(14, 5, 33);
    return f;
}

Bytes fromHex(const QByteArray &hex)
{
    Bytes bytes;
    const QByteArray raw = QByteArray::fromHex(hex);
    for (int i = 0; i < raw.size(); ++i)
        bytes[i] = static_cast<quint8>(raw[i]);
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(ReportFigures)
Q_DECLARE_METATYPE(Bytes)

class TestDeviceReport : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
};

void TestDeviceReport::encode_data()
{
    QTest::addColumn<ReportFigures>("figures");
    QTest::addColumn<Bytes>("expected");

    QTest::newRow("typical machine, Celsius")
        << typicalFigures() << fromHex("00402D0C125C04D200413403058200000014 2B3F984C01DC07E803070E0507");

    ReportFigures fahrenheit = typicalFigures();
    fahrenheit.fahrenheit = true;
    QTest::newRow("typical machine, Fahrenheit: bit 7 of both temperatures, same checksum")
        << fahrenheit << fromHex("0040AD0C125C04D20041B403058200000014 2B3F984C01DC07E803070E0507");

    ReportFigures hot = typicalFigures();
    hot.cpuTemperature = 128;
    hot.gpuTemperature = -5;
    QTest::newRow("128 and negative Celsius are sent as computed") << hot << Bytes{{2, 0x80}, {10, 0xFB}};
    hot.fahrenheit = true;
    QTest::newRow("128 and negative with the Fahrenheit flag") << hot << Bytes{{2, 0x80}, {10, 0xFB}};

    ReportFigures wide = typicalFigures();
    wide.cpuUsage = 300;
    wide.cpuClock = 70000;
    wide.cpuFan = -1;
    wide.gpuPower = std::numeric_limits<int>::min();
    wide.memoryLoad = 0x1FF;
    QTest::newRow("fields wrap, nothing is clamped")
        << wide << Bytes{{3, 0x2C}, {4, 0x11}, {5, 0x70}, {6, 0xFF}, {7, 0xFF}, {16, 0x00}, {17, 0x00}, {18, 0xFF}};

    ReportFigures memory = typicalFigures();
    memory.totalPhys = 64ULL << 30;
    QTest::newRow("64 GiB of memory wraps to 0") << memory << Bytes{{19, 0x00}, {20, 0x00}};
    memory.totalPhys = (1ULL << 20) - 1;
    QTest::newRow("less than one MiB") << memory << Bytes{{19, 0x00}, {20, 0x00}};
    memory.totalPhys = std::numeric_limits<quint64>::max();
    QTest::newRow("memory beyond 32 bits of MiB saturates") << memory << Bytes{{19, 0xFF}, {20, 0xFF}};

    ReportFigures noDrive = typicalFigures();
    noDrive.drive.reset();
    QTest::newRow("no system drive") << noDrive << Bytes{{21, 0}, {22, 0}, {23, 0}};
    ReportFigures emptyDrive = typicalFigures();
    emptyDrive.drive = ReportDrive{0, 0};
    QTest::newRow("drive of size 0") << emptyDrive << Bytes{{21, 0}, {22, 0}, {23, 0}};
    ReportFigures fullDrive = typicalFigures();
    fullDrive.drive = ReportDrive{2199023255552ULL, 0};
    QTest::newRow("full 2 TiB drive") << fullDrive << Bytes{{21, 100}, {22, 0x08}, {23, 0x00}};

    ReportFigures zero;
    QTest::newRow("all zero: checksum is the start mark") << zero << fromHex("0040" + QByteArray(56, '0') + "40");
}

void TestDeviceReport::encode()
{
    QFETCH(ReportFigures, figures);
    QFETCH(Bytes, expected);

    const DeviceReport report = encodeDeviceReport(figures);

    QCOMPARE(report.size(), std::size_t(65));
    for (const auto &[index, value] : expected)
        QVERIFY2(report[index] == value, qPrintable(QStringLiteral("byte %1 is %2, expected %3")
                                                        .arg(index)
                                                        .arg(report[index], 2, 16, QChar('0'))
                                                        .arg(value, 2, 16, QChar('0'))));
    QCOMPARE(report[0], quint8(0x00));
    QCOMPARE(report[1], quint8(0x40));
    quint8 sum = 0;
    for (int i = 1; i <= 29; ++i)
        sum = quint8(sum + report[i]);
    QCOMPARE(report[30], sum);
    for (int i = 31; i < 65; ++i)
        QCOMPARE(report[i], quint8(0));
}

KESTRUN_TEST_MAIN(TestDeviceReport)
#include "tst_devicereport.moc"
