// The built program as a citizen of the user's session: one copy per user, a later start that
// reaches the running copy, --help and --version that start nothing, standard output that
// never holds the program up, and a log that cannot be written said so.

#include "childprogram.h"
#include "logfiles.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

using namespace kestrun::test;

namespace {

const QByteArray kReady = "Create Startup Task -> Over";
const QString kNobody = QStringLiteral("65534");

// One sensor is 512 x 5 reads a cycle: read 7681 is the first of the fourth cycle.
const QByteArray kFourthCycleHangs = "hang_read 7681\nsensor CPU\ntemperature 0 CPU Package = 45\n";

// The scripted sensor library in place of the program's own, with its own lines (on standard
// error) apart from the program's standard output.
void useScenario(ChildProgram &child, const QByteArray &scenario)
{
    const QString path = child.homePath() + "/scenario.txt";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(scenario);
    child.setEnvironmentValue("LD_LIBRARY_PATH", QStringLiteral(KESTRUN_STANDIN_DIR));
    child.setEnvironmentValue("KESTRUN_SDK_SCENARIO", path);
    child.process().setProcessChannelMode(QProcess::SeparateChannels);
    child.process().setReadChannel(QProcess::StandardError);
}

// A copy of the program in the child's home, beside a branding with the given ShowMainPageUI.
QString placeProgram(ChildProgram &child, int showMainPageUi)
{
    QString copy = child.homePath() + "/kestrun";
    if (!QFile::copy(QStringLiteral(KESTRUN_PROGRAM), copy) || !QDir().mkpath(child.homePath() + "/configDir"))
        return QString();
    QFile ini(child.homePath() + "/configDir/appConfig.ini");
    if (!ini.open(QIODevice::WriteOnly))
        return QString();
    ini.write("[AppUiShow]\nShowMainPageUI=" + QByteArray::number(showMainPageUi) + "\n");
    child.process().setProgram(copy);
    return copy;
}

// Starts the program once more with the environment (and so the session) of a running child, as
// the same user; returns its exit code, or -2 when it did not end.
int startAgain(ChildProgram &running, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess again;
    again.setProcessEnvironment(running.process().processEnvironment());
    again.setProcessChannelMode(QProcess::MergedChannels);
    again.start(running.process().program(), arguments);
    if (!again.waitForFinished(30000) || again.exitStatus() != QProcess::NormalExit)
        return -2;
    if (output)
        *output = again.readAll();
    return again.exitCode();
}

QStringList asNobody(const QStringList &command)
{
    return QStringList{"--reuid", kNobody, "--regid", kNobody, "--clear-groups"} + command;
}

bool giveToNobody(const QString &folder)
{
    return QProcess::execute(QStringLiteral("chown"), {"-R", kNobody + ":" + kNobody, folder}) == 0;
}

} // namespace

class TestUserSession : public QObject
{
    Q_OBJECT

private slots:
    void twoUsersEachGetTheirOwnCopy();
    void laterStartShowsTheWindow_data();
    void laterStartShowsTheWindow();
    void helpAndVersionStartNothing_data();
    void helpAndVersionStartNothing();
    void unknownOptionsAreIgnored();
    void closedReaderDoesNotEndTheProgram();
    void fullPipeDoesNotStallTheProgram();
    void unwritableLogIsReportedOnce();
};

