#include "sessionend.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"KestrunSessionEndWindow";

void emitRequest(SessionEndWatch *watch, UINT message)
{
    if (watch)
        emit watch->sigSessionEnding(int(message));
}

// The hidden window: top-level, because message-only windows receive neither the session's
// messages nor taskkill's (both go to the top-level windows), and never shown.
LRESULT CALLBACK sessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
    auto *watch = reinterpret_cast<SessionEndWatch *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            emitRequest(watch, message);
        return 0;
    case WM_CLOSE:
        // Not destroyed: the request is the watch's to pass on.
        emitRequest(watch, message);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

// The same requests reaching the toolkit's windows, and every close request from outside. The
// toolkit's own handling would end the program without its orderly end: it answers the session's
// question by closing all windows and quits its event loop at the session's end, and a close
// request to one of its windows (the main one, or a hidden one such as the tray's) quits the loop.
// A close request counts as one from outside (taskkill sends one to every top-level window of the
// process) when it is posted, sent from another thread, or names a hidden window, which the user
// cannot close; the main window's own close is the program's end too.
class SessionEndFilter : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(SessionEndWatch *owner)
        : watch(owner)
    {
    }

    HWND watched = nullptr;

    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override
    {
        if (!message)
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        // Posted messages as the event loop takes them from the queue, before they are dispatched.
        const bool posted = eventType == "windows_dispatcher_MSG";
        // Every message as a window procedure of the toolkit receives it.
        const bool received = eventType == "windows_generic_MSG";
        if (received && msg->message == WM_QUERYENDSESSION) {
            if (result)
                *result = TRUE;
            return true;
        }
        const bool fromOutside =
            posted || (received && (InSendMessageEx(nullptr) != ISMEX_NOSEND || !IsWindowVisible(msg->hwnd)));
        const bool request = msg->message == WM_CLOSE ? (fromOutside || (received && watched && msg->hwnd == watched))
                                                      : (received && msg->message == WM_ENDSESSION && msg->wParam);
        if (!request)
            return false;
        emitRequest(watch, msg->message);
        if (result)
            *result = 0;
        return true;
    }

private:
    SessionEndWatch *watch;
};

struct SessionEndWatch::Native {
    HWND window = nullptr;
    SessionEndFilter filter;

    explicit Native(SessionEndWatch *watch)
        : filter(watch)
    {
    }
};

SessionEndWatch::SessionEndWatch(QObject *parent)
    : QObject(parent)
    , native(std::make_unique<Native>(this))
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = sessionWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second watch finds the class registered already.
    RegisterClassExW(&windowClass);
    native->window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"Kestrun", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     instance, this);
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installNativeEventFilter(&native->filter);
}

SessionEndWatch::~SessionEndWatch()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeNativeEventFilter(&native->filter);
    if (native->window)
        DestroyWindow(native->window);
}

bool SessionEndWatch::isActive() const
{
    return native->window != nullptr;
}

void SessionEndWatch::watchWindow(WId window)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
    native->filter.watched = reinterpret_cast<HWND>(window);
}

void SessionEndWatch::deliverPending()
{
    if (!native->window)
        return;
    // Also takes the messages other programs sent meanwhile, which wait for a call like this one.
    MSG msg;
    while (PeekMessageW(&msg, native->window, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}
