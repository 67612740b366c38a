#include "config/ddatamanager.h"
#include "earlieroutput.h"
#include "logfiles.h"
#include "testenv.h"

using namespace kestrun::test;

// The singleton built while the font resources are missing: fallbacks, and failures that stay
// out of the log file.
class TestDDataManagerNoFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_CLEANUP_RESOURCE(fonts);
        QVERIFY(!QFile::exists(":/images/LocalFont/MontserratBold.otf"));
        collectEarlierOutput();
        QVERIFY(DDataManager::instance());
    }

    void fallsBack()
    {
        QCOMPARE(DDataManager::instance()->boldFont().family(), "Microsoft YaHei");
        QCOMPARE(DDataManager::instance()->mediumFont(), QFont());
        QCOMPARE(earlierOutput().count("Failed to load font."), 2);
    }

    void failuresNeverReachTheLog()
    {
        DDataManager::instance()->initInfo();
        const QByteArray logs = readAllLogs();
        QVERIFY(logs.contains("*** App Runing ***"));
        QVERIFY(!logs.contains("Failed to load font."));
        QVERIFY(!logs.contains("LogDir FullPath:"));
    }
};

KESTRUN_TEST_MAIN(TestDDataManagerNoFonts)
#include "tst_ddatamanager_nofonts.moc"
