#include "mainwindow/dmainwidget.h"

#include "device/devicereport.h"
#include "device/mainhidinterface.h"
#include "hardware/getpcinfothread.h"
#include "mainwindow/cyclefigures.h"
#include "platform/threadcrashsetup.h"
#include "widgets/progressbarround.h"

#include <QDateTime>
#include <QDebug>
#include <QTimer>

#include <cstdlib>

namespace {

// How long the orderly end may take, whatever the sensor library does.
constexpr std::chrono::milliseconds kQuitBound{2000};

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

// One clock, fan or power pair: ranges first, then labels, then values, CPU before GPU.
void showPair(int &cpuPeak, int &gpuPeak, int cpuValue, int gpuValue, QProgressBar *cpuBar,
              QProgressBar *gpuBar, QLabel *cpuLabel, QLabel *gpuLabel)
{
    cpuPeak = nextBarPeak(cpuPeak, cpuValue);
    cpuBar->setRange(0, cpuPeak);
    gpuPeak = nextBarPeak(gpuPeak, gpuValue);
    gpuBar->setRange(0, gpuPeak);
    cpuLabel->setText(QString::number(cpuValue));
    gpuLabel->setText(QString::number(gpuValue));
    setBarValue(cpuBar, cpuValue);
    setBarValue(gpuBar, gpuValue);
}

} // namespace

// The last step of construction: the device signals, the sensor thread (idle until the SDK is
// ready), then the delayed start of the link and the SDK and the hardware page fill.
void DMainWidget::startDataPath()
{
    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Into, this,
            &DMainWidget::onHidDeviceConnectChanging_Into);
    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Remove, this,
            &DMainWidget::onHidDeviceConnectChanging_Remove);

    sdkInitOk = false;
    sensorThread = std::make_unique<getPcInfoThread>();
    connect(sensorThread.get(), SIGNAL(sigTheSdkInitStatus(bool, int)), this, SLOT(onTheSdkInitStatus(bool, int)));
    connect(sensorThread.get(), SIGNAL(sigGetPcInfoOk()), this, SLOT(onGetPcInfoOk()));
    sensorThread->start(QThread::InheritPriority);

    QTimer::singleShot(200, this, SLOT(onStartUpdateLater()));
    QTimer::singleShot(200, this, SLOT(onGetPcHardwareInfoOver()));
}

void DMainWidget::onStartUpdateLater()
{
    qDebug().noquote() << "Start Update -> Start";
    transport = std::make_unique<MainHidInterFace>();
    // Its writer thread, like every thread the program starts, can still run the crash handler.
    prepareForCrashesAtEachStart(*transport);
    connect(transport.get(), SIGNAL(sigOpenHidSuccessful()), this, SLOT(onOpenHidSuccessful()));
    // Also shows "Disconnected" and marks the link closed.
    deviceLink.setTransport(transport.get());
    transport->getuUsbHidDeviceList();
    qDebug().noquote() << "Start Update -> Over";

    qDebug().noquote() << "Start Thread Runing SDK -> GetComputerInfo [Start]";
    sensorThread->startSdkInit();
}

void DMainWidget::onTheSdkInitStatus(bool isOK, int errorCode)
{
    if (isOK)
        qDebug().noquote() << "HWi32SDK init Over [Successful]";
    else
        qDebug() << "HWi32SDK init Over [Failed], errorCode:" << errorCode;
    sdkInitOk = isOK;
}

void DMainWidget::onGetPcInfoOk()
{
    if (!sdkInitOk) {
        qDebug().noquote() << "SDK Init doing ... ... wait monment ... ";
        return;
    }
    if (quitting)
        return;
    showCycleFigures(sensorThread->copySnapshot(), queryMemory(), querySystemDrive());
}

