#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace kestrun::test {

// The log folder the program uses for this process: application data + "/logDir", in the
// system's own separators as the program writes it.
inline QString logFolder()
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/logDir");
}

// Every log file of the folder, concatenated in name (date) order, so a check does not depend on
// which day the records happened to be written.
inline QByteArray readAllLogs(const QString &folder = logFolder())
{
    QByteArray all;
    const QStringList names = QDir(folder).entryList({"*.log"}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(folder + "/" + name);
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

} // namespace kestrun::test
