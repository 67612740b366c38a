// The report's date and time from the clock that looks the zone's offset up once per minute, second
// by second against QDateTime's own local time, across daylight-saving changes (whole and half
// hours), a zone of quarter hours and a new year, and the report bytes made from either.

#include "datapath/reportclock.h"
#include "device/devicereport.h"

#include <QDateTime>
#include <QTest>

#include <cstdlib>
#include <ctime>

namespace {

void useZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    ::tzset();
}

DeviceReport reportAt(const QDate &date, const QTime &time)
{
    ReportFigures figures;
    figures.cpuTemperature = 47;
    figures.date = date;
    figures.time = time;
    return encodeDeviceReport(figures);
}

} // namespace

class TestReportClock : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { useZone(previousZone); }
    void followsLocalTime_data();
    void followsLocalTime();
    void looksTheOffsetUpOncePerMinute();

private:
    const QByteArray previousZone = qgetenv("TZ");
};

void TestReportClock::followsLocalTime_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("fromUtc");
    // POSIX rules rather than zone files: the same on every machine.
    QTest::newRow("CET spring forward") << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3") << "2026-03-29T00:57:00Z";
    QTest::newRow("CET fall back") << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3") << "2026-10-25T00:57:00Z";
    QTest::newRow("US Eastern fall back") << QByteArray("EST5EDT,M3.2.0,M11.1.0") << "2026-11-01T05:57:00Z";
    QTest::newRow("half-hour shift") << QByteArray("LHST-10:30LHDT-11,M10.1.0,M4.1.0") << "2026-10-03T15:27:00Z";
    QTest::newRow("quarter-hour zone, new year") << QByteArray("NPT-5:45") << "2026-12-31T18:12:00Z";
    QTest::newRow("west of UTC, new year") << QByteArray("HST10") << "2027-01-01T09:57:00Z";
}

void TestReportClock::followsLocalTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, fromUtc);
    useZone(zone);
    const qint64 from = QDateTime::fromString(fromUtc, Qt::ISODate).toMSecsSinceEpoch();
    QVERIFY(from > 0);
    ReportClock clock;
    // Six minutes around the change, a report each second at varying points within the second.
    for (int second = 0; second < 360; ++second) {
        const qint64 at = from + qint64(second) * 1000 + (second * 137) % 1000;
        const QDateTime expected = QDateTime::fromMSecsSinceEpoch(at, Qt::LocalTime);
        const ReportClock::Stamp stamp = clock.localAt(at);
        const QString where = expected.toString(Qt::ISODateWithMs);
        QVERIFY2(stamp.date == expected.date() && stamp.time == expected.time(), qPrintable(where));
        QVERIFY2(reportAt(stamp.date, stamp.time) == reportAt(expected.date(), expected.time()), qPrintable(where));
    }
    // Each row crosses what it names.
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(from, Qt::LocalTime);
    const QDateTime last = first.addSecs(359);
    QVERIFY(first.offsetFromUtc() != last.offsetFromUtc() || first.date().year() != last.date().year());
}

void TestReportClock::looksTheOffsetUpOncePerMinute()
{
    int lookups = 0;
    ReportClock clock([&lookups](qint64) {
        ++lookups;
        return 3600;
    });
    const qint64 minute = QDateTime::fromString("2026-06-01T12:00:00Z", Qt::ISODate).toMSecsSinceEpoch();
    for (int second = 0; second < 180; ++second)
        clock.localAt(minute + qint64(second) * 1000);
    QCOMPARE(lookups, 3);
    // The clock set back: the earlier minute is looked up again.
    QCOMPARE(clock.localAt(minute - 1).time, QTime(12, 59, 59, 999));
    QCOMPARE(lookups, 4);
}

QTEST_GUILESS_MAIN(TestReportClock)
#include "tst_reportclock.moc"
