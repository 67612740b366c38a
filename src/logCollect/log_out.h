#pragma once

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <QtGlobal>

#include <functional>

// Prepares the log folder (application data + "/logDir", or + "/" + subFolder + "/logDir")
// and deletes the files in it that were created more than seven days ago.
void InitializeLog(const QString &subFolder);

// Message handler: appends every debug message as one line to the day's log file;
// every other message type is dropped. The first record that cannot be written is reported on
// standard error (the folder and the reason), once per run.
void writeLogRecord(QtMsgType type, const QMessageLogContext &context, const QString &message);

namespace logcollect {

// The source file name as written in a record: the part after the last "\" or "/",
// unless that separator is the first character.
QString sourceFileName(const char *file);

// One record without its line end.
QString formatRecord(const QMessageLogContext &context, const QString &message, const QDateTime &now);

// The log file of the given day inside the log folder, in native separators.
QString dayFilePath(const QString &logFolder, const QDate &day);

// Appends the record stamped with now to now's day file in logFolder, reporting a failure as the
// message handler does. Serialised process-wide.
void appendRecord(const QString &logFolder, const QMessageLogContext &context, const QString &message,
                  const QDateTime &now);

// When the file came into being, in UTC: its birth time where the file system keeps one,
// else its last modification time.
QDateTime creationTime(const QFileInfo &file);

// True when a file created at created is older than seven days at now; one created exactly
// seven days before now is kept. Both are taken in UTC, so the local zone never shifts the age.
bool isExpired(const QDateTime &created, const QDateTime &now);

// Tells when a file came into being; creationTime unless a caller brings its own clock.
using CreationTimeSource = std::function<QDateTime(const QFileInfo &)>;

// Deletes the expired files (not folders) of logFolder as seen at now.
void removeExpired(const QString &logFolder, const QDateTime &now, const CreationTimeSource &createdAt = creationTime);

// The folder records go to: the one InitializeLog prepared, else application data + "/logDir".
QString currentFolder();

} // namespace logcollect