void TestUserSession::twoUsersEachGetTheirOwnCopy()
{
    if (::getuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("needs root and setpriv to run a copy as a second user");

    ChildProgram root(QStringLiteral(KESTRUN_PROGRAM));
    QVERIFY(root.start());
    QVERIFY2(root.waitForLog(kReady, kProgramStartMs), root.describe().constData());

    // The other user's copy starts while the first runs.
    ChildProgram nobody(QStringLiteral("setpriv"));
    QVERIFY(giveToNobody(nobody.homePath()));
    QVERIFY(nobody.start(asNobody({QStringLiteral(KESTRUN_PROGRAM)})));
    QVERIFY2(nobody.waitForLog(kReady, kProgramStartMs), nobody.describe().constData());

    // Each user's second start gives way to that user's copy.
    QCOMPARE(startAgain(root, {}), 255);
    QCOMPARE(startAgain(nobody, asNobody({QStringLiteral(KESTRUN_PROGRAM)})), 255);

    // A killed copy blocks nobody: not the other user, not its own user's next start.
    root.process().kill();
    QVERIFY(root.process().waitForFinished(10000));
    QVERIFY(!root.guardLeft());
    QCOMPARE(startAgain(nobody, asNobody({QStringLiteral(KESTRUN_PROGRAM)})), 255);
    nobody.process().kill();
    QVERIFY(nobody.process().waitForFinished(10000));

    ChildProgram nobodyAgain(QStringLiteral("setpriv"));
    nobodyAgain.process().setProcessEnvironment(nobody.process().processEnvironment());
    QVERIFY(nobodyAgain.start(asNobody({QStringLiteral(KESTRUN_PROGRAM)})));
    QTRY_COMPARE_WITH_TIMEOUT(
        readAllLogs(nobody.process().processEnvironment().value("XDG_DATA_HOME") + "/kestrun/logDir").count(kReady), 2,
        kProgramStartMs);
    nobodyAgain.sendSignal(SIGTERM);
    QVERIFY2(nobodyAgain.endsWith(0, 30000), nobodyAgain.describe().constData());
}

void TestUserSession::laterStartShowsTheWindow_data()
{
    QTest::addColumn<int>("showMainPageUi");
    QTest::addColumn<QString>("answer");
    QTest::newRow("a branding that shows the window") << 1 << "A later start asked for the window: shown";
    QTest::newRow("one that never does") << 0 << "A later start asked for the window: not shown, ShowMainPageUI is 0";
}

void TestUserSession::laterStartShowsTheWindow()
{
    QFETCH(int, showMainPageUi);
    QFETCH(QString, answer);
    // Hidden, as the logon task starts it, on a platform without a tray: the later start is the
    // only way to the window.
    ChildProgram first(QStringLiteral(KESTRUN_PROGRAM));
    QVERIFY(!placeProgram(first, showMainPageUi).isEmpty());
    QVERIFY(first.start({QStringLiteral("---StartupByTaskMinWindow")}));
    QVERIFY2(first.waitForLog(kReady, kProgramStartMs), first.describe().constData());

    QByteArray output;
    QCOMPARE(startAgain(first, {}, &output), 255);
    QCOMPARE(output, QByteArray());
    QVERIFY2(first.waitForLog(answer, 30000), first.describe().constData());

    first.sendSignal(SIGTERM);
    QVERIFY2(first.endsWith(0, 30000), first.describe().constData());
    QCOMPARE(first.logMessages().filter("A later start asked for the window").size(), 1);
}

void TestUserSession::helpAndVersionStartNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("printed");
    const QByteArray version = "kestrun " KESTRUN_VERSION "\n";
    QTest::newRow("--help") << QStringList{"--help"} << QByteArray("Usage: ");
    QTest::newRow("-h") << QStringList{"-h"} << QByteArray("Usage: ");
    QTest::newRow("--version") << QStringList{"--version"} << version;
    QTest::newRow("-v") << QStringList{"-v"} << version;
    QTest::newRow("with the logon flag and an unknown option")
        << QStringList{"---StartupByTaskMinWindow", "--no-such-option", "--version"} << version;
}

void TestUserSession::helpAndVersionStartNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, printed);
    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    QVERIFY(child.start(arguments));
    QVERIFY2(child.endsWith(0, 30000), child.describe().constData());
    QVERIFY2(child.output().startsWith(printed), child.describe().constData());
    if (printed.startsWith("Usage"))
        QVERIFY(child.output().contains("--version") && child.output().contains("--help"));
    else
        QCOMPARE(child.output(), printed);
    // No guard taken, no autostart entry written, no log.
    QVERIFY(!QFile::exists(child.homePath() + "/.config/autostart"));
    QVERIFY(!QFile::exists(child.homePath() + "/.local/share/kestrun"));
    QCOMPARE(QDir(child.homePath() + "/runtime").entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
             QStringList());
}

