// Kestrun next to the peer monitors gkrellm, xsensors and conky on the emulated Intel desktop, the
// display plugged (run under umockdev-wrapper; see scripts/bench-peers.sh).
//
//   bench_peers [seconds] [settle seconds] [runs] [dpi]
//
// Every program gets an X server of its own (Xvfb) with a compositor (xcompmgr), so what each
// costs its X server can be told apart; the two Kestrun runs (window shown, and hidden in the tray
// as after a start by the logon task) get a tray host (trayer) as well. All of them run at once,
// read the same emulated sensors (libsensors for the peers, libsensorsdk.so for Kestrun), and the
// machine's figures change every second. Per program, between the end of the settle time and the
// end: share of one core (its threads, plus its X server), wake-ups per second (voluntary and
// involuntary context switches of all its threads), RSS and PSS at the end. The median of the runs.
// The X servers report 96 dpi unless told otherwise, as Xorg and the desktops' default settings do:
// Xvfb's own default (100) would make Kestrun, which follows the screen's scale, draw at 1.04.

#include "machine.h"
#include "platform/startuptask.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace procbench;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number after "name:" in a /proc text of "name: value" lines, or -1.
qint64 field(const QByteArray &text, const QByteArray &name)
{
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith(name) && line.size() > name.size() && line.at(name.size()) == ':')
            return line.mid(name.size() + 1).simplified().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Usage {
    bool alive = false;
    double tickSeconds = 0; // utime + stime from /proc/<pid>/stat, ended threads included
    qint64 runNs = 0;       // the live threads' run time from schedstat
    qint64 switches = 0;    // the live threads' voluntary + involuntary context switches
    qint64 rssKb = 0;
    qint64 pssKb = 0;
};

Usage usageOf(qint64 pid)
{
    Usage usage;
    const QString root = QStringLiteral("/proc/%1").arg(pid);
    // The command name may hold spaces and brackets; the fields start after its last ')'.
    const QByteArray stat = readFile(root + "/stat");
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (pid <= 0 || fields.size() < 13 || fields[0] == "Z")
        return usage;
    usage.alive = true;
    usage.tickSeconds = (fields[11].toDouble() + fields[12].toDouble()) / double(::sysconf(_SC_CLK_TCK));
    const QStringList tasks = QDir(root + "/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        const QString folder = root + "/task/" + task;
        usage.runNs += readFile(folder + "/schedstat").split(' ').value(0).toLongLong();
        const QByteArray status = readFile(folder + "/status");
        usage.switches += std::max<qint64>(0, field(status, "voluntary_ctxt_switches"))
                          + std::max<qint64>(0, field(status, "nonvoluntary_ctxt_switches"));
    }
    const QByteArray rollup = readFile(root + "/smaps_rollup");
    usage.rssKb = field(rollup, "Rss");
    usage.pssKb = field(rollup, "Pss");
    return usage;
}

// The environment of the X side: no umockdev preload, it needs no emulated devices.
QProcessEnvironment xEnvironment(int display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_PRELOAD"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    return environment;
}

bool displayTaken(int number)
{
    return QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))
           || QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number));
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

// One X server with its compositor and, if asked, a tray host; gone with the object.
class Desk
{
public:
    ~Desk()
    {
        stopProcess(tray);
        stopProcess(compositor);
        stopProcess(server);
    }

    bool start(int display, bool trayHost, int dpi)
    {
        number = display;
        server.setProcessEnvironment(xEnvironment(number));
        server.setStandardOutputFile(QProcess::nullDevice());
        server.setStandardErrorFile(QProcess::nullDevice());
        server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), "-screen", "0", "1280x800x24", "-dpi",
                                              QString::number(dpi), "-nolisten", "tcp", "-noreset"});
        if (!server.waitForStarted(5000))
            return false;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        for (int i = 0; i < 200 && !QFileInfo::exists(socket); ++i)
            QThread::msleep(50);
        if (!QFileInfo::exists(socket))
            return false;
        if (!startHelper(compositor, QStringLiteral("xcompmgr"), {}))
            return false;
        return !trayHost
               || startHelper(tray, QStringLiteral("trayer"),
                              {"--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24"});
    }

    int display() const { return number; }
    qint64 serverPid() const { return server.processId(); }

