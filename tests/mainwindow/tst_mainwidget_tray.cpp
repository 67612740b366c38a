#include "childhome.h"
#include "config/ddatamanager.h"
#include "logfiles.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"

#include <QAction>
#include <QDirIterator>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QSettings>

#include <memory>

using namespace kestrun::test;

// The tray icon as a desktop shows it: this program runs on a virtual X server with a tray host
// (with-tray-host.sh). The branding is read once per process from the configDir beside the
// executable, so each ShowMainPageUI value runs in a child: a copy of this program in a folder of
// its own, next to a copy of the sample branding with that value. The child checks the tray and
// leaves through its Exit entry.

namespace {

const char *const kAppName = "Tray Probe";

// The docked icon: Qt's own widget for the X tray protocol, a window of the tray host's.
QWidget *dockedIcon()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qstrcmp(w->metaObject()->className(), "QSystemTrayIconSys") == 0)
            return w;
    return nullptr;
}

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

void mouseOn(QWidget *target, QEvent::Type type, Qt::MouseButton button)
{
    const QPoint at = target->rect().center();
    QMouseEvent event(type, at, target->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

// Runs in the child, with the branding of one variant beside it.
class TrayInChild : public QObject
{
    Q_OBJECT

    std::unique_ptr<DMainWidget> window;
    const bool opens = qEnvironmentVariable("KESTRUN_TRAY_OPENS") == QLatin1String("1");

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // trayer takes the tray selection a moment after it starts
        QTRY_VERIFY2_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), "no system tray on this display", 30000);
        QCOMPARE(DDataManager::instance()->appConfig().showMainPageUi == 1, opens);
        qApp->setQuitOnLastWindowClosed(false);
        window = std::make_unique<DMainWidget>();
    }

    void iconAndToolTip()
    {
        QSystemTrayIcon *icon = window->systemTrayIcon();
        QVERIFY(icon);
        QVERIFY(icon->isVisible());
        QCOMPARE(icon->toolTip(), QString::fromLatin1(kAppName));
        const QString iconPath = DDataManager::instance()->appConfig().appIconPath;
        QVERIFY2(iconPath.endsWith("configDir/images/kestrun.ico"), qPrintable(iconPath));
        const QImage expected = QIcon(iconPath).pixmap(22, 22).toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(icon->icon().pixmap(22, 22).toImage(), expected);
        // docked: the tray host has given the icon its place
        QTRY_VERIFY_WITH_TIMEOUT(dockedIcon() && !icon->geometry().isEmpty(), 30000);
        QVERIFY(dockedIcon()->isVisible());
    }

    void menu()
    {
        QSystemTrayIcon *icon = window->systemTrayIcon();
        QCOMPARE(icon->contextMenu(), window->trayContextMenu());
        const QStringList expected =
            opens ? QStringList{QStringLiteral("Open ") + kAppName, "-", "Exit"} : QStringList{"-", "Exit"};
        QCOMPARE(menuTexts(icon->contextMenu()), expected);
    }

    void clicks_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<bool>("shows");
        QTest::newRow("click") << int(Qt::LeftButton) << false << opens;
        QTest::newRow("double click") << int(Qt::LeftButton) << true << opens;
        QTest::newRow("middle click") << int(Qt::MiddleButton) << false << false;
        QTest::newRow("right click: the menu") << int(Qt::RightButton) << false << false;
    }

    // Mouse events on the docked icon, which Qt turns into the icon's activation reasons.
    void clicks()
    {
        QFETCH(int, button);
        QFETCH(bool, doubleClick);
        QFETCH(bool, shows);
        QWidget *docked = dockedIcon();
        QVERIFY(docked);
        window->hide();
        QSignalSpy activated(window->systemTrayIcon(), &QSystemTrayIcon::activated);
        if (doubleClick) {
            mouseOn(docked, QEvent::MouseButtonDblClick, Qt::LeftButton);
            mouseOn(docked, QEvent::MouseButtonRelease, Qt::LeftButton);
        } else {
            mouseOn(docked, QEvent::MouseButtonPress, Qt::MouseButton(button));
            mouseOn(docked, QEvent::MouseButtonRelease, Qt::MouseButton(button));
        }
        QCOMPARE(activated.count(), 1);
        QCOMPARE(window->isVisible(), shows);
        if (button == Qt::RightButton) {
            QTRY_VERIFY(window->trayContextMenu()->isVisible());
            window->trayContextMenu()->hide();
        }
    }

    void openEntry()
    {
        if (!opens)
            QSKIP("no Open entry in this branding");
        window->hide();
        window->trayContextMenu()->actions().constFirst()->trigger();
        QVERIFY(window->isVisible());
    }

