#include "datapath/cyclefigures.h"
#include "device/devicereport.h"
#include "logfiles.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgets/progressbarround.h"
#include "widgettest.h"

#include <limits>

using namespace kestrun::test;

namespace {
constexpr quint64 kGiB = 1ULL << 30;

SensorSnapshot withClocks(float cpuClock, float gpuClock)
{
    SensorSnapshot snapshot;
    snapshot.cpuClock = cpuClock;
    snapshot.gpuClock = gpuClock;
    return snapshot;
}
} // namespace

// The update cycle of the real window (no sensor SDK here, so only the cycles a test hands in run)
// and the pure figures it is made of.
class TestMainWidgetUpdate : public QObject
{
    Q_OBJECT

private slots:
    void barPeak_data();
    void barPeak();
    void memoryText_data();
    void memoryText();
    void driveFigures_data();
    void driveFigures();

    void barsFollowTheirPeaks();
    void unreadFiguresReadDashes();
    void changedBarsArePaintedOnceWithTheCycle();
    void oneCycleFillsEveryWidget();
    void fahrenheitDashboardsStillReceiveCelsius();
    void noSystemDriveLeavesTheDiskWidgets();
    void cycleBeforeTheSdkStatusIsSkipped();
    void startsDisconnectedWithoutTheDevice();
    void hiddenWindowShowsTheLatestFiguresWhenShown();
};

void TestMainWidgetUpdate::barPeak_data()
{
    QTest::addColumn<int>("peak");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("first value") << 0 << 4700 << 4701;
    QTest::newRow("lower value keeps the peak") << 4701 << 3000 << 4701;
    QTest::newRow("higher value raises it") << 4701 << 5000 << 5001;
    QTest::newRow("zero on a fresh bar") << 0 << 0 << 1;
    QTest::newRow("value equal to the peak") << 50 << 50 << 50;
    QTest::newRow("negative value") << 0 << -5 << 1;
    QTest::newRow("largest int does not overflow")
        << 10 << std::numeric_limits<int>::max() << std::numeric_limits<int>::max();
}

void TestMainWidgetUpdate::barPeak()
{
    QFETCH(int, peak);
    QFETCH(int, value);
    QFETCH(int, expected);
    QCOMPARE(nextBarPeak(peak, value), expected);
}

void TestMainWidgetUpdate::memoryText_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("available");
    QTest::addColumn<QString>("expected");
    QTest::newRow("16 GB machine") << quint64(15.9 * kGiB) << quint64(8.0 * kGiB) << "7.9G/15.9G";
    QTest::newRow("nothing known") << quint64(0) << quint64(0) << "0.0G/0.0G";
    QTest::newRow("all free") << 4 * kGiB << 4 * kGiB << "0.0G/4.0G";
}

void TestMainWidgetUpdate::memoryText()
{
    QFETCH(quint64, total);
    QFETCH(quint64, available);
    QFETCH(QString, expected);
    QCOMPARE(memoryUsageText(MemoryFigures{0, total, available}), expected);
}

void TestMainWidgetUpdate::driveFigures_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("free");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("reportGiB");
    // The label rounds to whole GiB while the report truncates.
    QTest::newRow("476.9 GiB drive") << quint64(476.9 * kGiB) << quint64(356.9 * kGiB) << 25 << "120G/477G" << 476;
    QTest::newRow("empty drive") << 100 * kGiB << 100 * kGiB << 0 << "0G/100G" << 100;
    QTest::newRow("full drive") << 100 * kGiB << quint64(0) << 100 << "100G/100G" << 100;
    QTest::newRow("percent truncated") << 1000 * kGiB << quint64(1000 * kGiB - 999 * kGiB / 100) << 0 << "10G/1000G"
                                       << 1000;
    QTest::newRow("zero total") << quint64(0) << quint64(0) << 0 << "" << 0;
}

