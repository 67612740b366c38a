#include "testenv.h"

#include "platform/devicebroadcast.h"

#include <QByteArray>

using namespace devicebroadcast;

namespace {
const QString kDisplayPath =
    QStringLiteral("\\\\?\\USB#VID_5131&PID_2007#6&2c8f0a3b&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");

void putUint32(QByteArray &bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

// A record as Windows lays it out: size, device type, reserved, class GUID, then the name in
// UTF-16LE. A terminated name is followed by its NUL; sizeField -1 means the record's true size.
QByteArray record(quint32 deviceType, const QString &name, bool terminated = true, int sizeField = -1)
{
    QByteArray bytes(int(kNameOffset), '\0');
    putUint32(bytes, 4, deviceType);
    const auto filter = interfaceFilter(kUsbDeviceInterface);
    std::copy(filter.begin() + kGuidOffset, filter.begin() + kNameOffset, bytes.begin() + kGuidOffset);
    for (QChar c : name + (terminated ? QString(QChar(0)) : QString())) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    putUint32(bytes, 0, sizeField < 0 ? quint32(bytes.size()) : quint32(sizeField));
    return bytes;
}

QByteArray hexOf(const std::array<unsigned char, kFilterSize> &filter)
{
    return QByteArray(reinterpret_cast<const char *>(filter.data()), int(filter.size())).toHex();
}
} // namespace

class TestDeviceBroadcast : public QObject
{
    Q_OBJECT

private slots:
    void filterRecords();
    void parse_data();
    void parse();
    void recordIsNotReadForOtherEvents();
    void sameInterface_data();
    void sameInterface();
};

void TestDeviceBroadcast::filterRecords()
{
    QCOMPARE(kWatchedClasses.size(), std::size_t(3));
    QCOMPARE(hexOf(interfaceFilter(kWatchedClasses[0])), QByteArray("20000000"
                                                                    "05000000"
                                                                    "00000000"
                                                                    "10bfdca5"
                                                                    "3065"
                                                                    "d211"
                                                                    "901f00c04fb951ed"
                                                                    "00000000"));
    QCOMPARE(hexOf(interfaceFilter(kWatchedClasses[1])), QByteArray("20000000"
                                                                    "05000000"
                                                                    "00000000"
                                                                    "0763f553"
                                                                    "bfb6"
                                                                    "d011"
                                                                    "94f200a0c91efb8b"
                                                                    "00000000"));
    QCOMPARE(hexOf(interfaceFilter(kWatchedClasses[2])), QByteArray("20000000"
                                                                    "05000000"
                                                                    "00000000"
                                                                    "b2551e4d"
                                                                    "6ff1"
                                                                    "cf11"
                                                                    "88cb001111000030"
                                                                    "00000000"));
}

void TestDeviceBroadcast::parse_data()
{
    QTest::addColumn<quintptr>("event");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("available");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    const int arrival = int(DeviceChangeKind::Arrival);
    const int removal = int(DeviceChangeKind::Removal);
    const int none = int(DeviceChangeKind::None);
    const QByteArray display = record(kDeviceInterfaceType, kDisplayPath);
    const int all = -1;

    QTest::newRow("arrival") << quintptr(0x8000) << display << all << arrival << kDisplayPath;
    QTest::newRow("removal complete") << quintptr(0x8004) << display << all << removal << kDisplayPath;
    QTest::newRow("empty name") << quintptr(0x8000) << record(5, QString()) << all << arrival << QString();
    QTest::newRow("name read up to its NUL only")
        << quintptr(0x8000) << record(5, "ab") + QByteArray("c\0d\0", 4) << all << arrival << "ab";
    QTest::newRow("unterminated name ends with the record")
        << quintptr(0x8000) << record(5, "abc", false) + QByteArray("d\0", 2) << all << arrival << "abc";
    QTest::newRow("record size field bounds the name")
        << quintptr(0x8000) << record(5, "abcd", true, int(kNameOffset) + 4) << all << arrival << "ab";
    QTest::newRow("readable bytes bound the name")
        << quintptr(0x8000) << display << int(kNameOffset) + 6 << arrival << kDisplayPath.left(3);
    QTest::newRow("volume, not an interface") << quintptr(0x8000) << record(2, "E:") << all << none << QString();
    QTest::newRow("port") << quintptr(0x8004) << record(3, "COM3") << all << none << QString();
    QTest::newRow("record too short for a name")
        << quintptr(0x8000) << record(5, QString(), true, 20) << all << none << QString();
    QTest::newRow("header cut short") << quintptr(0x8000) << display << 6 << none << QString();
    QTest::newRow("remove pending") << quintptr(0x8003) << display << all << none << QString();
    QTest::newRow("query remove") << quintptr(0x8001) << display << all << none << QString();
}

void TestDeviceBroadcast::parse()
{
    QFETCH(quintptr, event);
    QFETCH(QByteArray, bytes);
    QFETCH(int, available);
    QFETCH(int, kind);
    QFETCH(QString, path);
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const DeviceChange change =
        available < 0 ? parseDeviceChange(event, data) : parseDeviceChange(event, data, std::size_t(available));
    QCOMPARE(int(change.kind), kind);
    QCOMPARE(QString::fromStdU16String(change.path), path);
}

void TestDeviceBroadcast::recordIsNotReadForOtherEvents()
{
    // DBT_DEVNODES_CHANGED carries no record at all.
    QCOMPARE(int(parseDeviceChange(0x0007, nullptr).kind), int(DeviceChangeKind::None));
    QCOMPARE(int(parseDeviceChange(0x8000, nullptr).kind), int(DeviceChangeKind::None));
}

void TestDeviceBroadcast::sameInterface_data()
{
    QTest::addColumn<QString>("notified");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("same");
    const QString hid =
        QStringLiteral("\\\\?\\HID#VID_5131&PID_2007#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    QTest::newRow("same text") << hid << hid << true;
    QTest::newRow("other case") << hid << hid.toLower() << true;
    QTest::newRow("another display's interface") << hid << QString(hid).replace("1a2b3c4d", "5e6f7a8b") << false;
    QTest::newRow("the parent usb device") << kDisplayPath << hid << false;
    QTest::newRow("one path longer") << hid + "\\kbd" << hid << false;
    QTest::newRow("nothing opened") << hid << QString() << false;
    QTest::newRow("both empty") << QString() << QString() << false;
}

void TestDeviceBroadcast::sameInterface()
{
    QFETCH(QString, notified);
    QFETCH(QString, opened);
    QFETCH(bool, same);
    QCOMPARE(sameInterfacePath(notified.toStdU16String(), opened.toStdU16String()), same);
    QCOMPARE(sameInterfacePath(opened.toStdU16String(), notified.toStdU16String()), same);
}

KESTRUN_TEST_MAIN(TestDeviceBroadcast)
#include "tst_devicebroadcast.moc"
