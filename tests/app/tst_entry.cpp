#include "app/appentry.h"
#include "app/commandline.h"
#include "childhome.h"
#include "config/appconfig.h"
#include "logfiles.h"
#include "platform/startuptask.h"
#include "testenv.h"

#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

using namespace kestrun::test;

// The start-up decisions as pure functions, and the real program started twice.
class TestEntry : public QObject
{
    Q_OBJECT

private slots:
    void taskFlag_data();
    void taskFlag();
    void showAtStart_data();
    void showAtStart();
    void commandLine_data();
    void commandLine();
    void commandLineAnswers();
    void secondCopyExitsAndFirstEndsOnSigterm();
};

void TestEntry::taskFlag_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("byTask");
    QTest::newRow("no arguments") << QStringList{} << false;
    QTest::newRow("exact") << QStringList{"---StartupByTaskMinWindow"} << true;
    QTest::newRow("anywhere after the name") << QStringList{"-x", "y", "---StartupByTaskMinWindow"} << true;
    QTest::newRow("wrong case") << QStringList{"---startupbytaskminwindow"} << false;
    QTest::newRow("two hyphens") << QStringList{"--StartupByTaskMinWindow"} << false;
    QTest::newRow("with a tail") << QStringList{"---StartupByTaskMinWindow2"} << false;
}

void TestEntry::taskFlag()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, byTask);
    // The program's own name is never looked at, even when it equals the marker.
    std::vector<QByteArray> bytes{QByteArray("---StartupByTaskMinWindow")};
    for (const QString &argument : arguments)
        bytes.push_back(argument.toUtf8());
    std::vector<const char *> argv;
    argv.reserve(bytes.size());
    for (const QByteArray &b : bytes)
        argv.push_back(b.constData());
    QCOMPARE(hasTaskStartMarker(int(argv.size()), argv.data()), byTask);
}

void TestEntry::showAtStart_data()
{
    QTest::addColumn<QString>("iniLine");
    QTest::addColumn<bool>("byTask");
    QTest::addColumn<bool>("shown");
    QTest::newRow("1") << "ShowMainPageUI=1" << false << true;
    QTest::newRow("1, started by the task") << "ShowMainPageUI=1" << true << false;
    QTest::newRow("0") << "ShowMainPageUI=0" << false << false;
    QTest::newRow("2") << "ShowMainPageUI=2" << false << false;
    QTest::newRow("missing") << "" << false << false;
}

void TestEntry::showAtStart()
{
    QFETCH(QString, iniLine);
    QFETCH(bool, byTask);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    QFile ini(dir.filePath("appConfig.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[AppUiShow]\n" + iniLine + "\n").toUtf8());
    ini.close();
    QCOMPARE(showWindowAtStart(byTask, readAppConfig(dir.path() + "/").showMainPageUi), shown);
}

void TestEntry::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("request");
    const int run = int(CommandLineRequest::Run);
    const int help = int(CommandLineRequest::Help);
    const int version = int(CommandLineRequest::Version);
    QTest::newRow("nothing") << QStringList{} << run;
    QTest::newRow("--help") << QStringList{"--help"} << help;
    QTest::newRow("-h") << QStringList{"-h"} << help;
    QTest::newRow("--version") << QStringList{"--version"} << version;
    QTest::newRow("-v") << QStringList{"-v"} << version;
    QTest::newRow("both: help first") << QStringList{"--version", "--help"} << help;
    QTest::newRow("the logon flag") << QStringList{"---StartupByTaskMinWindow"} << run;
    QTest::newRow("unknown options around it") << QStringList{"--bogus", "-x", "--version", "more"} << version;
    QTest::newRow("a toolkit word with a v in it") << QStringList{"-reverse"} << run;
    QTest::newRow("a toolkit option with its value") << QStringList{"-platform", "offscreen"} << run;
    QTest::newRow("after --, a plain argument") << QStringList{"--", "--help"} << run;
}

void TestEntry::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, request);
    QCOMPARE(int(commandLineRequest(QStringList{"kestrun"} + arguments)), request);
    // Nor is the program's name taken for an option.
    QCOMPARE(int(commandLineRequest(QStringList{"--help"} + arguments)), request);
}

void TestEntry::commandLineAnswers()
{
    QCOMPARE(programVersion(), QStringLiteral(KESTRUN_VERSION));
    QCOMPARE(commandLineAnswer(CommandLineRequest::Version),
             QCoreApplication::applicationName() + QStringLiteral(" " KESTRUN_VERSION "\n"));
    const QString help = commandLineAnswer(CommandLineRequest::Help);
    QVERIFY2(help.startsWith(QStringLiteral("Usage: ")), qPrintable(help));
    for (const char *option : {"-h, --help", "-v, --version", "Kestrun"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
    QCOMPARE(commandLineAnswer(CommandLineRequest::Run), QString());
}

void TestEntry::secondCopyExitsAndFirstEndsOnSigterm()
{
    // A home and a temporary folder of its own: the single-instance key is tied to the latter.
    const ChildHome home;
    const QProcessEnvironment env = home.environment();
    const auto logs = [&] { return readAllLogs(home.logFolder()); };

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(KESTRUN_PROGRAM), QStringList{});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(logs().contains("HWi32SDK init Over"), kestrun::test::kProgramStartMs);
    QTRY_VERIFY_WITH_TIMEOUT(logs().contains("Create Startup Task -> Over"), 5000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(KESTRUN_PROGRAM), QStringList{"---StartupByTaskMinWindow"});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 255);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());

    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(15000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(first.readAllStandardOutput().startsWith("Program was not started by Task Scheduler.\n"));

    // The orderly end let go of the single-instance mark: nothing holds off a later start.
    QVERIFY(!home.singleInstanceGuardLeft());

    const QByteArray log = logs();
    QVERIFY(log.contains("Start Update -> Over"));
    QVERIFY(log.contains("Exit app runing [Normal]"));
    // The device is absent: the link was never open, so nothing was closed.
    QVERIFY(!log.contains("Pull out a device"));
    QVERIFY(!log.contains("onOpenHidSuccessful"));
    // The SDK is released only when it had started.
    QCOMPARE(log.contains("HWi32SDK UNinit Over [Status],errorCode:"), log.contains("HWi32SDK init Over [Successful]"));
    QVERIFY(log.indexOf("Exit app runing [Normal]") > log.indexOf("HWi32SDK init Over"));
}

KESTRUN_TEST_MAIN(TestEntry)
#include "tst_entry.moc"
