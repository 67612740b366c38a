// The device-change watch on Windows: the registration record as the system headers lay it out,
// registration on a real window, and WM_DEVICECHANGE records built with the system's own types.
#include "device/displaydevice.h"
#include "platform/hotplug.h"

#include "testenv.h"

#include <QUuid>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <vector>

#include <windows.h>
#include <dbt.h>
// The class GUIDs are defined here, from the system's headers, to check the record against them.
#include <initguid.h>
#include <hidclass.h>
#include <usbiodef.h>
#include <winioctl.h>

namespace {

// A DEV_BROADCAST_DEVICEINTERFACE_W record with the name in place, as Windows hands it over.
std::vector<unsigned char> interfaceRecord(DWORD deviceType, const wchar_t *name,
                                           const GUID &classGuid = GUID_DEVINTERFACE_USB_DEVICE)
{
    const size_t nameBytes = (std::wcslen(name) + 1) * sizeof(wchar_t);
    std::vector<unsigned char> bytes(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + nameBytes);
    auto *record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(bytes.size());
    record->dbcc_devicetype = deviceType;
    record->dbcc_classguid = classGuid;
    std::memcpy(record->dbcc_name, name, nameBytes);
    return bytes;
}

const wchar_t kDisplayPath[] = L"\\\\?\\USB#VID_5131&PID_2007#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
// The display's HID interface as hidapi lists it, and as a notification may name it.
const char kOpenedHidPath[] = "\\\\?\\hid#vid_5131&pid_2007#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

} // namespace

class TestHotplugWin : public QObject
{
    Q_OBJECT
    HWND window = nullptr;

private slots:
    void initTestCase()
    {
        window = CreateWindowExW(0, L"STATIC", L"hotplug", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
        QVERIFY(window);
    }

    void cleanupTestCase() { DestroyWindow(window); }

    void filterRecord_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("classGuid");
        QTest::newRow("usb device") << 0 << "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
        QTest::newRow("disk") << 1 << "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}";
        QTest::newRow("hid interface") << 2 << "{4D1E55B2-F16F-11CF-88CB-001111000030}";
    }

    void filterRecord()
    {
        QFETCH(int, index);
        QFETCH(QString, classGuid);
        const auto bytes = devicebroadcast::interfaceFilter(devicebroadcast::kWatchedClasses.at(index));
        DEV_BROADCAST_DEVICEINTERFACE_W filter;
        QCOMPARE(bytes.size(), sizeof filter);
        std::memcpy(&filter, bytes.data(), sizeof filter);
        QCOMPARE(filter.dbcc_size, DWORD(32));
        QCOMPARE(filter.dbcc_devicetype, DWORD(DBT_DEVTYP_DEVICEINTERFACE));
        QCOMPARE(filter.dbcc_reserved, DWORD(0));
        QCOMPARE(filter.dbcc_name[0], L'\0');
        const GUID expected[] = {GUID_DEVINTERFACE_USB_DEVICE, GUID_DEVINTERFACE_DISK, GUID_DEVINTERFACE_HID};
        QCOMPARE(devicebroadcast::kWatchedClasses.size(), std::size(expected));
        QVERIFY(IsEqualGUID(filter.dbcc_classguid, expected[index]));
        QCOMPARE(QUuid(filter.dbcc_classguid).toString().toUpper(), classGuid);
    }