private:
    bool startHelper(QProcess &helper, const QString &program, const QStringList &arguments)
    {
        helper.setProcessEnvironment(xEnvironment(number));
        helper.setStandardOutputFile(QProcess::nullDevice());
        helper.setStandardErrorFile(QProcess::nullDevice());
        helper.start(program, arguments);
        return helper.waitForStarted(5000);
    }

    QProcess server, compositor, tray;
    int number = 0;
};

struct Program {
    const char *name;
    QString path;
    QStringList arguments;
    bool kestrun;
};

std::vector<Program> programs()
{
    const QString peers = QStringLiteral(KESTRUN_PEER_CONFIGS);
    return {
        {"kestrun shown", QStringLiteral(KESTRUN_PROGRAM), {}, true},
        {"kestrun hidden", QStringLiteral(KESTRUN_PROGRAM), {taskStartMarker()}, true},
        {"gkrellm", QStringLiteral("gkrellm"), {}, false},
        {"xsensors", QStringLiteral("xsensors"), {"-t", "1"}, false},
        {"conky", QStringLiteral("conky"), {"-c", peers + "/conkyrc"}, false},
    };
}

struct Figures {
    double corePercent = 0;  // own threads + X server, from the stat clock ticks
    double xPercent = 0;     // of which the X server
    double schedPercent = 0; // the same from the threads' schedstat run times (finer)
    double wakeupsPerSecond = 0;
    double rssMb = 0;
    double pssMb = 0;
    bool ok = false;
};

struct Running {
    std::unique_ptr<Desk> desk;
    std::unique_ptr<Child> child;
};

