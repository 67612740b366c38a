// The built program as a user meets it: started as a process of its own on an emulated machine
// with the display device, fed by the scripted sensor library, ended by the session's SIGTERM.

#include "emulateddisplay.h"
#include "programrun.h"
#include "reportwatch.h"
#include "scenario.h"
#include "testenv.h"

#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

#include <algorithm>
#include <numeric>

using kestrun::e2e::LogRecord;
using kestrun::e2e::ProgramRun;
using kestrun::e2e::ReportContext;
using kestrun::e2e::ReportWatch;
using Report = EmulatedDisplay::Report;
namespace scenario = kestrun::e2e::scenario;

namespace {

const QString kExit = QStringLiteral("Exit app runing [Normal]");
const QString kOpened = QStringLiteral("onOpenHidSuccessful -----------------------");
const QString kInsert = QStringLiteral("Insert a new device --------------- hidPath:");
const QString kPullOut = QStringLiteral("Pull out a device --------------- hidPath:");
const QString kSdkReady = QStringLiteral("HWi32SDK init Over [Successful]");
const QString kInfoStart =
    QStringLiteral("---------------------------- *** Hardware info get [Start] *** ----------------------------");
const QString kInfoOver =
    QStringLiteral("---------------------------- *** Hardware info get [Over] *** ----------------------------");

// The machine's memory as the emulated /proc/meminfo states it: 16 280 MiB installed, 43 % in use.
const int kMemoryMiB = 16280;
const int kMemoryLoad = 43;

void overlayMeminfo()
{
    const QString root = qEnvironmentVariable("UMOCKDEV_DIR");
    QDir().mkpath(root + "/proc");
    QFile meminfo(root + "/proc/meminfo");
    QVERIFY(meminfo.open(QIODevice::WriteOnly));
    meminfo.write("MemTotal:       16671324 kB\nMemFree:         1234567 kB\nMemAvailable:    9419298 kB\n"
                  "Buffers:          100000 kB\nCached:          5000000 kB\n");
}

// Drive figures of the file system holding "/", as the program measures them.
void driveFigures(int &percent, int &gib)
{
    struct statvfs fs = {};
    QCOMPARE(statvfs("/", &fs), 0);
    const quint64 total = quint64(fs.f_blocks) * fs.f_frsize;
    const quint64 free = quint64(fs.f_bfree) * fs.f_frsize;
    QVERIFY(total > 0);
    percent = int(100.0 - double(free) / double(total) * 100.0);
    gib = int((total / (quint64(1) << 30)) & 0xFFFF);
}

// The cycles the reports [first, last) carry; -1 for a report of no cycle.
std::vector<int> cyclesOf(const std::vector<Report> &reports, std::size_t first, std::size_t last)
{
    std::vector<int> cycles;
    for (std::size_t i = first; i < last && i < reports.size(); ++i)
        cycles.push_back(scenario::cycleOf(reports[i]).value_or(-1));
    return cycles;
}

QString joined(const std::vector<int> &values)
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts.join(' ');
}

// Reports sent while the link stays open follow the cycles: never an older one, and no more than
// one cycle passed over (the window copies the newest figures when it runs late).
QString cycleOrderFault(const std::vector<int> &cycles)
{
    for (std::size_t i = 1; i < cycles.size(); ++i)
        if (cycles[i] - cycles[i - 1] < 0 || cycles[i] - cycles[i - 1] > 2)
            return QStringLiteral("cycles out of step: %1").arg(joined(cycles));
    return QString();
}

QStringList messages(const QList<LogRecord> &records)
{
    QStringList texts;
    for (const LogRecord &record : records)
        texts << record.message;
    return texts;
}

// Empty when the messages hold the expected ones in this order (others may come between).
QString orderFault(const QStringList &logged, const QStringList &expected)
{
    int at = 0;
    for (const QString &message : expected) {
        const int found = logged.indexOf(message, at);
        if (found < 0)
            return QStringLiteral("no record \"%1\" after record %2").arg(message).arg(at);
        at = found + 1;
    }
    return QString();
}

QStringList startingWith(const QStringList &logged, const QString &prefix)
{
    QStringList found;
    for (const QString &message : logged)
        if (message.startsWith(prefix))
            found << message;
    return found;
}

// Every line of the log is one whole record, from this run, naming a source file and line.
QString recordFault(const ProgramRun &run, const QDateTime &from, const QDateTime &to)
{
    QStringList bad;
    const QList<LogRecord> records = run.logRecords(&bad);
    if (!bad.isEmpty())
        return QStringLiteral("lines not in the record layout: %1").arg(bad.join(" | "));
    if (records.isEmpty())
        return QStringLiteral("no log records");
    for (const LogRecord &record : records) {
        if (record.stamp < from.addSecs(-1) || record.stamp > to.addSecs(1))
            return QStringLiteral("record stamped %1 outside the run: %2")
                .arg(record.stamp.toString(Qt::ISODate), record.message);
        if (!record.file.endsWith(".cpp") || record.line <= 0)
            return QStringLiteral("record without source file and line: %1 %2 %3")
                .arg(record.file)
                .arg(record.line)
                .arg(record.message);
    }
    return QString();
}

