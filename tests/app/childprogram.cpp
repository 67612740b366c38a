#include "childprogram.h"

#include "logfiles.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <csignal>

namespace kestrun::test {

ChildProgram::ChildProgram(const QString &program)
{
    m_process.setProcessEnvironment(m_home.environment());
    m_process.setProgram(program);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

ChildProgram::~ChildProgram()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

void ChildProgram::setEnvironmentValue(const QString &name, const QString &value)
{
    m_home.setValue(name, value);
    m_process.setProcessEnvironment(m_home.environment());
}

void ChildProgram::setWorkingDirectory(const QString &folder)
{
    m_process.setWorkingDirectory(folder);
}

bool ChildProgram::start(const QStringList &arguments)
{
    m_process.setArguments(arguments);
    m_process.start();
    return m_process.waitForStarted(30000);
}

void ChildProgram::sendSignal(int signalNumber)
{
    if (m_process.state() == QProcess::Running)
        ::kill(pid_t(m_process.processId()), signalNumber);
}

bool ChildProgram::waitForOutput(const QByteArray &text, int timeoutMs)
{
    const QDeadlineTimer guard(timeoutMs);
    while (!output().contains(text)) {
        if (m_process.state() == QProcess::NotRunning || guard.hasExpired())
            return false;
        m_process.waitForReadyRead(100);
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
        if (m_process.state() == QProcess::NotRunning || guard.hasExpired())
            return false;
        // Also drains the output, so a chatty child never blocks on a full pipe.
        m_process.waitForReadyRead(100);
        output();
    }
    return true;
}

bool ChildProgram::endsWith(int exitCode, int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs))
        return false;
    output();
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == exitCode;
}

QByteArray ChildProgram::output()
{
    m_output += m_process.readAll();
    return m_output;
}

QStringList ChildProgram::logMessages() const
{
    const QByteArray all = readAllLogs(m_home.logFolder());
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
    return m_home.singleInstanceGuardLeft();
}

QByteArray ChildProgram::describe()
{
    return "output:\n" + output().right(3000) + "\nlog:\n" + logMessages().join('\n').right(3000).toUtf8()
           + "\nexit status " + QByteArray::number(m_process.exitStatus()) + ", code "
           + QByteArray::number(m_process.exitCode());
}

} // namespace kestrun::test