    // Every class registers with a real window; a failure would be logged.
    void registration()
    {
        static QStringList messages;
        messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { messages << text; });
        {
            HotplugWatch watch;
            watch.registerDevice(reinterpret_cast<WId>(window));
        }
        qInstallMessageHandler(previous);
        QCOMPARE(messages, QStringList());
    }

    void deviceChange_data()
    {
        QTest::addColumn<uint>("message");
        QTest::addColumn<quintptr>("event");
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        const QString display = QString::fromWCharArray(kDisplayPath);
        const QString stick = "\\\\?\\USB#VID_0781&PID_5567#4C53#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
        const int none = int(DeviceChangeKind::None);
        const uint change = WM_DEVICECHANGE;
        QTest::newRow("display arrives") << change << quintptr(DBT_DEVICEARRIVAL) << int(DBT_DEVTYP_DEVICEINTERFACE)
                                         << display << int(DeviceChangeKind::Arrival);
        QTest::newRow("display removed") << change << quintptr(DBT_DEVICEREMOVECOMPLETE)
                                         << int(DBT_DEVTYP_DEVICEINTERFACE) << display
                                         << int(DeviceChangeKind::Removal);
        QTest::newRow("other device arrives")
            << change << quintptr(DBT_DEVICEARRIVAL) << int(DBT_DEVTYP_DEVICEINTERFACE) << stick
            << int(DeviceChangeKind::Arrival);
        QTest::newRow("query remove") << change << quintptr(DBT_DEVICEQUERYREMOVE) << int(DBT_DEVTYP_DEVICEINTERFACE)
                                      << display << none;
        QTest::newRow("volume arrives") << change << quintptr(DBT_DEVICEARRIVAL) << int(DBT_DEVTYP_VOLUME) << display
                                        << none;
        // Only WM_DEVICECHANGE is read: another message's lParam is not even a record here.
        QTest::newRow("other message") << uint(WM_PAINT) << quintptr(DBT_DEVICEARRIVAL)
                                       << int(DBT_DEVTYP_DEVICEINTERFACE) << display << none;
    }

    // The path is read from byte offset 28 of the record Windows passes in lParam.
    void deviceChange()
    {
        QFETCH(uint, message);
        QFETCH(quintptr, event);
        QFETCH(int, deviceType);
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name), size_t(28));
        std::vector<unsigned char> record =
            interfaceRecord(DWORD(deviceType), reinterpret_cast<const wchar_t *>(path.utf16()));

        HotplugWatch watch;
        watch.registerDevice(reinterpret_cast<WId>(window));
        QSignalSpy spy(&watch, &HotplugWatch::deviceChanged);
        MSG msg{};
        msg.message = message;
        msg.wParam = event;
        msg.lParam = message == WM_DEVICECHANGE ? reinterpret_cast<LPARAM>(record.data()) : 1;
        watch.nativeEvent("windows_generic_MSG", &msg);
        if (kind == int(DeviceChangeKind::None)) {
            QCOMPARE(spy.count(), 0);
            return;
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(int(spy.at(0).at(0).value<DeviceChangeKind>()), kind);
        QCOMPARE(spy.at(0).at(1).toString(), path);
        QCOMPARE(isDisplayDevicePath(path), path.contains("5131"));
    }

    // Only the HID interface's removal names the interface hidapi opened (hidapi lists it in
    // another case); the USB device's removal names the parent device, and another display's
    // HID interface has an instance of its own.
    void removalNamesTheOpenedInterface_data()
    {
        QTest::addColumn<bool>("hidClass");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("names");
        const QString hid =
            QString::fromLatin1(kOpenedHidPath).replace("hid#vid_5131&pid_2007", "HID#VID_5131&PID_2007");
        QTest::newRow("its hid interface") << true << hid << true;
        QTest::newRow("another display's hid interface")
            << true << QString(hid).replace("1a2b3c4d", "5e6f7a8b") << false;
        QTest::newRow("its usb device") << false << QString::fromWCharArray(kDisplayPath) << false;
    }

    void removalNamesTheOpenedInterface()
    {
        QFETCH(bool, hidClass);
        QFETCH(QString, path);
        QFETCH(bool, names);
        std::vector<unsigned char> record =
            interfaceRecord(DBT_DEVTYP_DEVICEINTERFACE, reinterpret_cast<const wchar_t *>(path.utf16()),
                            hidClass ? GUID_DEVINTERFACE_HID : GUID_DEVINTERFACE_USB_DEVICE);
        HotplugWatch watch;
        watch.registerDevice(reinterpret_cast<WId>(window));
        QSignalSpy spy(&watch, &HotplugWatch::deviceChanged);
        MSG msg{};
        msg.message = WM_DEVICECHANGE;
        msg.wParam = DBT_DEVICEREMOVECOMPLETE;
        msg.lParam = reinterpret_cast<LPARAM>(record.data());
        watch.nativeEvent("windows_generic_MSG", &msg);
        QCOMPARE(spy.count(), 1);
        const QString notified = spy.at(0).at(1).toString();
        QVERIFY(isDisplayDevicePath(notified));
        QCOMPARE(namesOpenedDevice(notified, QString::fromLatin1(kOpenedHidPath)), names);
    }
};

KESTRUN_TEST_MAIN(TestHotplugWin)
#include "tst_hotplug_win.moc"