void TestMainWidgetUpdate::driveFigures()
{
    QFETCH(quint64, total);
    QFETCH(quint64, free);
    QFETCH(int, percent);
    QFETCH(QString, text);
    QFETCH(int, reportGiB);

    const DriveUsage usage = driveUsage(DriveFigures{total, free});
    QCOMPARE(usage.percent, percent);
    QCOMPARE(usage.text, text);

    ReportFigures figures;
    figures.drive = ReportDrive{total, free};
    const DeviceReport report = encodeDeviceReport(figures);
    QCOMPARE((report[22] << 8) | report[23], reportGiB);
}

void TestMainWidgetUpdate::barsFollowTheirPeaks()
{
    DMainWidget window;
    const MemoryFigures memory{};
    window.dataPath().runCycle(withClocks(4700, 0), memory, std::nullopt);
    QCOMPARE(window.ui->progressBar_CPU02->maximum(), 4701);
    QCOMPARE(window.ui->progressBar_CPU02->minimum(), 0);
    QCOMPARE(window.ui->progressBar_GPU02->maximum(), 1);
    QCOMPARE(window.ui->progressBar_GPU02->value(), 0);

    window.dataPath().runCycle(withClocks(3000, 1200), memory, std::nullopt);
    QCOMPARE(window.ui->progressBar_CPU02->maximum(), 4701);
    QCOMPARE(window.ui->progressBar_CPU02->value(), 3000);
    QCOMPARE(window.ui->label_CPU02->text(), QString("3000"));
    QCOMPARE(window.ui->progressBar_GPU02->maximum(), 1201);

    window.dataPath().runCycle(withClocks(5000, 900), memory, std::nullopt);
    QCOMPARE(window.ui->progressBar_CPU02->maximum(), 5001);
    QCOMPARE(window.ui->progressBar_CPU02->value(), 5000);
    QCOMPARE(window.ui->progressBar_GPU02->maximum(), 1201);
    QCOMPARE(window.ui->label_GPU02->text(), QString("900"));
}

// A figure without a reading reads "--" in its label and empties its bar or dashboard, in either
// unit; the next cycle with a reading shows the number again.
void TestMainWidgetUpdate::unreadFiguresReadDashes()
{
    DMainWidget window;
    const auto *ui = window.ui.get();
    FigureSet unread;
    unread.set();
    SensorSnapshot s;
    window.dataPath().runCycle(s, MemoryFigures{}, std::nullopt, unread);
    const QList<QLabel *> labels{ui->label_CPU01, ui->label_GPU01, ui->label_CPU02, ui->label_GPU02,
                                 ui->label_CPU03, ui->label_GPU03, ui->label_CPU04, ui->label_GPU04};
    for (QLabel *label : labels)
        QCOMPARE(label->text(), QString("--"));
    const QList<ProgressBarRound *> dashboards{ui->widget_CpuDashboardNew, ui->widget_GpuDashboardNew};
    for (ProgressBarRound *d : dashboards)
        QVERIFY(!d->hasValue());
    ui->radioButton_Model02->click();
    for (ProgressBarRound *d : dashboards)
        QVERIFY(!d->hasValue());
    ui->radioButton_Model01->click();

    // A stopped fan has a reading: 0. Only the CPU temperature is missing now.
    unread.reset();
    unread.set(static_cast<std::size_t>(Figure::CpuTemperature));
    s = withClocks(4200, 1500);
    s.gpuTemperature = 48;
    window.dataPath().runCycle(s, MemoryFigures{}, std::nullopt, unread);
    QCOMPARE(ui->label_CPU02->text(), QString("4200"));
    QCOMPARE(ui->label_GPU03->text(), QString("0"));
    QVERIFY(!ui->widget_CpuDashboardNew->hasValue());
    QVERIFY(ui->widget_GpuDashboardNew->hasValue());
    QCOMPARE(ui->widget_GpuDashboardNew->getDisplayValue(), 48);

    window.dataPath().runCycle(s, MemoryFigures{}, std::nullopt);
    for (ProgressBarRound *d : dashboards)
        QVERIFY(d->hasValue());
}

