#include "emulateddisplay.h"
#include "testenv.h"

#include "device/mainhidinterface.h"

#include <QSignalSpy>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
EmulatedDisplay::Report numbered(int n)
{
    return EmulatedDisplay::numberedReport(n);
}

// The display plugged in, the transport open on it and its writer running.
struct Writing {
    EmulatedDisplay machine;
    MainHidInterFace transport;
    QSignalSpy lost{&transport, &MainHidInterFace::sigDeviceLost};

    Writing()
    {
        machine.plug();
        transport.getuUsbHidDeviceList();
        transport.start();
    }
};

// Holds the writer with a report it has taken from the queue until the link is closing, so it
// decides about that report with the link already closed.
class TakenAsTheLinkCloses : public MainHidInterFace
{
public:
    std::atomic<bool> holdNext{false};
    std::atomic<bool> holding{false};

protected:
    void reportTaken() override
    {
        if (!holdNext.exchange(false))
            return;
        holding = true;
        // The limit only keeps a broken close from hanging the test.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (isOpen() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

const QString kOpened = QStringLiteral("\nOpen device success\n");
const QString kOpenFailed = QStringLiteral("Unable to open device\n");
} // namespace

class TestMainHidInterface : public QObject
{
    Q_OBJECT

private slots:
    void absentOrUnopenableDevice_data();
    void absentOrUnopenableDevice();
    void queuedReportsReachTheDeviceWholeInOrder();
    void fullQueueKeepsTheNewest();
    void closeWaitsForTheWriteInProgress();
    void reportTakenAsTheLinkClosesIsDropped();
    void failedWriteReportsTheLossOnce();
    void staleLossIsNotReported();
    void destructionEndsTheWriter();
};

void TestMainHidInterface::absentOrUnopenableDevice_data()
{
    QTest::addColumn<bool>("displayListed");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::newRow("only another device") << false << QStringList();
    QTest::newRow("display without node")
        << true << QStringList{"-------------------------- ************** strHidPath: \"/dev/hidraw0\"", kOpenFailed};
}

void TestMainHidInterface::absentOrUnopenableDevice()
{
    QFETCH(bool, displayListed);
    QFETCH(QStringList, expectedLog);
    EmulatedDisplay machine;
    machine.plugOther();
    if (displayListed)
        machine.plug(false);
    MainHidInterFace transport;
    QSignalSpy opened(&transport, &MainHidInterFace::sigOpenHidSuccessful);
    LogCapture log;

    transport.getuUsbHidDeviceList();

    QCOMPARE(log.lines(), expectedLog);
    QCOMPARE(opened.count(), 0);
    QVERIFY(!transport.isRunning());
    const auto report = numbered(1);
    QCOMPARE(transport.hidApi_Write(report.data()), -1);
    QCOMPARE(transport.hidApi_Close(), 0);
}

void TestMainHidInterface::queuedReportsReachTheDeviceWholeInOrder()
{
    EmulatedDisplay machine;
    machine.plug();
    MainHidInterFace transport;
    QSignalSpy opened(&transport, &MainHidInterFace::sigOpenHidSuccessful);
    QSignalSpy taken(&transport, &MainHidInterFace::sigReportsTaken);
    LogCapture log;

    transport.getuUsbHidDeviceList();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(log.lines(),
             (QStringList{"-------------------------- ************** strHidPath: \"/dev/hidraw0\"", kOpened}));
    QCOMPARE(transport.hidPath(), QStringLiteral("/dev/hidraw0"));

    // Queued before the writer runs, so all three wait together.
    const std::vector<EmulatedDisplay::Report> sent{numbered(1), numbered(2), numbered(3)};
    for (const auto &report : sent)
        QCOMPARE(transport.hidApi_Write(report.data()), 0);
    transport.start();
    QTRY_COMPARE(machine.reportCount(), sent.size());
    QVERIFY(machine.reports() == sent);
    // Said once for the opening, not once a report: with the writer inside a fourth write, the
    // notices of the first three have all been posted.
    machine.holdWrites(true);
    QCOMPARE(transport.hidApi_Write(numbered(4).data()), 0);
    machine.waitForHeldWrite();
    QCoreApplication::processEvents();
    const int notices = taken.count();
    machine.holdWrites(false);
    QCOMPARE(notices, 1);
    QTRY_COMPARE(machine.reportCount(), sent.size() + 1);

    QCOMPARE(transport.hidApi_Close(), 0);
    QVERIFY(transport.isFinished());
    QCOMPARE(transport.hidApi_Close(), 0);
    QCOMPARE(transport.hidApi_Write(sent[0].data()), -1);
    QCOMPARE(machine.reportCount(), sent.size() + 1);
}

void TestMainHidInterface::fullQueueKeepsTheNewest()
{
    EmulatedDisplay machine;
    machine.plug();
    MainHidInterFace transport;
    transport.getuUsbHidDeviceList();
    const int offered = int(ReportQueue::kCapacity) + 2;
    for (int n = 1; n <= offered; ++n)
        QCOMPARE(transport.hidApi_Write(numbered(n).data()), 0);
    transport.start();
    QTRY_COMPARE(machine.reportCount(), ReportQueue::kCapacity);
    std::vector<EmulatedDisplay::Report> newest;
    for (int n = offered - int(ReportQueue::kCapacity) + 1; n <= offered; ++n)
        newest.push_back(numbered(n));
    QVERIFY(machine.reports() == newest);
    transport.hidApi_Close();
}

void TestMainHidInterface::closeWaitsForTheWriteInProgress()
{
    Writing writing;
    EmulatedDisplay &machine = writing.machine;
    MainHidInterFace &transport = writing.transport;
    machine.holdWrites(true);
    transport.hidApi_Write(numbered(1).data());
    machine.waitForHeldWrite();
    // Offered while the first is on its way: they stay queued over the close.
    transport.hidApi_Write(numbered(2).data());
    transport.hidApi_Write(numbered(3).data());

    std::atomic<bool> released{false};
    std::thread device([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released = true;
        machine.holdWrites(false);
    });
    QCOMPARE(transport.hidApi_Close(), 0);
    QVERIFY(released);
    device.join();
    QVERIFY(transport.isFinished());
    QVERIFY(machine.reports() == std::vector<EmulatedDisplay::Report>{numbered(1)});

    // The reports left over are the first to go after the next open.
    transport.getuUsbHidDeviceList();
    transport.start();
    QTRY_COMPARE(machine.reportCount(), std::size_t(3));
    QVERIFY(machine.reports() == (std::vector<EmulatedDisplay::Report>{numbered(1), numbered(2), numbered(3)}));
    transport.hidApi_Close();
}

void TestMainHidInterface::reportTakenAsTheLinkClosesIsDropped()
{
    EmulatedDisplay machine;
    machine.plug();
    TakenAsTheLinkCloses transport;
    transport.getuUsbHidDeviceList();
    transport.start();
    transport.holdNext = true;
    QCOMPARE(transport.hidApi_Write(numbered(1).data()), 0);
    QTRY_VERIFY(transport.holding);

    QCOMPARE(transport.hidApi_Close(), 0);
    QVERIFY(transport.isFinished());
    QCOMPARE(machine.reportCount(), std::size_t(0));

    // Nor is it kept for the next opening: the first report written there is one offered there.
    transport.getuUsbHidDeviceList();
    transport.start();
    QCOMPARE(transport.hidApi_Write(numbered(2).data()), 0);
    QTRY_COMPARE(machine.reportCount(), std::size_t(1));
    QVERIFY(machine.reports() == std::vector<EmulatedDisplay::Report>{numbered(2)});
    transport.hidApi_Close();
}

void TestMainHidInterface::failedWriteReportsTheLossOnce()
{
    Writing writing;
    EmulatedDisplay &machine = writing.machine;
    MainHidInterFace &transport = writing.transport;
    QSignalSpy &lost = writing.lost;
    QSignalSpy taken(&transport, &MainHidInterFace::sigReportsTaken);
    machine.failWrites(true);
    transport.hidApi_Write(numbered(1).data());
    transport.hidApi_Write(numbered(2).data());
    QVERIFY(lost.wait(5000));
    // The writer stopped at the first failure instead of losing the next report too.
    QVERIFY(transport.wait(5000));
    QCoreApplication::processEvents();
    QCOMPARE(lost.count(), 1);
    QCOMPARE(taken.count(), 0);
    QCOMPARE(machine.reportCount(), std::size_t(0));

    machine.failWrites(false);
    transport.hidApi_Close();
    transport.getuUsbHidDeviceList();
    transport.start();
    QTRY_COMPARE(machine.reportCount(), std::size_t(1));
    QVERIFY(machine.reports() == std::vector<EmulatedDisplay::Report>{numbered(2)});
    transport.hidApi_Close();
}

void TestMainHidInterface::staleLossIsNotReported()
{
    Writing writing;
    EmulatedDisplay &machine = writing.machine;
    MainHidInterFace &transport = writing.transport;
    machine.failWrites(true);
    transport.hidApi_Write(numbered(1).data());
    QVERIFY(transport.wait(5000));
    // Closed and opened again before the loss is delivered: it belongs to the old opening.
    transport.hidApi_Close();
    machine.failWrites(false);
    transport.getuUsbHidDeviceList();
    QCoreApplication::processEvents();
    QCOMPARE(writing.lost.count(), 0);
    transport.hidApi_Close();
}

void TestMainHidInterface::destructionEndsTheWriter()
{
    EmulatedDisplay machine;
    machine.plug();
    LogCapture log;
    {
        MainHidInterFace transport;
        transport.getuUsbHidDeviceList();
        transport.start();
        transport.hidApi_Write(numbered(1).data());
        QTRY_COMPARE(machine.reportCount(), std::size_t(1));
    }
    QCOMPARE(log.lines().last(),
             QStringLiteral("________________________ MainHidInterFace::~MainHidInterFace() ........"));
}

KESTRUN_TEST_MAIN(TestMainHidInterface)
#include "tst_mainhidinterface.moc"
