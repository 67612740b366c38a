#include "testenv.h"

#include "platform/crashrelaunch.h"
#include "platform/singleinstance.h"

#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

class TestCrashRelaunch : public QObject
{
    Q_OBJECT
private slots:
    void stamp_data();
    void stamp();
    void decision_data();
    void decision();
    void startStampIsProcessWide();
    void relaunch_data();
    void relaunch();

private:
    static int countStarts(const QString &folder);
};

void TestCrashRelaunch::stamp_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<int>("expected");
    QTest::newRow("epoch") << qint64(0) << 0;
    QTest::newRow("short") << qint64(1234) << 1234;
    QTest::newRow("eight digits") << qint64(99999999) << 99999999;
    QTest::newRow("wraps") << qint64(100000000) << 0;
    QTest::newRow("today") << qint64(1796857626123) << 57626123;
    QTest::newRow("leading zeros dropped") << qint64(1700000001234) << 1234;
    QTest::newRow("before epoch, short") << qint64(-1234567) << -1234567;
    QTest::newRow("before epoch, long") << qint64(-123456789) << 23456789;
}

void TestCrashRelaunch::stamp()
{
    QFETCH(qint64, ms);
    QFETCH(int, expected);
    QCOMPARE(stampFromMSecs(ms), expected);
    // The rule is "the rightmost 8 characters of the decimal text, read as an int".
    QCOMPARE(stampFromMSecs(ms), QString::number(ms).right(8).toInt());
}

void TestCrashRelaunch::decision_data()
{
    QTest::addColumn<int>("now");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("relaunch");
    QTest::newRow("59 999 ms") << 1059999 << 1000000 << false;
    QTest::newRow("60 000 ms") << 1060000 << 1000000 << true;
    QTest::newRow("hours") << 90000000 << 1000000 << true;
    QTest::newRow("start never set") << 90000000 << 0 << false;
    QTest::newRow("wrapped below start") << 500 << 99990000 << false;
    QTest::newRow("wrapped, again far above start") << 99990000 << 500 << true;
    QTest::newRow("same instant") << 42 << 42 << false;
}

void TestCrashRelaunch::decision()
{
    QFETCH(int, now);
    QFETCH(int, start);
    QFETCH(bool, relaunch);
    QCOMPARE(shouldRelaunch(now, start), relaunch);
}

void TestCrashRelaunch::startStampIsProcessWide()
{
    QCOMPARE(startStamp(), 0);
    const int stamp = currentStamp();
    QVERIFY(stamp >= 0 && stamp < 100000000);
    setStartStamp(stamp);
    QCOMPARE(startStamp(), stamp);
    setStartStamp(0);
}

int TestCrashRelaunch::countStarts(const QString &folder)
{
    QFile starts(folder + QStringLiteral("/starts"));
    if (!starts.open(QIODevice::ReadOnly))
        return 0;
    return starts.readAll().count("started");
}

void TestCrashRelaunch::relaunch_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("thresholdMs");
    QTest::addColumn<int>("runMs");
    QTest::addColumn<int>("expectedStarts");
    // A stack overflow on one of the program's own threads ("overflow <thread>"), with the
    // stand-in SDK's scenario where the SDK is the one to overflow.
    QTest::addColumn<QByteArray>("overflow");
    QTest::addColumn<QByteArray>("scenario");
#ifdef KESTRUN_REAL_THRESHOLD
    QTest::newRow("real minute, segfault after it")
        << int(SIGSEGV) << kCrashRelaunchThresholdMs << 60500 << 2 << QByteArray() << QByteArray();
