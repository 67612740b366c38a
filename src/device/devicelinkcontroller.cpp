#include "device/devicelinkcontroller.h"

#include "device/mainhidinterface.h"

#include <QDebug>
#include <QThread>

DeviceLinkController::DeviceLinkController(bool &linkOpen, QObject *parent)
    : QObject(parent)
    , linkOpen(linkOpen)
{
    retry.setInterval(kRetryMs);
    connect(&retry, &QTimer::timeout, this, &DeviceLinkController::lookAgain);
}

void DeviceLinkController::setTransport(MainHidInterFace *newTransport)
{
    if (transport)
        disconnect(transport, nullptr, this, nullptr);
    transport = newTransport;
    linkOpen = false;
    emit sigHidStatusText(QStringLiteral("Disconnected"));
    if (transport)
        connect(transport, &MainHidInterFace::sigDeviceLost, this, &DeviceLinkController::onDeviceLost);
}

void DeviceLinkController::shutdown()
{
    retry.stop();
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
    emit sigHidStatusText(QStringLiteral("Disconnected"));
    linkOpen = false;
    transport->hidApi_Close();
    transport->quit();
}

void DeviceLinkController::onOpenHidSuccessful()
{
    qDebug().noquote() << "onOpenHidSuccessful -----------------------";
    retry.stop();
    emit sigHidStatusText(QStringLiteral("Connected"));
    linkOpen = true;
    if (transport)
        transport->start(QThread::InheritPriority);
}

void DeviceLinkController::onDeviceLost()
{
    if (!transport || !linkOpen)
        return;
    const QString path = transport->hidPath();
    qDebug() << "Device stopped taking reports --------------- hidPath:" << path;
    onHidDeviceConnectChanging_Remove(path);
    retry.start();
}

void DeviceLinkController::lookAgain()
{
    if (linkOpen || !transport) {
        retry.stop();
        return;
    }
    transport->getuUsbHidDeviceList();
}
