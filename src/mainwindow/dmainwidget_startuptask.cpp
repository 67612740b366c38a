#include "mainwindow/dmainwidget.h"

#include "config/ddatamanager.h"
#include "mainwindow/startuptaskstep.h"

#include <QDebug>

// Registers the program to start at logon; the last step of applying the theme.
void DMainWidget::registerStartupTask()
{
    qDebug().noquote() << "Create Startup Task -> Start";
    const AppConfig config = DDataManager::instance()->appConfig();
    if (config.startupTaskFlag == 1)
        createStartupTask(config.appId);
    qDebug().noquote() << "Create Startup Task -> Over";
}
