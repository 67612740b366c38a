#include "fixtures.h"
#include "testenv.h"

#include "platform/hardwareinventory.h"

#include <QTextCodec>

using kestrun::test::readFixture;

namespace {

// Output as the wmic tool prints it: lines ended by "\r\r\n", columns padded, a final blank line.
QString wmic(const QStringList &lines, bool finalBlankLine = true)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("  \r\r\n");
    if (finalBlankLine)
        text += QStringLiteral("\r\r\n");
    return text;
}

// A recorded wmic output (tests/fixtures/wmic): what the tool writes into a pipe is plain 8-bit
// text, what it writes into a file is UTF-16 with a byte-order mark.
QString recorded(const char *name)
{
    const QByteArray bytes = readFixture(QStringLiteral("wmic/") + QLatin1String(name));
    return QTextCodec::codecForUtfText(bytes, QTextCodec::codecForName("UTF-8"))->toUnicode(bytes);
}

} // namespace

class TestHardwareInventory : public QObject
{
    Q_OBJECT
private slots:
    void table_data();
    void table();
    void dataLines_data();
    void dataLines();
    void singleLine_data();
    void singleLine();
    void board_data();
    void board();
    void memory_data();
    void memory();
    void disks_data();
    void disks();
    void graphics_data();
    void graphics();
    void sound_data();
    void sound();
    void os();
};

using Rows = QVector<QStringList>;

// The rows a query of each recorded output gives, with the columns in the order the query names
// them: the table comes out as the tool printed it, columns sorted.
void TestHardwareInventory::table_data()
{
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("table");
    QTest::newRow("one column") << QStringList{"Name"} << Rows{{"AMD Ryzen 7 5800X 8-Core Processor"}}
                                << recorded("cpu.txt");
    QTest::newRow("two processors") << QStringList{"Name"}
                                    << Rows{{"Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz"},
                                            {"Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz"}}
                                    << recorded("cpu-two-processors.txt");
    QTest::newRow("columns named out of order")
        << QStringList{"Product", "Manufacturer"} << Rows{{"PRIME B450M-A", "ASUSTeK COMPUTER INC."}}
        << recorded("baseboard.txt");
    QTest::newRow("three columns, case of names ignored in the order")
        << QStringList{"Capacity", "Speed", "manufacturer"}
        << Rows{{"17179869184", "3200", "Micron Technology"}, {"4294967296", "2666", "Kingston"}}
        << recorded("memorychip.txt").replace("Manufacturer", "manufacturer");
    QTest::newRow("disks") << QStringList{"Model", "Size"}
                           << Rows{{"Samsung SSD 970 EVO 500GB", "500105249280"},
                                   {"WDC WD10EZEX-08WN4A0", "1000202273280"}}
                           << recorded("diskdrive.txt");
    QTest::newRow("graphics") << QStringList{"AdapterRAM", "Name"}
                              << Rows{{"0", "Microsoft Remote Display Adapter"},
                                      {"4293918720", "NVIDIA GeForce RTX 3070"},
                                      {"1073741824", "Intel(R) UHD Graphics 630"}}
                              << recorded("videocontroller.txt");
    QTest::newRow("missing cells are empty")
        << QStringList{"A", "B"} << Rows{{"x"}, {}} << QStringLiteral("A  B  \r\r\nx     \r\r\n      \r\r\n\r\r\n");
    QTest::newRow("no rows") << QStringList{"Name"} << Rows{} << QString();
}

void TestHardwareInventory::table()
{
    QFETCH(QStringList, columns);
    QFETCH(Rows, rows);
    QFETCH(QString, table);
    QCOMPARE(wmicTableText(columns, rows), table);
}

void TestHardwareInventory::dataLines_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("header, two lines, blank")
        << wmic({"Name", "Realtek Audio", "USB Audio"}) << QStringList{"Realtek Audio", "USB Audio"};
    QTest::newRow("recorded network adapters")
        << recorded("nic.txt") << QStringList{"Realtek PCIe GbE Family Controller", "Intel(R) Wi-Fi 6 AX200 160MHz"};
    QTest::newRow("no final blank line drops the last line")
        << wmic({"Name", "Realtek Audio", "USB Audio"}, false) << QStringList{"Realtek Audio"};
    QTest::newRow("header only") << wmic({"Name"}) << QStringList();
    QTest::newRow("nothing") << QString() << QStringList();
    QTest::newRow("empty lines skipped") << QStringLiteral("Name\n\n\nA\n\nB\n \n") << QStringList{"A", "B"};
}

void TestHardwareInventory::dataLines()
{
    QFETCH(QString, output);
    QFETCH(QStringList, lines);
    QCOMPARE(wmicDataLines(output), lines);
}

void TestHardwareInventory::singleLine_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one processor") << recorded("cpu.txt") << "wmic cpu get Name"
                                   << "AMD Ryzen 7 5800X 8-Core Processor";
    QTest::newRow("two processors, one line")
        << recorded("cpu-two-processors.txt") << "wmic cpu get Name"
        << "Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz";
    QTest::newRow("header removed regardless of case") << QStringLiteral("NAME\r\nx\r\n") << "wmic cpu get Name"
                                                       << "x";
    QTest::newRow("no output") << QString() << "wmic cpu get Name" << QString();
    QTest::newRow("trailing blank in command") << QStringLiteral("Name \r\n a  b \r\n") << "wmic cpu get "
                                               << "Name a b";
}

