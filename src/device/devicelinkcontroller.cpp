#include "device/devicelinkcontroller.h"

#include "device/mainhidinterface.h"

#include <QDebug>
#include <QThread>

#include <algorithm>

DeviceLinkController::DeviceLinkController(QObject *parent)
    : QObject(parent)
{
    retry.setInterval(kRetryMs);
    // The waits are counted in ticks; a coarse timer could make them a little short.
    retry.setTimerType(Qt::PreciseTimer);
    connect(&retry, &QTimer::timeout, this, &DeviceLinkController::lookAgain);
}

int DeviceLinkController::nextRetryDelay(int delayMs)
{
    return delayMs <= 0 ? kRetryMs : std::min(delayMs * 2, kRetryCapMs);
}

void DeviceLinkController::setTransport(MainHidInterFace *newTransport)
{
    if (transport)
        disconnect(transport, nullptr, this, nullptr);
    endRefusal();
    transport = newTransport;
    linkOpen = false;
    emit sigHidStatusText(QStringLiteral("Disconnected"));
    if (transport) {
        connect(transport, &MainHidInterFace::sigDeviceLost, this, &DeviceLinkController::onDeviceLost);
        connect(transport, &MainHidInterFace::sigReportsTaken, this, &DeviceLinkController::onReportsTaken);
    }
}

void DeviceLinkController::shutdown()
{
    endRefusal();
    if (linkOpen) {
        linkOpen = false;
        if (transport)
            transport->hidApi_Close();
    }
}

void DeviceLinkController::onDeviceChange(DeviceChangeKind kind, const QString &path)
{
    if (!isDisplayDevicePath(path))
        return;
    if (kind == DeviceChangeKind::Arrival) {
        // Also while a retry is open on the device: should it refuse again, its wait starts afresh.
        retryDelay = 0;
        ticksToRetry = 0;
    }
    if (kind == DeviceChangeKind::Arrival && !linkOpen) {
        QThread::msleep(kSettleMs);
        emit sigHidDeviceConnectChanging_Into(path);
    } else if (kind == DeviceChangeKind::Removal && linkOpen && transport
               && namesOpenedDevice(path, transport->hidPath())) {
        QThread::msleep(kSettleMs);
        emit sigHidDeviceConnectChanging_Remove(path);
    }
}

void DeviceLinkController::onHidDeviceConnectChanging_Into(QString hidPath)
{
    qDebug() << "Insert a new device --------------- hidPath:" << hidPath;
    if (!transport)
        return;
    linkOpen = false;
    transport->getuUsbHidDeviceList();
}

void DeviceLinkController::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    qDebug() << "Pull out a device --------------- hidPath:" << hidPath;
    if (!transport)
        return;
    // Gone, and its return will be announced.
    endRefusal();
    emit sigHidStatusText(QStringLiteral("Disconnected"));
    linkOpen = false;
    transport->hidApi_Close();
    transport->quit();
}

void DeviceLinkController::onOpenHidSuccessful()
{
    qDebug().noquote() << "onOpenHidSuccessful -----------------------";
    endRefusal();
    emit sigHidStatusText(QStringLiteral("Connected"));
    linkOpen = true;
    if (transport)
        transport->start(QThread::InheritPriority);
}

void DeviceLinkController::onDeviceLost()
{
    if (!transport || !linkOpen)
        return;
    // Said once for the whole refusal: the quiet retries neither log nor touch the status.
    if (!refusing) {
        refusing = true;
        qDebug() << "Device refuses reports --------------- hidPath:" << transport->hidPath();
        emit sigHidStatusText(QStringLiteral("Disconnected"));
    }
    linkOpen = false;
    transport->hidApi_Close();
    waitOutRefusal();
}

void DeviceLinkController::onReportsTaken()
{
    if (!refusing || !transport || !linkOpen)
        return;
    qDebug() << "Device takes reports again --------------- hidPath:" << transport->hidPath();
    endRefusal();
    emit sigHidStatusText(QStringLiteral("Connected"));
}

void DeviceLinkController::waitOutRefusal()
{
    retryDelay = nextRetryDelay(retryDelay);
    ticksToRetry = retryDelay / kRetryMs;
    // Restarted, so the ticks count from this refusal.
    retry.start();
}

void DeviceLinkController::endRefusal()
{
    refusing = false;
    retryDelay = 0;
    ticksToRetry = 0;
    retry.stop();
}

void DeviceLinkController::lookAgain()
{
    if (!refusing || !transport) {
        endRefusal();
        return;
    }
    // A retry is open: its first report tells whether the device takes reports again.
    if (linkOpen)
        return;
    const QString path = MainHidInterFace::findDisplayPath();
    if (path.isEmpty()) {
        retryDelay = 0;
        ticksToRetry = 0;
        return;
    }
    if (--ticksToRetry > 0)
        return;
    if (transport->hidApi_Reopen(path) != 0) {
        waitOutRefusal();
        return;
    }
    linkOpen = true;
    transport->start(QThread::InheritPriority);
}
