#include "mainwindow/dmainwidget.h"

// The device watch lives in HotplugWatch and the link decisions in DeviceLinkController; the
// window registers the watch and forwards its own signals and slots.

void DMainWidget::registerDevice()
{
    hotplug.registerDevice(winId());
    connect(&hotplug, &HotplugWatch::deviceChanged, &deviceLink, &DeviceLinkController::onDeviceChange);
    connect(&deviceLink, &DeviceLinkController::sigHidDeviceConnectChanging_Into, this,
            &DMainWidget::sigHidDeviceConnectChanging_Into);
    connect(&deviceLink, &DeviceLinkController::sigHidDeviceConnectChanging_Remove, this,
            &DMainWidget::sigHidDeviceConnectChanging_Remove);
    connect(&deviceLink, &DeviceLinkController::sigHidStatusText, ui->label_HidStatus, &QLabel::setText);
}

bool DMainWidget::nativeEvent(const QByteArray &eventType, void *message, long *)
{
    // Every message also goes on to the default handling.
    hotplug.nativeEvent(eventType, message);
    return false;
}

void DMainWidget::onHidDeviceConnectChanging_Into(QString hidPath)
{
    deviceLink.onHidDeviceConnectChanging_Into(hidPath);
}

void DMainWidget::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    deviceLink.onHidDeviceConnectChanging_Remove(hidPath);
}

void DMainWidget::onOpenHidSuccessful()
{
    deviceLink.onOpenHidSuccessful();
}
