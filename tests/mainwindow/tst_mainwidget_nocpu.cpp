#include "logfiles.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgets/progressbarround.h"

using namespace kestrun::test;

// The real window on a machine without a CPU sensor (nocpu.scenario, served by the scripted
// stand-in SDK through the real loader): what has no reading reads "--", what reads 0 reads 0.
class TestMainWidgetNoCpu : public QObject
{
    Q_OBJECT

private slots:
    void missingFiguresReadDashes();
};

void TestMainWidgetNoCpu::missingFiguresReadDashes()
{
    DMainWidget window;
    const auto *ui = window.ui.get();
    QTRY_VERIFY_WITH_TIMEOUT(readAllLogs().contains("HWi32SDK init Over [Successful]"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(ui->label_GPU02->text(), QString("1500"), 5000);

    const QList<QPair<QLabel *, QString>> labels{
        {ui->label_CPU01, "--"}, {ui->label_CPU02, "--"}, {ui->label_CPU03, "--"}, {ui->label_CPU04, "--"},
        {ui->label_GPU01, "40"}, {ui->label_GPU03, "0"},  {ui->label_GPU04, "120"}};
    for (const auto &label : labels)
        QCOMPARE(label.first->text(), label.second);
    const QList<QProgressBar *> emptyBars{ui->progressBar_CPU01, ui->progressBar_CPU02, ui->progressBar_CPU03,
                                          ui->progressBar_CPU04, ui->progressBar_GPU03};
    for (QProgressBar *bar : emptyBars)
        QCOMPARE(bar->value(), 0);
    QVERIFY(!ui->widget_CpuDashboardNew->hasValue());
    QVERIFY(ui->widget_GpuDashboardNew->hasValue());
    QCOMPARE(ui->widget_GpuDashboardNew->getDisplayValue(), 61);

    // In Fahrenheit a missing temperature is still missing, not 32.
    ui->radioButton_Model02->click();
    QVERIFY(!ui->widget_CpuDashboardNew->hasValue());
    QVERIFY(ui->widget_GpuDashboardNew->hasValue());
    ui->radioButton_Model01->click();
    QVERIFY(!ui->widget_CpuDashboardNew->hasValue());
}

KESTRUN_TEST_MAIN(TestMainWidgetNoCpu)
#include "tst_mainwidget_nocpu.moc"
