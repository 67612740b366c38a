#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the operating system's request to end the program (logout, shutdown, kill, Ctrl+C) into a
// Qt signal on the thread that owns the watch. Where the system has no such request (Windows, whose
// session end reaches the window directly) the watch never fires.
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

signals:
    // signalNumber: the system's number of the request (SIGTERM, SIGINT or SIGHUP on Linux).
    void sigSessionEnding(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
