// Runs the built program for a long while on an emulated desktop with the display plugged in and
// prints what it holds over time: resident memory, open descriptors, threads, and the reports that
// reached the display. Sensors come from the real sensor library on the emulated desktop.
//   umockdev-wrapper kestrun-soak <minutes> <interval-seconds>
// (scripts/soak.sh sets the environment: KESTRUN_E2E_PROGRAM, KESTRUN_E2E_SDK_DIR.)

#include "emulateddisplay.h"
#include "processsampler.h"
#include "programrun.h"
#include "testbed.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using kestrun::e2e::ProgramRun;
using kestrun::test::ProcessSample;

namespace {

struct Sample {
    qint64 elapsedS;
    ProcessSample figures;
    std::size_t reports;
};

void printRow(const Sample &sample, bool stalled)
{
    std::printf("%9lld %9lld %5d %8d %8zu%s\n", sample.elapsedS, sample.figures.rssKb,
                int(sample.figures.descriptors.size()), int(sample.figures.threads.size()), sample.reports,
                stalled ? "  <- no report since the last sample" : "");
    std::fflush(stdout);
}

void printSummary(const std::vector<Sample> &samples, const EmulatedDisplay &display)
{
    const Sample &first = samples.front();
    const Sample &last = samples.back();
    qint64 maxRss = 0;
    for (const Sample &sample : samples)
        maxRss = std::max(maxRss, sample.figures.rssKb);
    const qint64 growth = last.figures.rssKb - first.figures.rssKb;
    std::printf("RSS first %lld kB, last %lld kB, max %lld kB, growth %+lld kB (%+.1f%%); "
                "descriptors %d -> %d; threads %d -> %d; %zu reports in %lld s\n",
                first.figures.rssKb, last.figures.rssKb, maxRss, growth,
                100.0 * double(growth) / double(first.figures.rssKb), int(first.figures.descriptors.size()),
                int(last.figures.descriptors.size()), int(first.figures.threads.size()),
                int(last.figures.threads.size()), last.reports, last.elapsedS);
    const std::vector<EmulatedDisplay::Report> reports = display.reports();
    if (!reports.empty())
        std::printf("last report: CPU %d degrees, usage %d %%, memory load %d %%\n", reports.back()[2] & 0x7F,
                    reports.back()[3], reports.back()[18]);
    if (!kestrun::test::sameHoldings(first.figures, last.figures))
        std::printf("%s\n", qPrintable(kestrun::test::holdingsDifference(first.figures, last.figures)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const double minutes = args.value(1, QStringLiteral("15")).toDouble();
    const int intervalS = args.value(2, QStringLiteral("60")).toInt();
    if (minutes <= 0 || intervalS <= 0 || !qEnvironmentVariable("LD_PRELOAD").contains("umockdev")) {
        std::fprintf(stderr, "usage: umockdev-wrapper %s <minutes> <interval-seconds>\n", argv[0]);
        return 2;
    }

    // The display and the desktop's sensors share one emulated machine; the program inherits it,
    // and the sensor library's configuration, when it starts.
    EmulatedDisplay display;
    sensortest::Testbed desktop(display.machine());
    sensortest::buildIntelDesktop(desktop);
    display.plug();
    ProgramRun run;
    if (!run.start()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    while (display.reportCount() == 0 && clock.elapsed() < 60000 && !run.waitForExit(100)) {
    }
    if (display.reportCount() == 0) {
        std::fprintf(stderr, "no report reached the display\n%s\n", qPrintable(run.consoleTail()));
        return 1;
    }

    std::printf("soak: %g min, a sample every %d s, program pid %lld\n", minutes, intervalS, run.pid());
    std::printf("%9s %9s %5s %8s %8s\n", "elapsed_s", "rss_kB", "fds", "threads", "reports");
    std::vector<Sample> samples;
    bool stalled = false;
    const qint64 totalMs = qint64(minutes * 60000);
    clock.restart();
    for (qint64 next = 0; next <= totalMs; next += qint64(intervalS) * 1000) {
        const qint64 wait = next - clock.elapsed();
        if (wait > 0)
            run.waitForExit(int(wait));
        const std::optional<ProcessSample> figures = kestrun::test::sampleProcess(run.pid());
        if (!run.isRunning() || !figures) {
            std::fprintf(stderr, "the program ended during the soak\n%s\n", qPrintable(run.consoleTail()));
            return 1;
        }
        samples.push_back({clock.elapsed() / 1000, *figures, display.reportCount()});
        // Reports go out once a second: every interval of two seconds or more brings some.
        const bool none =
            samples.size() > 1 && intervalS >= 2 && samples.back().reports == samples[samples.size() - 2].reports;
        stalled = stalled || none;
        printRow(samples.back(), none);
    }
    printSummary(samples, display);

    run.terminate();
    if (!run.waitForExit(20000) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
        std::fprintf(stderr, "the program did not end cleanly\n%s\n", qPrintable(run.consoleTail()));
        return 1;
    }
    if (stalled) {
        std::fprintf(stderr, "reports stopped reaching the display during the soak\n");
        return 1;
    }
    return 0;
}
