#pragma once

#include "device/reportqueue.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

struct hid_device_;

// The only path to the display device: finds it among the HID devices, opens it and writes the
// queued reports on its own writer thread (run()), one report per pass, in queue order.
class MainHidInterFace : public QThread
{
    Q_OBJECT
public:
    explicit MainHidInterFace(QObject *parent = nullptr);
    ~MainHidInterFace() override;

    // The path of the first HID device 5131:2007 listed, or empty; nothing is logged.
    static QString findDisplayPath();
    // Finds the first HID device 5131:2007, opens it and emits sigOpenHidSuccessful on success.
    void getuUsbHidDeviceList();
    // Opens the device at the stored path: 0 on success, -1 on failure.
    int hidApi_Open();
    // Opens the device at path as hidApi_Open does, but without a log record and without
    // sigOpenHidSuccessful: the quiet retries of a device that refuses reports.
    int hidApi_Reopen(const QString &path);
    // Queues a copy of the 65-byte report: -1 (nothing queued) while closed, else 0. Any thread
    // may queue.
    int hidApi_Write(const unsigned char *report);
    // Stops the writer thread, then closes the device; always 0, a second call does nothing.
    int hidApi_Close();

    // Path of the device last found, as hidapi reports it.
    QString hidPath() const { return strHidPath; }
    // The device is open; the writer runs while it is.
    bool isOpen() const { return deviceOpen; }

signals:
    void sigOpenHidSuccessful();
    // The open device refused a write (it is gone without a removal notice, or it stays and
    // refuses). Delivered on the thread that owns the transport, only while that same opening
    // is still open.
    void sigDeviceLost();
    // The open device took the first report of this opening. Delivered as sigDeviceLost is.
    void sigReportsTaken();

protected:
    void run() override;
    // Called on the writer thread after a report has been taken from the queue and before it is
    // decided whether to write it. The link may close in between; a test holds the writer here
    // to close the link at that moment.
    virtual void reportTaken() {}

private:
    int open(bool logged);
    // Emits signal on the owner's thread if this opening is still the open one by then.
    void notifyOwner(std::uint64_t opening, void (MainHidInterFace::*signal)());

    QString strHidPath;
    std::atomic<hid_device_ *> deviceHandle{nullptr};
    std::atomic<bool> deviceOpen{false};
    // Standard locks rather than QMutex: their hand-overs are visible to ThreadSanitizer.
    std::mutex queueLock;
    std::condition_variable queueChanged; // a report was queued or the link closed
    ReportQueue sendQueue;
    std::atomic<std::uint64_t> openings{0}; // counts successful opens, to tell a stale loss apart
};
