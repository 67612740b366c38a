#include "startuptask.h"

#include "autostartentry.h"
#include "desktopentry.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString configHome()
{
    // Relative values are to be ignored, as the base directory rules say.
    QString configured = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

QString autostartEntryPath(const QString &taskName)
{
    QString fileName = taskName;
    fileName.replace(QLatin1Char('/'), QLatin1Char('_'));
    return configHome() + QStringLiteral("/autostart/") + fileName + QStringLiteral(".desktop");
}

QByteArray autostartEntryText(const QString &taskName, const QString &programPath)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(desktopStringValue(taskName),
                                  desktopExecValue({programPath, taskStartMarker()}));
    return text.toUtf8();
}

StartupTaskResult registerStartupTask(const QString &taskName, const QString &programPath)
{
    const QString path = autostartEntryPath(taskName);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    StartupTaskResult result;
    if (file.open(QIODevice::WriteOnly) && file.write(autostartEntryText(taskName, programPath)) >= 0
        && file.commit()) {
        result.handedOver = true;
    } else {
        result.errorCode = static_cast<int>(file.error());
    }
    return result;
}
