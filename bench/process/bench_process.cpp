// The whole program as a process, on an emulated machine (run under umockdev-wrapper; see
// scripts/bench-process.sh and scripts/bench-startup.sh).
//
//   bench_process steady [seconds] [warm-up seconds]
//     kestrun (window shown, display plugged, real sensor library) and bench_floor side by side;
//     CPU time between the end of the warm-up and the end, RSS and peak RSS at the end.
//   bench_process startup [runs]
//     launches of the program's entry (kestrun_startprobe) with the display plugged beforehand:
//     launch -> main window first exposed, launch -> first report at the display.

#include "logfiles.h"
#include "machine.h"
#include "processsampler.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace procbench;
using kestrun::test::ProcessSample;
using kestrun::test::runSecondsBetween;
using kestrun::test::sampleProcess;

namespace {

constexpr double kGoalCorePercent = 0.3;
constexpr double kGoalFloorRatio = 1.5;
constexpr double kGoalRssMb = 45;

const char *verdict(bool met)
{
    return met ? "met" : "NOT met";
}

// Sleeps until the given whole second after start, so the machine steps once a second.
void sleepUntil(qint64 startNs, int second)
{
    const qint64 due = startNs + qint64(second) * 1000000000;
    const qint64 left = due - monotonicNs();
    if (left > 0)
        QThread::usleep(static_cast<unsigned long>(left / 1000));
}

bool logHas(const Child &child, const QByteArray &text)
{
    return kestrun::test::readAllLogs(child.home().logFolder()).contains(text);
}

int steady(int seconds, int warmup)
{
    Machine machine;
    Child kestrun(QStringLiteral(KESTRUN_PROGRAM));
    Child floor(QStringLiteral(KESTRUN_FLOOR));
    if (!kestrun.start() || !floor.start()) {
        std::fprintf(stderr, "cannot start the programs\n");
        return 1;
    }
    const qint64 start = monotonicNs();
    std::optional<ProcessSample> kestrunFrom, floorFrom;
    std::size_t reportsFrom = 0;
    for (int second = 1; second <= warmup + seconds; ++second) {
        sleepUntil(start, second);
        machine.step();
        if (second == warmup) {
            kestrunFrom = sampleProcess(kestrun.pid());
            floorFrom = sampleProcess(floor.pid());
            reportsFrom = machine.display.reportCount();
        }
    }
    const std::optional<ProcessSample> kestrunTo = sampleProcess(kestrun.pid());
    const std::optional<ProcessSample> floorTo = sampleProcess(floor.pid());
    const std::size_t reports = machine.display.reportCount() - reportsFrom;
    const bool sensorsUp = logHas(kestrun, "HWi32SDK init Over [Successful]");
    kestrun.stop();
    floor.stop();
    if (!kestrunFrom || !kestrunTo || !floorFrom || !floorTo) {
        kestrun.keepHome();
        std::fprintf(stderr, "a program ended during the run (see %s)\n", qPrintable(kestrun.home().path()));
        return 1;
    }

    struct Row {
        const char *name;
        double cpuPerMinute, corePercent, rss, peak, runPercent;
        int ended;
    };
    const auto row = [seconds](const char *name, const ProcessSample &from, const ProcessSample &to) {
        const double cpu = to.cpuSeconds - from.cpuSeconds;
        int ended = 0;
        const double run = runSecondsBetween(from, to, &ended);
        return Row{name,
                   cpu * 60.0 / seconds,
                   cpu * 100.0 / seconds,
                   double(to.rssKb) / 1024.0,
                   double(to.peakRssKb) / 1024.0,
                   run * 100.0 / seconds,
                   ended};
    };
    const Row rows[] = {row("kestrun", *kestrunFrom, *kestrunTo), row("floor", *floorFrom, *floorTo)};
    std::printf("Steady state: %d s measured after %d s of start-up; emulated Intel desktop, display "
                "plugged, offscreen window\n\n",
                seconds, warmup);
    std::printf("%-14s %12s %14s %9s %13s %16s\n", "program", "CPU s/min", "% of one core", "RSS MB", "peak RSS MB",
                "% core (sched)");
    for (const Row &r : rows)
        std::printf("%-14s %12.3f %14.3f %9.1f %13.1f %16.3f%s\n", r.name, r.cpuPerMinute, r.corePercent, r.rss, r.peak,
                    r.runPercent, r.ended ? " *" : "");
    const double cpuRatio = rows[1].cpuPerMinute > 0 ? rows[0].cpuPerMinute / rows[1].cpuPerMinute : 0;
    std::printf("%-14s %12.2f %14.2f %9.2f %13.2f %16.2f\n", "kestrun/floor", cpuRatio, cpuRatio,
                rows[0].rss / rows[1].rss, rows[0].peak / rows[1].peak,
                rows[1].runPercent > 0 ? rows[0].runPercent / rows[1].runPercent : 0);
    std::printf("\nreports written to the display while measured: %zu; sensor library: %s\n", reports,
                sensorsUp ? "started" : "NOT started");
    std::printf("goals: <= %.1f %% of one core: %s; <= %.1fx the floor: %s; RSS <= %.0f MB: %s\n", kGoalCorePercent,
                verdict(rows[0].corePercent <= kGoalCorePercent), kGoalFloorRatio, verdict(cpuRatio <= kGoalFloorRatio),
                kGoalRssMb, verdict(rows[0].rss <= kGoalRssMb));
    std::printf("(CPU time counts in clock ticks of %.0f ms: +-%.3f %% of one core over this run; the sched\n"
                "column sums the threads' run time in ns from schedstat, * where a thread ended meanwhile)\n",
                1000.0 / double(::sysconf(_SC_CLK_TCK)), 2 * 100.0 / double(::sysconf(_SC_CLK_TCK)) / seconds);
    return 0;
}

struct Spread {
    double min, median, max;
};

Spread spread(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return Spread{values.front(), median, values.back()};
}

int startup(int runs)
{
    Machine machine;
    std::vector<double> shown, firstReport;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir probeDir;
        const QString probeFile = probeDir.path() + "/shown.txt";
        Child probe(QStringLiteral(KESTRUN_PROBE), {{QStringLiteral("KESTRUN_PROBE_FILE"), probeFile}});
        const std::size_t before = machine.display.reportCount();
        const qint64 launched = monotonicNs();
        if (!probe.start()) {
            std::fprintf(stderr, "cannot start %s\n", KESTRUN_PROBE);
            return 1;
        }
        qint64 shownAt = 0, reportAt = 0;
        while ((!shownAt || !reportAt) && monotonicNs() - launched < qint64(30) * 1000000000) {
            if (!reportAt && machine.display.reportCount() > before)
                reportAt = monotonicNs();
            if (!shownAt) {
                QFile file(probeFile);
                if (file.open(QIODevice::ReadOnly)) {
                    const QByteArray line = file.readAll().trimmed();
                    if (line.startsWith("shown "))
                        shownAt = line.mid(6).toLongLong();
                }
            }
            QThread::usleep(500);
        }
        probe.stop();
        if (!shownAt || !reportAt) {
            probe.keepHome();
            std::fprintf(stderr, "run %d: %s within 30 s (home %s)\n", run + 1,
                         !shownAt ? "no window shown" : "no report at the display", qPrintable(probe.home().path()));
            return 1;
        }
        shown.push_back(double(shownAt - launched) / 1e6);
        firstReport.push_back(double(reportAt - launched) / 1e6);
    }
    const Spread s = spread(shown);
    const Spread r = spread(firstReport);
    std::printf("Start-up over %d launches (fresh home each, display plugged before launch, offscreen)\n\n", runs);
    std::printf("%-32s %9s %9s %9s\n", "interval", "min ms", "median ms", "max ms");
    std::printf("%-32s %9.1f %9.1f %9.1f\n", "launch -> window shown", s.min, s.median, s.max);
    std::printf("%-32s %9.1f %9.1f %9.1f\n", "launch -> first report at device", r.min, r.median, r.max);
    std::printf("\nlaunch: just before fork/exec in this launcher; window shown: the main window's first\n"
                "expose event reaches the application (its first paint happens while it is handled);\n"
                "first report: the first 65-byte write arrives at the emulated display (polled every 0.5 ms).\n");
    return 0;
}

int argument(int argc, char *argv[], int index, int fallback)
{
    if (argc <= index)
        return fallback;
    bool ok = false;
    const int value = QByteArray(argv[index]).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!qgetenv("LD_PRELOAD").contains("umockdev")) {
        std::fprintf(stderr, "run under umockdev-wrapper (see scripts/bench-process.sh)\n");
        return 2;
    }
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("steady");
    if (mode == "steady")
        return steady(argument(argc, argv, 2, 60), argument(argc, argv, 3, 10));
    if (mode == "startup")
        return startup(argument(argc, argv, 2, 10));
    std::fprintf(stderr, "usage: bench_process steady [seconds] [warm-up] | startup [runs]\n");
    return 2;
}
