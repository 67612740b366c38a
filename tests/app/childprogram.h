#pragma once

#include "childhome.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kestrun::test {

// A built program run as a child of the test in a home and temporary folder of its own (see
// ChildHome). Its standard output and error are read together.
class ChildProgram
{
public:
    explicit ChildProgram(const QString &program);
    // Kills a child that still runs.
    ~ChildProgram();
    ChildProgram(const ChildProgram &) = delete;
    ChildProgram &operator=(const ChildProgram &) = delete;

    QString homePath() const { return home.path(); }
    void setEnvironmentValue(const QString &name, const QString &value);
    void setWorkingDirectory(const QString &folder);
    bool start(const QStringList &arguments = {});
    QProcess &process() { return child; }
    // Sends the signal to the child, as the session does at its end.
    void sendSignal(int signalNumber);

    // Wait until the text shows in the child's output, or a log record starts with it; false when
    // the child ends first or the guard timeoutMs runs out.
    bool waitForOutput(const QByteArray &text, int timeoutMs);
    bool waitForLog(const QString &messageStart, int timeoutMs);
    // Waits (timeoutMs is a guard against hangs) for the child to end; true when it ended normally
    // with the given exit code.
    bool endsWith(int exitCode, int timeoutMs);

    QByteArray output();
    // The messages of the run's log records, oldest first (every day's file, in date order).
    QStringList logMessages() const;
    // Whether the single-instance segment of this run's temporary folder still exists.
    bool guardLeft() const;
    // The tail of the output and the log, for failure messages.
    QByteArray describe();

private:
    ChildHome home;
    QProcess child;
    QByteArray collected;
};

} // namespace kestrun::test
