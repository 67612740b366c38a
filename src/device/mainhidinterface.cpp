#include "device/mainhidinterface.h"

#include "device/displayids.h"

#include <hidapi.h>

#include <QDebug>

MainHidInterFace::MainHidInterFace(QObject *parent)
    : QThread(parent)
{
    hid_init();
}

MainHidInterFace::~MainHidInterFace()
{
    qDebug().noquote() << "________________________ MainHidInterFace::~MainHidInterFace() ........";
    // The writer thread must be gone before the object it runs on is.
    hidApi_Close();
}

QString MainHidInterFace::findDisplayPath()
{
    hid_device_info *devices = hid_enumerate(0, 0);
    QString path;
    for (const hid_device_info *info = devices; info; info = info->next) {
        if (info->vendor_id == kDisplayVendorId && info->product_id == kDisplayProductId) {
            path = QString::fromLatin1(info->path);
            break;
        }
    }
    hid_free_enumeration(devices);
    return path;
}

void MainHidInterFace::getuUsbHidDeviceList()
{
    const QString path = findDisplayPath();
    if (path.isEmpty())
        return;
    qDebug() << "-------------------------- ************** strHidPath:" << path;
    strHidPath = path;
    if (hidApi_Open() == 0)
        emit sigOpenHidSuccessful();
}

int MainHidInterFace::hidApi_Open()
{
    return open(true);
}

int MainHidInterFace::hidApi_Reopen(const QString &path)
{
    strHidPath = path;
    return open(false);
}

int MainHidInterFace::open(bool logged)
{
    // A handle still open would otherwise be overwritten and leak.
    hidApi_Close();
    hid_device *handle = hid_open_path(strHidPath.toLatin1().constData());
    if (!handle) {
        if (logged)
            qDebug().noquote() << "Unable to open device\n";
        deviceOpen = false;
        return -1;
    }
    if (logged)
        qDebug().noquote() << "\nOpen device success\n";
    ++openings;
    deviceHandle = handle;
    deviceOpen = true;
    hid_set_nonblocking(handle, 1);
    return 0;
}

int MainHidInterFace::hidApi_Write(const unsigned char *report)
{
    {
        // Checked under the lock a close takes: a report queued by another thread as the link
        // closes would otherwise wait in the queue and reach the next opening first.
        std::lock_guard<std::mutex> lock(queueLock);
        if (!deviceOpen)
            return -1;
        sendQueue.push(report);
    }
    // Told after the lock is released: a writer woken under it would only block on it again.
    queueChanged.notify_one();
    return 0;
}

int MainHidInterFace::hidApi_Close()
{
    if (!deviceOpen)
        return 0;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        deviceOpen = false;
        queueChanged.notify_all();
    }
    // The handle is closed only after the writer has left hid_write and ended.
    if (QThread::currentThread() != this) {
        wait();
        // Taken once more after the writer's last release, so its last touches are ordered
        // before what follows in a way ThreadSanitizer can see, too.
        std::lock_guard<std::mutex> lock(queueLock);
    }
    hid_close(deviceHandle.exchange(nullptr));
    hid_exit();
    return 0;
}

void MainHidInterFace::run()
{
    const std::uint64_t opening = openings;
    bool tookOne = false;
    std::unique_lock<std::mutex> lock(queueLock);
    while (deviceOpen) {
        if (sendQueue.empty() || !deviceHandle) {
            queueChanged.wait(lock);
            continue;
        }
        const ReportQueue::Report report = sendQueue.pop();
        lock.unlock();
        reportTaken();
        hid_device *handle = deviceHandle;
        // A report taken as the link closes is dropped: it belongs to no opening any more.
        const bool dropped = !deviceOpen || !handle;
        const int written = dropped ? 0 : hid_write(handle, report.data(), report.size());
        lock.lock();
        if (written < 0) {
            // Writing on would only lose every later report too; the owner closes and looks again.
            notifyOwner(opening, &MainHidInterFace::sigDeviceLost);
            return;
        }
        if (!dropped && !tookOne) {
            tookOne = true;
            notifyOwner(opening, &MainHidInterFace::sigReportsTaken);
        }
    }
}

void MainHidInterFace::notifyOwner(std::uint64_t opening, void (MainHidInterFace::*signal)())
{
    QMetaObject::invokeMethod(
        this,
        [this, opening, signal] {
            if (deviceOpen && openings == opening)
                emit(this->*signal)();
        },
        Qt::QueuedConnection);
}
