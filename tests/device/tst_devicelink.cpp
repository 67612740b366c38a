#include "emulateddisplay.h"
#include "testenv.h"

#include "device/devicelinkcontroller.h"
#include "device/mainhidinterface.h"
#include "platform/hotplug.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace {
const QString kDisplayText = QStringLiteral("/dev/hidraw0 /sys/devices/1-1/1-1:1.0/0003:5131:2007.0001/hidraw0 "
                                            "0003:00005131:00002007");

EmulatedDisplay::Report report(int n)
{
    return EmulatedDisplay::numberedReport(n);
}

const QString kRefusal = QStringLiteral("Device refuses reports --------------- hidPath: \"/dev/hidraw0\"");
const QString kTakenAgain = QStringLiteral("Device takes reports again --------------- hidPath: \"/dev/hidraw0\"");

// What the window does with the link, without the window: its status label, the hot-plug watch
// fed into the controller and the controller's signals looped back to its slots. Without
// watching, the device comes and goes without a word to the link.
struct Link {
    QString status;
    DeviceLinkController controller;
    HotplugWatch watch;
    MainHidInterFace transport;

    explicit Link(bool watching = true)
    {
        QObject::connect(&controller, &DeviceLinkController::sigHidStatusText,
                         [this](const QString &text) { status = text; });
        QObject::connect(&controller, &DeviceLinkController::sigHidDeviceConnectChanging_Into, &controller,
                         &DeviceLinkController::onHidDeviceConnectChanging_Into);
        QObject::connect(&controller, &DeviceLinkController::sigHidDeviceConnectChanging_Remove, &controller,
                         &DeviceLinkController::onHidDeviceConnectChanging_Remove);
        QObject::connect(&transport, &MainHidInterFace::sigOpenHidSuccessful, &controller,
                         &DeviceLinkController::onOpenHidSuccessful);
        QObject::connect(&watch, &HotplugWatch::deviceChanged, &controller, &DeviceLinkController::onDeviceChange);
        if (watching)
            watch.registerDevice(0);
        controller.setTransport(&transport);
        transport.getuUsbHidDeviceList();
    }
    ~Link() { controller.shutdown(); }

    bool linkOpen() const { return controller.isLinkOpen(); }

    int send(int n)
    {
        const auto r = report(n);
        return transport.hidApi_Write(r.data());
    }
};

// Offers a numbered report every 50 ms while the link is open, as the update cycle does once a
// second.
struct Cycle {
    QTimer timer;
    int sent = 0;

    explicit Cycle(Link &link)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, &link] {
            if (link.linkOpen())
                link.send(++sent);
        });
        timer.start(50);
    }
};
} // namespace

class TestDeviceLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<DeviceChangeKind>(); }
    void displayPathMatch_data();
    void displayPathMatch();
    void openedDeviceMatch_data();
    void openedDeviceMatch();
    void beforeTheTransportSlotsOnlyLog();
    void linkFollowsPlugAndUnplug();
    void changesThatLeaveTheLinkAlone();
    void secondDisplayLeavesTheOpenOneAlone();
    void silentLossClosesAndRecovers();
    void retryDelays_data();
    void retryDelays();
    void refusingDeviceIsTriedLessOften();
    void vanishedDeviceIsTriedAtItsReturn();
    void arrivalEndsTheRefusal();
    void settleWaitBeforeActing_data();
    void settleWaitBeforeActing();
    void registrationFailureIsLogged();
};

void TestDeviceLink::displayPathMatch_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("matches");
    QTest::newRow("windows interface path")
        << "\\\\?\\USB#VID_5131&PID_2007#6&2c8f0a3b&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}" << true;
    QTest::newRow("udev text") << kDisplayText << true;
    QTest::newRow("ids anywhere, any order") << "x2007y5131" << true;
    QTest::newRow("vendor only") << "USB#VID_5131&PID_2008" << false;
    QTest::newRow("product only") << "USB#VID_5132&PID_2007" << false;
    QTest::newRow("usb stick") << "\\\\?\\USBSTOR#Disk&Ven_Generic&Prod_Flash" << false;
    QTest::newRow("empty") << QString() << false;
}

void TestDeviceLink::displayPathMatch()
{
    QFETCH(QString, path);
    QFETCH(bool, matches);
    QCOMPARE(isDisplayDevicePath(path), matches);
}

