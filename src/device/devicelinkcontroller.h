#pragma once

#include "device/displaydevice.h"
#include "platform/hotplug.h"

#include <QObject>
#include <QString>
#include <QTimer>

class MainHidInterFace;

// Keeps the link to the display device in step with the device: reopens it when the device
// arrives, closes it when the device leaves or refuses reports, and says which it is.
// Its owner forwards its own hot-plug signals and slots here; the controller holds no window.
class DeviceLinkController : public QObject
{
    Q_OBJECT
public:
    explicit DeviceLinkController(QObject *parent = nullptr);

    // The link is open: reports are to be sent.
    bool isLinkOpen() const { return linkOpen; }

    // The transport to drive; not owned. Starts closed and "Disconnected".
    void setTransport(MainHidInterFace *transport);
    // Orderly shutdown: closes the link if it is open and stops looking for the device.
    void shutdown();

    // How long an arrival or removal of the display device waits before it is acted on, so the
    // device has settled. The wait blocks the calling thread.
    static constexpr int kSettleMs = 300;
    // While the device refuses reports it is looked for once a kRetryMs, without a log record.
    // Found, it is opened again after a wait that starts at kRetryMs and doubles with each
    // refusal up to kRetryCapMs: a display that stays stuck costs two tries a minute, and one
    // that recovers by itself shows figures again within half a minute. Found missing, the wait
    // starts afresh, so a device that vanished silently is opened again at the first look after
    // its return; an arrival or a report taken ends the refusal.
    static constexpr int kRetryMs = 1000;
    static constexpr int kRetryCapMs = 30000;
    // The wait after one more refusal, given the wait before it (0: none yet).
    static int nextRetryDelay(int delayMs);
    // The wait, after the device last refused a report, before it is opened again; 0 when no
    // refusal is being waited out or the device was found missing since.
    int retryDelayMs() const { return retryDelay; }

signals:
    void sigHidDeviceConnectChanging_Into(QString hidPath);
    void sigHidDeviceConnectChanging_Remove(QString hidPath);
    // The text for the link's status label: "Connected" or "Disconnected".
    void sigHidStatusText(const QString &text);

public slots:
    // A device came or went: acted on only for the display device, and only when it changes
    // the link (an arrival while closed, the removal of the open device while open).
    void onDeviceChange(DeviceChangeKind kind, const QString &path);
    void onHidDeviceConnectChanging_Into(QString hidPath);
    void onHidDeviceConnectChanging_Remove(QString hidPath);
    void onOpenHidSuccessful();
    // The open device refused a report: close, and open it again later.
    void onDeviceLost();
    // The open device took a report: a refusal is over.
    void onReportsTaken();

private:
    void lookAgain();
    void waitOutRefusal();
    void endRefusal();

    bool linkOpen = false;
    MainHidInterFace *transport = nullptr;
    QTimer retry;
    bool refusing = false;
    int retryDelay = 0;
    int ticksToRetry = 0;
};