// A bar that moves is painted once, with the rest of the cycle's changes, at the next turn of the
// event loop; one that did not move is not painted at all.
void TestMainWidgetUpdate::changedBarsArePaintedOnceWithTheCycle()
{
    DMainWidget window;
    QVERIFY(showAndSettle(window));
    const MemoryFigures memory{};
    window.dataPath().runCycle(withClocks(3000, 1000), memory, std::nullopt);
    flushPaints();

    const PaintCounter moved(window.ui->progressBar_CPU02);
    const PaintCounter still(window.ui->progressBar_GPU02);
    window.dataPath().runCycle(withClocks(1000, 1000), memory, std::nullopt);
    QCOMPARE(moved.count, 0);
    flushPaints();
    QCOMPARE(moved.count, 1);
    QCOMPARE(still.count, 0);
    QCOMPARE(window.ui->progressBar_CPU02->value(), 1000);
}

void TestMainWidgetUpdate::oneCycleFillsEveryWidget()
{
    DMainWidget window;
    SensorSnapshot s;
    s.cpuTemperature = 55.9f;
    s.cpuUsage = 37.5f;
    s.cpuClock = 4321.7f;
    s.cpuFan = 1180;
    s.cpuPower = 65.4f;
    s.gpuTemperature = 61;
    s.gpuUsage = 99.9f;
    s.gpuClock = 1800;
    s.gpuFan = 0;
    s.gpuPower = std::numeric_limits<float>::quiet_NaN();
    window.dataPath().runCycle(s, MemoryFigures{48, 16 * kGiB, 8 * kGiB},
                               DriveFigures{quint64(476.9 * kGiB), quint64(356.9 * kGiB)});

    const auto *ui = window.ui.get();
    QCOMPARE(ui->widget_CpuDashboardNew->getValue(), 55.0);
    QCOMPARE(ui->widget_GpuDashboardNew->getValue(), 61.0);
    const QList<QPair<QLabel *, QString>> labels{{ui->label_CPU01, "37"},
                                                 {ui->label_GPU01, "99"},
                                                 {ui->label_CPU02, "4321"},
                                                 {ui->label_GPU02, "1800"},
                                                 {ui->label_CPU03, "1180"},
                                                 {ui->label_GPU03, "0"},
                                                 {ui->label_CPU04, "65"},
                                                 {ui->label_GPU04, "0"},
                                                 {ui->label_MemoryUsageNum, "48"},
                                                 {ui->label_MemoryUsage, "8.0G/16.0G"},
                                                 {ui->label_HardDiskUsageNum, "25"},
                                                 {ui->label_HardDiskUsage, "120G/477G"}};
    for (const auto &label : labels)
        QCOMPARE(label.first->text(), label.second);
    const QList<QPair<QProgressBar *, int>> bars{
        {ui->progressBar_CPU01, 37}, {ui->progressBar_GPU01, 99},       {ui->progressBar_CPU03, 1180},
        {ui->progressBar_GPU04, 0},  {ui->progressBar_MemoryUsage, 48}, {ui->progressBar_HardDiskUsage, 25}};
    for (const auto &bar : bars)
        QCOMPARE(bar.first->value(), bar.second);
    QCOMPARE(ui->progressBar_CPU04->maximum(), 66);
    QCOMPARE(ui->progressBar_GPU04->maximum(), 1);
}

