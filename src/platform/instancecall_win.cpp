#include "instancecall.h"

#include <QWinEventNotifier>

#include <string>

#include <windows.h>

namespace {

// "Local\": the event belongs to the user's session, as the single-instance segment does.
std::wstring eventName(const QString &key)
{
    return (QStringLiteral("Local\\") + key + QStringLiteral(".show")).toStdWString();
}

} // namespace

// A named event the running copy waits on; a later start sets it.
struct InstanceCallListener::Channel {
    explicit Channel(HANDLE event)
        : event(event)
        , notifier(event)
    {
    }
    ~Channel() { CloseHandle(event); }
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;
    const HANDLE event;
    QWinEventNotifier notifier;
};

InstanceCallListener::InstanceCallListener(const QString &instanceKey, QObject *parent)
    : QObject(parent)
    , key(instanceKey)
{
}

InstanceCallListener::~InstanceCallListener() = default;

bool InstanceCallListener::listen()
{
    // Auto-reset: every request wakes the notifier once.
    const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, eventName(key).c_str());
    if (!event) {
        failure = QStringLiteral("CreateEvent failed (%1)").arg(GetLastError());
        return false;
    }
    channel = std::make_unique<Channel>(event);
    connect(&channel->notifier, &QWinEventNotifier::activated, this, &InstanceCallListener::sigShowRequested);
    return true;
}

bool askRunningCopyToShow(const QString &key)
{
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName(key).c_str());
    if (!event)
        return false;
    const bool set = SetEvent(event) != 0;
    CloseHandle(event);
    return set;
}
