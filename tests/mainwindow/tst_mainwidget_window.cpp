#include "config/ddatamanager.h"
#include "logfiles.h"
#include "logviewer/logprintfdia.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgets/progressbarround.h"

#include <QAction>
#include <QDesktopWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QWindow>

#include <memory>

using namespace kestrun::test;

// The window built as the program builds it, with the sample branding beside this test.
class TestMainWidgetWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<DMainWidget> window;

    static std::unique_ptr<QSettings> unitStore()
    {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "MyCompanyTalvex", "Kestrun");
    }

    static int logCount(const QString &line) { return QString::fromUtf8(readAllLogs()).count(line); }

    // A mouse event delivered to a widget inside the window, as the platform would deliver it.
    static void mouse(QWidget *target, QEvent::Type type, const QPoint &globalPos, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, target->mapFromGlobal(globalPos), target->window()->mapFromGlobal(globalPos), globalPos,
                          button, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(DDataManager::instance()->appConfig().showMainPageUi == 1);
        // the window's close must not end this test's event loops
        qApp->setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        unitStore()->clear();
        window = std::make_unique<DMainWidget>();
        window->move(100, 100);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void constructorSetsUpTheWindow();
    void dashboardsKeepTheirColoursOnScreen();
    void dragMovesTheWindow_data();
    void dragMovesTheWindow();
    void noDragWhileMaximised();
    void edgeBandSetsTheCursor_data();
    void edgeBandSetsTheCursor();
    void closeButtonOnlyHides();
    void closeHidesTheTrayAndCloses();
    void titleBarButtons();
    void menuButtonsSwitchPages();
    void trayMenuOpensTheWindow();
    void trayMenuGoesWithTheWindow();
    void trayClicksRestoreTheWindow_data();
    void trayClicksRestoreTheWindow();
    void choosingAUnitWritesItOnce();
    void storedUnitAtStart_data();
    void storedUnitAtStart();
};

