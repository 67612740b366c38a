// The window themed from colour texts that hold letters, huge or negative numbers, too many or
// too few components: every component that is not a whole number in range becomes 0, nothing
// crashes, and the window still paints. The branding is badcolours/appConfig.ini beside the test.

#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"

#include <QProgressBar>

class TestBadColours : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(DDataManager::instance()->appConfig().appName, QStringLiteral("Bad Colours"));
        qApp->setQuitOnLastWindowClosed(false);
    }

    void componentsFallBackToZero()
    {
        DMainWidget window;
        const QString background = window.ui->frame_Bg->styleSheet();
        QVERIFY2(background.contains(QStringLiteral("background-color: rgb(0, 0, 0)")), qPrintable(background));
        QVERIFY2(background.contains(QStringLiteral("1px solid rgb(0, 1, 2)")), qPrintable(background));

        const QString bar = window.ui->progressBar_CPU01->styleSheet();
        QVERIFY2(bar.contains(QStringLiteral("background-color: rgb(-5, 300, 0)")), qPrintable(bar));
        QVERIFY2(bar.contains(QStringLiteral("rgba(1, 2, 3, 255)")), qPrintable(bar));
        QVERIFY2(bar.contains(QStringLiteral("rgba(0, 0, 0, 255)")), qPrintable(bar));

        QVERIFY(window.ui->frame_LeftArea->styleSheet().contains(QStringLiteral("rgb(0, 0, 0)")));
        QVERIFY(window.ui->label_CPU01->styleSheet().contains(QStringLiteral("rgb(0, 2147483647, 0)")));
    }

    // Qt parses the style sheets when the widgets are polished and painted.
    void windowStillPaints()
    {
        DMainWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage picture = window.grab().toImage();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), window.size() * picture.devicePixelRatio());
    }
};

KESTRUN_TEST_MAIN(TestBadColours)
#include "tst_badcolours.moc"