void DMainWidget::showCycleFigures(const SensorSnapshot &snapshot, const MemoryFigures &memory,
                                   const std::optional<DriveFigures> &drive)
{
    ReportFigures figures = sensorReportFigures(snapshot);

    lastCpuTemperature = figures.cpuTemperature;
    lastGpuTemperature = figures.gpuTemperature;
    ui->widget_CpuDashboardNew->setValue(lastCpuTemperature);
    ui->widget_GpuDashboardNew->setValue(lastGpuTemperature);

    setBarValue(ui->progressBar_CPU01, figures.cpuUsage);
    ui->label_CPU01->setText(QString::number(figures.cpuUsage));
    setBarValue(ui->progressBar_GPU01, figures.gpuUsage);
    ui->label_GPU01->setText(QString::number(figures.gpuUsage));

    showPair(barPeak[0], barPeak[1], figures.cpuClock, figures.gpuClock, ui->progressBar_CPU02,
             ui->progressBar_GPU02, ui->label_CPU02, ui->label_GPU02);
    showPair(barPeak[2], barPeak[3], figures.cpuFan, figures.gpuFan, ui->progressBar_CPU03,
             ui->progressBar_GPU03, ui->label_CPU03, ui->label_GPU03);
    showPair(barPeak[4], barPeak[5], figures.cpuPower, figures.gpuPower, ui->progressBar_CPU04,
             ui->progressBar_GPU04, ui->label_CPU04, ui->label_GPU04);

    ui->label_MemoryUsageNum->setText(QString::number(memory.memoryLoad));
    setBarValue(ui->progressBar_MemoryUsage, static_cast<int>(memory.memoryLoad));
    ui->label_MemoryUsage->setText(memoryUsageText(memory));
    figures.memoryLoad = memory.memoryLoad;
    figures.totalPhys = memory.totalPhys;

    if (drive) {
        const DriveUsage usage = driveUsage(*drive);
        ui->label_HardDiskUsageNum->setText(QString::number(usage.percent));
        setBarValue(ui->progressBar_HardDiskUsage, usage.percent);
        ui->label_HardDiskUsage->setText(usage.text);
        figures.drive = ReportDrive{drive->totalBytes, drive->totalFreeBytes};
    }

    if (!deviceLink.isLinkOpen() || !transport)
        return;
    figures.fahrenheit = !ui->radioButton_Model01->isChecked();
    const QDateTime now = QDateTime::currentDateTime();
    figures.date = now.date();
    figures.time = now.time();
    const DeviceReport report = encodeDeviceReport(figures);
    transport->hidApi_Write(report.data());
}

// The sensor loop and the SDK start thread end with the program; one that the library keeps past
// the deadline is left to the end of the process, logged.
void DMainWidget::endSensorThreads(std::chrono::steady_clock::time_point deadline)
{
    const getPcInfoThread::ThreadsLeft left = sensorThread->endThreads(deadline);
    if (left.sdkStart)
        qDebug().noquote() << "Exit app -> SDK start thread abandoned, sdkInit has not returned";
    if (left.readLoop)
        qDebug().noquote() << "Exit app -> sensor thread abandoned, a sensor read has not returned";
    if (left.any()) {
        // Still in use by the thread left behind: never destroyed, and kept reachable as such.
        static getPcInfoThread *const abandoned = sensorThread.release();
        Q_UNUSED(abandoned);
    }
}

// The tray's Exit and the end of the session: the orderly end of the program. It ends the process
// within about kQuitBound whatever the sensor library does.
void DMainWidget::onQuitApp()
{
    // Waiting for the sensor thread processes events, which may deliver a second request.
    if (quitting)
        return;
    quitting = true;
    const auto deadline = std::chrono::steady_clock::now() + kQuitBound;

    if (sdkInitOk) {
        const int status = sensorThread->stopAndUninit();
        if (status == getPcInfoThread::kSdkStillBusy)
            qDebug().noquote() << "HWi32SDK UNinit abandoned, a sensor read has not returned";
        else
            qDebug() << "HWi32SDK UNinit Over [Status],errorCode:" << status;
    }
    // Joins the writer first, so the device is never closed under a write.
    deviceLink.shutdown();
    // No SDK call may race the process teardown: a start still loading the SDK and the sensor loop
    // end first, or are given up on by the deadline.
    endSensorThreads(deadline);
    qDebug().noquote() << "Exit app runing [Normal]";
    close();
    std::exit(0);
}
