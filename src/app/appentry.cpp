#include "app/appentry.h"

#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"
#include "platform/crashrelaunch.h"
#include "platform/sessionend.h"
#include "platform/singleinstance.h"
#include "platform/startuptask.h"

#include <QApplication>
#include <QSharedMemory>

#include <cstdio>

bool showWindowAtStart(bool startedByTask, int showMainPageUi)
{
    return !startedByTask && showMainPageUi == 1;
}

int runApplication(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Static, so that the orderly end (which leaves through exit()) releases the segment too and
    // leaves nothing behind for a later start to mistake for a running copy.
    static QSharedMemory singleInstance(singleInstanceKey());
    if (!claimSingleInstance(singleInstance))
        return -1;

    setStartStamp(currentStamp());
    installCrashRelaunch();
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);

    const bool byTask = hasTaskStartMarker(argc, argv);
    std::printf(byTask ? "Program was started by Task Scheduler.\n" : "Program was not started by Task Scheduler.\n");
    std::fflush(stdout);

    DDataManager::instance()->initInfo();

    // Destroyed in reverse order on the way out: the window, then the application.
    DMainWidget window;
    SessionEndWatch sessionEnd;
    QObject::connect(&sessionEnd, &SessionEndWatch::sigSessionEnding, &window, &DMainWidget::onQuitApp);
    if (showWindowAtStart(byTask, DDataManager::instance()->appConfig().showMainPageUi))
        window.show();
    else
        window.hide();
    return app.exec();
}
