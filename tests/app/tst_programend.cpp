// How the built program ends: a session that ends while it starts up, and a quit that the sensor
// library cannot hold up (the scripted stand-in of tests/hardware hangs where it is told to).

#include "childprogram.h"
#include "testenv.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#undef signals
#include <umockdev.h>

using namespace kestrun::test;

namespace {

struct TestbedDeleter {
    void operator()(UMockdevTestbed *testbed) const { g_object_unref(testbed); }
};
using Testbed = std::unique_ptr<UMockdevTestbed, TestbedDeleter>;

// The program with the scripted sensor library in place of its own.
std::unique_ptr<ChildProgram> programWithScenario(const QByteArray &scenario)
{
    auto child = std::make_unique<ChildProgram>(QStringLiteral(KESTRUN_PROGRAM));
    const QString path = child->homePath() + "/scenario.txt";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(scenario);
    child->setEnvironmentValue("LD_LIBRARY_PATH", QStringLiteral(KESTRUN_STANDIN_DIR));
    child->setEnvironmentValue("KESTRUN_SDK_SCENARIO", path);
    return child;
}

// The writing end of a FIFO, opened only once a reader holds the other end (-1 until then).
int openFifoForReader(const QByteArray &path)
{
    return ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
}

// Hands the text to the reader and closes, which ends its read.
void serveFifo(int fd, const QByteArray &text)
{
    if (::write(fd, text.constData(), size_t(text.size())) != text.size())
        qWarning("short write to the FIFO");
    ::close(fd);
}

} // namespace

class TestProgramEnd : public QObject
{
    Q_OBJECT

private slots:
    void quitEndsWhateverTheLibraryDoes_data();
    void quitEndsWhateverTheLibraryDoes();
    void sessionEndDuringTheInventory();
    void sessionEndInTheStartupTaskMessageBox();

private:
    // The checks of every orderly end: exit code 0, the guard released, the exit record last.
    static void verifyOrderlyEnd(ChildProgram &child, int guardMs);
};

void TestProgramEnd::verifyOrderlyEnd(ChildProgram &child, int guardMs)
{
    QVERIFY2(child.endsWith(0, guardMs), child.describe().constData());
    QVERIFY2(!child.guardLeft(), "the single-instance guard was left behind");
    const QStringList log = child.logMessages();
    QVERIFY2(!log.isEmpty() && log.last() == "Exit app runing [Normal]", child.describe().constData());
    QVERIFY2(!child.output().contains("call after sdkUninit"), child.describe().constData());
}

void TestProgramEnd::quitEndsWhateverTheLibraryDoes_data()
{
    QTest::addColumn<QByteArray>("scenario");
    QTest::addColumn<QByteArray>("hangs");
    QTest::addColumn<QStringList>("abandoned");
    QTest::newRow("sdkInit never returns")
        << QByteArray("hang_init\n") << QByteArray("sdkstandin: sdkInit hangs")
        << QStringList{"Exit app -> SDK start thread abandoned, sdkInit has not returned"};
    // One sensor is 512 x 5 reads a cycle: read 2561 is the first of the second cycle, once the
    // window has taken the SDK as started.
    QTest::newRow("a read never returns")
        << QByteArray("hang_read 2561\nsensor CPU\ntemperature 0 CPU Package = 45\n")
        << QByteArray("sdkstandin: read hangs")
        << QStringList{"HWi32SDK UNinit abandoned, a sensor read has not returned",
                       "Exit app -> sensor thread abandoned, a sensor read has not returned"};
}

void TestProgramEnd::quitEndsWhateverTheLibraryDoes()
{
    QFETCH(QByteArray, scenario);
    QFETCH(QByteArray, hangs);
    QFETCH(QStringList, abandoned);
    const std::unique_ptr<ChildProgram> child = programWithScenario(scenario);
    QVERIFY(child->start());
    QVERIFY2(child->waitForOutput(hangs, kProgramStartMs), child->describe().constData());

    QElapsedTimer ending;
    ending.start();
    child->sendSignal(SIGTERM);
    // The guard only keeps a hang from hanging the test: the program ends in about 2 s.
    verifyOrderlyEnd(*child, 30000);
    if (QTest::currentTestFailed())
        return;
    qInfo("ended %lld ms after SIGTERM", ending.elapsed());

    const QStringList log = child->logMessages();
    for (const QString &line : abandoned)
        QVERIFY2(log.contains(line), qPrintable(line));
    // Nothing claims a release that did not happen.
    QVERIFY(log.filter("HWi32SDK UNinit Over").isEmpty());
}

void TestProgramEnd::sessionEndDuringTheInventory()
{
    // The emulated machine's /proc/cpuinfo is a FIFO: the inventory waits in it until the test
    // writes, so the request is sure to come while the inventory runs.
    Testbed testbed(umockdev_testbed_new());
    gchar *root = umockdev_testbed_get_root_dir(testbed.get());
    const QByteArray cpuinfo = QByteArray(root) + "/proc/cpuinfo";
    g_free(root);
    QVERIFY(QDir().mkpath(QFileInfo(QFile::decodeName(cpuinfo)).absolutePath()));
    QVERIFY(::mkfifo(cpuinfo.constData(), 0644) == 0);

    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    QVERIFY(child.start());
    // Polled: a reader shows only as a writer's open that succeeds.
    int fd = -1;
    const QDeadlineTimer guard(kProgramStartMs);
    while ((fd = openFifoForReader(cpuinfo)) < 0 && child.process().state() != QProcess::NotRunning
           && !guard.hasExpired())
        child.process().waitForFinished(20);
    QVERIFY2(fd >= 0, child.describe().constData());
    child.sendSignal(SIGTERM);
    serveFifo(fd, "processor\t: 0\nmodel name\t: Test CPU\n\n");
    verifyOrderlyEnd(child, 30000);
    if (QTest::currentTestFailed())
        return;

    // The start-up was cut short before the window was built.
    const QStringList log = child.logMessages();
    QVERIFY2(log.contains("Session end during start-up, signal: 15"), child.describe().constData());
    QVERIFY(log.filter("initTheme runing").isEmpty());
}

void TestProgramEnd::sessionEndInTheStartupTaskMessageBox()
{
    // A file where the autostart folder belongs: the logon task cannot be written, and the window's
    // construction stops in the modal "Tip" box until someone answers it.
    ChildProgram child(QStringLiteral(KESTRUN_PROGRAM));
    QFile blocker(child.homePath() + "/.config/autostart");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(child.start());
    QVERIFY2(child.waitForOutput("Error: ", kProgramStartMs), child.describe().constData());

    child.sendSignal(SIGHUP);
    verifyOrderlyEnd(child, 30000);
    if (QTest::currentTestFailed())
        return;
    const QStringList log = child.logMessages();
    QVERIFY(log.contains("Create Startup Task -> Start"));
    QVERIFY(!log.contains("Create Startup Task -> Over"));
    QVERIFY2(log.contains("Session end during start-up, signal: 1"), child.describe().constData());
}

KESTRUN_TEST_MAIN(TestProgramEnd)
#include "tst_programend.moc"
