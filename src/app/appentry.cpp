#include "app/appentry.h"

#include "app/commandline.h"
#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"
#include "platform/crashrelaunch.h"
#include "platform/instancecall.h"
#include "platform/processsetup.h"
#include "platform/sessionend.h"
#include "platform/singleinstance.h"
#include "platform/standardoutput.h"
#include "platform/startuptask.h"

#include <QApplication>
#include <QDebug>

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

// --help and --version: printed, and nothing else happens (no guard, no log, no autostart entry).
int answerCommandLine(CommandLineRequest request, int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(programVersion());
    std::fputs(commandLineAnswer(request).toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// A later start asked for the window: it comes up as the tray's open entry brings it, so only for
// a branding that shows the window at all.
void showOnRequest(DMainWidget &window, int showMainPageUi)
{
    if (showMainPageUi != 1) {
        qDebug() << "A later start asked for the window: not shown, ShowMainPageUI is" << showMainPageUi;
        return;
    }
    qDebug() << "A later start asked for the window: shown";
    window.showNormal();
    window.raise();
    window.activateWindow();
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

void prepareDesktopScaling()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    // A 150 % desktop gets 1.5, not Qt 5's default of rounding it up to 2.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

bool showWindowAtStart(bool startedByTask, int showMainPageUi)
{
    return !startedByTask && showMainPageUi == 1;
}

int runApplication(int argc, char *argv[])
{
    // Before the application object: the toolkit's own parse is not needed to answer these.
    const CommandLineRequest request = commandLineRequest(argumentList(argc, argv));
    if (request != CommandLineRequest::Run)
        return answerCommandLine(request, argc, argv);

    prepareProcess();
    prepareDesktopScaling();
    QApplication app(argc, argv);
    // First of all, so that the session may end at any point of the start-up without killing the
    // program the default way.
    SessionEndWatch sessionEnd;
    SingleInstanceGuard singleInstance;
    switch (singleInstance.claim()) {
    case SingleInstanceGuard::Claim::Taken:
        break;
    case SingleInstanceGuard::Claim::HeldByAnotherCopy:
        // The running copy may have no tray icon to be reached by: it is asked for its window.
        askRunningCopyToShow(singleInstanceKey());
        return -1;
    case SingleInstanceGuard::Claim::Failed:
        printWithoutBlocking(StandardStream::Error, "Kestrun: cannot tell whether another copy runs: %s\n",
                             singleInstance.problem().toLocal8Bit().constData());
        return -1;
    }
    // Listening from here on: a call that comes during the start-up waits for the event loop.
    InstanceCallListener calls(singleInstanceKey());
    const bool listening = calls.listen();

    setStartStamp(currentStamp());
    installCrashRelaunch();

    const bool byTask = hasTaskStartMarker(argc, argv);
    printWithoutBlocking(StandardStream::Output, "%s",
                         byTask ? "Program was started by Task Scheduler.\n"
                                : "Program was not started by Task Scheduler.\n");

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

    // A call that comes while the window is being built (a box it shows runs the event loop) is
    // answered once the window stands.
    bool showAsked = false;
    QObject::connect(&calls, &InstanceCallListener::sigShowRequested, [&built, &showAsked] {
        if (built)
            showOnRequest(*built, DDataManager::instance()->appConfig().showMainPageUi);
        else
            showAsked = true;
    });

    DDataManager::instance()->initInfo();
    if (!listening)
        qDebug().noquote() << "A later start cannot reach this copy:" << calls.problem();
    // The inventory runs outside the event loop: take what arrived meanwhile.
    sessionEnd.deliverPending();

    // Destroyed in reverse order on the way out: the window, then the application.
    DMainWidget window;
    built = &window;
    // A close request to the window from outside (taskkill) is an end request too.
    sessionEnd.watchWindow(window.winId());
    const int showMainPageUi = DDataManager::instance()->appConfig().showMainPageUi;
    if (showWindowAtStart(byTask, showMainPageUi))
        window.show();
    else
        window.hide();
    if (showAsked)
        showOnRequest(window, showMainPageUi);
    return app.exec();
}