public:
    // After the checks: Exit ends the process with code 0, which the parent checks.
    void exitThroughTheTray() { window->trayContextMenu()->actions().constLast()->trigger(); }
};

// A copy of this program in the home, beside the sample branding with the given ShowMainPageUI;
// exe stays empty when that fails.
void placeChild(ChildHome &home, int showMainPage, QString *exe)
{
    const QString copy = home.placeProgram(QCoreApplication::applicationFilePath());
    QVERIFY(!copy.isEmpty());
    const QString configDir = home.configDir();
    QVERIFY(QDir().mkpath(configDir + "/images"));
    QDirIterator images(QStringLiteral(KESTRUN_SAMPLE_CONFIG_DIR "images"), QDir::Files);
    while (images.hasNext()) {
        images.next();
        QVERIFY(QFile::copy(images.filePath(), configDir + "/images/" + images.fileName()));
    }
    const QString ini = configDir + "/appConfig.ini";
    QVERIFY(QFile::copy(QStringLiteral(KESTRUN_SAMPLE_CONFIG_DIR "appConfig.ini"), ini));
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    {
        QSettings branding(ini, QSettings::IniFormat);
        branding.setIniCodec("UTF-8");
        branding.setValue("AppInfo/AppName", kAppName);
        branding.setValue("AppUiShow/ShowMainPageUI", showMainPage);
    }
    *exe = copy;
}

// Runs in the child on a display whose tray host starts only after the window (and its icon)
// exist: the icon docks when the tray appears.
class LateTrayInChild : public QObject
{
    Q_OBJECT

    std::unique_ptr<DMainWidget> window;
    QProcess trayHost;

private slots:
    void iconWaitsForTheTray()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        qApp->setQuitOnLastWindowClosed(false);
        window = std::make_unique<DMainWidget>();
        QSystemTrayIcon *icon = window->systemTrayIcon();
        QVERIFY(icon);
        QVERIFY(icon->isVisible());
        QVERIFY(!dockedIcon());

        trayHost.setProgram(QStringLiteral("trayer"));
        trayHost.setArguments(
            {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "160", "--height", "28"});
        trayHost.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        trayHost.setStandardOutputFile(QProcess::nullDevice());
        trayHost.start();
        QVERIFY(trayHost.waitForStarted());
        QTRY_VERIFY2_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), "the tray host did not come up", 30000);
        QTRY_VERIFY_WITH_TIMEOUT(dockedIcon() && !icon->geometry().isEmpty(), 30000);
        QVERIFY(dockedIcon()->isVisible());
        QCOMPARE(icon->contextMenu(), window->trayContextMenu());
    }

    void cleanupTestCase()
    {
        trayHost.kill();
        trayHost.waitForFinished(10000);
    }

public:
    void exitThroughTheTray() { window->trayContextMenu()->actions().constLast()->trigger(); }
};