void TestDeviceLink::openedDeviceMatch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("matches");
    QTest::newRow("its node") << kDisplayText << "/dev/hidraw0" << true;
    QTest::newRow("node alone") << "/dev/hidraw0"
                                << "/dev/hidraw0" << true;
    QTest::newRow("another display's node")
        << "/dev/hidraw2 /sys/devices/1-3/1-3:1.0/0003:5131:2007.0003/hidraw2 0003:00005131:00002007"
        << "/dev/hidraw0" << false;
    QTest::newRow("a node that starts alike") << "/dev/hidraw10 0003:00005131:00002007"
                                              << "/dev/hidraw1" << false;
    QTest::newRow("name inside the syspath only") << "/sys/devices/1-1/1-1:1.0/0003:5131:2007.0001/hidraw0"
                                                  << "hidraw0" << false;
    QTest::newRow("nothing opened") << kDisplayText << QString() << false;
}

void TestDeviceLink::openedDeviceMatch()
{
    QFETCH(QString, text);
    QFETCH(QString, opened);
    QFETCH(bool, matches);
    QCOMPARE(namesOpenedDevice(text, opened), matches);
}

void TestDeviceLink::beforeTheTransportSlotsOnlyLog()
{
    DeviceLinkController controller;
    // Open as far as the controller knows: the slots below must leave that alone.
    controller.onOpenHidSuccessful();
    QVERIFY(controller.isLinkOpen());
    QSignalSpy status(&controller, &DeviceLinkController::sigHidStatusText);
    LogCapture log;
    controller.onHidDeviceConnectChanging_Into("a");
    controller.onHidDeviceConnectChanging_Remove("b");
    controller.onDeviceLost();
    QCOMPARE(log.lines(), (QStringList{"Insert a new device --------------- hidPath: \"a\"",
                                       "Pull out a device --------------- hidPath: \"b\""}));
    QVERIFY(controller.isLinkOpen());
    QCOMPARE(status.count(), 0);
}

void TestDeviceLink::linkFollowsPlugAndUnplug()
{
    EmulatedDisplay machine;
    machine.plug();
    LogCapture log;
    Link link;
    QVERIFY(link.linkOpen());
    QCOMPARE(link.status, QStringLiteral("Connected"));
    QVERIFY(link.transport.isRunning());
    QCOMPARE(link.send(1), 0);
    QTRY_COMPARE(machine.reportCount(), std::size_t(1));
    QSignalSpy changes(&link.watch, &HotplugWatch::deviceChanged);

    for (int round = 0; round < 2; ++round) {
        log.clear();
        const QString syspath = machine.hidrawSyspath();
        machine.unplug();
        QTRY_VERIFY(!link.linkOpen());
        QCOMPARE(link.status, QStringLiteral("Disconnected"));
        QVERIFY(log.lines().first().startsWith("Pull out a device --------------- hidPath: \"/dev/hidraw0 " + syspath));
        QVERIFY(link.transport.isFinished());
        const std::size_t written = machine.reportCount();
        QCOMPARE(link.send(10 + round), -1);

        log.clear();
        changes.clear();
        machine.plug();
        QTRY_VERIFY(link.linkOpen());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.first().at(0).value<DeviceChangeKind>(), DeviceChangeKind::Arrival);
        QCOMPARE(changes.first().at(1).toString(), kDisplayText);
        QCOMPARE(log.lines(), (QStringList{"Insert a new device --------------- hidPath: \"" + kDisplayText + "\"",
                                           "-------------------------- ************** strHidPath: \"/dev/hidraw0\"",
                                           "\nOpen device success\n", "onOpenHidSuccessful -----------------------"}));
        QCOMPARE(link.status, QStringLiteral("Connected"));
        QCOMPARE(link.send(20 + round), 0);
        QTRY_COMPARE(machine.reportCount(), written + 1);
        QVERIFY(machine.reports().back() == report(20 + round));
    }
}

void TestDeviceLink::changesThatLeaveTheLinkAlone()
{
    EmulatedDisplay machine;
    machine.plug();
    Link link;
    QVERIFY(link.linkOpen());
    QSignalSpy changes(&link.watch, &HotplugWatch::deviceChanged);
    LogCapture log;

    // Another device comes and goes while the link is open; the display announces itself again.
    machine.plugOther();
    machine.unplugOther();
    machine.announce("add");
    QTRY_COMPARE(changes.count(), 3);
    QVERIFY(link.linkOpen());
    QVERIFY(link.transport.isRunning());
    QCOMPARE(log.lines(), QStringList());

    // With the link closed, a removal of the display and another device's arrival change nothing.
    link.controller.shutdown();
    QVERIFY(!link.linkOpen());
    changes.clear();
    machine.announce("remove");
    machine.plugOther();
    QTRY_COMPARE(changes.count(), 2);
    QVERIFY(!link.linkOpen());
    QCOMPARE(log.lines(), QStringList());
    QCOMPARE(link.send(1), -1);
}

