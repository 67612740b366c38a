#pragma once

#include "platform/devicebroadcast.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <qwindowdefs.h>

#include <memory>

using devicebroadcast::DeviceChangeKind;
Q_DECLARE_METATYPE(DeviceChangeKind)

// True when the text of a device change names the device hidapi opened at devicePath, so that
// the removal of another display of the same kind leaves the open one alone. Linux: one of the
// text's blank-separated parts is that device node. Windows: the text is that interface path,
// in any case.
bool namesOpenedDevice(const QString &changeText, const QString &devicePath);

// Watches devices come and go and reports each arrival and removal with the text that names the
// device. Windows: device-interface notifications to the given window, fed in through
// nativeEvent. Linux: a udev monitor on hidraw devices, read on the thread that registered.
class HotplugWatch : public QObject
{
    Q_OBJECT
public:
    explicit HotplugWatch(QObject *parent = nullptr);
    ~HotplugWatch() override;

    // Starts watching; window is the native window that receives the notifications on Windows.
    void registerDevice(WId window);
    // Hands over one native message of that window; where changes arrive otherwise it does nothing.
    void nativeEvent(const QByteArray &eventType, void *message);

signals:
    void deviceChanged(DeviceChangeKind kind, const QString &path);

private:
    struct Watch;
    std::unique_ptr<Watch> watch;
};
