// The display plugged in and pulled out a hundred times while the built program runs: every plug
// opens the link once and brings the reports back, every removal closes it and stops them, and
// the program holds no more descriptors or threads at the end than after the first round.

#include "emulateddisplay.h"
#include "processsampler.h"
#include "programrun.h"
#include "reportwatch.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QFileInfo>

using kestrun::e2e::ProgramRun;
using kestrun::e2e::ReportWatch;
using kestrun::test::ProcessSample;

namespace {

constexpr int kRounds = 100;
// Every wait ends as soon as its condition holds; the limit only has to cover a slow
// (sanitized) program: a plug takes the 300 ms settle plus up to one 1 s report cycle.
constexpr int kWaitMs = 20000;

const QString kSdkReady = QStringLiteral("HWi32SDK init Over [Successful]");
const QString kOpened = QStringLiteral("onOpenHidSuccessful -----------------------");
const QString kInsert = QStringLiteral("Insert a new device --------------- hidPath:");
const QString kPullOut = QStringLiteral("Pull out a device --------------- hidPath:");
// The link's writer thread, by the name Qt gives it (its class name, which the kernel cuts to
// 15 characters).
const QString kWriterThread = QStringLiteral("MainHidInterFace").left(15);

// Qt's pool threads end after 30 s without work, each with the wakeup descriptor of its event
// dispatcher; whether they are still there says nothing about the link, so they are left out.
const QString kPoolThread = QStringLiteral("Thread (pooled)");
const QString kThreadWakeup = QStringLiteral("anon_inode:[eventfd]");

ProcessSample withoutPoolThreads(ProcessSample sample)
{
    while (sample.threads.removeOne(kPoolThread))
        sample.descriptors.removeOne(kThreadWakeup);
    return sample;
}

bool writerRunning(const ProgramRun &run)
{
    const std::optional<ProcessSample> sample = kestrun::test::sampleProcess(run.pid());
    return sample && sample->threads.contains(kWriterThread);
}

// The program's descriptors and threads once two readings in a row agree, so a log file that is
// open for one record or a thread on its way out is not counted.
std::optional<ProcessSample> settledFigures(const ProgramRun &run, ReportWatch &watch)
{
    std::optional<ProcessSample> last;
    std::optional<ProcessSample> now;
    watch.waitUntil(
        [&] {
            now = kestrun::test::sampleProcess(run.pid());
            const bool same = now && last && kestrun::test::sameHoldings(*now, *last);
            last = now;
            return same;
        },
        kWaitMs);
    return now;
}

// One plug and removal, the round-th; empty when the link followed the device.
QString plugRound(EmulatedDisplay &display, const ProgramRun &run, ReportWatch &watch, int round)
{
    const auto fault = [&](const QString &what) {
        return QStringLiteral("round %1: %2\n%3").arg(round).arg(what, run.consoleTail());
    };
    if (run.recordCount(kOpened) != round)
        return fault(QStringLiteral("the link opened %1 times for %2 plugs").arg(run.recordCount(kOpened)).arg(round));

    const std::size_t atClose = watch.count();
    display.plug();
    // A report counted before the log shows the link open was sent while it was closed.
    std::size_t beforeOpen = atClose;
    const bool opened = watch.waitUntil(
        [&] {
            const std::size_t seen = watch.count();
            if (run.recordCount(kOpened) > round)
                return true;
            beforeOpen = seen;
            return false;
        },
        kWaitMs);
    if (!opened)
        return fault(QStringLiteral("the link did not open"));
    if (beforeOpen != atClose)
        return fault(
            QStringLiteral("%1 reports reached the display while the link was closed").arg(beforeOpen - atClose));
    if (!watch.waitForReports(atClose + 1, kWaitMs))
        return fault(QStringLiteral("no report after the link opened"));
    // Seen here, its absence after the removal below means the link really closed.
    if (!writerRunning(run))
        return fault(QStringLiteral("no writer thread \"%1\" while reports arrive").arg(kWriterThread));

    display.unplug();
    if (!watch.waitUntil([&] { return run.recordCount(kPullOut) > round; }, kWaitMs))
        return fault(QStringLiteral("the removal was not acted on"));
    if (!watch.waitUntil([&] { return !writerRunning(run); }, kWaitMs))
        return fault(QStringLiteral("the link's writer thread still runs after the link closed"));
    return QString();
}

} // namespace

class TestPlugStorm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hundredPlugRounds();
};

void TestPlugStorm::initTestCase()
{
    const QFileInfo program(qEnvironmentVariable("KESTRUN_E2E_PROGRAM"));
    QVERIFY2(program.isExecutable(), qPrintable(program.filePath()));
}

void TestPlugStorm::hundredPlugRounds()
{
    EmulatedDisplay display;
    ProgramRun run;
    QVERIFY(run.start());
    ReportWatch watch(display);
    // Plugs start once the program is up, so the first one is a hot plug like the rest.
    QVERIFY2(watch.waitUntil([&] { return run.recordCount(kSdkReady) > 0; }, kestrun::test::kProgramStartMs),
             qPrintable(run.consoleTail()));

    QElapsedTimer clock;
    clock.start();
    // The first round is the warm-up: whatever the program sets up once for the device is there
    // before the figures are taken.
    QString fault = plugRound(display, run, watch, 0);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    const std::optional<ProcessSample> before = settledFigures(run, watch);
    QVERIFY2(before, qPrintable(run.consoleTail()));
    for (int round = 1; round < kRounds; ++round) {
        fault = plugRound(display, run, watch, round);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    const qint64 elapsed = clock.elapsed();

    // Nothing the rounds took stays behind.
    std::optional<ProcessSample> after;
    const ProcessSample kept = withoutPoolThreads(*before);
    const bool noGrowth = watch.waitUntil(
        [&] {
            after = settledFigures(run, watch);
            if (!after)
                return false;
            const ProcessSample left = withoutPoolThreads(*after);
            return left.descriptors.size() <= kept.descriptors.size() && left.threads.size() <= kept.threads.size();
        },
        kWaitMs);
    QVERIFY2(after, qPrintable(run.consoleTail()));
    qInfo("%d plug rounds in %.1f s (%lld ms a round); descriptors %d -> %d, threads %d -> %d, RSS %lld -> %lld kB",
          kRounds, double(elapsed) / 1000.0, elapsed / kRounds, int(before->descriptors.size()),
          int(after->descriptors.size()), int(before->threads.size()), int(after->threads.size()), before->rssKb,
          after->rssKb);
    const QString difference = kestrun::test::holdingsDifference(*before, *after);
    if (!kestrun::test::sameHoldings(*after, *before))
        qInfo("%s", qPrintable(difference));
    QVERIFY2(noGrowth, qPrintable(difference));

    run.terminate();
    QVERIFY2(run.waitForExit(kWaitMs), qPrintable(run.consoleTail()));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(run.recordCount(kInsert), kRounds);
    QCOMPARE(run.recordCount(kOpened), kRounds);
    QCOMPARE(run.recordCount(kPullOut), kRounds);
}

KESTRUN_TEST_MAIN(TestPlugStorm)
#include "tst_plugstorm.moc"
