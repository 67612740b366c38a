#include "startuptask.h"

#include "autostartentry.h"
#include "desktopentry.h"

#include <QDir>
#include <QFile>
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

// What a desktop's start-up settings show for the entry: the product as the menu entry names it.
QByteArray autostartEntryText(const QString &programPath)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Kestrun\n"
                                        "Comment=Shows CPU and GPU figures and feeds them to the USB display\n"
                                        "Icon=kestrun\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(desktopExecValue({programPath, taskStartMarker()}));
    return text.toUtf8();
}

StartupTaskResult registerStartupTask(const QString &taskName, const QString &programPath)
{
    const QString path = autostartEntryPath(taskName);
    // An entry the user switched off in the desktop's start-up settings stays as they left it.
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && autostartSwitchedOff(existing.readAll())) {
        StartupTaskResult kept;
        kept.handedOver = true;
        return kept;
    }
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    StartupTaskResult result;
    if (file.open(QIODevice::WriteOnly) && file.write(autostartEntryText(programPath)) >= 0 && file.commit()) {
        result.handedOver = true;
    } else {
        result.errorCode = static_cast<int>(file.error());
    }
    return result;
}
