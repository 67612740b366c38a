#include "datapath/ddatapath.h"

#include "device/devicereport.h"
#include "device/mainhidinterface.h"
#include "hardware/getpcinfothread.h"
#include "platform/threadcrashsetup.h"

#include <QDebug>

#include <utility>

namespace {

// How long the orderly end may take, whatever the sensor library does.
constexpr std::chrono::milliseconds kQuitBound{2000};

PeakBar peakBar(int &peak, int value)
{
    peak = nextBarPeak(peak, value);
    return PeakBar{value, peak};
}

} // namespace

DDataPath::DDataPath(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<MonitorFigures>();
    connect(&deviceLink, &DeviceLinkController::sigHidDeviceConnectChanging_Into, this,
            &DDataPath::sigHidDeviceConnectChanging_Into);
    connect(&deviceLink, &DeviceLinkController::sigHidDeviceConnectChanging_Remove, this,
            &DDataPath::sigHidDeviceConnectChanging_Remove);
    connect(&deviceLink, &DeviceLinkController::sigHidStatusText, this, &DDataPath::sigHidStatusText);
}

DDataPath::~DDataPath()
{
    detachSensorCycles();
}

void DDataPath::detachSensorCycles()
{
    if (sensorThread)
        sensorThread->setCycleSink({});
}

// The device watch lives in HotplugWatch and the link decisions in DeviceLinkController.
void DDataPath::registerDevice(WId window)
{
    hotplug.registerDevice(window);
    connect(&hotplug, &HotplugWatch::deviceChanged, &deviceLink, &DeviceLinkController::onDeviceChange);
}

void DDataPath::nativeEvent(const QByteArray &eventType, void *message)
{
    hotplug.nativeEvent(eventType, message);
}

void DDataPath::startSensorThread()
{
    detachSensorCycles();
    {
        std::lock_guard<std::mutex> lock(cycleLock);
        sdkInitOk = false;
    }
    sensorThread = std::make_unique<getPcInfoThread>();
    connect(sensorThread.get(), SIGNAL(sigTheSdkInitStatus(bool, int)), this, SLOT(onTheSdkInitStatus(bool, int)));
    sensorThread->setCycleSink([this](const getPcInfoThread::CycleRecord &cycle) {
        runSensorCycle(cycle.values, figuresWithoutReading(cycle.values, cycle.sources));
    });
    sensorThread->start(QThread::InheritPriority);
}

void DDataPath::onStartUpdateLater()
{
    qDebug().noquote() << "Start Update -> Start";
    auto created = std::make_unique<MainHidInterFace>();
    // Its writer thread, like every thread the program starts, can still run the crash handler.
    prepareForCrashesAtEachStart(*created);
    // Replaced under the lock, so no cycle holds the old one; it goes at the end of this call,
    // once the link controller has let go of it.
    std::unique_ptr<MainHidInterFace> replaced;
    {
        std::lock_guard<std::mutex> lock(cycleLock);
        replaced = std::exchange(transport, std::move(created));
    }
    connect(transport.get(), SIGNAL(sigOpenHidSuccessful()), this, SLOT(onOpenHidSuccessful()));
    // Also shows "Disconnected" and marks the link closed.
    deviceLink.setTransport(transport.get());
    transport->getuUsbHidDeviceList();
    qDebug().noquote() << "Start Update -> Over";

    qDebug().noquote() << "Start Thread Runing SDK -> GetComputerInfo [Start]";
    if (sensorThread)
        sensorThread->startSdkInit();
}

void DDataPath::onTheSdkInitStatus(bool isOK, int errorCode)
{
    if (isOK)
        qDebug().noquote() << "HWi32SDK init Over [Successful]";
    else
        qDebug() << "HWi32SDK init Over [Failed], errorCode:" << errorCode;
    std::lock_guard<std::mutex> lock(cycleLock);
    sdkInitOk = isOK;
}

void DDataPath::onGetPcInfoOk()
{
    const getPcInfoThread::CycleRecord cycle =
        sensorThread ? sensorThread->copyLastCycle() : getPcInfoThread::CycleRecord{};
    runSensorCycle(cycle.values, figuresWithoutReading(cycle.values, cycle.sources));
}

void DDataPath::runSensorCycle(const SensorSnapshot &values, const FigureSet &unread)
{
    bool ready = false;
    {
        std::lock_guard<std::mutex> lock(cycleLock);
        if (quitting)
            return;
        ready = sdkInitOk;
    }
    // A cycle can come before the SDK's word has reached the GUI thread.
    if (!ready) {
        qDebug().noquote() << "SDK Init doing ... ... wait monment ... ";
        return;
    }
    runCycle(values, queryMemory(), querySystemDrive(), unread);
}

