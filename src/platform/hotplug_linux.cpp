#include "platform/hotplug.h"

#include <libudev.h>

#include <QDebug>
#include <QSocketNotifier>
#include <QStringList>

#include <cerrno>

namespace {
struct UdevUnref {
    void operator()(udev *u) const { udev_unref(u); }
    void operator()(udev_monitor *m) const { udev_monitor_unref(m); }
    void operator()(udev_device *d) const { udev_device_unref(d); }
};

// The device node, the syspath and the hid parent's HID_ID of one event, joined by blanks. On
// removal the parent may be gone already; then the event's own texts are all there is.
QString deviceText(udev_device *device)
{
    QStringList parts;
    for (const char *text : {udev_device_get_devnode(device), udev_device_get_syspath(device)}) {
        if (text)
            parts << QString::fromLocal8Bit(text);
    }
    if (udev_device *hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr)) {
        if (const char *id = udev_device_get_property_value(hid, "HID_ID"))
            parts << QString::fromLocal8Bit(id);
    }
    return parts.join(QLatin1Char(' '));
}
} // namespace

bool namesOpenedDevice(const QString &changeText, const QString &devicePath)
{
    return !devicePath.isEmpty() && changeText.split(QLatin1Char(' ')).contains(devicePath);
}

struct HotplugWatch::Watch {
    std::unique_ptr<udev, UdevUnref> context;
    std::unique_ptr<udev_monitor, UdevUnref> monitor;
    std::unique_ptr<QSocketNotifier> notifier;
};

HotplugWatch::HotplugWatch(QObject *parent)
    : QObject(parent)
{
}

HotplugWatch::~HotplugWatch() = default;

void HotplugWatch::registerDevice(WId)
{
    auto w = std::make_unique<Watch>();
    w->context.reset(udev_new());
    if (w->context)
        w->monitor.reset(udev_monitor_new_from_netlink(w->context.get(), "udev"));
    if (!w->monitor || udev_monitor_filter_add_match_subsystem_devtype(w->monitor.get(), "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(w->monitor.get()) < 0) {
        const int error = errno;
        qDebug() << "Register device failed, errno:" << error << "\n";
        return;
    }
    udev_monitor *monitor = w->monitor.get();
    w->notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor), QSocketNotifier::Read);
    // One event per wake-up: the notifier fires again while more are waiting.
    connect(w->notifier.get(), &QSocketNotifier::activated, this, [this, monitor] {
        const std::unique_ptr<udev_device, UdevUnref> device(udev_monitor_receive_device(monitor));
        if (!device)
            return;
        const char *action = udev_device_get_action(device.get());
        const QByteArray what = action ? QByteArray(action) : QByteArray();
        if (what == "add")
            emit deviceChanged(DeviceChangeKind::Arrival, deviceText(device.get()));
        else if (what == "remove")
            emit deviceChanged(DeviceChangeKind::Removal, deviceText(device.get()));
    });
    watch = std::move(w);
}

void HotplugWatch::nativeEvent(const QByteArray &, void *) {}
