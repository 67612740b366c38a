#include "testenv.h"

#include "mainwindow/startuptaskstep.h"
#include "platform/autostartentry.h"
#include "platform/desktopentry.h"
#include "platform/schtasksparams.h"
#include "platform/startuptask.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The reading side of the Desktop Entry rules, as a launcher applies them: first the string
// value's escapes, then the Exec key's quoting and field codes.
QString unescapeStringValue(const QString &value)
{
    QString text;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 't':
            text += QLatin1Char('\t');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        case 's':
            text += QLatin1Char(' ');
            break;
        default:
            text += next;
        }
    }
    return text;
}

// Splits an unescaped Exec line into argv. Returns false on a malformed line.
bool splitExec(const QString &line, QStringList *argv)
{
    argv->clear();
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\')) {
                if (i + 1 == line.size())
                    return false;
                const QChar escaped = line[++i];
                if (!QStringLiteral("\"`$\\").contains(escaped))
                    return false;
                current += escaped;
            } else if (c == QLatin1Char('%')) {
                // Field codes are not allowed inside quotes; only the literal %% is.
                if (i + 1 == line.size() || line[i + 1] != QLatin1Char('%'))
                    return false;
                current += c;
                ++i;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ')) {
            if (inArgument)
                *argv << current;
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArgument = true;
        } else if (c == QLatin1Char('%')) {
            if (i + 1 == line.size() || line[i + 1] != QLatin1Char('%'))
                return false;
            current += c;
            ++i;
            inArgument = true;
        } else if (QStringLiteral("\t\n'\\><~|&;$*?#()`").contains(c)) {
            return false; // reserved characters must be quoted
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return false;
    if (inArgument)
        *argv << current;
    return true;
}

QString entryValue(const QByteArray &text, const QString &key)
{
    for (const QString &line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QString();
}

} // namespace

class TestStartupTask : public QObject
{
    Q_OBJECT
private slots:
    void marker_data();
    void marker();
    void taskName_data();
    void taskName();
    void schtasks_data();
    void schtasks();
    void execRoundTrip_data();
    void execRoundTrip();
    void entryIsWritten();
    void entryIsValid_data();
    void entryIsValid();
    void switchedOffText_data();
    void switchedOffText();
    void switchedOffEntryIsKept_data();
    void switchedOffEntryIsKept();
    void failureShowsTip();
};

void TestStartupTask::marker_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("byTask");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("exact") << QStringList{"---StartupByTaskMinWindow"} << true;
    QTest::newRow("anywhere after the name") << QStringList{"-x", "y", "---StartupByTaskMinWindow"} << true;
    QTest::newRow("other case") << QStringList{"---startupbytaskminwindow"} << false;
    QTest::newRow("two hyphens") << QStringList{"--StartupByTaskMinWindow"} << false;
    QTest::newRow("part of an argument") << QStringList{"---StartupByTaskMinWindow2"} << false;
}

void TestStartupTask::marker()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, byTask);
    // argv[0] is the program and never counts, even when it equals the marker.
    std::vector<QByteArray> storage{QByteArray("---StartupByTaskMinWindow")};
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<const char *> argv;
    argv.reserve(storage.size());
    for (const QByteArray &argument : storage)
        argv.push_back(argument.constData());
    QCOMPARE(hasTaskStartMarker(int(argv.size()), argv.data()), byTask);
}

void TestStartupTask::taskName_data()
{
    QTest::addColumn<QString>("application");
    QTest::addColumn<QString>("appId");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "kestrun"
                           << "A1"
                           << "kestrunStartupTaskOKver---A1";
    QTest::newRow("other executable") << "monitor"
                                      << "A1"
                                      << "monitorStartupTaskOKver---A1";
    QTest::newRow("empty AppID") << "kestrun"
                                 << ""
                                 << "kestrunStartupTaskOKver---";
}

void TestStartupTask::taskName()
{
    QFETCH(QString, application);
    QFETCH(QString, appId);
    QFETCH(QString, expected);
    QCOMPARE(startupTaskName(application, appId), expected);
}

