#include "testenv.h"

#include "platform/systemstats.h"

#include <QFile>

#undef signals
#include <umockdev.h>

#include <sys/statvfs.h>

class TestSystemStats : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void memoryFromProc();
    void systemDrive();
};

void TestSystemStats::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint32>("load");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("avail");
    QTest::newRow("typical") << QByteArray("MemTotal:       16314060 kB\n"
                                           "MemFree:         1052828 kB\n"
                                           "MemAvailable:    8157030 kB\n"
                                           "Buffers:          368720 kB\n")
                             << quint32(50) << quint64(16314060) * 1024 << quint64(8157030) * 1024;
    QTest::newRow("truncated percent") << QByteArray("MemTotal: 3 kB\nMemAvailable: 1 kB\n") << quint32(66)
                                       << quint64(3072) << quint64(1024);
    QTest::newRow("order does not matter")
        << QByteArray("MemAvailable: 0 kB\nMemTotal: 1 kB\n") << quint32(100) << quint64(1024) << quint64(0);
    QTest::newRow("zero total") << QByteArray("MemTotal: 0 kB\nMemAvailable: 0 kB\n") << quint32(0) << quint64(0)
                                << quint64(0);
    QTest::newRow("empty") << QByteArray() << quint32(0) << quint64(0) << quint64(0);
    QTest::newRow("garbage value") << QByteArray("MemTotal: lots kB\nMemAvailable: 5 kB\n") << quint32(0) << quint64(0)
                                   << quint64(0);
    QTest::newRow("similar names ignored")
        << QByteArray("MemTotalX: 9 kB\nMemTotal: 4 kB\nMemAvailable: 3 kB\nMemAvailableY: 1 kB\n") << quint32(25)
        << quint64(4096) << quint64(3072);
    QTest::newRow("huge total, no overflow") << QByteArray("MemTotal: 18014398509481983 kB\nMemAvailable: 0 kB\n")
                                             << quint32(100) << quint64(18014398509481983ull) * 1024 << quint64(0);
}

void TestSystemStats::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(quint32, load);
    QFETCH(quint64, total);
    QFETCH(quint64, avail);
    const MemoryFigures figures = parseMeminfo(text);
    QCOMPARE(figures.memoryLoad, load);
    QCOMPARE(figures.totalPhys, total);
    QCOMPARE(figures.availPhys, avail);
}

void TestSystemStats::memoryFromProc()
{
    UMockdevTestbed *testbed = umockdev_testbed_new();
    gchar *rootDir = umockdev_testbed_get_root_dir(testbed);
    const QString root = QString::fromLocal8Bit(rootDir);
    g_free(rootDir);
    QVERIFY(QDir().mkpath(root + "/proc"));
    QFile meminfo(root + "/proc/meminfo");
    QVERIFY(meminfo.open(QIODevice::WriteOnly));
    meminfo.write("MemTotal:        8000000 kB\nMemFree: 1 kB\nMemAvailable:    2000000 kB\n");
    meminfo.close();

    const MemoryFigures figures = queryMemory();
    QCOMPARE(figures.memoryLoad, quint32(75));
    QCOMPARE(figures.totalPhys, quint64(8000000) * 1024);
    QCOMPARE(figures.availPhys, quint64(2000000) * 1024);

    // The same file with new contents, as procfs has at every read: the next query has them.
    QVERIFY(meminfo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    meminfo.write("MemTotal:        8000000 kB\nMemAvailable:    6000000 kB\n");
    meminfo.close();
    const MemoryFigures later = queryMemory();
    QCOMPARE(later.memoryLoad, quint32(25));
    QCOMPARE(later.availPhys, quint64(6000000) * 1024);
    g_object_unref(testbed);
}

void TestSystemStats::systemDrive()
{
    const std::optional<DriveFigures> drive = querySystemDrive();
    QVERIFY(drive.has_value());
    struct statvfs fs {
    };
    QCOMPARE(statvfs("/", &fs), 0);
    QCOMPARE(drive->totalBytes, quint64(fs.f_blocks) * fs.f_frsize);
    QVERIFY(drive->totalFreeBytes <= drive->totalBytes);
}

KESTRUN_TEST_MAIN(TestSystemStats)
#include "tst_systemstats.moc"