void TestHardwareInventory::singleLine()
{
    QFETCH(QString, output);
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QCOMPARE(wmicSingleLine(output, command), expected);
}

void TestHardwareInventory::board_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one-word maker") << wmic({"Manufacturer  Product", "ASRock        B550M Pro4"})
                                    << "ASRock B550M Pro4";
    QTest::newRow("maker with blanks stays whole")
        << recorded("baseboard.txt") << "ASUSTeK COMPUTER INC.  PRIME B450M-A";
    QTest::newRow("last line wins") << wmic({"Manufacturer Product", "A X", "B Y"}) << "B Y";
    QTest::newRow("no data line") << wmic({"Manufacturer Product"}) << " ";
    QTest::newRow("no blank in line") << wmic({"Manufacturer Product", "Solo"}) << "Solo ";
}

void TestHardwareInventory::board()
{
    QFETCH(QString, output);
    QFETCH(QString, expected);
    QCOMPARE(parseBoardName(wmicDataLines(output)), expected);
}

void TestHardwareInventory::memory_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one module") << wmic({"Capacity Manufacturer Speed", "8589934592 Samsung 3200"})
                                << QStringList{"Samsung,8.0 GB"};
    QTest::newRow("maker with blanks") << recorded("memorychip.txt")
                                       << QStringList{"Micron Technology,16.0 GB", "Kingston,4.0 GB"};
    QTest::newRow("non-numeric capacity")
        << wmic({"Capacity Manufacturer Speed", "n/a Acme 3200"}) << QStringList{"Acme,0.0 GB"};
    QTest::newRow("empty maker column") << wmic({"Capacity Manufacturer Speed", "8589934592     3200"})
                                        << QStringList{",8.0 GB"};
    QTest::newRow("no blank at all") << wmic({"Capacity Manufacturer Speed", "8589934592"}) << QStringList{",8.0 GB"};
}

void TestHardwareInventory::memory()
{
    QFETCH(QString, output);
    QFETCH(QStringList, expected);
    QCOMPARE(parseMemoryModules(wmicDataLines(output)), expected);
}

void TestHardwareInventory::disks_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two disks") << recorded("diskdrive.txt")
                               << QStringList{"Samsung SSD 970 EVO 500GB,465.8 GB", "WDC WD10EZEX-08WN4A0,931.5 GB"};
    QTest::newRow("476.9 GiB") << wmic({"Model Size", "NVMe Disk 512110190592"}) << QStringList{"NVMe Disk,476.9 GB"};
    QTest::newRow("card reader without size")
        << wmic({"Model Size", "Generic SD Reader"}) << QStringList{"Generic SD,0.0 GB"};
}

void TestHardwareInventory::disks()
{
    QFETCH(QString, output);
    QFETCH(QStringList, expected);
    QCOMPARE(parseDisks(wmicDataLines(output)), expected);
}

void TestHardwareInventory::graphics_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("adapters, remote display left out")
        << recorded("videocontroller.txt")
        << QStringList{"NVIDIA GeForce RTX 3070,4.0GB", "Intel(R) UHD Graphics 630,1.0GB"};
    QTest::newRow("non-numeric memory left out") << wmic({"AdapterRAM Name", "  Basic Display"}) << QStringList();
    QTest::newRow("name with comma kept")
        << wmic({"AdapterRAM Name", "536870912 Vendor, Inc. GPU"}) << QStringList{"Vendor, Inc. GPU,0.5GB"};
}

void TestHardwareInventory::graphics()
{
    QFETCH(QString, output);
    QFETCH(QStringList, expected);
    QCOMPARE(parseGraphicsAdapters(wmicDataLines(output)), expected);
}

void TestHardwareInventory::sound_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("high definition wins")
        << QStringList{"Virtual Audio Device", "Realtek High Definition Audio", "USB Audio"}
        << "Realtek High Definition Audio";
    QTest::newRow("recorded: the first high definition device")
        << wmicDataLines(recorded("sounddevice.txt")) << "Realtek High Definition Audio";
    QTest::newRow("last audio line") << QStringList{"USB Audio", "Bluetooth Audio"} << "Bluetooth Audio";
    QTest::newRow("case matters") << QStringList{"usb audio", "NVIDIA Virtual Sound"} << QString();
    QTest::newRow("none") << QStringList() << QString();
}

void TestHardwareInventory::sound()
{
    QFETCH(QStringList, names);
    QFETCH(QString, chosen);
    QCOMPARE(chooseSoundDevice(names), chosen);
}

void TestHardwareInventory::os()
{
    QCOMPARE(parseOsCaption(wmicDataLines(recorded("os.txt"))), QStringLiteral("Microsoft Windows 11 Pro"));
    // The same output saved to a file reads the same once decoded.
    QCOMPARE(recorded("os-redirected-utf16.txt"), recorded("os.txt"));
    QCOMPARE(parseOsCaption(wmicDataLines(wmic({"Caption"}))), QString());
    QCOMPARE(gibibytesText(0), QStringLiteral("0.0"));
    QCOMPARE(gibibytesText(1073741824.0 * 1.25), QStringLiteral("1.3")); // halves round away from zero
}

KESTRUN_TEST_MAIN(TestHardwareInventory)
#include "tst_hardwareinventory.moc"
