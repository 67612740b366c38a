#include "app/appentry.h"

#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"
#include "platform/crashrelaunch.h"
#include "platform/processsetup.h"
#include "platform/sessionend.h"
#include "platform/singleinstance.h"
#include "platform/startuptask.h"

#include <QApplication>
#include <QDebug>
#include <QSharedMemory>

#include <cstdio>
#include <cstdlib>

namespace {

// The end of the session before the main window exists: nothing of the data path runs yet, so the
// start-up is cut short where it stands, logged, with the same exit as the window's own end.
[[noreturn]] void endDuringStartUp(int signalNumber)
{
    qDebug() << "Session end during start-up, signal:" << signalNumber;
    qDebug().noquote() << "Exit app runing [Normal]";
    std::exit(0);
}

} // namespace

bool showWindowAtStart(bool startedByTask, int showMainPageUi)
{
    return !startedByTask && showMainPageUi == 1;
}

int runApplication(int argc, char *argv[])
{
    prepareProcess();
    QApplication app(argc, argv);
    // First of all, so that the session may end at any point of the start-up without killing the
    // program the default way (which leaves the single-instance guard behind).
    SessionEndWatch sessionEnd;
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

    // Until the window is built an end request ends the start-up; from then on it is the window's
    // orderly end. Requests come through the event loop, which also runs inside a modal box that
    // the window's construction may show.
    DMainWidget *built = nullptr;
    QObject::connect(&sessionEnd, &SessionEndWatch::sigSessionEnding, [&built](int signalNumber) {
        if (built)
            built->onQuitApp();
        else
            endDuringStartUp(signalNumber);
    });

    DDataManager::instance()->initInfo();
    // The inventory runs outside the event loop: take what arrived meanwhile.
    sessionEnd.deliverPending();

    // Destroyed in reverse order on the way out: the window, then the application.
    DMainWidget window;
    built = &window;
    // A close request to the window from outside (taskkill) is an end request too.
    sessionEnd.watchWindow(window.winId());
    if (showWindowAtStart(byTask, DDataManager::instance()->appConfig().showMainPageUi))
        window.show();
    else
        window.hide();
    return app.exec();
}
