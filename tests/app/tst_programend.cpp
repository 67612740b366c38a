// How the built program ends: a quit that the sensor library cannot hold up (the scripted stand-in
// of tests/hardware hangs where it is told to).

#include "childprogram.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <memory>

using namespace kestrun::test;

namespace {

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

} // namespace

class TestProgramEnd : public QObject
{
    Q_OBJECT

private slots:
    void quitEndsWhateverTheLibraryDoes_data();
    void quitEndsWhateverTheLibraryDoes();

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

KESTRUN_TEST_MAIN(TestProgramEnd)
#include "tst_programend.moc"
