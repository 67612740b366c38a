// The pure parsers of /proc text on their own: cpuinfo blocks, memory figures and sound cards.

#include "parse/asoundcards.h"
#include "parse/cpuinfo.h"
#include "parse/meminfo.h"

#include "testenv.h"

#include <string>
#include <vector>

class TestParse : public QObject
{
    Q_OBJECT
private slots:
    void cpuinfoBlocks_data();
    void cpuinfoBlocks();
    void cpuinfoFields();
    void cpuFlag_data();
    void cpuFlag();
    void meminfo();
    void asoundCards_data();
    void asoundCards();
};

void TestParse::cpuinfoBlocks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("models"); // one per block
    QTest::newRow("blank line ends a block")
        << QByteArray("processor : 0\nmodel name : A\n\nprocessor : 1\nmodel name : B\n") << QStringList({"A", "B"});
    QTest::newRow("processor line starts one without blank")
        << QByteArray("processor : 0\nmodel name : A\nprocessor : 1\nmodel name : B\n") << QStringList({"A", "B"});
    QTest::newRow("leading lines without processor")
        << QByteArray("model name : Test CPU\n\n\nprocessor : 0\n") << QStringList({"Test CPU", ""});
    QTest::newRow("blank lines and junk only") << QByteArray("\n \t\n\r\nno colon here\n") << QStringList();
    QTest::newRow("empty") << QByteArray() << QStringList();
}

void TestParse::cpuinfoBlocks()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, models);
    QStringList found;
    for (const CpuinfoBlock &block : parseCpuinfoBlocks(text.toStdString()))
        found << QString::fromStdString(block.modelName);
    QCOMPARE(found, models);
}

void TestParse::cpuinfoFields()
{
    const std::vector<CpuinfoBlock> blocks =
        parseCpuinfoBlocks("processor\t: 3\nvendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel name\t:  AMD EPYC \n"
                           "cpu MHz\t\t: 2596.138\nphysical id\t: 1\ncore id\t\t: 7\nflags\t\t: fpu hypervisor\r\n\n"
                           "processor\t: x\ncpu family\t: big\ncpu MHz\t\t: nan\ncore id\t\t: 99999999999\n");
    QCOMPARE(blocks.size(), std::size_t(2));
    const CpuinfoBlock &first = blocks[0];
    QVERIFY(first.hasProcessor);
    QCOMPARE(first.processor, std::optional<int>(3));
    QCOMPARE(first.vendorId, std::string("AuthenticAMD"));
    QCOMPARE(first.cpuFamily, std::optional<int>(23));
    QCOMPARE(first.modelName, std::string("AMD EPYC"));
    QCOMPARE(first.mhz, std::optional<double>(2596.138));
    QCOMPARE(first.physicalId, std::string("1"));
    QCOMPARE(first.coreId, std::optional<int>(7));
    QCOMPARE(first.flags, std::string("fpu hypervisor"));
    const CpuinfoBlock &second = blocks[1];
    QVERIFY(second.hasProcessor);
    QCOMPARE(second.processor, std::optional<int>());
    QCOMPARE(second.cpuFamily, std::optional<int>());
    QCOMPARE(second.mhz, std::optional<double>());
    QCOMPARE(second.coreId, std::optional<int>()); // beyond int
}

void TestParse::cpuFlag_data()
{
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QByteArray>("flag");
    QTest::addColumn<bool>("has");
    QTest::newRow("middle") << QByteArray("fpu hypervisor lahf_lm") << QByteArray("hypervisor") << true;
    QTest::newRow("last") << QByteArray("fpu hypervisor") << QByteArray("hypervisor") << true;
    QTest::newRow("only") << QByteArray("hypervisor") << QByteArray("hypervisor") << true;
    QTest::newRow("part of a word") << QByteArray("fpu hypervisors") << QByteArray("hypervisor") << false;
    QTest::newRow("none") << QByteArray() << QByteArray("hypervisor") << false;
    QTest::newRow("empty flag") << QByteArray("fpu  vme") << QByteArray() << false;
}

void TestParse::cpuFlag()
{
    QFETCH(QByteArray, flags);
    QFETCH(QByteArray, flag);
    QFETCH(bool, has);
    CpuinfoBlock block;
    block.flags = flags.toStdString();
    QCOMPARE(hasCpuFlag(block, flag.toStdString()), has);
}

void TestParse::meminfo()
{
    const MeminfoFigures figures = parseMeminfoText("MemTotal:\t 4 kB\nMemAvailable: 1024\n");
    QCOMPARE(figures.totalBytes, 4096ull);
    QCOMPARE(figures.availBytes, 1024ull); // no unit: bytes
    QCOMPARE(figures.memoryLoad, std::uint32_t(75));
    QCOMPARE(parseMeminfoText("MemTotal: 4 kB\nMemAvailable: 9 kB\n").availBytes, 4096ull);
    QCOMPARE(parseMeminfoText("MemTotal: 18446744073709551615 kB\n").totalBytes, 0ull); // overflows
    QCOMPARE(parseMeminfoText("MemTotal: 12x kB\n").totalBytes, 0ull);
}

void TestParse::asoundCards_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two cards") << QByteArray(" 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
                                             "                      HDA Intel PCH at 0xf7f10000 irq 32\n"
                                             " 1 [NVidia         ]: HDA-Intel - HDA NVidia  \n")
                               << QStringList({"HDA Intel PCH", "HDA NVidia"});
    QTest::newRow("dash right after the colon") << QByteArray("2 [X]: - Name - More\n") << QStringList({"Name - More"});
    QTest::newRow("no number") << QByteArray(" [PCH]: HDA-Intel - HDA Intel PCH\n") << QStringList();
    QTest::newRow("no blank before the id") << QByteArray(" 0[PCH]: HDA-Intel - A\n") << QStringList();
    QTest::newRow("no colon") << QByteArray(" 0 [PCH] HDA-Intel - A\n") << QStringList();
    QTest::newRow("no dash") << QByteArray(" 0 [PCH]: HDA-Intel\n") << QStringList();
    QTest::newRow("no sound") << QByteArray("--- no soundcards ---\n") << QStringList();
}

void TestParse::asoundCards()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, names);
    QStringList found;
    for (const std::string &name : parseAsoundCardNames(text.toStdString()))
        found << QString::fromStdString(name);
    QCOMPARE(found, names);
}

KESTRUN_TEST_MAIN(TestParse)
#include "tst_parse.moc"