void TestStartupTask::schtasks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks in name and path")
        << "My Monitor StartupTaskOKver---ID 7"
        << "C:/Program Files/My Monitor/monitor.exe"
        << R"(/create /tn "My Monitor StartupTaskOKver---ID 7" /tr "\"C:/Program Files/My Monitor/monitor.exe\" ---StartupByTaskMinWindow" /sc onlogon /rl highest)";
    QTest::newRow("empty AppID")
        << "kestrunStartupTaskOKver---"
        << "C:/k/kestrun.exe"
        << R"(/create /tn "kestrunStartupTaskOKver---" /tr "\"C:/k/kestrun.exe\" ---StartupByTaskMinWindow" /sc onlogon /rl highest)";
    QTest::newRow("placeholders in values stay literal")
        << "a%2b%3"
        << "C:/100%1/x.exe"
        << R"(/create /tn "a%2b%3" /tr "\"C:/100%1/x.exe\" ---StartupByTaskMinWindow" /sc onlogon /rl highest)";
}

void TestStartupTask::schtasks()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const std::wstring parameters =
        schtasksParameters(name.toStdWString(), path.toStdWString(), taskStartMarker().toStdWString());
    QCOMPARE(QString::fromStdWString(parameters), expected);
}

void TestStartupTask::execRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/usr/lib/kestrun/kestrun";
    QTest::newRow("blanks") << "/home/a b/My Apps/kestrun";
    QTest::newRow("quotes") << "/opt/\"quoted\"/it's/kestrun";
    QTest::newRow("dollar and backtick") << "/tmp/$HOME/`id`/$(whoami)/kestrun";
    QTest::newRow("percent") << "/tmp/100%/%f %U/kestrun";
    QTest::newRow("backslashes") << "/tmp/back\\slash\\\\two/\\\"/kestrun";
    QTest::newRow("shell specials") << "/tmp/a;b|c&d<e>f~g*h?i#j(k)/kestrun";
    QTest::newRow("line ends and tabs") << "/tmp/new\nline\ttab\rcr/kestrun";
    QTest::newRow("unicode") << "/home/jürgen/程序/kestrun";
}

void TestStartupTask::execRoundTrip()
{
    QFETCH(QString, path);
    const QByteArray text = autostartEntryText(path);
    // One line per key: nothing in the path may break the file's structure.
    QCOMPARE(text.count('\n'), 8);
    QStringList argv;
    QVERIFY2(splitExec(unescapeStringValue(entryValue(text, QStringLiteral("Exec"))), &argv), text.constData());
    QCOMPARE(argv, QStringList({path, QStringLiteral("---StartupByTaskMinWindow")}));
}

void TestStartupTask::entryIsWritten()
{
    const QString name = QStringLiteral("kestrunStartupTaskOKver---Brand/1");
    const QString program = QStringLiteral("/opt/Kes trun/kestrun");
    const QString expectedPath =
        kestrun::test::homePath() + "/.config/autostart/kestrunStartupTaskOKver---Brand_1.desktop";
    QCOMPARE(autostartEntryPath(name), expectedPath);

    // Issued on every start: the second call replaces the first file whole.
    for (int round = 0; round < 2; ++round) {
        const StartupTaskResult result = registerStartupTask(name, program);
        QVERIFY(result.handedOver);
        QFile file(expectedPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), autostartEntryText(program));
    }
    const QByteArray text = autostartEntryText(program);
    QCOMPARE(entryValue(text, "Type"), QStringLiteral("Application"));
    // What a desktop's start-up settings list: the product, not the task's file name.
    QCOMPARE(entryValue(text, "Name"), QStringLiteral("Kestrun"));
    QVERIFY(!entryValue(text, "Comment").isEmpty());
    QCOMPARE(entryValue(text, "Icon"), QStringLiteral("kestrun"));
    QCOMPARE(entryValue(text, "Exec"), QStringLiteral("\"/opt/Kes trun/kestrun\" ---StartupByTaskMinWindow"));
    QVERIFY(QFile::remove(expectedPath));

    // The whole step, as the window runs it, registers this program under its own name.
    QVERIFY(createStartupTask(QStringLiteral("A1")));
    const QString ownEntry = autostartEntryPath(startupTaskName(QCoreApplication::applicationName(), "A1"));
    QFile own(ownEntry);
    QVERIFY(own.open(QIODevice::ReadOnly));
    QStringList argv;
    QVERIFY(splitExec(unescapeStringValue(entryValue(own.readAll(), "Exec")), &argv));
    QCOMPARE(argv, QStringList({QCoreApplication::applicationFilePath(), taskStartMarker()}));
}

