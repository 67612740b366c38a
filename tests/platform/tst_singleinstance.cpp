#include "testenv.h"

#include "platform/singleinstance.h"

#include <QProcess>
#include <QSharedMemory>

#include <memory>

#include <csignal>

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void keyIsTheProgramsOwn();
    void secondCopyIsRefused();
    void killedCopyDoesNotBlockRestart();

private:
    std::unique_ptr<QProcess> startCopy();
    static void killCopy(QProcess &copy);

    // A key of this run only, so a running Kestrun on this machine is never disturbed.
    QString m_key;
};

void TestSingleInstance::initTestCase()
{
    m_key = QStringLiteral("KestrunTest_%1").arg(QCoreApplication::applicationPid());
}

void TestSingleInstance::cleanupTestCase()
{
    // Taking and releasing the key removes what the killed helpers left behind.
    QSharedMemory segment(m_key);
    QVERIFY(claimSingleInstance(segment));
}

void TestSingleInstance::keyIsTheProgramsOwn()
{
    QCOMPARE(singleInstanceKey(), QStringLiteral("Orvanel_V2.0"));
}

std::unique_ptr<QProcess> TestSingleInstance::startCopy()
{
    auto copy = std::make_unique<QProcess>();
    copy->start(QStringLiteral(KESTRUN_SINGLE_INSTANCE_HELPER), {m_key});
    copy->waitForStarted();
    return copy;
}

void TestSingleInstance::killCopy(QProcess &copy)
{
    ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
    QVERIFY(copy.waitForFinished(10000));
}

void TestSingleInstance::secondCopyIsRefused()
{
    auto first = startCopy();
    QVERIFY(first->waitForReadyRead(10000));
    QCOMPARE(first->readAllStandardOutput(), QByteArray("claimed\n"));

    auto second = startCopy();
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 255); // -1 as the system reports it
    QCOMPARE(second->readAllStandardOutput(), QByteArray("refused\n"));

    // The refused copy must not have removed the running copy's segment.
    auto third = startCopy();
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 255);

    killCopy(*first);
}

void TestSingleInstance::killedCopyDoesNotBlockRestart()
{
    auto crashed = startCopy();
    QVERIFY(crashed->waitForReadyRead(10000));
    killCopy(*crashed);

    auto restarted = startCopy();
    QVERIFY(restarted->waitForReadyRead(10000));
    QCOMPARE(restarted->readAllStandardOutput(), QByteArray("claimed\n"));
    killCopy(*restarted);
}

KESTRUN_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
