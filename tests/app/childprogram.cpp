#include "childprogram.h"

#include "logfiles.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <csignal>

namespace kestrun::test {

ChildProgram::ChildProgram(const QString &program)
{
    child.setProcessEnvironment(home.environment());
    child.setProgram(program);
    child.setProcessChannelMode(QProcess::MergedChannels);
}

ChildProgram::~ChildProgram()
{
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(10000);
    }
}

void ChildProgram::setEnvironmentValue(const QString &name, const QString &value)
{
    home.setValue(name, value);
    child.setProcessEnvironment(home.environment());
}

void ChildProgram::setWorkingDirectory(const QString &folder)
{
    child.setWorkingDirectory(folder);
}

bool ChildProgram::start(const QStringList &arguments)
{
    child.setArguments(arguments);
    child.start();
    return child.waitForStarted(30000);
}

void ChildProgram::sendSignal(int signalNumber)
{
    if (child.state() == QProcess::Running)
        ::kill(pid_t(child.processId()), signalNumber);
}

bool ChildProgram::waitForOutput(const QByteArray &text, int timeoutMs)
{
    const QDeadlineTimer guard(timeoutMs);
    while (!output().contains(text)) {
        if (child.state() == QProcess::NotRunning || guard.hasExpired())
            return false;
        child.waitForReadyRead(100);
    }
    return true;
}

bool ChildProgram::waitForLog(const QString &messageStart, int timeoutMs)
{
    const QDeadlineTimer guard(timeoutMs);
    const auto logged = [&] {
        const QStringList messages = logMessages();
        return std::any_of(messages.cbegin(), messages.cend(),
                           [&](const QString &message) { return message.startsWith(messageStart); });
    };
    while (!logged()) {
        if (child.state() == QProcess::NotRunning || guard.hasExpired())
            return false;
        // Also drains the output, so a chatty child never blocks on a full pipe.
        child.waitForReadyRead(100);
        output();
    }
    return true;
}

bool ChildProgram::endsWith(int exitCode, int timeoutMs)
{
    if (!child.waitForFinished(timeoutMs))
        return false;
    output();
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == exitCode;
}

QByteArray ChildProgram::output()
{
    collected += child.readAll();
    return collected;
}

QStringList ChildProgram::logMessages() const
{
    const QByteArray all = readAllLogs(home.logFolder());
    // A record ends in CR LF; a message may hold line feeds of its own, never CR LF.
    const QByteArray marker("]--------------------> ");
    QStringList messages;
    for (int from = 0, end; (end = all.indexOf("\r\n", from)) >= 0; from = end + 2) {
        const QByteArray record = all.mid(from, end - from);
        const int at = record.indexOf(marker);
        messages << QString::fromUtf8(at < 0 ? record : record.mid(at + marker.size()));
    }
    return messages;
}

bool ChildProgram::guardLeft() const
{
    return home.singleInstanceGuardLeft();
}

QByteArray ChildProgram::describe()
{
    return "output:\n" + output().right(3000) + "\nlog:\n" + logMessages().join('\n').right(3000).toUtf8()
           + "\nexit status " + QByteArray::number(child.exitStatus()) + ", code "
           + QByteArray::number(child.exitCode());
}

} // namespace kestrun::test