void TestUserSession::unknownOptionsAreIgnored()
{
    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    QVERIFY(child.start({"--no-such-option", "-x", "---StartupByTaskMinWindow"}));
    QVERIFY2(child.waitForLog(kReady, kProgramStartMs), child.describe().constData());
    QVERIFY2(child.output().contains("Program was started by Task Scheduler.\n"), child.describe().constData());
    child.sendSignal(SIGTERM);
    QVERIFY2(child.endsWith(0, 30000), child.describe().constData());
}

void TestUserSession::closedReaderDoesNotEndTheProgram()
{
    // kestrun | head -c1: the reader goes after the first byte, the program prints on.
    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    useScenario(child, kFourthCycleHangs);
    QProcess head;
    child.process().setStandardOutputProcess(&head);
    head.start(QStringLiteral("head"), {"-c1"});
    QVERIFY(head.waitForStarted());
    QVERIFY(child.start());
    QVERIFY(head.waitForFinished(kProgramStartMs));
    QCOMPARE(head.readAllStandardOutput(), QByteArray("P"));
    // Three cycles printed into the closed pipe, and the fourth has begun.
    QVERIFY2(child.waitForOutput("sdkstandin: read hangs", kProgramStartMs), child.describe().constData());
    child.sendSignal(SIGTERM);
    QVERIFY2(child.endsWith(0, 30000), child.describe().constData());
}

void TestUserSession::fullPipeDoesNotStallTheProgram()
{
    // A reader that never reads, and a pipe already full when the program starts.
    int ends[2];
    QCOMPARE(::pipe2(ends, O_CLOEXEC), 0);
    const auto closeEnds = qScopeGuard([&ends] {
        ::close(ends[0]);
        ::close(ends[1]);
    });
    QVERIFY(::fcntl(ends[1], F_SETFL, O_NONBLOCK) == 0);
    const QByteArray block(4096, 'x');
    while (::write(ends[1], block.constData(), size_t(block.size())) > 0) {
    }
    QCOMPARE(errno, EAGAIN);

    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    useScenario(child, kFourthCycleHangs);
    // Opened anew through /proc: the program's end of the pipe blocks, as a shell's would.
    child.process().setStandardOutputFile(QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(ends[1]));
    QVERIFY(child.start());
    QVERIFY2(child.waitForOutput("sdkstandin: read hangs", kProgramStartMs), child.describe().constData());
    child.sendSignal(SIGTERM);
    QVERIFY2(child.endsWith(0, 30000), child.describe().constData());
}

void TestUserSession::unwritableLogIsReportedOnce()
{
    // A file where the data folder belongs: the log folder cannot be made.
    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    const QString dataHome = child.homePath() + "/data-is-a-file";
    QFile blocker(dataHome);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    child.setEnvironmentValue("XDG_DATA_HOME", dataHome);
    QVERIFY(child.start());
    // The window stands and the sensor library was tried: many records were written by then.
    QTRY_VERIFY2_WITH_TIMEOUT(child.output().contains("SDK HWiNFO -> INIT")
                                  || child.output().contains("CANNOT LOAD DLL"),
                              child.describe().constData(), kProgramStartMs);
    child.sendSignal(SIGTERM);
    QVERIFY2(child.endsWith(0, 30000), child.describe().constData());
    const QByteArray report = "Kestrun: cannot write the log in " + QFile::encodeName(dataHome) + "/kestrun/logDir: ";
    QCOMPARE(child.output().count(report), 1);
    QVERIFY2(child.output().contains(report + "Not a directory\n"), child.describe().constData());
}

KESTRUN_TEST_MAIN(TestUserSession)
#include "tst_usersession.moc"