QString firstSensorCycleFault(const QStringList &logged)
{
    if (logged.count(kInfoStart) != 1 || logged.count(kInfoOver) != 1)
        return QStringLiteral("the sensor details are logged for the first cycle only, once");
    return orderFault(logged,
                      QStringList{QStringLiteral("Start Thread Runing SDK -> GetComputerInfo [Start]"), kInfoStart}
                          + scenario::firstCycleLogLines() + QStringList{kInfoOver});
}

const QString kUninitPrefix = QStringLiteral("HWi32SDK UNinit Over [Status],errorCode:");

// The release of the sensor library is logged with its status, between the start of the library
// and the end of the program, which is logged once.
QString shutdownFault(const QStringList &logged)
{
    if (logged.count(kExit) != 1)
        return QStringLiteral("\"%1\" logged %2 times").arg(kExit).arg(logged.count(kExit));
    const QStringList uninit = startingWith(logged, kUninitPrefix);
    if (uninit.size() != 1 || !uninit[0].endsWith(QString::number(scenario::kUninitResult)))
        return QStringLiteral("the library's release is not logged once with its status: %1").arg(uninit.join(" | "));
    return orderFault(logged, {kSdkReady, uninit[0], kExit});
}

// The status is a number item of the debug stream, which puts a blank before it.
void compareUninitRecord(const QStringList &logged)
{
    const QStringList uninit = startingWith(logged, kUninitPrefix);
    QVERIFY(!uninit.isEmpty());
    QCOMPARE(uninit[0], kUninitPrefix + ' ' + QString::number(scenario::kUninitResult));
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void displayPluggedAtStart();
    void displayPluggedAfterStartInFahrenheit();
};

void TestEndToEnd::initTestCase()
{
    const QFileInfo program(qEnvironmentVariable("KESTRUN_E2E_PROGRAM"));
    QVERIFY2(program.isExecutable(), qPrintable(program.filePath()));
    QVERIFY(QFileInfo::exists(program.path() + "/configDir/appConfig.ini"));
    QVERIFY(QFileInfo::exists(qEnvironmentVariable("KESTRUN_E2E_SDK_DIR") + "/libsensorsdk.so"));
}

void TestEndToEnd::displayPluggedAtStart()
{
    EmulatedDisplay display;
    overlayMeminfo();
    display.plug();
    ReportContext context;
    context.memoryLoad = kMemoryLoad;
    context.memoryMiB = kMemoryMiB;
    driveFigures(context.drivePercent, context.driveGiB);

    ProgramRun run;
    const QDateTime started = QDateTime::currentDateTime();
    QVERIFY(run.start());
    ReportWatch watch(display);

    // Reports start once the sensor library is up, one per cycle.
    QVERIFY2(watch.waitForReports(1, kestrun::test::kProgramStartMs), qPrintable(run.consoleTail()));
    watch.wait(5000);
    const std::size_t running = watch.count();
    QVERIFY2(running >= 3, qPrintable(QString::number(running)));
    const QString wrong = watch.mismatches(context);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    const std::vector<int> cycles = cyclesOf(display.reports(), 0, running);
    QVERIFY2(cycleOrderFault(cycles).isEmpty(), qPrintable(cycleOrderFault(cycles)));

    const std::vector<qint64> gaps = watch.intervals(0, running);
    const qint64 mean = std::accumulate(gaps.begin(), gaps.end(), qint64(0)) / qint64(gaps.size());
    qInfo("report intervals (ms): mean %lld, min %lld, max %lld over %zu", mean,
          *std::min_element(gaps.begin(), gaps.end()), *std::max_element(gaps.begin(), gaps.end()), gaps.size());
    QVERIFY2(mean >= 700 && mean <= 2000, qPrintable(QString::number(mean)));

    // The session ends while a report is inside the device: the link closes only after that write
    // returns, and the end is logged after the link is closed.
    display.holdWrites(true);
    QVERIFY(display.waitForHeldWrite(std::chrono::seconds(5)));
    const std::size_t beforeEnd = display.reportCount();
    run.terminate();
    watch.wait(1500);
    QVERIFY2(run.isRunning(), qPrintable(run.consoleTail()));
    QVERIFY(!run.hasRecord(kExit));
    display.holdWrites(false);
    QVERIFY(run.waitForExit(10000));
    const QDateTime ended = QDateTime::currentDateTime();
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(display.reportCount() > beforeEnd);
    const std::size_t afterEnd = display.reportCount();
    watch.wait(300);
    QCOMPARE(display.reportCount(), afterEnd);

    const QString badRecord = recordFault(run, started, ended);
    QVERIFY2(badRecord.isEmpty(), qPrintable(badRecord));
    const QStringList logged = messages(run.logRecords());
    const QString startFault = orderFault(
        logged, {QStringLiteral("------------------------- *** App Runing *** ------------------------------"),
                 QStringLiteral("TempShowModel Init -> [\u2103]"), QStringLiteral("Start Update -> Start"),
                 QStringLiteral("\nOpen device success\n"), kOpened, QStringLiteral("Start Update -> Over"),
                 QStringLiteral("Start Thread Runing SDK -> GetComputerInfo [Start]"), kSdkReady});
    QVERIFY2(startFault.isEmpty(), qPrintable(startFault));
    QCOMPARE(logged.count(kOpened), 1);
    const QString cycleFault = firstSensorCycleFault(logged);
    QVERIFY2(cycleFault.isEmpty(), qPrintable(cycleFault));
    const QString endFault = shutdownFault(logged);
    QVERIFY2(endFault.isEmpty(), qPrintable(endFault));
    compareUninitRecord(logged);
}

