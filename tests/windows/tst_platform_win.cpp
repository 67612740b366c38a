// Platform units that ask Windows itself: memory and system-drive figures, and the hand-over of
// the logon task to schtasks. Under wine the figures are real but small, so only their shape is
// checked; wine's schtasks refuses the task, so the parameters and the hand-over are checked,
// not the task.
#include "platform/schtasksparams.h"
#include "platform/startuptask.h"
#include "platform/systemstats.h"

#include "testenv.h"

#include <QDir>

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
};

KESTRUN_TEST_MAIN(TestPlatformWin)
#include "tst_platform_win.moc"