// One run of every program at once: their figures in the order of programs().
std::vector<Figures> runOnce(int seconds, int settle, int dpi, std::size_t *reports)
{
    const std::vector<Program> list = programs();
    Machine machine;
    std::vector<Running> running;
    int display = 200 + int(::getpid() % 100) * 10;
    for (const Program &program : list) {
        while (displayTaken(display))
            ++display;
        Running r;
        r.desk = std::make_unique<Desk>();
        if (!r.desk->start(display, program.kestrun, dpi)) {
            std::fprintf(stderr, "cannot start an X server with compositor on :%d\n", display);
            return {};
        }
        QMap<QString, QString> environment{{"DISPLAY", QStringLiteral(":%1").arg(display)}, {"QT_QPA_PLATFORM", "xcb"}};
        r.child = std::make_unique<Child>(program.path, environment, program.arguments);
        const QString home = r.child->home().path();
        if (QByteArray(program.name) == "gkrellm") {
            QDir().mkpath(home + "/.gkrellm2");
            QFile::copy(QStringLiteral(KESTRUN_PEER_CONFIGS) + "/gkrellm-user-config", home + "/.gkrellm2/user-config");
        }
        if (!r.child->start()) {
            std::fprintf(stderr, "cannot start %s\n", program.name);
            return {};
        }
        running.push_back(std::move(r));
        ++display;
    }

    const qint64 start = monotonicNs();
    const auto sleepUntil = [start](int second) {
        const qint64 left = start + qint64(second) * 1000000000 - monotonicNs();
        if (left > 0)
            QThread::usleep(static_cast<unsigned long>(left / 1000));
    };
    std::vector<Usage> ownFrom(list.size()), xFrom(list.size());
    std::size_t reportsFrom = 0;
    for (int second = 1; second <= settle + seconds; ++second) {
        sleepUntil(second);
        machine.step();
        if (second == settle) {
            for (std::size_t i = 0; i < list.size(); ++i) {
                ownFrom[i] = usageOf(running[i].child->pid());
                xFrom[i] = usageOf(running[i].desk->serverPid());
            }
            reportsFrom = machine.display.reportCount();
        }
    }
    std::vector<Figures> figures(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Usage own = usageOf(running[i].child->pid());
        const Usage x = usageOf(running[i].desk->serverPid());
        Figures &f = figures[i];
        f.ok = own.alive && x.alive && ownFrom[i].alive && xFrom[i].alive;
        if (!f.ok) {
            running[i].child->keepHome();
            std::fprintf(stderr, "%s ended during the run (home %s)\n", list[i].name,
                         qPrintable(running[i].child->home().path()));
            continue;
        }
        const double ownTicks = own.tickSeconds - ownFrom[i].tickSeconds;
        const double xTicks = x.tickSeconds - xFrom[i].tickSeconds;
        const double runNs = double(own.runNs - ownFrom[i].runNs) + double(x.runNs - xFrom[i].runNs);
        f.corePercent = (ownTicks + xTicks) * 100.0 / seconds;
        f.xPercent = xTicks * 100.0 / seconds;
        f.schedPercent = runNs / 1e9 * 100.0 / seconds;
        f.wakeupsPerSecond = double(own.switches - ownFrom[i].switches) / seconds;
        f.rssMb = double(own.rssKb) / 1024.0;
        f.pssMb = double(own.pssKb) / 1024.0;
    }
    *reports = machine.display.reportCount() - reportsFrom;
    for (Running &r : running)
        r.child->stop();
    return figures;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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
        std::fprintf(stderr, "run under umockdev-wrapper (see scripts/bench-peers.sh)\n");
        return 2;
    }
    const int seconds = argument(argc, argv, 1, 60);
    const int settle = argument(argc, argv, 2, 15);
    const int runs = argument(argc, argv, 3, 3);
    const int dpi = argument(argc, argv, 4, 96);
    const std::vector<Program> list = programs();
    std::vector<std::vector<Figures>> all;
    for (int run = 0; run < runs; ++run) {
        std::size_t reports = 0;
        std::vector<Figures> figures = runOnce(seconds, settle, dpi, &reports);
        if (figures.empty() || std::any_of(figures.begin(), figures.end(), [](const Figures &f) { return !f.ok; }))
            return 1;
        std::printf("run %d: %zu reports reached the display in %d s\n", run + 1, reports, seconds);
        std::fflush(stdout);
        all.push_back(std::move(figures));
    }
    std::printf("\nMedian of %d runs, %d s each after %d s of settling; emulated Intel desktop, display "
                "plugged; each program on an Xvfb of its own (%d dpi) with xcompmgr (and trayer for Kestrun)\n\n",
                runs, seconds, settle, dpi);
    std::printf("%-16s %12s %10s %12s %12s %8s %8s\n", "program", "% core+X", "of it X", "% sched+X", "wake-ups/s",
                "RSS MB", "PSS MB");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto column = [&all, i](double Figures::*member) {
            std::vector<double> values;
            values.reserve(all.size());
            for (const std::vector<Figures> &run : all)
                values.push_back(run[i].*member);
            return median(values);
        };
        std::printf("%-16s %12.3f %10.3f %12.3f %12.2f %8.1f %8.1f\n", list[i].name, column(&Figures::corePercent),
                    column(&Figures::xPercent), column(&Figures::schedPercent), column(&Figures::wakeupsPerSecond),
                    column(&Figures::rssMb), column(&Figures::pssMb));
    }
    std::printf("\n%% core+X: utime+stime of the program (all its threads) and of its X server from\n"
                "/proc/<pid>/stat, in clock ticks of %.0f ms (+-%.3f %% over a run); %% sched+X: the same from\n"
                "the live threads' run time in ns (/proc/<pid>/task/*/schedstat); wake-ups: voluntary +\n"
                "involuntary context switches of the program's threads per second; RSS and PSS from\n"
                "/proc/<pid>/smaps_rollup at the end.\n",
                1000.0 / double(::sysconf(_SC_CLK_TCK)), 2 * 100.0 / double(::sysconf(_SC_CLK_TCK)) / seconds);
    return 0;
}
