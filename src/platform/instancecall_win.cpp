#include "instancecall.h"

#include <string>

#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"KestrunInstanceCallWindow";

// Registered once per session under this name, so both copies agree on its number.
UINT showMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Kestrun.ShowYourWindow");
    return message;
}

// Message-only windows belong to the desktop of the user's session, as the single-instance
// segment does; the window's title tells the copies of one key from those of another.
std::wstring windowTitle(const QString &key)
{
    return (key + QStringLiteral(".show")).toStdWString();
}

LRESULT CALLBACK callWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message != 0 && message == showMessage()) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
        if (auto *listener = reinterpret_cast<InstanceCallListener *>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            emit listener->sigShowRequested();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

// A message-only window of the GUI thread: a later start posts to it and the event loop delivers
// the call there, with no thread waiting for it.
struct InstanceCallListener::Channel {
    explicit Channel(HWND window)
        : window(window)
    {
    }
    ~Channel() { DestroyWindow(window); }
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;
    const HWND window;
};

InstanceCallListener::InstanceCallListener(const QString &instanceKey, QObject *parent)
    : QObject(parent)
    , key(instanceKey)
{
}

InstanceCallListener::~InstanceCallListener() = default;

bool InstanceCallListener::listen()
{
    if (showMessage() == 0) {
        failure = QStringLiteral("RegisterWindowMessage failed (%1)").arg(GetLastError());
        return false;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = callWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second listener of the process finds the class registered already.
    RegisterClassExW(&windowClass);
    const HWND window = CreateWindowExW(0, kWindowClass, windowTitle(key).c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        instance, this);
    if (!window) {
        failure = QStringLiteral("CreateWindowEx failed (%1)").arg(GetLastError());
        return false;
    }
    // The copy the logon task starts runs elevated; a later start by hand does not, and Windows
    // drops its messages to a more privileged window unless the window lets this one through.
    ChangeWindowMessageFilterEx(window, showMessage(), MSGFLT_ALLOW, nullptr);
    channel = std::make_unique<Channel>(window);
    return true;
}

bool askRunningCopyToShow(const QString &key)
{
    const UINT message = showMessage();
    if (message == 0)
        return false;
    const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, windowTitle(key).c_str());
    if (!window)
        return false;
    // Windows lets only the program in front bring a window forward: this start hands that on.
    DWORD owner = 0;
    if (GetWindowThreadProcessId(window, &owner))
        AllowSetForegroundWindow(owner);
    return PostMessageW(window, message, 0, 0) != 0;
}