// Runs the children.
class TestMainWidgetTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
                 "needs an X display with a tray host: run it through tests/mainwindow/with-tray-host.sh");
    }

    void trayFollowsShowMainPage_data()
    {
        QTest::addColumn<int>("showMainPage");
        QTest::newRow("1: the tray opens the window") << 1;
        QTest::newRow("0: it does not") << 0;
        QTest::newRow("2: nor with another value") << 2;
    }

    void trayFollowsShowMainPage()
    {
        QFETCH(int, showMainPage);

        // The child keeps the test's X display: the tray host is there.
        ChildHome home(ChildHomeOptions{QCoreApplication::applicationDirPath(), QStringLiteral("tray"), false});
        QString exe;
        placeChild(home, showMainPage, &exe);
        QVERIFY(!exe.isEmpty());

        QProcess child;
        home.setValue("KESTRUN_TRAY_OPENS", showMainPage == 1 ? "1" : "0");
        child.setProcessEnvironment(home.environment());
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(exe, {"--child"});
        QVERIFY(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
        for (const char *step : {"initTestCase()", "iconAndToolTip()", "menu()", "clicks(click)",
                                 "clicks(double click)", "clicks(middle click)", "clicks(right click: the menu)"})
            QVERIFY2(output.contains(QStringLiteral("PASS   : TrayInChild::") + step), qPrintable(output));
        QVERIFY2(output.contains(showMainPage == 1 ? "PASS   : TrayInChild::openEntry()"
                                                   : "SKIP   : TrayInChild::openEntry()"),
                 qPrintable(output));
        QVERIFY2(output.contains(" 0 failed"), qPrintable(output));
        const QString log = QString::fromUtf8(readAllLogs(home.logFolder(QFileInfo(exe).completeBaseName())));
        QVERIFY2(log.contains("Exit app runing [Normal]"), qPrintable(output));
    }
};

// Runs the child whose tray comes late, on a display without a tray host (with-tray-host.sh
// with KESTRUN_TRAY_HOST=late).
class TestMainWidgetLateTray : public QObject
{
    Q_OBJECT

private slots:
    void iconDocksWhenTheTrayComes()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
                 "needs an X display: run it through tests/mainwindow/with-tray-host.sh");
        ChildHome home(ChildHomeOptions{QCoreApplication::applicationDirPath(), QStringLiteral("latetray"), false});
        QString exe;
        placeChild(home, 0, &exe);
        QVERIFY(!exe.isEmpty());
        QProcess child;
        child.setProcessEnvironment(home.environment());
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(exe, {"--late-child"});
        QVERIFY(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
        QVERIFY2(output.contains("PASS   : LateTrayInChild::iconWaitsForTheTray()"), qPrintable(output));
        QVERIFY2(output.contains(" 0 failed"), qPrintable(output));
    }
};

int main(int argc, char *argv[])
{
    const bool inChild = argc > 1 && qstrcmp(argv[1], "--child") == 0;
    const bool inLateChild = argc > 1 && qstrcmp(argv[1], "--late-child") == 0;
    if (!inChild && !inLateChild)
        isolateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    if (inLateChild) {
        DDataManager::instance();
        LateTrayInChild checks;
        if (QTest::qExec(&checks, {argv[0]}) != 0)
            return 1;
        checks.exitThroughTheTray();
        return 3; // Exit returned
    }
    if (inChild) {
        // The program's log handler first: QtTest puts back the handler it found when it ends,
        // and the Exit afterwards is to be logged as the program logs it.
        DDataManager::instance();
        TrayInChild checks;
        if (QTest::qExec(&checks, {argv[0]}) != 0)
            return 1;
        checks.exitThroughTheTray();
        return 3; // Exit returned
    }
    if (qEnvironmentVariable("KESTRUN_TRAY_HOST") == QLatin1String("late")) {
        TestMainWidgetLateTray tc;
        return QTest::qExec(&tc, argc, argv) == 0 ? 0 : 1;
    }
    TestMainWidgetTray tc;
    return QTest::qExec(&tc, argc, argv) == 0 ? 0 : 1;
}

#include "tst_mainwidget_tray.moc"
