#pragma once

#include <QObject>
#include <qwindowdefs.h>

#include <memory>

// Turns the operating system's request to end the program (logout, shutdown, kill, Ctrl+C) into a
// Qt signal on the thread that owns the watch. Linux: SIGTERM, SIGINT and SIGHUP. Windows: the end
// of the session (WM_ENDSESSION) and a close request from outside (WM_CLOSE, as taskkill sends
// it), to a hidden top-level window of the watch's own or to any window of the program, and a
// close request to the window given to watchWindow; the signal is emitted before the message is
// answered, since Windows may end the process as soon as the session-end message returns.
// One watch per process: it replaces the handlers of the signals it watches while it lives.
class SessionEndWatch : public QObject
{
    Q_OBJECT
public:
    explicit SessionEndWatch(QObject *parent = nullptr);
    ~SessionEndWatch() override;

    // True when the watch is armed.
    bool isActive() const;

    // Emits sigSessionEnding for each request received so far. The event loop does this by itself;
    // this is for a thread busy outside it, such as the start-up before the loop runs.
    void deliverPending();

    // Also takes a close request to this native window (the main window) as a request to end.
    // Where requests do not come through windows (Linux) it does nothing.
    void watchWindow(WId window);

signals:
    // signalNumber: the system's number of the request (SIGTERM, SIGINT or SIGHUP on Linux; the
    // message, WM_ENDSESSION or WM_CLOSE, on Windows).
    void sigSessionEnding(int signalNumber);

private:
    // What the system's side of the watch holds.
    struct Native;
    std::unique_ptr<Native> native;
};