// In Fahrenheit the cycle still hands the dashboards Celsius: each converts only the number it
// shows, and its sector stays on the Celsius scale. The device's report carries the same Celsius
// figures with the unit bit (tests/datapath, tests/e2e): the window hands the data path the unit.
void TestMainWidgetUpdate::fahrenheitDashboardsStillReceiveCelsius()
{
    DMainWidget window;
    auto *ui = window.ui.get();
    // the unit the store had at the start (on Windows the registry outlives the temporary home)
    QCOMPARE(window.dataPath().reportsFahrenheit(), window.temperatureUnit() == 2);
    ui->radioButton_Model02->click();
    QCOMPARE(window.temperatureUnit(), 2);
    QVERIFY(window.dataPath().reportsFahrenheit());

    SensorSnapshot s;
    s.cpuTemperature = 37.9f;
    s.gpuTemperature = 61;
    window.dataPath().runCycle(s, MemoryFigures{}, std::nullopt);
    const QList<QPair<ProgressBarRound *, int>> dashboards{{ui->widget_CpuDashboardNew, 37},
                                                           {ui->widget_GpuDashboardNew, 61}};
    for (const auto &d : dashboards) {
        QCOMPARE(d.first->getCurrentValueType(), 2);
        QCOMPARE(d.first->getStrUnit(), QStringLiteral("℉"));
        QCOMPARE(d.first->getDisplayValue(), d.second);
        QCOMPARE(d.first->getValue(), double(d.second));
    }
    // What the CPU dashboard shows: the number 98 over the sector of 37.
    const QImage shown = ui->widget_CpuDashboardNew->grab().toImage();
    ui->widget_CpuDashboardNew->setCurrentValueType(1);
    ui->widget_CpuDashboardNew->setValue(98);
    ui->widget_CpuDashboardNew->setValue(37.0);
    QCOMPARE(ui->widget_CpuDashboardNew->grab().toImage(), shown);

    // Back to Celsius, the dashboards get the last Celsius figures again.
    ui->radioButton_Model01->click();
    QCOMPARE(window.temperatureUnit(), 1);
    QVERIFY(!window.dataPath().reportsFahrenheit());
    for (const auto &d : dashboards) {
        QCOMPARE(d.first->getCurrentValueType(), 1);
        QCOMPARE(d.first->getDisplayValue(), d.second);
    }
}

void TestMainWidgetUpdate::noSystemDriveLeavesTheDiskWidgets()
{
    DMainWidget window;
    const auto *ui = window.ui.get();
    const QString num = ui->label_HardDiskUsageNum->text();
    const QString text = ui->label_HardDiskUsage->text();
    const int value = ui->progressBar_HardDiskUsage->value();

    window.dataPath().runCycle(withClocks(1000, 1000), MemoryFigures{10, kGiB, kGiB}, std::nullopt);
    QCOMPARE(ui->label_HardDiskUsageNum->text(), num);
    QCOMPARE(ui->label_HardDiskUsage->text(), text);
    QCOMPARE(ui->progressBar_HardDiskUsage->value(), value);
    QCOMPARE(ui->label_MemoryUsageNum->text(), QString("10"));
}

void TestMainWidgetUpdate::cycleBeforeTheSdkStatusIsSkipped()
{
    DMainWidget window;
    const QString label = window.ui->label_CPU02->text();
    const int maximum = window.ui->progressBar_CPU02->maximum();
    const int before = readAllLogs().count("SDK Init doing ... ... wait monment ... \r\n");
    window.onGetPcInfoOk();
    QCOMPARE(readAllLogs().count("SDK Init doing ... ... wait monment ... \r\n"), before + 1);
    QCOMPARE(window.ui->label_CPU02->text(), label);
    QCOMPARE(window.ui->progressBar_CPU02->maximum(), maximum);
}

void TestMainWidgetUpdate::startsDisconnectedWithoutTheDevice()
{
    DMainWidget window;
    QTRY_VERIFY(readAllLogs().contains("Start Update -> Over"));
    QCOMPARE(window.ui->label_HidStatus->text(), QString("Disconnected"));
    // No SDK beside this test: the start thread reports the missing library.
    QTRY_VERIFY(readAllLogs().contains("HWi32SDK init Over [Failed], errorCode: -111"));
    window.onGetPcInfoOk();
    QVERIFY(readAllLogs().contains("SDK Init doing"));
}