void TestDeviceLink::secondDisplayLeavesTheOpenOneAlone()
{
    EmulatedDisplay machine;
    machine.plug();
    Link link;
    QVERIFY(link.linkOpen());
    QSignalSpy changes(&link.watch, &HotplugWatch::deviceChanged);
    QSignalSpy status(&link.controller, &DeviceLinkController::sigHidStatusText);
    LogCapture log;

    machine.plugSecondDisplay();
    QTRY_COMPARE(changes.count(), 1);
    machine.unplugSecondDisplay();
    QTRY_COMPARE(changes.count(), 2);
    QCOMPARE(changes.at(1).at(0).value<DeviceChangeKind>(), DeviceChangeKind::Removal);
    QVERIFY(isDisplayDevicePath(changes.at(1).at(1).toString()));
    QVERIFY(link.linkOpen());
    QVERIFY(link.transport.isRunning());
    QCOMPARE(log.lines(), QStringList());
    QCOMPARE(status.count(), 0);
    QCOMPARE(link.send(1), 0);
    QTRY_COMPARE(machine.reportCount(), std::size_t(1));

    // The open display's own removal still closes the link.
    machine.unplug();
    QTRY_VERIFY(!link.linkOpen());
    QVERIFY(log.lines().first().startsWith("Pull out a device --------------- hidPath: \"/dev/hidraw0 "));
}

void TestDeviceLink::silentLossClosesAndRecovers()
{
    EmulatedDisplay machine;
    machine.plug();
    Link link;
    QVERIFY(link.linkOpen());
    QSignalSpy status(&link.controller, &DeviceLinkController::sigHidStatusText);
    LogCapture log;

    machine.failWrites(true);
    QCOMPARE(link.send(1), 0);
    QTRY_VERIFY(!link.linkOpen());
    QCOMPARE(link.status, QStringLiteral("Disconnected"));
    QCOMPARE(log.lines(), QStringList{kRefusal});

    machine.failWrites(false);
    // Offered the way the update cycle offers them: only while the link is open.
    QTRY_VERIFY_WITH_TIMEOUT((link.linkOpen() && link.send(2) == 0, machine.reportCount() > 0), 3500);
    QTRY_COMPARE(link.status, QStringLiteral("Connected"));
    QVERIFY(machine.reports().front() == report(2));
    QCOMPARE(log.lines(), (QStringList{kRefusal, kTakenAgain}));
    QCOMPARE(status.count(), 2);
}

void TestDeviceLink::retryDelays_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("first refusal") << 0 << 1000;
    QTest::newRow("doubles") << 1000 << 2000;
    QTest::newRow("doubles on") << 8000 << 16000;
    QTest::newRow("up to the cap") << 16000 << 30000;
    QTest::newRow("stays at the cap") << 30000 << 30000;
}

void TestDeviceLink::retryDelays()
{
    QFETCH(int, before);
    QFETCH(int, after);
    QCOMPARE(DeviceLinkController::nextRetryDelay(before), after);
}

// A display that stays plugged in and refuses every report: the log says so once, the status
// stays "Disconnected", and each retry comes later than the one before.
void TestDeviceLink::refusingDeviceIsTriedLessOften()
{
    EmulatedDisplay machine;
    machine.plug();
    Link link;
    QVERIFY(link.linkOpen());
    QSignalSpy status(&link.controller, &DeviceLinkController::sigHidStatusText);
    LogCapture log;
    machine.failWrites(true);
    Cycle cycle(link);

    // Refused at once, then by each retry: one write per opening.
    QTRY_VERIFY_WITH_TIMEOUT(machine.refusedWrites().size() >= 3, 20000);
    const auto refused = machine.refusedWrites();
    QVERIFY(refused[1] - refused[0] >= std::chrono::milliseconds(1000));
    QVERIFY(refused[2] - refused[1] >= std::chrono::milliseconds(2000));
    QCOMPARE(log.lines(), QStringList{kRefusal});
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Disconnected"));
    QCOMPARE(machine.reportCount(), std::size_t(0));

    // It takes reports again: the next retry finds it so, and the waits start afresh.
    machine.failWrites(false);
    QTRY_VERIFY_WITH_TIMEOUT(machine.reportCount() > 0, 20000);
    QTRY_COMPARE(status.count(), 2);
    QCOMPARE(status.at(1).at(0).toString(), QStringLiteral("Connected"));
    QCOMPARE(log.lines(), (QStringList{kRefusal, kTakenAgain}));
    QVERIFY(link.linkOpen());
    QCOMPARE(link.controller.retryDelayMs(), 0);
}