#else
    QTest::newRow("segfault after threshold") << int(SIGSEGV) << 300 << 600 << 2 << QByteArray() << QByteArray();
    QTest::newRow("abort after threshold") << int(SIGABRT) << 300 << 600 << 2 << QByteArray() << QByteArray();
    QTest::newRow("bus error after threshold") << int(SIGBUS) << 300 << 600 << 2 << QByteArray() << QByteArray();
    QTest::newRow("illegal instruction after threshold")
        << int(SIGILL) << 300 << 600 << 2 << QByteArray() << QByteArray();
    QTest::newRow("arithmetic fault after threshold") << int(SIGFPE) << 300 << 600 << 2 << QByteArray() << QByteArray();
    QTest::newRow("segfault before threshold") << int(SIGSEGV) << 5000 << 100 << 1 << QByteArray() << QByteArray();
    QTest::newRow("abort at once, real threshold")
        << int(SIGABRT) << kCrashRelaunchThresholdMs << 0 << 1 << QByteArray() << QByteArray();
    // The read comes a second after the start, past the threshold.
    QTest::newRow("stack overflow on the sensor thread")
        << int(SIGSEGV) << 300 << 0 << 2 << QByteArray("sensor")
        << QByteArray("overflow_read 1\nsensor S\ntemperature 0 CPU = 40\n");
    QTest::newRow("stack overflow on the SDK start thread")
        << int(SIGSEGV) << 300 << 600 << 2 << QByteArray("sdkstart") << QByteArray("overflow_init\n");
    QTest::newRow("stack overflow on the display writer thread")
        << int(SIGSEGV) << 300 << 600 << 2 << QByteArray("writer") << QByteArray();
#endif
}

void TestCrashRelaunch::relaunch()
{
    QFETCH(int, signalNumber);
    QFETCH(int, thresholdMs);
    QFETCH(int, runMs);
    QFETCH(int, expectedStarts);
    QFETCH(QByteArray, overflow);
    QFETCH(QByteArray, scenario);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile request(folder.filePath(QStringLiteral("request")));
    QVERIFY(request.open(QIODevice::WriteOnly));
    if (overflow.isEmpty())
        request.write(QByteArray::number(signalNumber) + ' ' + QByteArray::number(runMs));
    else
        request.write("overflow " + overflow + ' ' + QByteArray::number(runMs));
    request.close();
    QFile scenarioFile(folder.filePath(QStringLiteral("scenario.txt")));
    QVERIFY(scenarioFile.open(QIODevice::WriteOnly));
    scenarioFile.write(scenario);
    scenarioFile.close();

    QProcess helper;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTRUN_CRASH_DIR"), folder.path());
    env.insert(QStringLiteral("KESTRUN_CRASH_THRESHOLD_MS"), QString::number(thresholdMs));
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(KESTRUN_STANDIN_DIR));
    env.insert(QStringLiteral("KESTRUN_SDK_SCENARIO"), scenarioFile.fileName());
    // The new copy must get past the single-instance guard that the crashed copy held.
    const QString key = QStringLiteral("KestrunCrashTest_%1").arg(QCoreApplication::applicationPid());
    env.insert(QStringLiteral("KESTRUN_CRASH_KEY"), key);
    helper.setProcessEnvironment(env);
    helper.start(QStringLiteral(KESTRUN_CRASH_HELPER), QStringList());
    QVERIFY(helper.waitForStarted());
    QVERIFY(helper.waitForFinished(runMs + 30000));
    // The crash still ends the crashed copy the way the signal would have.
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QCOMPARE(helper.exitCode(), signalNumber);

    if (expectedStarts > 1)
        QTRY_COMPARE_WITH_TIMEOUT(countStarts(folder.path()), expectedStarts, 10000);
    // Give a stray extra copy time to show itself.
    QTest::qWait(1500);
    QCOMPARE(countStarts(folder.path()), expectedStarts);
    QFile starts(folder.filePath(QStringLiteral("starts")));
    QVERIFY(starts.open(QIODevice::ReadOnly));
    QVERIFY2(!starts.readAll().contains("refused"), "the new copy was refused by the guard");

    // The mark goes with the crashed copy. A new copy holds it until it has ended, which on a busy
    // machine can take a moment after its marker.
    const auto claimAndRelease = [&key] {
        SingleInstanceGuard guard(key);
        return guard.claim() == SingleInstanceGuard::Claim::Taken;
    };
    QTRY_VERIFY_WITH_TIMEOUT(claimAndRelease(), 10000);
}

KESTRUN_TEST_MAIN(TestCrashRelaunch)
#include "tst_crashrelaunch.moc"
