#include "startuptask.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>

bool hasTaskStartMarker(int argc, const char *const argv[])
{
    const QByteArray marker = taskStartMarker().toLatin1();
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && marker == argv[i])
            return true;
    }
    return false;
}

QString startupTaskName(const QString &applicationName, const QString &appId)
{
    return applicationName + QStringLiteral("StartupTaskOKver---") + appId;
}

bool createStartupTask(const QString &appId)
{
    const QString taskName = startupTaskName(QCoreApplication::applicationName(), appId);
    const StartupTaskResult result =
        registerStartupTask(taskName, QCoreApplication::applicationFilePath());
    if (result.handedOver)
        return true;
    std::printf("Error: %d\n", result.errorCode);
    std::fflush(stdout);
    QMessageBox::information(nullptr, QStringLiteral("Tip"),
                             QStringLiteral("ShellExecute error: %1").arg(result.errorCode),
                             QMessageBox::Ok);
    return false;
}
