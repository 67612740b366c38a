#pragma once

#include "datapath/cyclefigures.h"
#include "datapath/reportclock.h"
#include "device/devicelinkcontroller.h"
#include "hardware/sensorsnapshot.h"
#include "platform/hotplug.h"
#include "platform/systemstats.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <qwindowdefs.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

class MainHidInterFace;
class getPcInfoThread;

// The way of the figures from the sensors to the screen and the display device: the sensor thread
// (which starts the SDK on a thread of its own), the transport, the link controller and the
// hot-plug watch. Once per sensor cycle it tells what the monitor page is to show and, while the
// link is open, queues the cycle's report for the device. It lives on the GUI thread and holds no
// widget; the window forwards its slots and signals here.
//
// The sensor thread's cycles are run on the sensor thread itself: the report goes from there to
// the writer, and the GUI thread is woken only while the figures are wanted (the window is shown).
// The cycle's state is guarded by cycleLock; everything else belongs to the GUI thread.
class DDataPath : public QObject
{
    Q_OBJECT

public:
    explicit DDataPath(QObject *parent = nullptr);
    ~DDataPath() override;

    // Starts watching the display device come and go; window is the native window that receives
    // the notifications on Windows.
    void registerDevice(WId window);
    // Hands over one native message of that window.
    void nativeEvent(const QByteArray &eventType, void *message);

    // Creates the sensor thread and starts it; it reads nothing until the SDK is ready.
    void startSensorThread();

    // One cycle with the figures already gathered: tells sigCycleFigures (or holds the figures
    // while they are not wanted), then queues the report while the link is open. Any thread may
    // run one; the sensor thread's cycles gather their figures themselves. unread are the figures
    // without a reading: the window marks them, the report carries their 0 as ever.
    void runCycle(const SensorSnapshot &snapshot, const MemoryFigures &memory, const std::optional<DriveFigures> &drive,
                  const FigureSet &unread = {});

    // While the figures are held (the window is hidden) sigCycleFigures is not told; the latest
    // cycle's figures are kept, with the drive of the latest cycle that had one, so that setting
    // them leaves the monitor page as all the cycles would have. releaseFigures ends the hold and
    // returns what was kept (nothing when no cycle came meanwhile).
    void holdFigures();
    std::optional<MonitorFigures> releaseFigures();

    // The reports carry the Fahrenheit flag; the figures stay Celsius.
    void setReportFahrenheit(bool fahrenheit);
    bool reportsFahrenheit() const;

    // The temperatures of the last cycle, whole degrees Celsius (0 before the first).
    int cpuTemperature() const;
    int gpuTemperature() const;
    bool isLinkOpen() const { return deviceLink.isLinkOpen(); }

    // The orderly end: stops the sensor thread and releases the SDK (when it had started), closes
    // the link after its last write, and ends the sensor threads, all within about 2 s whatever the
    // sensor library does. No cycle runs afterwards. False when an end is already under way: the
    // waits process events, which may deliver a second request.
    bool shutdown();

signals:
    // What the monitor page shows for this cycle; told before the cycle's report is queued.
    void sigCycleFigures(const MonitorFigures &figures);
    // The text for the link's status label: "Connected" or "Disconnected".
    void sigHidStatusText(const QString &text);
    void sigHidDeviceConnectChanging_Into(QString hidPath);
    void sigHidDeviceConnectChanging_Remove(QString hidPath);

public slots:
    void onStartUpdateLater();
    void onTheSdkInitStatus(bool isOK, int errorCode);
    // Runs a cycle with the sensor thread's last figures here; the sensor thread runs its own.
    void onGetPcInfoOk();
    void onOpenHidSuccessful();
    void onHidDeviceConnectChanging_Into(QString hidPath);
    void onHidDeviceConnectChanging_Remove(QString hidPath);

private:
    // A cycle of the sensor thread's figures, once the SDK has said it is ready; on any thread.
    void runSensorCycle(const SensorSnapshot &values, const FigureSet &unread);
    void endSensorThreads(std::chrono::steady_clock::time_point deadline);
    // Stops the sensor thread's cycles here; once it returns none runs or follows.
    void detachSensorCycles();

    std::unique_ptr<getPcInfoThread> sensorThread;
    mutable std::mutex cycleLock;
    // Guarded by cycleLock.
    bool sdkInitOk = false;
    bool quitting = false;
    int lastCpuTemperature = 0;
    int lastGpuTemperature = 0;
    // Running maxima, the upper ends of the bars: CPU clock, GPU clock, CPU fan, GPU fan,
    // CPU power, GPU power.
    int barPeak[6] = {0, 0, 0, 0, 0, 0};
    bool figuresHeld = false;
    std::optional<MonitorFigures> heldFigures;
    ReportClock reportClock;
    bool reportFahrenheit = false;
    // Set and replaced under cycleLock; read by the GUI thread without it.
    std::unique_ptr<MainHidInterFace> transport;
    // Declared after the transport: it holds a pointer to it, so it must go first.
    DeviceLinkController deviceLink;
    HotplugWatch hotplug;
};
