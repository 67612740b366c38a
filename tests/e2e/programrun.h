#pragma once

#include "childhome.h"

#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kestrun::e2e {

// One log record, split into the parts of its line.
struct LogRecord {
    QString file;
    int line = 0;
    QDateTime stamp;
    QString message;
};

// The built program, started as a child of the test in a home folder of its own (ChildHome). The
// child inherits the emulated machine (the umockdev preload and its folder) from the test process.
class ProgramRun
{
public:
    ProgramRun();
    ~ProgramRun();
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    // The per-user temperature unit (1 Celsius, 2 Fahrenheit), written before the start.
    void setTemperatureUnit(int unit);
    bool start();
    bool isRunning() const;
    // Sends SIGTERM, as the session does at logout.
    void terminate();
    bool waitForExit(int timeoutMs);
    QProcess::ExitStatus exitStatus() const;
    int exitCode() const;
    // The child's process id while it runs, else 0.
    qint64 pid() const;

    // The day's log files of this run, as raw bytes and as records. A record is a line of the
    // exact record layout ending in CR LF; anything else is returned in badLines.
    QByteArray logBytes() const;
    QList<LogRecord> logRecords(QStringList *badLines = nullptr) const;
    bool hasRecord(const QString &message) const;
    // How many records so far have a message that starts with the text; reads the raw log only,
    // so it is cheap enough to poll.
    int recordCount(const QString &messageStart) const;
    // What the program wrote to its standard output and error, for failure messages.
    QString consoleTail() const;

private:
    test::ChildHome home;
    QProcess process;
};

} // namespace kestrun::e2e
