#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

// NOLINTBEGIN(bugprone-reserved-identifier): umockdev's own type, declared here to keep its headers outs
typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
// NOLINTEND(bugprone-reserved-identifier)

// An emulated machine with the display device (5131:2007 behind /dev/hidraw0) that can be plugged
// in and pulled out, another HID device (a mouse behind /dev/hidraw1) and a second display
// (behind /dev/hidraw2, listed but without a node). Every report written to the display is kept,
// and the time of every write it refused. The device's handlers run on umockdev's own thread, so
// the state they share with the test is guarded here and holds no Qt objects.
class EmulatedDisplay
{
public:
    using Report = std::array<unsigned char, 65>;

    EmulatedDisplay();
    ~EmulatedDisplay();
    EmulatedDisplay(const EmulatedDisplay &) = delete;
    EmulatedDisplay &operator=(const EmulatedDisplay &) = delete;

    // withNode false: the device is listed but its node is missing, so opening it fails.
    void plug(bool withNode = true);
    void unplug();
    void plugOther();
    void unplugOther();
    void plugSecondDisplay();
    void unplugSecondDisplay();
    // Sends one more uevent for the display's hidraw device, which must be present.
    void announce(const char *action);

    QString hidrawSyspath() const;
    // The emulated machine itself, for adding other devices to it.
    UMockdevTestbed *machine() const { return testbed; }
    // A report with start mark 0x40 that tells itself apart by n.
    static Report numberedReport(int n);

    std::vector<Report> reports() const;
    std::size_t reportCount() const;
    // While set, every write fails with ENODEV, as on a device that is gone.
    void failWrites(bool fail);
    // When each write failed while failWrites was set, oldest first.
    std::vector<std::chrono::steady_clock::time_point> refusedWrites() const;
    // While held, a write waits in the device until released.
    void holdWrites(bool hold);
    // Blocks until a write is waiting in the device.
    void waitForHeldWrite();
    // The same with a limit, for a writer in another process that may never come: false on timeout.
    bool waitForHeldWrite(std::chrono::milliseconds timeout);

    struct UsbHid {
        QString usb, intf, hid, hidraw;
    };

    struct Shared {
        mutable std::mutex lock;
        std::condition_variable changed;
        std::vector<Report> reports;
        std::vector<std::chrono::steady_clock::time_point> refused;
        bool fail = false;
        bool hold = false;
        int waiting = 0;
    };

private:
    UMockdevTestbed *testbed = nullptr;
    UMockdevIoctlBase *handler = nullptr;
    Shared shared;
    QString root;
    UsbHid display;
    UsbHid other;
    UsbHid secondDisplay;
};

// Collects the program's debug records while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    int count(const QString &line) const;
    void clear();
};
