#include "emulateddisplay.h"

#undef signals
#include <umockdev.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <memory>

namespace {
// A vendor-defined page with one 64-byte output report.
guint8 kReportDescriptor[] = {0x06, 0x00, 0xff, 0x09, 0x01, 0xa1, 0x01, 0x15, 0x00, 0x26, 0xff,
                              0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xc0};

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    if (umockdev_ioctl_client_get_request(client) != HIDIOCGRDESCSIZE)
        return FALSE;
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData *size = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
    int value = sizeof kReportDescriptor;
    umockdev_ioctl_data_update(size, 0, reinterpret_cast<guint8 *>(&value), sizeof value);
    umockdev_ioctl_data_unref(size);
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
}

gboolean onWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer data)
{
    auto *shared = static_cast<EmulatedDisplay::Shared *>(data);
    guint8 *bytes = nullptr;
    gint length = 0;
    umockdev_ioctl_data_retrieve(umockdev_ioctl_client_get_arg(client), &bytes, &length);
    // The bytes are a copy the caller owns.
    const std::unique_ptr<guint8, decltype(&g_free)> owned(bytes, &g_free);
    std::unique_lock<std::mutex> lock(shared->lock);
    ++shared->waiting;
    shared->changed.notify_all();
    shared->changed.wait(lock, [shared] { return !shared->hold; });
    --shared->waiting;
    if (shared->fail) {
        shared->refused.push_back(std::chrono::steady_clock::now());
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    EmulatedDisplay::Report report{};
    if (length == int(report.size())) {
        std::copy(bytes, bytes + length, report.begin());
        shared->reports.push_back(report);
    }
    umockdev_ioctl_client_complete(client, length, 0);
    return TRUE;
}

// Adding a device also announces it with an "add" uevent.
QString addDevice(UMockdevTestbed *tb, const char *subsystem, const char *name, const QString &parent,
                  std::initializer_list<const char *> attributes, std::initializer_list<const char *> properties)
{
    std::vector<gchar *> attrs;
    std::vector<gchar *> props;
    for (const char *v : attributes)
        attrs.push_back(g_strdup(v));
    for (const char *v : properties)
        props.push_back(g_strdup(v));
    attrs.push_back(nullptr);
    props.push_back(nullptr);
    const QByteArray parentPath = parent.toLocal8Bit();
    gchar *path = umockdev_testbed_add_devicev(tb, subsystem, name, parent.isEmpty() ? nullptr : parentPath.constData(),
                                               attrs.data(), props.data());
    for (gchar *v : attrs)
        g_free(v);
    for (gchar *v : props)
        g_free(v);
    QString result = QString::fromLocal8Bit(path);
    g_free(path);
    return result;
}

void removeDevice(UMockdevTestbed *tb, QString &syspath)
{
    if (!syspath.isEmpty())
        umockdev_testbed_remove_device(tb, syspath.toLocal8Bit().constData());
    syspath.clear();
}

struct UsbHidIdentity {
    const char *port;
    const char *vendor;
    const char *product;
    const char *manufacturer;
    const char *name;
    const char *hidraw;
    const char *hidInstance;
};

// A USB device with one HID interface and its hidraw node, as the kernel lays them out in sysfs.
EmulatedDisplay::UsbHid addUsbHid(UMockdevTestbed *tb, const UsbHidIdentity &id)
{
    EmulatedDisplay::UsbHid device;
    device.usb = addDevice(tb, "usb", id.port, QString(),
                           {"idVendor", id.vendor, "idProduct", id.product, "manufacturer", id.manufacturer, "product",
                            id.name, "bcdDevice", "0100"},
                           {"DEVTYPE", "usb_device"});
    const QByteArray intfName = QByteArray(id.port) + ":1.0";
    device.intf = addDevice(tb, "usb", intfName.constData(), device.usb, {"bInterfaceNumber", "00"},
                            {"DEVTYPE", "usb_interface"});
    const QByteArray vendor = QByteArray(id.vendor).toUpper();
    const QByteArray product = QByteArray(id.product).toUpper();
    const QByteArray hidName = "0003:" + vendor + ":" + product + "." + id.hidInstance;
    const QByteArray hidId = "0003:0000" + vendor + ":0000" + product;
    const QByteArray fullName = QByteArray(id.manufacturer) + " " + id.name;
    device.hid = addDevice(tb, "hid", hidName.constData(), device.intf, {},
                           {"HID_ID", hidId.constData(), "HID_NAME", fullName.constData(), "HID_UNIQ", ""});
    umockdev_testbed_set_attribute_binary(tb, device.hid.toLocal8Bit().constData(), "report_descriptor",
                                          kReportDescriptor, sizeof kReportDescriptor);
    const QByteArray node = QByteArray("/dev/") + id.hidraw;
    device.hidraw = addDevice(tb, "hidraw", id.hidraw, device.hid, {}, {"DEVNAME", node.constData()});
    return device;
}

// Announces the removal first: once the sysfs entries are gone there is nothing left to announce.
void removeUsbHid(UMockdevTestbed *tb, EmulatedDisplay::UsbHid &device)
{
    umockdev_testbed_uevent(tb, device.hidraw.toLocal8Bit().constData(), "remove");
    for (QString *syspath : {&device.hidraw, &device.hid, &device.intf, &device.usb})
        removeDevice(tb, *syspath);
}

QMutex logLock;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        return;
    QMutexLocker lock(&logLock);
    logLines << message;
}
} // namespace