void TestMainWidgetWindow::constructorSetsUpTheWindow()
{
    DMainWidget &w = *window;
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(w.isWindow());
    QVERIFY(flags & Qt::FramelessWindowHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(w.minimumSize(), QSize(1150, 750));
    QCOMPARE(w.maximumSize(), QSize(1150, 750));
    QCOMPARE(w.size(), QSize(1150, 750));

    for (QWidget *hidden :
         {static_cast<QWidget *>(w.ui->pushButton_Setting), static_cast<QWidget *>(w.ui->pushButton_Max),
          static_cast<QWidget *>(w.ui->pushButton_Test), static_cast<QWidget *>(w.ui->pushButton_Logo),
          static_cast<QWidget *>(w.ui->label_CrashTest), static_cast<QWidget *>(w.ui->label_ErrorMsg)})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    QVERIFY(w.ui->pushButton_Min->isVisible());
    QVERIFY(w.ui->pushButton_Close->isVisible());

    QCOMPARE(w.ui->stackedWidget_3->currentWidget(), w.ui->page_Monitor);
    QVERIFY(w.ui->pushButton_Monitor->isChecked());
    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrun"));
    QVERIFY(!w.windowIcon().isNull());
    // one icon file, decoded once for the window and the tray
    QCOMPARE(w.systemTrayIcon()->icon().cacheKey(), w.windowIcon().cacheKey());

    // the tray menu is a window of its own, not part of the main window's tree; the tray icon
    // exists and is meant to show also where no tray is (offscreen has none), for a tray that
    // comes later
    QVERIFY(w.trayContextMenu());
    QVERIFY(!w.isAncestorOf(w.trayContextMenu()));
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QVERIFY(w.systemTrayIcon());
    QVERIFY(w.systemTrayIcon()->isVisible());
    QCOMPARE(w.systemTrayIcon()->contextMenu(), w.trayContextMenu());

    // the company link is ignored when activated
    emit w.ui->label_CompanyUrl->linkActivated(QStringLiteral("https://kestrun.example/"));
    QVERIFY(w.isVisible());

    const QString log = QString::fromUtf8(readAllLogs());
    const int start = log.lastIndexOf("initTheme runing -> Start");
    const int over = log.indexOf("initTheme runing -> Over", start);
    const int taskStart = log.indexOf("Create Startup Task -> Start", over);
    const int taskOver = log.indexOf("Create Startup Task -> Over", taskStart);
    const int unit = log.indexOf("TempShowModel Init -> [℃]", taskOver);
    QVERIFY(start >= 0 && over > start && taskStart > over && taskOver > taskStart && unit > taskOver);
    QVERIFY(log.indexOf("APP ICO -> Ico file is exists", start) > start);

    // the start values
    QCOMPARE(w.ui->label_CPU03->text(), QStringLiteral("0"));
    QCOMPARE(w.ui->progressBar_GPU04->value(), 0);
    QCOMPARE(w.ui->label_MemoryUsage->text(), QStringLiteral("0G/0G"));
    QCOMPARE(w.ui->label_HardDiskUsage->text(), QStringLiteral("0G/0G"));
    QCOMPARE(w.ui->label_HardDiskUsageNum->text(), QStringLiteral("0"));
    QCOMPARE(w.ui->progressBar_MemoryUsage->value(), 0);
}

void TestMainWidgetWindow::dashboardsKeepTheirColoursOnScreen()
{
    // the palette given by the theme survives the style sheets around the dashboards
    for (ProgressBarRound *d : {window->ui->widget_CpuDashboardNew, window->ui->widget_GpuDashboardNew}) {
        QCOMPARE(d->palette().color(QPalette::AlternateBase), QColor(52, 52, 52));
        QCOMPARE(d->palette().color(QPalette::Text), QColor(255, 255, 255));
        const QImage shot = d->grab().toImage();
        const QColor hole = shot.pixelColor(shot.height() / 2, shot.height() / 2 + 30);
        QVERIFY2(hole.lightness() < 80, qPrintable(hole.name()));
    }
}

void TestMainWidgetWindow::dragMovesTheWindow_data()
{
    QTest::addColumn<QString>("start");
    QTest::newRow("on a caption label") << "label_3";
    QTest::newRow("on a frame") << "frame_InfoShow";
    QTest::newRow("on the background") << "frame_Bg";
    QTest::newRow("on the hardware list frame") << "frame_CompanyInfo";
}

void TestMainWidgetWindow::dragMovesTheWindow()
{
    QFETCH(QString, start);
    auto *target = window->findChild<QWidget *>(start);
    QVERIFY(target);
    // This platform cannot move windows itself: the drag falls back to moving the window here.
    QVERIFY(window->windowHandle());
    QVERIFY(!window->windowHandle()->startSystemMove());
    const QPoint origin = window->pos();
    const QPoint press = target->mapToGlobal(QPoint(5, 5));
    mouse(target, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    mouse(target, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window->pos(), origin + QPoint(30, 20));
    mouse(target, QEvent::MouseMove, press + QPoint(-10, 45), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window->pos(), origin + QPoint(-10, 45));
    mouse(target, QEvent::MouseButtonRelease, press + QPoint(-10, 45), Qt::LeftButton, Qt::NoButton);

    // after the release a move no longer drags
    mouse(target, QEvent::MouseMove, press + QPoint(100, 100), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window->pos(), origin + QPoint(-10, 45));
}

void TestMainWidgetWindow::noDragWhileMaximised()
{
    window->showMaximized();
    QTRY_VERIFY(window->isMaximized());
    const QPoint origin = window->pos();
    const QPoint press = window->ui->label_3->mapToGlobal(QPoint(5, 5));
    mouse(window->ui->label_3, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    mouse(window->ui->label_3, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    mouse(window->ui->label_3, QEvent::MouseButtonRelease, press + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(window->pos(), origin);
}

void TestMainWidgetWindow::edgeBandSetsTheCursor_data()
{
    QTest::addColumn<QPoint>("offsetFromTopLeft");
    QTest::addColumn<QPoint>("offsetFromBottomRight");
    QTest::addColumn<bool>("fromTopLeft");
    QTest::addColumn<int>("cursor");
    QTest::newRow("top-left corner") << QPoint(2, 4) << QPoint() << true << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-right corner") << QPoint() << QPoint(-4, 0) << false << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-left corner") << QPoint(0, 749 - 3) << QPoint() << true << int(Qt::SizeBDiagCursor);
    QTest::newRow("top-right corner") << QPoint(1149 - 1, 1) << QPoint() << true << int(Qt::SizeBDiagCursor);
    QTest::newRow("left edge") << QPoint(4, 300) << QPoint() << true << int(Qt::SizeHorCursor);
    QTest::newRow("right edge") << QPoint() << QPoint(0, -300) << false << int(Qt::SizeHorCursor);
    QTest::newRow("top edge") << QPoint(500, 0) << QPoint() << true << int(Qt::SizeVerCursor);
    QTest::newRow("bottom edge") << QPoint() << QPoint(-500, -4) << false << int(Qt::SizeVerCursor);
    QTest::newRow("just inside the bands") << QPoint(5, 5) << QPoint() << true << int(Qt::ArrowCursor);
    QTest::newRow("middle") << QPoint(575, 375) << QPoint() << true << int(Qt::ArrowCursor);
}

void TestMainWidgetWindow::edgeBandSetsTheCursor()
{
    QFETCH(QPoint, offsetFromTopLeft);
    QFETCH(QPoint, offsetFromBottomRight);
    QFETCH(bool, fromTopLeft);
    QFETCH(int, cursor);
    const QPoint tl = window->mapToGlobal(QPoint(0, 0));
    const QPoint br = window->mapToGlobal(QPoint(1149, 749));
    const QPoint at = fromTopLeft ? tl + offsetFromTopLeft : br + offsetFromBottomRight;

    // moves arrive only with a button held; with the left one held the band is not looked at
    mouse(window.get(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(window.get(), QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(int(window->cursor().shape()), int(Qt::ArrowCursor));
    mouse(window.get(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);

    const QPoint origin = window->pos();
    mouse(window.get(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    mouse(window.get(), QEvent::MouseMove, at, Qt::NoButton, Qt::RightButton);
    QCOMPARE(int(window->cursor().shape()), cursor);
    QCOMPARE(window->pos(), origin);

    // a left release puts the arrow back
    mouse(window.get(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(int(window->cursor().shape()), int(Qt::ArrowCursor));
}

void TestMainWidgetWindow::closeButtonOnlyHides()
{
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    window->ui->pushButton_Close->click();
    QVERIFY(window->isHidden());
    QCOMPARE(lastClosed.count(), 0);
    QVERIFY(window->systemTrayIcon()->isVisible());
}

void TestMainWidgetWindow::closeHidesTheTrayAndCloses()
{
    QVERIFY(window->close());
    QVERIFY(window->isHidden());
    QVERIFY(!window->systemTrayIcon()->isVisible());
}

void TestMainWidgetWindow::titleBarButtons()
{
    window->ui->pushButton_Min->click();
    QTRY_VERIFY(window->isMinimized());
    window->showNormal();

    // the hidden maximise button still toggles when invoked
    window->ui->pushButton_Max->click();
    QTRY_VERIFY(window->isMaximized());
    window->ui->pushButton_Max->click();
    QTRY_VERIFY(!window->isMaximized());
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);

    // the hidden log button opens one log viewer, owned by the window
    window->ui->pushButton_Logo->click();
    window->ui->pushButton_Logo->click();
    const QList<LogPrintfDia *> viewers = window->findChildren<LogPrintfDia *>();
    QCOMPARE(viewers.size(), 1);
    QVERIFY(viewers.first()->isVisible());
    viewers.first()->hide();

    const QPoint origin = window->pos();
    window->ui->pushButton_Setting->click();
    QVERIFY(window->isVisible());
    QCOMPARE(window->pos(), origin);
}

void TestMainWidgetWindow::menuButtonsSwitchPages()
{
    Ui::DMainWidget &ui = *window->ui;
    QTest::mouseClick(ui.pushButton_Hardware, Qt::LeftButton);
    QCOMPARE(ui.stackedWidget_3->currentWidget(), ui.page_HardwareInfoNew);
    QVERIFY(ui.pushButton_Hardware->isChecked());
    QVERIFY(!ui.pushButton_Monitor->isChecked());

    // a second click on the chosen button keeps it chosen
    QTest::mouseClick(ui.pushButton_Hardware, Qt::LeftButton);
    QVERIFY(ui.pushButton_Hardware->isChecked());
    QCOMPARE(ui.stackedWidget_3->currentWidget(), ui.page_HardwareInfoNew);

    QTest::mouseClick(ui.pushButton_Monitor, Qt::LeftButton);
    QCOMPARE(ui.stackedWidget_3->currentWidget(), ui.page_Monitor);
    QVERIFY(ui.pushButton_Monitor->isChecked());
    QVERIFY(!ui.pushButton_Hardware->isChecked());
}

void TestMainWidgetWindow::trayMenuOpensTheWindow()
{
    const QList<QAction *> actions = window->trayContextMenu()->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Open Kestrun"));
    QVERIFY(actions.at(1)->isSeparator());
    QCOMPARE(actions.at(2)->text(), QStringLiteral("Exit"));

    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    actions.at(0)->trigger();
    QTRY_VERIFY(!window->isMinimized());
    window->hide();
    actions.at(0)->trigger();
    QVERIFY(window->isVisible());
}

void TestMainWidgetWindow::trayMenuGoesWithTheWindow()
{
    QPointer<QMenu> menu = window->trayContextMenu();
    window.reset();
    QVERIFY(menu.isNull());
}

void TestMainWidgetWindow::trayClicksRestoreTheWindow_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("restores");
    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << false;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << false;
}

void TestMainWidgetWindow::trayClicksRestoreTheWindow()
{
    QFETCH(int, reason);
    QFETCH(bool, restores);
    window->hide();
    window->iconActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(window->isVisible(), restores);
}

void TestMainWidgetWindow::choosingAUnitWritesItOnce()
{
    Ui::DMainWidget &ui = *window->ui;
    QVERIFY(!unitStore()->contains("TempShowModel/Model"));
    QCOMPARE(window->temperatureUnit(), 1);

    // the already chosen unit: nothing written, nothing logged
    const int celsiusLines = logCount("TempShowModel Changed -> [℃]");
    QTest::mouseClick(ui.radioButton_Model01, Qt::LeftButton);
    QVERIFY(!unitStore()->contains("TempShowModel/Model"));
    QCOMPARE(logCount("TempShowModel Changed -> [℃]"), celsiusLines);

    const int fahrenheitLines = logCount("TempShowModel Changed -> [℉]");
    QTest::mouseClick(ui.radioButton_Model02, Qt::LeftButton);
    QCOMPARE(unitStore()->value("TempShowModel/Model").toInt(), 2);
    QCOMPARE(logCount("TempShowModel Changed -> [℉]"), fahrenheitLines + 1);
    QCOMPARE(window->temperatureUnit(), 2);
    for (ProgressBarRound *d : {ui.widget_CpuDashboardNew, ui.widget_GpuDashboardNew}) {
        QCOMPARE(d->getStrUnit(), QStringLiteral("℉"));
        QCOMPARE(d->getCurrentValueType(), 2);
        QCOMPARE(d->getMinValue(), 0.0);
        QCOMPARE(d->getMaxValue(), 100.0);
        QCOMPARE(d->getDisplayValue(), 0);
    }

    // repeated clicks write nothing: a value planted in the store survives them
    unitStore()->setValue("TempShowModel/Model", 5);
    QTest::mouseClick(ui.radioButton_Model02, Qt::LeftButton);
    QTest::mouseClick(ui.radioButton_Model02, Qt::LeftButton);
    QCOMPARE(unitStore()->value("TempShowModel/Model").toInt(), 5);
    QCOMPARE(logCount("TempShowModel Changed -> [℉]"), fahrenheitLines + 1);

    QTest::mouseClick(ui.radioButton_Model01, Qt::LeftButton);
    QCOMPARE(unitStore()->value("TempShowModel/Model").toInt(), 1);
    QCOMPARE(logCount("TempShowModel Changed -> [℃]"), celsiusLines + 1);
    for (ProgressBarRound *d : {ui.widget_CpuDashboardNew, ui.widget_GpuDashboardNew}) {
        QCOMPARE(d->getStrUnit(), QStringLiteral("℃"));
        QCOMPARE(d->getCurrentValueType(), 1);
    }
    QVERIFY(ui.radioButton_Model01->isChecked());
    QVERIFY(!ui.radioButton_Model02->isChecked());
}

void TestMainWidgetWindow::storedUnitAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QVariant>("storedAfter");
    QTest::newRow("nothing stored") << QVariant() << 1 << QVariant();
    QTest::newRow("Celsius") << QVariant(1) << 1 << QVariant(1);
    QTest::newRow("Fahrenheit") << QVariant(2) << 2 << QVariant(2);
    QTest::newRow("7 reads as Fahrenheit") << QVariant(7) << 2 << QVariant(2);
    QTest::newRow("0 reads as Fahrenheit") << QVariant(0) << 2 << QVariant(2);
    QTest::newRow("not a number") << QVariant("abc") << 2 << QVariant(2);
}

void TestMainWidgetWindow::storedUnitAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, unit);
    QFETCH(QVariant, storedAfter);
    window.reset();
    unitStore()->clear();
    if (stored.isValid())
        unitStore()->setValue("TempShowModel/Model", stored);
    const QString initLine = unit == 1 ? "TempShowModel Init -> [℃]" : "TempShowModel Init -> [℉]";
    const int initLines = logCount(initLine);

    window = std::make_unique<DMainWidget>();
    QCOMPARE(window->temperatureUnit(), unit);
    QCOMPARE(logCount(initLine), initLines + 1);
    QCOMPARE(window->ui->radioButton_Model01->isChecked(), unit == 1);
    QCOMPARE(window->ui->radioButton_Model02->isChecked(), unit == 2);
    QCOMPARE(window->ui->widget_CpuDashboardNew->getStrUnit(), unit == 1 ? QStringLiteral("℃") : QStringLiteral("℉"));
    QCOMPARE(window->ui->widget_GpuDashboardNew->getCurrentValueType(), unit);
    // the reports to the device carry the unit chosen at start
    QCOMPARE(window->dataPath().reportsFahrenheit(), unit == 2);
    const QVariant after = unitStore()->value("TempShowModel/Model");
    QCOMPARE(after.isValid(), storedAfter.isValid());
    if (storedAfter.isValid())
        QCOMPARE(after.toInt(), storedAfter.toInt());
}

KESTRUN_TEST_MAIN(TestMainWidgetWindow)
#include "tst_mainwidget_window.moc"
