#include "mainwindow/dmainwidget.h"

// The device watch and the link live in the data path; the window hands it its native window and
// messages and forwards its own signals and slots.

void DMainWidget::registerDevice()
{
    feed.registerDevice(winId());
    connect(&feed, &DDataPath::sigHidDeviceConnectChanging_Into, this, &DMainWidget::sigHidDeviceConnectChanging_Into);
    connect(&feed, &DDataPath::sigHidDeviceConnectChanging_Remove, this,
            &DMainWidget::sigHidDeviceConnectChanging_Remove);
    connect(&feed, &DDataPath::sigHidStatusText, ui->label_HidStatus, &QLabel::setText);
}

bool DMainWidget::nativeEvent(const QByteArray &eventType, void *message, long *)
{
    // Every message also goes on to the default handling.
    feed.nativeEvent(eventType, message);
    return false;
}

void DMainWidget::onHidDeviceConnectChanging_Into(QString hidPath)
{
    feed.onHidDeviceConnectChanging_Into(hidPath);
}

void DMainWidget::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    feed.onHidDeviceConnectChanging_Remove(hidPath);
}

void DMainWidget::onOpenHidSuccessful()
{
    feed.onOpenHidSuccessful();
}
