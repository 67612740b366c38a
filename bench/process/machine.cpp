#include "machine.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace procbench {

Machine::Machine()
    : bed(display.machine())
    , desktop(sensortest::buildIntelDesktop(bed))
{
    display.plug();
    // What monitors other than Kestrun read to count the processors.
    for (const char *list : {"present", "possible", "online"})
        put(std::string("/sys/devices/system/cpu/") + list, "0-3\n");
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

Child::Child(const QString &program, const QMap<QString, QString> &extraEnvironment, const QStringList &arguments)
    : dir(kestrun::test::ChildHomeOptions{QString(), QStringLiteral("kestrun-procbench")})
{
    // The program's RUNPATH picks libsensorsdk.so next to it; nothing may override that.
    dir.removeValue("LD_LIBRARY_PATH");
    for (auto it = extraEnvironment.begin(); it != extraEnvironment.end(); ++it)
        dir.setValue(it.key(), it.value());
    process.setProcessEnvironment(dir.environment());
    process.setProgram(program);
    process.setArguments(arguments);
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

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace procbench