void TestStartupTask::entryIsValid_data()
{
    execRoundTrip_data();
}

// The desktop's own checker accepts the entry whatever the program path holds.
void TestStartupTask::entryIsValid()
{
    QFETCH(QString, path);
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate (package desktop-file-utils) is not installed");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile entry(folder.filePath(QStringLiteral("kestrunStartupTaskOKver---A1.desktop")));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write(autostartEntryText(path));
    entry.close();
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(validator, {entry.fileName()});
    QVERIFY(check.waitForFinished(30000));
    const QByteArray said = check.readAll();
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, said.constData());
    // Hints are advice for menu entries; errors and warnings are not allowed.
    QVERIFY2(!said.contains("error:") && !said.contains("warning:"), said.constData());
}

void TestStartupTask::switchedOffText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("off");
    QTest::newRow("ours") << autostartEntryText(QStringLiteral("/usr/bin/kestrun")) << false;
    QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nType=Application\nHidden=true\n") << true;
    QTest::newRow("gnome switch off") << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << true;
    QTest::newRow("blanks around the sign") << QByteArray("[Desktop Entry]\n  Hidden = true \n") << true;
    QTest::newRow("crlf lines") << QByteArray("[Desktop Entry]\r\nHidden=true\r\n") << true;
    QTest::newRow("hidden false") << QByteArray("[Desktop Entry]\nHidden=false\n") << false;
    QTest::newRow("gnome switch on") << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=true\n") << false;
    QTest::newRow("other group") << QByteArray("[Desktop Entry]\nName=K\n[Desktop Action x]\nHidden=true\n") << false;
    QTest::newRow("localized key") << QByteArray("[Desktop Entry]\nHidden[de]=true\n") << false;
    QTest::newRow("comment") << QByteArray("[Desktop Entry]\n# Hidden=true\n") << false;
    QTest::newRow("value case") << QByteArray("[Desktop Entry]\nHidden=True\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestStartupTask::switchedOffText()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, off);
    QCOMPARE(autostartSwitchedOff(text), off);
}

void TestStartupTask::switchedOffEntryIsKept_data()
{
    QTest::addColumn<QByteArray>("userEntry");
    QTest::newRow("hidden") << QByteArray(
        "[Desktop Entry]\nType=Application\nName=Kestrun\nExec=/old/kestrun\nHidden=true\n");
    QTest::newRow("gnome switch off") << QByteArray(
        "[Desktop Entry]\nType=Application\nName=Kestrun\nExec=/old/kestrun\nX-GNOME-Autostart-enabled=false\n");
}

// A start leaves the entry the user switched off byte for byte as it was, and reports no failure
// (the window shows no "Tip" box for it).
void TestStartupTask::switchedOffEntryIsKept()
{
    QFETCH(QByteArray, userEntry);
    const QString name = QStringLiteral("kestrunStartupTaskOKver---Off");
    const QString path = autostartEntryPath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(userEntry);
    }
    QVERIFY(registerStartupTask(name, QStringLiteral("/usr/bin/kestrun")).handedOver);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), userEntry);
    }
    // Without an entry, a start writes the program's own.
    QVERIFY(QFile::remove(path));
    QVERIFY(registerStartupTask(name, QStringLiteral("/usr/bin/kestrun")).handedOver);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), autostartEntryText(QStringLiteral("/usr/bin/kestrun")));
    file.close();
    QVERIFY(QFile::remove(path));
}

void TestStartupTask::failureShowsTip()
{
    // A file where the autostart folder should be makes the write fail.
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QString blocked = kestrun::test::homePath() + "/blocked-config";
    QDir().mkpath(blocked);
    QFile blocker(blocked + "/autostart");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocked.toLocal8Bit());

    QString title;
    QString text;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    const bool handedOver = createStartupTask(QStringLiteral("A1"));
    qputenv("XDG_CONFIG_HOME", savedConfig);

    QVERIFY(!handedOver);
    QCOMPARE(title, QStringLiteral("Tip"));
    QVERIFY2(text.startsWith(QStringLiteral("ShellExecute error: ")), qPrintable(text));
    bool numeric = false;
    QVERIFY(text.mid(20).toInt(&numeric) != 0 && numeric);
}

KESTRUN_TEST_MAIN(TestStartupTask)
#include "tst_startuptask.moc"
