#include "programrun.h"

#include "logfiles.h"
#include "scenario.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>

namespace kestrun::e2e {

namespace {

QString tail(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll().right(4000));
}

} // namespace

ProgramRun::ProgramRun()
    : home(test::ChildHomeOptions{QString(), QStringLiteral("kestrun-e2e")})
{
    home.setValue("LD_LIBRARY_PATH", qEnvironmentVariable("KESTRUN_E2E_SDK_DIR"));
    home.setValue("KESTRUN_SDK_SCENARIO", home.path() + "/scenario.txt");
    process.setProcessEnvironment(home.environment());
    process.setProgram(qEnvironmentVariable("KESTRUN_E2E_PROGRAM"));
    process.setStandardOutputFile(home.path() + "/stdout.txt");
    process.setStandardErrorFile(home.path() + "/stderr.txt");
}

ProgramRun::~ProgramRun()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

void ProgramRun::setTemperatureUnit(int unit)
{
    QSettings store(home.configHome() + "/MyCompanyTalvex/Kestrun.conf", QSettings::IniFormat);
    store.setValue("TempShowModel/Model", unit);
}

bool ProgramRun::start()
{
    QFile scenario(home.path() + "/scenario.txt");
    if (!scenario.open(QIODevice::WriteOnly))
        return false;
    scenario.write(scenario::fileText().toUtf8());
    scenario.close();
    process.start();
    return process.waitForStarted(10000);
}

bool ProgramRun::isRunning() const
{
    return process.state() == QProcess::Running;
}

void ProgramRun::terminate()
{
    process.terminate();
}

bool ProgramRun::waitForExit(int timeoutMs)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
}

QProcess::ExitStatus ProgramRun::exitStatus() const
{
    return process.exitStatus();
}

int ProgramRun::exitCode() const
{
    return process.exitCode();
}

qint64 ProgramRun::pid() const
{
    return process.processId();
}

QByteArray ProgramRun::logBytes() const
{
    return test::readAllLogs(home.logFolder());
}

QList<LogRecord> ProgramRun::logRecords(QStringList *badLines) const
{
    static const QRegularExpression layout(
        QStringLiteral(
            "^\\[Debug\\]-\\[flie:([^\\\\/]+)    line:(\\d+)    datetime:(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)\\]"
            "--------------------> (.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    QList<LogRecord> records;
    QString text = QString::fromUtf8(logBytes());
    if (!text.isEmpty() && !text.endsWith("\r\n") && badLines)
        *badLines << QStringLiteral("file does not end in CR LF");
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = layout.match(line);
        if (!match.hasMatch()) {
            if (badLines)
                *badLines << line;
            continue;
        }
        records << LogRecord{match.captured(1), match.captured(2).toInt(),
                             QDateTime::fromString(match.captured(3), QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                             match.captured(4)};
    }
    return records;
}

bool ProgramRun::hasRecord(const QString &message) const
{
    for (const LogRecord &record : logRecords())
        if (record.message == message)
            return true;
    return false;
}

int ProgramRun::recordCount(const QString &messageStart) const
{
    // Every record's message follows this mark, and a message holds no CR LF of its own.
    return logBytes().count("--------------------> " + messageStart.toUtf8());
}

QString ProgramRun::consoleTail() const
{
    // Whether the program is still there, and how far its log got, tells a slow start from one
    // that gave way or died.
    const QString state = process.state() == QProcess::NotRunning
                              ? QStringLiteral("exited, code %1, %2")
                                    .arg(process.exitCode())
                                    .arg(process.exitStatus() == QProcess::CrashExit ? "crashed" : "normal exit")
                              : QStringLiteral("running");
    return QStringLiteral("--- program: %1\n--- stdout:\n%2\n--- stderr:\n%3\n--- log tail:\n%4")
        .arg(state, tail(home.path() + "/stdout.txt"), tail(home.path() + "/stderr.txt"),
             QString::fromUtf8(logBytes().right(2000)));
}

} // namespace kestrun::e2e
