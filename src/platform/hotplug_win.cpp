#include "platform/hotplug.h"

#include <windows.h>
#include <dbt.h>

#include <QDebug>

#include <cstring>
#include <vector>

bool namesOpenedDevice(const QString &changeText, const QString &devicePath)
{
    return devicebroadcast::sameInterfacePath(changeText.toStdU16String(), devicePath.toStdU16String());
}

struct HotplugWatch::Watch {
    HWND window = nullptr;
    std::vector<HDEVNOTIFY> registrations;

    ~Watch()
    {
        for (HDEVNOTIFY registration : registrations)
            UnregisterDeviceNotification(registration);
    }
};

HotplugWatch::HotplugWatch(QObject *parent)
    : QObject(parent)
{
}

HotplugWatch::~HotplugWatch() = default;

void HotplugWatch::registerDevice(WId window)
{
    auto w = std::make_unique<Watch>();
    // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
    w->window = reinterpret_cast<HWND>(window);
    for (const devicebroadcast::Guid &classGuid : devicebroadcast::kWatchedClasses) {
        const auto bytes = devicebroadcast::interfaceFilter(classGuid);
        DEV_BROADCAST_DEVICEINTERFACE_W filter;
        static_assert(sizeof filter == bytes.size(), "filter record layout");
        std::memcpy(&filter, bytes.data(), bytes.size());
        HDEVNOTIFY registration = RegisterDeviceNotificationW(w->window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (registration)
            w->registrations.push_back(registration);
        else
            qDebug() << "Register device failed, GetLastError:" << static_cast<unsigned long>(GetLastError()) << "\n";
    }
    watch = std::move(w);
}

void HotplugWatch::nativeEvent(const QByteArray &eventType, void *message)
{
    if (!watch || eventType != "windows_generic_MSG" || !message)
        return;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message != devicebroadcast::kWmDeviceChange)
        return;
    const devicebroadcast::DeviceChange change =
        // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
        devicebroadcast::parseDeviceChange(msg->wParam, reinterpret_cast<const unsigned char *>(msg->lParam));
    if (change.kind != DeviceChangeKind::None)
        emit deviceChanged(change.kind, QString::fromStdU16String(change.path));
}
