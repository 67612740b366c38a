#include "log_out.h"

#include "platform/standardoutput.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <mutex>

namespace {

const char *const kRecordTemplate = "[%1]-[flie:%2    line:%3    datetime:%4]--------------------> %5";
const int kRetentionDays = 7;

// One lock for the folder choice and every file write. Not recursive: nothing done while it is
// held issues a debug message. std::mutex is constant-initialised, so a message from a static
// constructor elsewhere can never meet it unconstructed, and thread checkers understand it.
std::mutex logMutex;

// The folder InitializeLog prepared; guarded by logMutex. Never destroyed, so a message issued
// while static objects are torn down at exit still finds it.
QString &preparedFolder()
{
    static QString *const folder = new QString;
    return *folder;
}

QString defaultFolder()
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/logDir");
}

QString folderLocked()
{
    return preparedFolder().isEmpty() ? defaultFolder() : preparedFolder();
}

// Whether a failed write was reported; guarded by logMutex. Once per run: the log is written many
// times a second, and one line tells the user all there is to know.
bool failureReported = false;

void reportFailureLocked(const QString &logFolder, const QString &reason)
{
    if (failureReported)
        return;
    failureReported = true;
    const QByteArray line =
        QStringLiteral("Kestrun: cannot write the log in %1: %2\n").arg(logFolder, reason).toLocal8Bit();
    writeWithoutBlocking(StandardStream::Error, line.constData(), static_cast<std::size_t>(line.size()));
}

void appendLocked(const QString &logFolder, const QMessageLogContext &context, const QString &message,
                  const QDateTime &now)
{
    // Binary mode: the record ends in exactly "\r\n" on every system, and line feeds inside a
    // message stay as they are. UTF-8 keeps texts such as the degree signs intact whatever the locale.
    QFile file(logcollect::dayFilePath(logFolder, now.date()));
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        reportFailureLocked(logFolder, file.errorString());
        return;
    }
    const QByteArray record = (logcollect::formatRecord(context, message, now) + "\r\n").toUtf8();
    if (file.write(record) != record.size() || !file.flush())
        reportFailureLocked(logFolder, file.errorString());
    file.close();
}

} // namespace

namespace logcollect {

QString sourceFileName(const char *file)
{
    const QString name = QString::fromUtf8(file);
    const int cut = std::max(name.lastIndexOf('\\'), name.lastIndexOf('/'));
    return cut > 0 ? name.mid(cut + 1) : name;
}

QString formatRecord(const QMessageLogContext &context, const QString &message, const QDateTime &now)
{
    // One pass over the template, so a "%" sequence inside a file name or message is never
    // taken for a place marker.
    return QString::fromLatin1(kRecordTemplate)
        .arg(QStringLiteral("Debug"), sourceFileName(context.file), QString::number(context.line),
             now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), message);
}

QString dayFilePath(const QString &logFolder, const QDate &day)
{
    return QDir::toNativeSeparators(logFolder + "/" + day.toString(QStringLiteral("yyyy-MM-dd")) + ".log");
}

void appendRecord(const QString &logFolder, const QMessageLogContext &context, const QString &message,
                  const QDateTime &now)
{
    const std::lock_guard<std::mutex> lock(logMutex);
    appendLocked(logFolder, context, message, now);
}

QDateTime creationTime(const QFileInfo &file)
{
    const QDateTime born = file.birthTime();
    return (born.isValid() ? born : file.lastModified()).toUTC();
}

bool isExpired(const QDateTime &created, const QDateTime &now)
{
    // 64-bit seconds: a file dated decades away must not wrap around into the kept range.
    const qint64 secs = now.toUTC().addDays(-kRetentionDays).secsTo(created.toUTC());
    return secs < 0;
}

void removeExpired(const QString &logFolder, const QDateTime &now, const CreationTimeSource &createdAt)
{
    const QFileInfoList entries = QDir(logFolder).entryInfoList(QDir::Files, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        if (isExpired(createdAt(entry), now))
            entry.dir().remove(entry.fileName());
    }
}

QString currentFolder()
{
    const std::lock_guard<std::mutex> lock(logMutex);
    return folderLocked();
}

} // namespace logcollect

void InitializeLog(const QString &subFolder)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!subFolder.isEmpty())
        base += "/" + subFolder;
    const QString folder = QDir::toNativeSeparators(base + "/logDir");
    // mkpath: on a fresh account the parents of the data folder may not exist yet either.
    QDir().mkpath(folder);
    qDebug() << "LogDir FullPath:" << folder;
    {
        const std::lock_guard<std::mutex> lock(logMutex);
        preparedFolder() = folder;
    }
    // UTC: where the local clock and the file times go through different zone rules (the C
    // runtime's TZ against the system's zone on Windows), a local "now" can be days off.
    logcollect::removeExpired(folder, QDateTime::currentDateTimeUtc());
}

void writeLogRecord(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg)
        return;
    const std::lock_guard<std::mutex> lock(logMutex);
    appendLocked(folderLocked(), context, message, QDateTime::currentDateTime());
}