void DDataPath::holdFigures()
{
    std::lock_guard<std::mutex> lock(cycleLock);
    figuresHeld = true;
}

std::optional<MonitorFigures> DDataPath::releaseFigures()
{
    std::lock_guard<std::mutex> lock(cycleLock);
    figuresHeld = false;
    return std::exchange(heldFigures, std::nullopt);
}

void DDataPath::setReportFahrenheit(bool fahrenheit)
{
    std::lock_guard<std::mutex> lock(cycleLock);
    reportFahrenheit = fahrenheit;
}

bool DDataPath::reportsFahrenheit() const
{
    std::lock_guard<std::mutex> lock(cycleLock);
    return reportFahrenheit;
}

int DDataPath::cpuTemperature() const
{
    std::lock_guard<std::mutex> lock(cycleLock);
    return lastCpuTemperature;
}

int DDataPath::gpuTemperature() const
{
    std::lock_guard<std::mutex> lock(cycleLock);
    return lastGpuTemperature;
}

void DDataPath::runCycle(const SensorSnapshot &snapshot, const MemoryFigures &memory,
                         const std::optional<DriveFigures> &drive, const FigureSet &unread)
{
    ReportFigures figures = sensorReportFigures(snapshot);
    std::unique_lock<std::mutex> lock(cycleLock);
    if (quitting)
        return;
    lastCpuTemperature = figures.cpuTemperature;
    lastGpuTemperature = figures.gpuTemperature;

    MonitorFigures shown;
    shown.cpuTemperature = figures.cpuTemperature;
    shown.gpuTemperature = figures.gpuTemperature;
    shown.cpuUsage = figures.cpuUsage;
    shown.gpuUsage = figures.gpuUsage;
    shown.cpuClock = peakBar(barPeak[0], figures.cpuClock);
    shown.gpuClock = peakBar(barPeak[1], figures.gpuClock);
    shown.cpuFan = peakBar(barPeak[2], figures.cpuFan);
    shown.gpuFan = peakBar(barPeak[3], figures.gpuFan);
    shown.cpuPower = peakBar(barPeak[4], figures.cpuPower);
    shown.gpuPower = peakBar(barPeak[5], figures.gpuPower);
    shown.unread = unread;
    shown.memoryLoad = memory.memoryLoad;
    shown.memoryText = memoryUsageText(memory);
    figures.memoryLoad = memory.memoryLoad;
    figures.totalPhys = memory.totalPhys;
    if (drive) {
        shown.drive = driveUsage(*drive);
        figures.drive = ReportDrive{drive->totalBytes, drive->totalFreeBytes};
    }
    if (figuresHeld) {
        if (!shown.drive && heldFigures)
            shown.drive = std::move(heldFigures->drive);
        heldFigures = std::move(shown);
    } else {
        // Told without the lock: a receiver on this thread may ask for the temperatures.
        lock.unlock();
        emit sigCycleFigures(shown);
        lock.lock();
        if (quitting)
            return;
    }

    // The transport's own open state gates the report: the link controller's lives on the GUI
    // thread, and the transport opens and closes with it.
    if (!transport || !transport->isOpen())
        return;
    figures.fahrenheit = reportFahrenheit;
    const ReportClock::Stamp now = reportClock.now();
    figures.date = now.date;
    figures.time = now.time;
    const DeviceReport report = encodeDeviceReport(figures);
    transport->hidApi_Write(report.data());
}

void DDataPath::onOpenHidSuccessful()
{
    deviceLink.onOpenHidSuccessful();
}

void DDataPath::onHidDeviceConnectChanging_Into(QString hidPath)
{
    deviceLink.onHidDeviceConnectChanging_Into(hidPath);
}

void DDataPath::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    deviceLink.onHidDeviceConnectChanging_Remove(hidPath);
}

// The sensor loop and the SDK start thread end with the program; one that the library keeps past
// the deadline is left to the end of the process, logged.
void DDataPath::endSensorThreads(std::chrono::steady_clock::time_point deadline)
{
    if (!sensorThread)
        return;
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

bool DDataPath::shutdown()
{
    bool sdkStarted = false;
    {
        std::lock_guard<std::mutex> lock(cycleLock);
        if (quitting)
            return false;
        quitting = true;
        sdkStarted = sdkInitOk;
    }
    const auto deadline = std::chrono::steady_clock::now() + kQuitBound;
    // A cycle under way on the sensor thread ends before anything is stopped; none follows.
    detachSensorCycles();

    if (sdkStarted) {
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
    return true;
}