void TestEndToEnd::displayPluggedAfterStartInFahrenheit()
{
    EmulatedDisplay display;
    overlayMeminfo();
    ReportContext context;
    context.fahrenheit = true;
    context.memoryLoad = kMemoryLoad;
    context.memoryMiB = kMemoryMiB;
    driveFigures(context.drivePercent, context.driveGiB);

    ProgramRun run;
    run.setTemperatureUnit(2);
    const QDateTime started = QDateTime::currentDateTime();
    QVERIFY(run.start());
    ReportWatch watch(display);

    // Cycles run without the display; nothing is sent.
    QVERIFY2(watch.waitUntil([&] { return run.hasRecord(kSdkReady); }, kestrun::test::kProgramStartMs),
             qPrintable(run.consoleTail()));
    watch.wait(2500);
    QCOMPARE(watch.count(), std::size_t(0));
    QVERIFY(!run.hasRecord(kOpened));

    display.plug();
    QVERIFY2(watch.waitForReports(1, 10000), qPrintable(run.consoleTail()));
    watch.wait(3000);
    const std::size_t beforeOut = watch.count();
    QVERIFY(beforeOut >= 2);

    display.unplug();
    QVERIFY(watch.waitUntil([&] { return !startingWith(messages(run.logRecords()), kPullOut).isEmpty(); }, 5000));
    watch.wait(500);
    const std::size_t out = watch.count();
    // One report may have been on its way as the device went.
    QVERIFY2(out <= beforeOut + 1, qPrintable(QStringLiteral("%1 -> %2").arg(beforeOut).arg(out)));
    watch.wait(2500);
    QCOMPARE(watch.count(), out);

    display.plug();
    QVERIFY(watch.waitForReports(out + 1, 10000));
    watch.wait(2000);
    const std::size_t back = watch.count();
    QVERIFY(back >= out + 2);
    const QString wrong = watch.mismatches(context);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    const std::vector<Report> reports = display.reports();
    const std::vector<int> before = cyclesOf(reports, 0, out);
    const std::vector<int> after = cyclesOf(reports, out, back);
    QVERIFY2(cycleOrderFault(before).isEmpty(), qPrintable(cycleOrderFault(before)));
    QVERIFY2(cycleOrderFault(after).isEmpty(), qPrintable(cycleOrderFault(after)));
    // The cycles went on while the display was out.
    QVERIFY2(after.front() - before.back() >= 2, qPrintable(joined(before) + " | " + joined(after)));

    run.terminate();
    QVERIFY(run.waitForExit(10000));
    const QDateTime ended = QDateTime::currentDateTime();
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);

    const QString badRecord = recordFault(run, started, ended);
    QVERIFY2(badRecord.isEmpty(), qPrintable(badRecord));
    const QStringList logged = messages(run.logRecords());
    QCOMPARE(logged.count(QStringLiteral("TempShowModel Init -> [\u2109]")), 1);
    const QStringList inserts = startingWith(logged, kInsert);
    const QStringList pulls = startingWith(logged, kPullOut);
    QCOMPARE(inserts.size(), 2);
    QCOMPARE(pulls.size(), 1);
    for (const QString &record : inserts + pulls)
        QVERIFY2(record.contains("5131") && record.contains("2007"), qPrintable(record));
    QCOMPARE(logged.count(kOpened), 2);
    const QString linkFault = orderFault(
        logged, {QStringLiteral("Start Update -> Over"), inserts[0], kOpened, pulls[0], inserts[1], kOpened, kExit});
    QVERIFY2(linkFault.isEmpty(), qPrintable(linkFault));
    const QString endFault = shutdownFault(logged);
    QVERIFY2(endFault.isEmpty(), qPrintable(endFault));
    compareUninitRecord(logged);
}

KESTRUN_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
