// Platform units that ask Windows itself: memory and system-drive figures, the hand-over of the
// logon task to schtasks and a later start's call to the running copy. Under wine the figures are
// real but small, so only their shape is checked; wine's schtasks refuses the task, so the
// parameters and the hand-over are checked, not the task.
#include "platform/instancecall.h"
#include "platform/schtasksparams.h"
#include "platform/startuptask.h"
#include "platform/systemstats.h"

#include "testenv.h"

#include <QDir>
#include <QSignalSpy>

class TestPlatformWin : public QObject
{
    Q_OBJECT

private slots:
    void memory()
    {
        const MemoryFigures memory = queryMemory();
        QVERIFY(memory.totalPhys > 0);
        QVERIFY(memory.availPhys <= memory.totalPhys);
        QVERIFY(memory.memoryLoad <= 100);
    }

    // The walk over the drives settles on the C drive (wine also shows Z:, the Unix root).
    void systemDrive()
    {
        QStringList drives;
        for (const QFileInfo &drive : QDir::drives())
            drives << drive.absolutePath();
        QVERIFY2(drives.contains("C:/"), qPrintable(drives.join(' ')));
        const std::optional<DriveFigures> drive = querySystemDrive();
        QVERIFY(drive);
        QVERIFY(drive->totalBytes > 0);
        QVERIFY(drive->totalFreeBytes <= drive->totalBytes);
    }

    void schtasksParameters_data()
    {
        QTest::addColumn<QString>("taskName");
        QTest::addColumn<QString>("programPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "kestrunStartupTaskOKver---7"
                               << "C:/Kestrun/kestrun.exe"
                               << "/create /tn \"kestrunStartupTaskOKver---7\" /tr \"\\\"C:/Kestrun/kestrun.exe\\\" "
                                  "---StartupByTaskMinWindow\" /sc onlogon /rl highest";
        QTest::newRow("blanks in the path")
            << "kestrunStartupTaskOKver---7"
            << "C:/Program Files/Kestrun/kestrun.exe"
            << "/create /tn \"kestrunStartupTaskOKver---7\" /tr \"\\\"C:/Program Files/Kestrun/kestrun.exe\\\" "
               "---StartupByTaskMinWindow\" /sc onlogon /rl highest";
        QTest::newRow("empty app id") << startupTaskName("kestrun", QString()) << "C:/k.exe"
                                      << "/create /tn \"kestrunStartupTaskOKver---\" /tr \"\\\"C:/k.exe\\\" "
                                         "---StartupByTaskMinWindow\" /sc onlogon /rl highest";
    }

    void schtasksParameters()
    {
        QFETCH(QString, taskName);
        QFETCH(QString, programPath);
        QFETCH(QString, expected);
        const std::wstring parameters =
            ::schtasksParameters(taskName.toStdWString(), programPath.toStdWString(), taskStartMarker().toStdWString());
        QCOMPARE(QString::fromStdWString(parameters), expected);
    }

    // ShellExecuteW "runas" hands the request over (wine answers 33).
    void handOver()
    {
        const StartupTaskResult result =
            registerStartupTask(startupTaskName(QCoreApplication::applicationName(), "kestrun-test"),
                                QCoreApplication::applicationFilePath());
        QVERIFY(result.handedOver);
        QCOMPARE(result.errorCode, 0);
    }

    // The call reaches the listener of its key only, through the event loop, while it listens.
    void laterStartReachesTheRunningCopy()
    {
        const QString key = QStringLiteral("kestrun-test-call");
        QVERIFY(!askRunningCopyToShow(key));
        {
            InstanceCallListener listener(key);
            QVERIFY2(listener.listen(), qPrintable(listener.problem()));
            InstanceCallListener other(key + QStringLiteral("-other"));
            QVERIFY2(other.listen(), qPrintable(other.problem()));
            QSignalSpy shows(&listener, &InstanceCallListener::sigShowRequested);
            QSignalSpy otherShows(&other, &InstanceCallListener::sigShowRequested);
            QVERIFY(askRunningCopyToShow(key));
            QVERIFY(askRunningCopyToShow(key));
            QCOMPARE(shows.count(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(shows.count(), 2, 10000);
            QCOMPARE(otherShows.count(), 0);
        }
        QVERIFY(!askRunningCopyToShow(key));
    }
};

KESTRUN_TEST_MAIN(TestPlatformWin)
#include "tst_platform_win.moc"