EmulatedDisplay::EmulatedDisplay()
{
    // The testbed's device nodes may become the controlling terminal; losing it must not end the test.
    std::signal(SIGHUP, SIG_IGN);
    testbed = umockdev_testbed_new();
    gchar *dir = umockdev_testbed_get_root_dir(testbed);
    root = QString::fromLocal8Bit(dir);
    g_free(dir);
    handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(onIoctl), nullptr);
    g_signal_connect(handler, "handle-write", G_CALLBACK(onWrite), &shared);
    GError *error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed, "/dev/hidraw0", handler, &error))
        qFatal("cannot attach the display's handler: %s", error->message);
}

EmulatedDisplay::~EmulatedDisplay()
{
    {
        std::lock_guard<std::mutex> lock(shared.lock);
        shared.hold = false;
        shared.changed.notify_all();
    }
    g_object_unref(testbed);
    g_object_unref(handler);
}

void EmulatedDisplay::plug(bool withNode)
{
    // The node is in place before the hidraw device announces itself.
    QDir().mkpath(root + "/dev");
    QFile node(root + "/dev/hidraw0");
    if (withNode)
        node.open(QIODevice::WriteOnly);
    else
        node.remove();
    display = addUsbHid(testbed, {"1-1", "5131", "2007", "Kestrun Devices", "Display", "hidraw0", "0001"});
}

void EmulatedDisplay::unplug()
{
    removeUsbHid(testbed, display);
    QFile::remove(root + "/dev/hidraw0");
}

void EmulatedDisplay::plugOther()
{
    other = addUsbHid(testbed, {"1-2", "046d", "c52b", "Other", "Mouse", "hidraw1", "0002"});
}

void EmulatedDisplay::unplugOther()
{
    removeUsbHid(testbed, other);
}

void EmulatedDisplay::plugSecondDisplay()
{
    secondDisplay = addUsbHid(testbed, {"1-3", "5131", "2007", "Kestrun Devices", "Display", "hidraw2", "0003"});
}

void EmulatedDisplay::unplugSecondDisplay()
{
    removeUsbHid(testbed, secondDisplay);
}

void EmulatedDisplay::announce(const char *action)
{
    umockdev_testbed_uevent(testbed, display.hidraw.toLocal8Bit().constData(), action);
}

QString EmulatedDisplay::hidrawSyspath() const
{
    return display.hidraw;
}

EmulatedDisplay::Report EmulatedDisplay::numberedReport(int n)
{
    Report report{};
    report[1] = 0x40;
    report[2] = static_cast<unsigned char>(n);
    report[64] = static_cast<unsigned char>(0xA0 + n);
    return report;
}

std::vector<EmulatedDisplay::Report> EmulatedDisplay::reports() const
{
    std::lock_guard<std::mutex> lock(shared.lock);
    return shared.reports;
}

std::size_t EmulatedDisplay::reportCount() const
{
    std::lock_guard<std::mutex> lock(shared.lock);
    return shared.reports.size();
}

void EmulatedDisplay::failWrites(bool fail)
{
    std::lock_guard<std::mutex> lock(shared.lock);
    shared.fail = fail;
}

std::vector<std::chrono::steady_clock::time_point> EmulatedDisplay::refusedWrites() const
{
    std::lock_guard<std::mutex> lock(shared.lock);
    return shared.refused;
}

void EmulatedDisplay::holdWrites(bool hold)
{
    std::lock_guard<std::mutex> lock(shared.lock);
    shared.hold = hold;
    shared.changed.notify_all();
}

void EmulatedDisplay::waitForHeldWrite()
{
    std::unique_lock<std::mutex> lock(shared.lock);
    shared.changed.wait(lock, [this] { return shared.waiting > 0; });
}

bool EmulatedDisplay::waitForHeldWrite(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(shared.lock);
    return shared.changed.wait_for(lock, timeout, [this] { return shared.waiting > 0; });
}

LogCapture::LogCapture()
{
    clear();
    previousHandler = qInstallMessageHandler(collect);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previousHandler);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&logLock);
    return logLines;
}

int LogCapture::count(const QString &line) const
{
    return lines().count(line);
}

void LogCapture::clear()
{
    QMutexLocker lock(&logLock);
    logLines.clear();
}
