#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the messages that reach the handler in place before the singleton installs its own.
namespace kestrun::test {

inline QStringList &earlierOutput()
{
    static QStringList lines;
    return lines;
}

inline void collectEarlierOutput()
{
    qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { earlierOutput() << message; });
}

} // namespace kestrun::test