// A display that refused reports goes and comes back without a word: found missing, its return
// is not kept waiting by the refusals before.
void TestDeviceLink::vanishedDeviceIsTriedAtItsReturn()
{
    EmulatedDisplay machine;
    machine.plug();
    Link link(false);
    QVERIFY(link.linkOpen());
    LogCapture log;
    machine.failWrites(true);
    Cycle cycle(link);

    QTRY_VERIFY_WITH_TIMEOUT(machine.refusedWrites().size() >= 2, 20000);
    QTRY_COMPARE(link.controller.retryDelayMs(), 2000);
    machine.unplug();
    QTRY_COMPARE(link.controller.retryDelayMs(), 0);
    QVERIFY(!link.linkOpen());

    machine.failWrites(false);
    machine.plug();
    QTRY_VERIFY_WITH_TIMEOUT(machine.reportCount() > 0, 3500);
    QTRY_COMPARE(link.status, QStringLiteral("Connected"));
    QCOMPARE(log.lines(), (QStringList{kRefusal, kTakenAgain}));
}

// The display announces itself while it refuses reports: it is opened at once, as any arrival
// opens it, and a refusal after that is a new one.
void TestDeviceLink::arrivalEndsTheRefusal()
{
    EmulatedDisplay machine;
    machine.plug();
    Link link;
    QVERIFY(link.linkOpen());
    LogCapture log;
    machine.failWrites(true);
    Cycle cycle(link);

    QTRY_VERIFY_WITH_TIMEOUT(machine.refusedWrites().size() >= 2, 20000);
    QTRY_COMPARE(link.controller.retryDelayMs(), 2000);
    // Handed in at once, so no retry can open the link before it.
    link.controller.onDeviceChange(DeviceChangeKind::Arrival, kDisplayText);
    QTRY_COMPARE(log.count(kRefusal), 2);
    QCOMPARE(link.controller.retryDelayMs(), 1000);
    QCOMPARE(log.lines().mid(1, 4),
             (QStringList{"Insert a new device --------------- hidPath: \"" + kDisplayText + "\"",
                          "-------------------------- ************** strHidPath: \"/dev/hidraw0\"",
                          "\nOpen device success\n", "onOpenHidSuccessful -----------------------"}));
}

void TestDeviceLink::settleWaitBeforeActing_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("removal of the open display") << int(DeviceChangeKind::Removal);
    QTest::newRow("arrival while closed") << int(DeviceChangeKind::Arrival);
}

// The display is given 300 ms to settle before its arrival or removal is acted on.
void TestDeviceLink::settleWaitBeforeActing()
{
    QFETCH(int, kind);
    EmulatedDisplay machine;
    machine.plug();
    Link link(false);
    QVERIFY(link.linkOpen());
    if (DeviceChangeKind(kind) == DeviceChangeKind::Arrival)
        link.controller.shutdown();
    // Only the signal is watched, so the time is the wait's alone.
    QObject::disconnect(&link.controller, nullptr, &link.controller, nullptr);
    QElapsedTimer clock;
    qint64 actedAfter = -1;
    const auto note = [&] { actedAfter = clock.elapsed(); };
    QObject::connect(&link.controller, &DeviceLinkController::sigHidDeviceConnectChanging_Into, note);
    QObject::connect(&link.controller, &DeviceLinkController::sigHidDeviceConnectChanging_Remove, note);

    clock.start();
    link.controller.onDeviceChange(DeviceChangeKind(kind), kDisplayText);
    QVERIFY2(actedAfter >= 300, qPrintable(QString::number(actedAfter)));
}

void TestDeviceLink::registrationFailureIsLogged()
{
    // With every descriptor in use, the udev monitor cannot be created.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 64);
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> used;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        used.push_back(fd);
    LogCapture log;
    {
        HotplugWatch watch;
        watch.registerDevice(0);
    }
    for (int fd : used)
        ::close(fd);
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &saved), 0);
    QCOMPARE(log.lines(), QStringList{"Register device failed, errno: 24 \n"});
}

KESTRUN_TEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
