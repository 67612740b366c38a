#pragma once

#include "platform/hotplug.h"

#include <QObject>
#include <QString>
#include <QTimer>

class MainHidInterFace;

// Keeps the link to the display device in step with the device: reopens it when the device
// arrives, closes it when the device leaves or stops taking reports, and says which it is.
// The window owns one, hands it its linkOpen flag, and forwards its own hot-plug signals and
// slots here; the controller itself holds no window.
class DeviceLinkController : public QObject
{
    Q_OBJECT
public:
    // linkOpen: the owner's flag that tells whether reports are to be sent; it must outlive
    // the controller. The controller is the only one to set it true.
    explicit DeviceLinkController(bool &linkOpen, QObject *parent = nullptr);

    // The transport to drive; not owned. Starts closed and "Disconnected".
    void setTransport(MainHidInterFace *transport);
    // Orderly shutdown: closes the link if it is open and stops looking for the device.
    void shutdown();

    // How long an arrival or removal of the display device waits before it is acted on, so the
    // device has settled. The wait blocks the calling thread.
    static constexpr int kSettleMs = 300;
    // After the device stopped taking reports, how often it is looked for again.
    static constexpr int kRetryMs = 1000;

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
    // Writes fail on the open device: close as a removal would and look for it again.
    void onDeviceLost();

private:
    void lookAgain();

    bool &linkOpen;
    MainHidInterFace *transport = nullptr;
    QTimer retry;
};
