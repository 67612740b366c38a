#include "config/ddatamanager.h"
#include "earlieroutput.h"
#include "logfiles.h"
#include "testenv.h"

#include <QSignalSpy>

using namespace kestrun::test;

// Runs the singleton as the program does, against the sample branding copied beside this test.
class TestDDataManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        collectEarlierOutput();
        QVERIFY(DDataManager::instance());
    }

    void isOneObject() { QCOMPARE(DDataManager::instance(), DDataManager::instance()); }

    void readsTheBrandingBesideTheExecutable()
    {
        const QString configDir = QCoreApplication::applicationDirPath() + "/configDir/";
        QCOMPARE(DDataManager::instance()->configDir(), configDir);
        const AppConfig c = DDataManager::instance()->appConfig();
        QCOMPARE(c.appName, "Kestrun");
        QCOMPARE(c.appIconPath, configDir + "images/kestrun.ico");
    }

    void loadsTheBundledFonts()
    {
        QCOMPARE(DDataManager::instance()->boldFont().family(), "Montserrat ExtraBold");
        QCOMPARE(DDataManager::instance()->mediumFont().family(), "Montserrat Medium");
        QVERIFY(!earlierOutput().contains("Failed to load font."));
    }

    void logsFromConstructionOn()
    {
        QVERIFY(QDir(logFolder()).exists());
        QSignalSpy over(DDataManager::instance(), &DDataManager::sigGetPcHardwareInfoOver);
        DDataManager::instance()->initInfo();
        QCOMPARE(over.count(), 1);

        // The folder report came before the handler, so it went to the earlier output only.
        QVERIFY(earlierOutput().filter("LogDir FullPath:").size() == 1);
        const QByteArray logs = readAllLogs();
        QVERIFY(!logs.contains("LogDir FullPath:"));
        QVERIFY(logs.contains("--------------------> ------------------------- *** App Runing *** "
                              "------------------------------\r\n"));
        QVERIFY(logs.contains("--------------------> appConfig.ini Path: \""
                              + QCoreApplication::applicationDirPath().toUtf8() + "/configDir/\"\r\n"));
        QVERIFY(logs.contains("PC Hardware Info Get Over"));
    }
};

KESTRUN_TEST_MAIN(TestDDataManager)
#include "tst_ddatamanager.moc"
