#include "logfiles.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgets/progressbarround.h"

using namespace kestrun::test;

// The whole data path of the real window: its sensor thread loads the scripted stand-in SDK
// through the real loader, and each cycle reaches the window's widgets.
class TestMainWidgetDataPath : public QObject
{
    Q_OBJECT

private slots:
    void cyclesReachTheWindow();
};

void TestMainWidgetDataPath::cyclesReachTheWindow()
{
    DMainWidget window;
    const auto *ui = window.ui.get();
    QTRY_VERIFY_WITH_TIMEOUT(readAllLogs().contains("HWi32SDK init Over [Successful]"), 5000);

    // The second cycle is lower than the first: the bar keeps the first peak.
    QTRY_COMPARE_WITH_TIMEOUT(ui->label_CPU02->text(), QString("3000"), 5000);
    QCOMPARE(ui->progressBar_CPU02->maximum(), 4701);
    QCOMPARE(ui->widget_CpuDashboardNew->getValue(), 55.0);
    QCOMPARE(ui->widget_GpuDashboardNew->getValue(), 61.0);
    QCOMPARE(ui->label_CPU01->text(), QString("37"));
    QCOMPARE(ui->label_GPU02->text(), QString("1500"));
    QVERIFY(!ui->label_MemoryUsage->text().isEmpty());

    QTRY_COMPARE_WITH_TIMEOUT(ui->label_CPU02->text(), QString("5000"), 5000);
    QCOMPARE(ui->progressBar_CPU02->maximum(), 5001);
    QCOMPARE(ui->label_HidStatus->text(), QString("Disconnected"));
}

KESTRUN_TEST_MAIN(TestMainWidgetDataPath)
#include "tst_mainwidget_datapath.moc"
