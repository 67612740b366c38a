#include "testenv.h"

#include "platform/windowscommandline.h"

#include <QString>

// Texts are written with / for the backslash and ' for the quotation mark, so the table reads
// as the command line does.
namespace {
std::wstring decoded(const QString &text)
{
    QString real = text;
    real.replace('/', '\\').replace('\'', '"');
    return real.toStdWString();
}
} // namespace

class TestWindowsCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void argument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "---StartupByTaskMinWindow"
                               << "---StartupByTaskMinWindow";
        QTest::newRow("backslashes without blanks stay") << "C:/dir//file/"
                                                         << "C:/dir//file/";
        QTest::newRow("empty") << ""
                               << "''";
        QTest::newRow("blank") << "two words"
                               << "'two words'";
        QTest::newRow("tab") << "a\tb"
                             << "'a\tb'";
        QTest::newRow("line end") << "a\nb"
                                  << "'a\nb'";
        QTest::newRow("vertical tab") << "a\vb"
                                      << "'a\vb'";
        QTest::newRow("quotation mark") << "say 'hi'"
                                        << "'say /'hi/''";
        QTest::newRow("backslash before a quotation mark") << "a/'b"
                                                           << "'a///'b'";
        QTest::newRow("two backslashes before a quotation mark") << "a//'b"
                                                                 << "'a/////'b'";
        QTest::newRow("trailing backslash") << "C:/Program Files/"
                                            << "'C:/Program Files//'";
        QTest::newRow("trailing backslashes") << "a b//"
                                              << "'a b////'";
        QTest::newRow("inner backslashes stay") << "a/b c"
                                                << "'a/b c'";
        QTest::newRow("only a quotation mark") << "'"
                                               << "'/''";
    }
    void argument()
    {
        QFETCH(QString, argument);
        QFETCH(QString, quoted);
        QCOMPARE(QString::fromStdWString(quoteWindowsArgument(decoded(argument))),
                 QString::fromStdWString(decoded(quoted)));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");
        QTest::newRow("no arguments") << "C:/Program Files/Kestrun/kestrun.exe" << QStringList()
                                      << "'C:/Program Files/Kestrun/kestrun.exe'";
        QTest::newRow("the task's marker")
            << "C:/Program Files/Kestrun/kestrun.exe" << QStringList{"---StartupByTaskMinWindow"}
            << "'C:/Program Files/Kestrun/kestrun.exe' ---StartupByTaskMinWindow";
        QTest::newRow("several") << "C:/k.exe" << QStringList{"a", "", "b c", "d'"} << "'C:/k.exe' a '' 'b c' 'd/''";
    }
    void commandLine()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        std::vector<std::wstring> wide;
        for (const QString &argument : arguments)
            wide.push_back(decoded(argument));
        QCOMPARE(QString::fromStdWString(windowsCommandLine(decoded(program), wide)),
                 QString::fromStdWString(decoded(line)));
    }
};

KESTRUN_TEST_MAIN(TestWindowsCommandLine)
#include "tst_windowscommandline.moc"
