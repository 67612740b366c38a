#include "testenv.h"

#include "platform/instancecall.h"
#include "platform/runtimefolder.h"
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

// The per-user mark of a running copy and the call a later start makes to it, each run in a
// runtime folder of the test's own.
class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keyIsTheProgramsOwn();
    void secondCopyIsRefused();
    void killedCopyDoesNotBlockRestart();
    void anotherSessionNeverBlocks();
    void withoutRuntimeFolderAFolderOfTheUsersOwn();
    void foreignFolderIsRefused_data();
    void foreignFolderIsRefused();
    void laterStartReachesTheRunningCopy();
    void leftSocketFileIsReplaced();
    void nobodyListening();

private:
    std::unique_ptr<QProcess> startCopy();
    static void killCopy(QProcess &copy);
    void useRuntimeFolder(const QString &folder);

    // A key of this run only, so a running Kestrun on this machine is never disturbed.
    QString key = QStringLiteral("KestrunTest_%1").arg(QCoreApplication::applicationPid());
    std::unique_ptr<QTemporaryDir> runtime;
    QByteArray savedRuntime;
    bool hadRuntime = false;
};

void TestSingleInstance::init()
{
    hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime->isValid());
    useRuntimeFolder(runtime->path());
}

void TestSingleInstance::cleanup()
{
    if (hadRuntime)
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
    runtime.reset();
}

void TestSingleInstance::useRuntimeFolder(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

void TestSingleInstance::keyIsTheProgramsOwn()
{
    QCOMPARE(singleInstanceKey(), QStringLiteral("Orvanel_V2.0"));
}

std::unique_ptr<QProcess> TestSingleInstance::startCopy()
{
    // The helper inherits the test's environment, and with it the runtime folder.
    auto copy = std::make_unique<QProcess>();
    copy->start(QStringLiteral(KESTRUN_SINGLE_INSTANCE_HELPER), {key});
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

    // The refused copy must not have taken the running copy's mark away.
    auto third = startCopy();
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 255);

    // Nor does the same process take it twice.
    SingleInstanceGuard here(key);
    QCOMPARE(here.claim(), SingleInstanceGuard::Claim::HeldByAnotherCopy);

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

void TestSingleInstance::anotherSessionNeverBlocks()
{
    auto first = startCopy();
    QVERIFY(first->waitForReadyRead(10000));

    QTemporaryDir otherSession;
    useRuntimeFolder(otherSession.path());
    SingleInstanceGuard other(key);
    QCOMPARE(other.claim(), SingleInstanceGuard::Claim::Taken);
    // Taken once, held: a second claim of the same object says so again.
    QCOMPARE(other.claim(), SingleInstanceGuard::Claim::Taken);

    killCopy(*first);
}

void TestSingleInstance::withoutRuntimeFolderAFolderOfTheUsersOwn()
{
    qunsetenv("XDG_RUNTIME_DIR");
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    QString problem;
    const QString folder = userRuntimeFolder(&problem);
    const QString expected = temp.path() + QStringLiteral("/kestrun-") + QString::number(::getuid());
    {
        SingleInstanceGuard guard(key);
        QCOMPARE(guard.claim(), SingleInstanceGuard::Claim::Taken);
    }
    qputenv("TMPDIR", savedTemp);
    QCOMPARE(folder, expected);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    struct stat info {
    };
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
    QVERIFY(QFile::exists(folder + QLatin1Char('/') + key + QStringLiteral(".lock")));
}

void TestSingleInstance::foreignFolderIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("open to others") << "open"
                                    << "open to other users";
    QTest::newRow("a link to a folder") << "link"
                                        << "not a folder";
    QTest::newRow("a file") << "file"
                            << "not a folder";
    QTest::newRow("missing") << "missing"
                             << "No such file or directory";
    QTest::newRow("another user's") << "foreign"
                                    << "owned by another user";
}

void TestSingleInstance::foreignFolderIsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString path = runtime->filePath(QStringLiteral("session"));
    if (kind == "open") {
        QVERIFY(QDir().mkdir(path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::WriteOther
                                        | QFile::ExeOther);
    } else if (kind == "link") {
        QVERIFY(QFile::link(runtime->path(), path));
    } else if (kind == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == "foreign") {
        if (::getuid() != 0)
            QSKIP("giving the folder away needs root");
        QVERIFY(QDir().mkdir(path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
    SingleInstanceGuard guard(key);
    QCOMPARE(guard.claim(), SingleInstanceGuard::Claim::Failed);
    QVERIFY2(guard.problem().startsWith(path + QStringLiteral(": ")), qPrintable(guard.problem()));
    QVERIFY2(guard.problem().endsWith(reason), qPrintable(guard.problem()));
    // Nothing is made in a folder that is not the user's alone, and the call is not made either.
    QVERIFY(!QFile::exists(path + QLatin1Char('/') + key + QStringLiteral(".lock")));
    InstanceCallListener listener(key);
    QVERIFY(!listener.listen());
    QVERIFY(!askRunningCopyToShow(key));
}

void TestSingleInstance::laterStartReachesTheRunningCopy()
{
    InstanceCallListener listener(key);
    QVERIFY2(listener.listen(), qPrintable(listener.problem()));
    QSignalSpy shows(&listener, &InstanceCallListener::sigShowRequested);
    // The caller blocks until the running copy hangs up; the running copy answers from its event
    // loop: the caller runs in a process of its own.
    QProcess caller;
    caller.start(QStringLiteral(KESTRUN_SINGLE_INSTANCE_HELPER), {key, QStringLiteral("call")});
    QVERIFY(caller.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(shows.count(), 1, 10000);
    // The event loop of the wait above may have seen the caller end already.
    QVERIFY(caller.state() == QProcess::NotRunning || caller.waitForFinished(10000));
    QCOMPARE(caller.readAllStandardOutput(), QByteArray("reached\n"));
    // A caller that says something else is hung up on without a request.
    QLocalSocket stranger;
    stranger.connectToServer(runtime->filePath(key + QStringLiteral(".socket")));
    QVERIFY(stranger.waitForConnected(5000));
    stranger.write(QByteArray(100, 'x'));
    QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(shows.count(), 1);
}

void TestSingleInstance::leftSocketFileIsReplaced()
{
    // A copy that was killed leaves its socket file; the next one listens all the same.
    QProcess leaver;
    leaver.start(QStringLiteral(KESTRUN_SINGLE_INSTANCE_HELPER), {key, QStringLiteral("listen")});
    QVERIFY(leaver.waitForReadyRead(10000));
    killCopy(leaver);
    QVERIFY(QFile::exists(runtime->filePath(key + QStringLiteral(".socket"))));

    InstanceCallListener listener(key);
    QVERIFY2(listener.listen(), qPrintable(listener.problem()));
    QSignalSpy shows(&listener, &InstanceCallListener::sigShowRequested);
    QProcess caller;
    caller.start(QStringLiteral(KESTRUN_SINGLE_INSTANCE_HELPER), {key, QStringLiteral("call")});
    QTRY_COMPARE_WITH_TIMEOUT(shows.count(), 1, 10000);
    // The event loop of the wait above may have seen the caller end already.
    QVERIFY(caller.state() == QProcess::NotRunning || caller.waitForFinished(10000));
    QCOMPARE(caller.readAllStandardOutput(), QByteArray("reached\n"));
}

void TestSingleInstance::nobodyListening()
{
    QVERIFY(!askRunningCopyToShow(key));
}

KESTRUN_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
