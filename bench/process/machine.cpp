#include "machine.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <unistd.h>

namespace procbench {

Machine::Machine()
    : bed(display.machine())
    , desktop(sensortest::buildIntelDesktop(bed))
{
    display.plug();
}

void Machine::put(const std::string &path, const std::string &contents)
{
    const std::string full = bed.root() + path;
    const std::string staged = full + ".new";
    {
        std::ofstream file(staged, std::ios::binary | std::ios::trunc);
        file << contents;
    }
    std::rename(staged.c_str(), full.c_str());
}

void Machine::step()
{
    ++tick;
    // A triangle wave per figure, each with its own period, stays in a plausible range.
    const auto wave = [this](int low, int high, int period) {
        const int phase = tick % (2 * period);
        const int up = phase < period ? phase : 2 * period - phase;
        return low + (high - low) * up / period;
    };
    const std::string nl = "\n";
    put(desktop.coretemp + "/temp1_input", std::to_string(wave(45, 75, 17) * 1000) + nl);
    put(desktop.coretemp + "/temp2_input", std::to_string(wave(43, 72, 13) * 1000) + nl);
    put(desktop.coretemp + "/temp3_input", std::to_string(wave(42, 71, 11) * 1000) + nl);
    put(desktop.superIo + "/fan2_input", std::to_string(wave(900, 1500, 19)) + nl);
    put(desktop.superIo + "/fan3_input", std::to_string(wave(700, 1100, 23)) + nl);
    for (int cpu = 0; cpu < 4; ++cpu)
        put("/sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/cpufreq/scaling_cur_freq",
            std::to_string(wave(3600, 4700, 7 + cpu) * 1000) + nl);
    // Four logical processors: 400 ticks a second, a share of them busy.
    const int busyTicks = wave(8, 160, 9);
    busy += busyTicks;
    idle += 400 - busyTicks;
    put("/proc/stat", "cpu  " + std::to_string(busy) + " 0 0 " + std::to_string(idle)
                          + " 0 0 0 0 0 0\ncpu0 0 0 0 0 0 0 0 0 0 0\nintr 0\nctxt 0\n");
    energyUj += static_cast<long long>(wave(15, 95, 29)) * 1000000;
    bed.setRaplEnergy(energyUj);
}

Child::Child(const QString &program, const QMap<QString, QString> &extraEnvironment)
    : dir(kestrun::test::ChildHomeOptions{QString(), QStringLiteral("kestrun-procbench")})
{
    // The program's RUNPATH picks libsensorsdk.so next to it; nothing may override that.
    dir.removeValue("LD_LIBRARY_PATH");
    for (auto it = extraEnvironment.begin(); it != extraEnvironment.end(); ++it)
        dir.setValue(it.key(), it.value());
    process.setProcessEnvironment(dir.environment());
    process.setProgram(program);
    process.setStandardOutputFile(dir.path() + "/stdout.txt");
    process.setStandardErrorFile(dir.path() + "/stderr.txt");
}

Child::~Child()
{
    stop();
}

bool Child::start()
{
    process.start();
    return process.waitForStarted(10000);
}

qint64 Child::pid() const
{
    return process.processId();
}

bool Child::running() const
{
    return process.state() == QProcess::Running;
}

void Child::stop()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
}

ProcessSample sampleProcess(qint64 pid)
{
    ProcessSample sample;
    const QString base = QStringLiteral("/proc/%1/").arg(pid);
    QFile stat(base + "stat");
    if (!stat.open(QIODevice::ReadOnly))
        return sample;
    // The command name may hold spaces and brackets; the fields start after its last ')'.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return sample;
    const double ticks = double(::sysconf(_SC_CLK_TCK));
    sample.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    QFile status(base + "status");
    if (!status.open(QIODevice::ReadOnly))
        return sample;
    for (const QByteArray &entry : status.readAll().split('\n')) {
        const QList<QByteArray> parts = entry.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        if (parts[0] == "VmRSS:")
            sample.rssMb = parts[1].toDouble() / 1024.0;
        else if (parts[0] == "VmHWM:")
            sample.peakRssMb = parts[1].toDouble() / 1024.0;
    }
    const QDir tasks(base + "task");
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(tid) + "/schedstat");
        if (schedstat.open(QIODevice::ReadOnly))
            sample.runNs.insert(tid.toLongLong(), schedstat.readAll().split(' ').value(0).toLongLong());
    }
    sample.ok = true;
    return sample;
}

double runSecondsBetween(const ProcessSample &from, const ProcessSample &to, int *endedThreads)
{
    qint64 total = 0;
    for (auto it = to.runNs.begin(); it != to.runNs.end(); ++it)
        total += it.value() - from.runNs.value(it.key(), 0);
    int ended = 0;
    for (auto it = from.runNs.begin(); it != from.runNs.end(); ++it)
        ended += to.runNs.contains(it.key()) ? 0 : 1;
    if (endedThreads)
        *endedThreads = ended;
    return double(total) / 1e9;
}

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace procbench