// Cycles that reach a hidden window are set when it is shown: it then shows what a window shown
// all along shows, including a drive that only an earlier cycle had and bars whose peaks moved.
void TestMainWidgetUpdate::hiddenWindowShowsTheLatestFiguresWhenShown()
{
    DMainWidget shown;
    DMainWidget hidden;
    QVERIFY(showAndSettle(shown));
    hidden.hide();
    const QString startText = hidden.ui->label_CPU02->text();

    struct Cycle {
        float cpuTemperature, cpuUsage, cpuClock, gpuClock, cpuFan, gpuPower;
        MemoryFigures memory;
        std::optional<DriveFigures> drive;
    };
    const Cycle cycles[] = {
        {41, 12, 4700, 1500, 1200, 80, {30, 16 * kGiB, 11 * kGiB}, DriveFigures{500 * kGiB, 300 * kGiB}},
        {77.5f, 98, 3900, 1900, 900, 210, {55, 16 * kGiB, 7 * kGiB}, std::nullopt},
        {63, 45, 4100, 600, 1500, 35, {52, 16 * kGiB, 7 * kGiB}, std::nullopt},
    };
    for (const Cycle &c : cycles) {
        SensorSnapshot s = withClocks(c.cpuClock, c.gpuClock);
        s.cpuTemperature = c.cpuTemperature;
        s.cpuUsage = c.cpuUsage;
        s.cpuFan = c.cpuFan;
        s.gpuPower = c.gpuPower;
        for (DMainWidget *window : {&shown, &hidden})
            window->dataPath().runCycle(s, c.memory, c.drive);
    }
    QCOMPARE(hidden.ui->label_CPU02->text(), startText);

    QVERIFY(showAndSettle(hidden));
    const auto *a = shown.ui.get();
    const auto *b = hidden.ui.get();
    const QList<QPair<QLabel *, QLabel *>> labels{{a->label_CPU01, b->label_CPU01},
                                                  {a->label_GPU01, b->label_GPU01},
                                                  {a->label_CPU02, b->label_CPU02},
                                                  {a->label_GPU02, b->label_GPU02},
                                                  {a->label_CPU03, b->label_CPU03},
                                                  {a->label_GPU03, b->label_GPU03},
                                                  {a->label_CPU04, b->label_CPU04},
                                                  {a->label_GPU04, b->label_GPU04},
                                                  {a->label_MemoryUsageNum, b->label_MemoryUsageNum},
                                                  {a->label_MemoryUsage, b->label_MemoryUsage},
                                                  {a->label_HardDiskUsageNum, b->label_HardDiskUsageNum},
                                                  {a->label_HardDiskUsage, b->label_HardDiskUsage}};
    for (const auto &pair : labels)
        QCOMPARE(pair.second->text(), pair.first->text());
    QCOMPARE(b->label_HardDiskUsage->text(), QString("200G/500G"));
    const QList<QPair<QProgressBar *, QProgressBar *>> bars{
        {a->progressBar_CPU01, b->progressBar_CPU01},
        {a->progressBar_GPU01, b->progressBar_GPU01},
        {a->progressBar_CPU02, b->progressBar_CPU02},
        {a->progressBar_GPU02, b->progressBar_GPU02},
        {a->progressBar_CPU03, b->progressBar_CPU03},
        {a->progressBar_GPU03, b->progressBar_GPU03},
        {a->progressBar_CPU04, b->progressBar_CPU04},
        {a->progressBar_GPU04, b->progressBar_GPU04},
        {a->progressBar_MemoryUsage, b->progressBar_MemoryUsage},
        {a->progressBar_HardDiskUsage, b->progressBar_HardDiskUsage}};
    for (const auto &pair : bars) {
        QCOMPARE(pair.second->value(), pair.first->value());
        QCOMPARE(pair.second->maximum(), pair.first->maximum());
    }
    QCOMPARE(b->progressBar_CPU02->maximum(), 4701);
    QCOMPARE(b->widget_CpuDashboardNew->getValue(), 63.0);
    QCOMPARE(b->widget_GpuDashboardNew->getValue(), a->widget_GpuDashboardNew->getValue());
    // And the pixels: the whole monitor page as each window paints it.
    QCOMPARE(b->page_Monitor->grab().toImage(), a->page_Monitor->grab().toImage());
}

KESTRUN_TEST_MAIN(TestMainWidgetUpdate)
#include "tst_mainwidget_update.moc"
