#include "mainwindow/startuptaskstep.h"

#include "platform/standardoutput.h"
#include "platform/startuptask.h"

#include <QCoreApplication>
#include <QMessageBox>

bool createStartupTask(const QString &appId)
{
    const QString taskName = startupTaskName(QCoreApplication::applicationName(), appId);
    const StartupTaskResult result = registerStartupTask(taskName, QCoreApplication::applicationFilePath());
    if (result.handedOver)
        return true;
    printWithoutBlocking(StandardStream::Output, "Error: %d\n", result.errorCode);
    QMessageBox::information(nullptr, QStringLiteral("Tip"),
                             QStringLiteral("ShellExecute error: %1").arg(result.errorCode), QMessageBox::Ok);
    return false;
}
