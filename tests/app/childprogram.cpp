#include "childprogram.h"

#include "platform/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSharedMemory>

#include <algorithm>
#include <csignal>

namespace kestrun::test {

ChildProgram::ChildProgram(const QString &program)
    : m_home(QDir::tempPath() + QStringLiteral("/kestrun-child-XXXXXX"))
{
    for (const char *sub : {"/.config", "/.local/share", "/.cache", "/tmp"})
        QDir().mkpath(m_home.path() + QLatin1String(sub));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", m_home.path());
    env.insert("XDG_CONFIG_HOME", m_home.path() + "/.config");
    env.insert("XDG_DATA_HOME", m_home.path() + "/.local/share");
    env.insert("XDG_CACHE_HOME", m_home.path() + "/.cache");
    env.insert("TMPDIR", m_home.path() + "/tmp");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    m_process.setProcessEnvironment(env);
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
    QProcessEnvironment env = m_process.processEnvironment();
    env.insert(name, value);
    m_process.setProcessEnvironment(env);
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

QString ChildProgram::logFolder() const
{
    return m_home.path() + "/.local/share/kestrun/logDir";
}

QStringList ChildProgram::logMessages() const
{
    QByteArray all;
    for (const QString &name : QDir(logFolder()).entryList({"*.log"}, QDir::Files, QDir::Name)) {
        QFile file(logFolder() + "/" + name);
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
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
    // The key names a file in the temporary folder: look it up in the child's.
    const bool hadTemp = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray ownTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(m_home.path() + "/tmp"));
    QSharedMemory segment(singleInstanceKey());
    if (hadTemp)
        qputenv("TMPDIR", ownTemp);
    else
        qunsetenv("TMPDIR");
    const bool found = segment.attach(QSharedMemory::ReadOnly);
    if (found)
        segment.detach();
    return found;
}

QByteArray ChildProgram::describe()
{
    return "output:\n" + output().right(3000) + "\nlog:\n" + logMessages().join('\n').right(3000).toUtf8()
        + "\nexit status " + QByteArray::number(m_process.exitStatus()) + ", code "
        + QByteArray::number(m_process.exitCode());
}

} // namespace kestrun::test
