// The HID transport's Windows link code without a device: wine's hidapi cannot reach devices
// (hid_init fails there), so a search finds nothing, an open fails cleanly and nothing is queued.
#include "device/mainhidinterface.h"

#include "testenv.h"

#include <array>

class TestHidLinkWin : public QObject
{
    Q_OBJECT

private slots:
    void noDevice()
    {
        MainHidInterFace link;
        QSignalSpy opened(&link, &MainHidInterFace::sigOpenHidSuccessful);
        link.getuUsbHidDeviceList();
        QCOMPARE(opened.count(), 0);
        QCOMPARE(link.hidApi_Open(), -1);
        const std::array<unsigned char, 65> report{};
        QCOMPARE(link.hidApi_Write(report.data()), -1);
        QCOMPARE(link.hidApi_Close(), 0);
        QVERIFY(!link.isRunning());
    }
};

KESTRUN_TEST_MAIN(TestHidLinkWin)
#include "tst_hidlink_win.moc"
