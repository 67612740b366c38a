#include "mainwindow/dmainwidget.h"

#include "widgets/progressbarround.h"

#include <QDebug>
#include <QTimer>

#include <cstdlib>

// The update cycle runs in the data path; the window starts it, forwards its slots, shows what
// each cycle tells, and ends the program.

namespace {

// QProgressBar::setValue paints at once whenever the visible bar moves, and in this translucent
// window each such paint redraws everything beneath the bar. Held updates turn it into an ordinary
// update, so all of a cycle's changes are painted together at the next turn of the event loop.
void setBarValue(QProgressBar *bar, int value)
{
    if (bar->value() == value)
        return;
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(true);
}

// A figure without a reading reads "--": a 0 there would pass for one.
QString figureText(const MonitorFigures &figures, Figure figure, int value)
{
    return contains(figures.unread, figure) ? QStringLiteral("--") : QString::number(value);
}

void showDashboard(const MonitorFigures &figures, Figure figure, int value, ProgressBarRound *dashboard)
{
    if (contains(figures.unread, figure))
        dashboard->setNoValue();
    else
        dashboard->setValue(value);
}

// One clock, fan or power pair: ranges first, then labels, then values, CPU before GPU.
void showPair(const MonitorFigures &figures, Figure cpuFigure, Figure gpuFigure, const PeakBar &cpu, const PeakBar &gpu,
              QProgressBar *cpuBar, QProgressBar *gpuBar, QLabel *cpuLabel, QLabel *gpuLabel)
{
    cpuBar->setRange(0, cpu.maximum);
    gpuBar->setRange(0, gpu.maximum);
    cpuLabel->setText(figureText(figures, cpuFigure, cpu.value));
    gpuLabel->setText(figureText(figures, gpuFigure, gpu.value));
    setBarValue(cpuBar, cpu.value);
    setBarValue(gpuBar, gpu.value);
}

} // namespace

// The last step of construction: the device signals, the sensor thread (idle until the SDK is
// ready), then the delayed start of the link and the SDK and the hardware page fill.
void DMainWidget::startDataPath()
{
    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Into, this, &DMainWidget::onHidDeviceConnectChanging_Into);
    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Remove, this,
            &DMainWidget::onHidDeviceConnectChanging_Remove);

    connect(&feed, &DDataPath::sigCycleFigures, this, &DMainWidget::setMonitorWidgets);
    // The report's unit follows the ℃ choice's checked state.
    feed.setReportFahrenheit(!ui->radioButton_Model01->isChecked());
    connect(ui->radioButton_Model01, &QRadioButton::toggled, &feed,
            [this](bool celsius) { feed.setReportFahrenheit(!celsius); });
    feed.startSensorThread();

    QTimer::singleShot(200, this, SLOT(onStartUpdateLater()));
    QTimer::singleShot(200, this, SLOT(onGetPcHardwareInfoOver()));
}

void DMainWidget::onStartUpdateLater()
{
    feed.onStartUpdateLater();
}

void DMainWidget::onTheSdkInitStatus(bool isOK, int errorCode)
{
    feed.onTheSdkInitStatus(isOK, errorCode);
}

void DMainWidget::onGetPcInfoOk()
{
    feed.onGetPcInfoOk();
}

// A window that was hidden (at a start by the logon task, by its close button) is not drawn, and
// setting its widgets each second would cost for nothing, and would wake this thread each second:
// the data path holds the figures meanwhile. They are set before the window shows, so its first
// frame has them.
void DMainWidget::setVisible(bool visible)
{
    if (visible) {
        if (const std::optional<MonitorFigures> held = feed.releaseFigures())
            setMonitorWidgets(*held);
    }
    QWidget::setVisible(visible);
    if (!visible)
        feed.holdFigures();
}

void DMainWidget::setMonitorWidgets(const MonitorFigures &figures)
{
    showDashboard(figures, Figure::CpuTemperature, figures.cpuTemperature, ui->widget_CpuDashboardNew);
    showDashboard(figures, Figure::GpuTemperature, figures.gpuTemperature, ui->widget_GpuDashboardNew);

    setBarValue(ui->progressBar_CPU01, figures.cpuUsage);
    ui->label_CPU01->setText(figureText(figures, Figure::CpuUsage, figures.cpuUsage));
    setBarValue(ui->progressBar_GPU01, figures.gpuUsage);
    ui->label_GPU01->setText(figureText(figures, Figure::GpuUsage, figures.gpuUsage));

    showPair(figures, Figure::CpuClock, Figure::GpuClock, figures.cpuClock, figures.gpuClock, ui->progressBar_CPU02,
             ui->progressBar_GPU02, ui->label_CPU02, ui->label_GPU02);
    showPair(figures, Figure::CpuFan, Figure::GpuFan, figures.cpuFan, figures.gpuFan, ui->progressBar_CPU03,
             ui->progressBar_GPU03, ui->label_CPU03, ui->label_GPU03);
    showPair(figures, Figure::CpuPower, Figure::GpuPower, figures.cpuPower, figures.gpuPower, ui->progressBar_CPU04,
             ui->progressBar_GPU04, ui->label_CPU04, ui->label_GPU04);

    ui->label_MemoryUsageNum->setText(QString::number(figures.memoryLoad));
    setBarValue(ui->progressBar_MemoryUsage, static_cast<int>(figures.memoryLoad));
    ui->label_MemoryUsage->setText(figures.memoryText);

    if (figures.drive) {
        ui->label_HardDiskUsageNum->setText(QString::number(figures.drive->percent));
        setBarValue(ui->progressBar_HardDiskUsage, figures.drive->percent);
        ui->label_HardDiskUsage->setText(figures.drive->text);
    }
}

// The tray's Exit and the end of the session: the orderly end of the program. It ends the process
// within about 2 s whatever the sensor library does.
void DMainWidget::onQuitApp()
{
    // The data path's waits process events, which may deliver a second request.
    if (!feed.shutdown())
        return;
    qDebug().noquote() << "Exit app runing [Normal]";
    close();
    std::exit(0);
}
