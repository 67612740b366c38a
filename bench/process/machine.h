#pragma once

#include "childhome.h"
#include "emulateddisplay.h"
#include "testbed.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace procbench {

// The emulated machine the programs run on: the display plugged in (every report written to it is
// kept) and the Intel desktop's sensors, read by the real libsensorsdk.so. One umockdev testbed
// carries both, so a child started from here sees them together.
class Machine
{
public:
    Machine();

    // One second of a busy desktop: new temperatures, clocks, fan speeds, CPU time and energy, so
    // every figure the window shows changes from cycle to cycle.
    void step();

    EmulatedDisplay display;

private:
    // Whole-file replacement, so a reader never sees a half-written attribute.
    void put(const std::string &path, const std::string &contents);

    sensortest::Testbed bed;
    sensortest::IntelDesktop desktop;
    int tick = 0;
    long long energyUj = 1000000;
    unsigned long long busy = 1000;
    unsigned long long idle = 9000;
};

// A program started in a home of its own (ChildHome), with the machine inherited through the
// umockdev preload.
class Child
{
public:
    explicit Child(const QString &program, const QMap<QString, QString> &extraEnvironment = {},
                   const QStringList &arguments = {});
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool start();
    qint64 pid() const;
    bool running() const;
    // SIGTERM (the program's orderly end), then SIGKILL if it does not go.
    void stop();
    const kestrun::test::ChildHome &home() const { return dir; }
    // Leaves the home in place for a look after a failed run.
    void keepHome() { dir.keep(); }

private:
    kestrun::test::ChildHome dir;
    QProcess process;
};

qint64 monotonicNs();

} // namespace procbench
