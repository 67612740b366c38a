// How the built program ends on Windows when the session ends or someone asks it to close: a copy
// of kestrun.exe (with the stand-in SDK library and the sample branding beside it) runs as a child
// with real native windows, shown or hidden, and gets what Windows or taskkill would send it.
#include "testenv.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>

#include <windows.h>

namespace {

const QString kProgram = QStringLiteral(KESTRUN_PROGRAM_COPY);
constexpr wchar_t kSessionWindowClass[] = L"KestrunSessionEndWindow";

// The program's log folder: its application data is named after the copy's file name.
QString logFolder()
{
    return QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) + '/' + QFileInfo(kProgram).completeBaseName()
           + "/logDir";
}

// The messages of every log record, oldest day first.
QStringList logMessages()
{
    const QByteArray marker("]--------------------> ");
    QStringList messages;
    const QDir folder(logFolder());
    for (const QString &name : folder.entryList({"*.log"}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &record : file.readAll().split('\n')) {
            const int at = record.indexOf(marker);
            if (at >= 0)
                messages << QString::fromLocal8Bit(record.mid(at + marker.size())).remove('\r');
        }
    }
    return messages;
}

struct ChildWindows {
    DWORD processId;
    QVector<HWND> all;
    HWND session = nullptr;
    HWND main = nullptr;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM context)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): Win32 passes windows and pointers as integers
    auto *windows = reinterpret_cast<ChildWindows *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != windows->processId)
        return TRUE;
    windows->all << window;
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    const QString name = QString::fromWCharArray(className);
    if (name == QString::fromWCharArray(kSessionWindowClass))
        windows->session = window;
    // The toolkit's class of top-level widget windows; the main window is the only one.
    else if (name.startsWith("Qt5") && name.endsWith("QWindowIcon"))
        windows->main = window;
    return TRUE;
}

// The top-level windows of the process, as Windows and taskkill enumerate them.
ChildWindows topLevelWindows(qint64 processId)
{
    ChildWindows windows{DWORD(processId), {}, nullptr, nullptr};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool logContains(const QString &start)
{
    const QStringList messages = logMessages();
    return std::any_of(messages.cbegin(), messages.cend(), [&](const QString &m) { return m.startsWith(start); });
}

} // namespace

class TestProgramEndWin : public QObject
{
    Q_OBJECT

private slots:
    void endsInOrder_data();
    void endsInOrder();
};

void TestProgramEndWin::endsInOrder_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("shown");
    for (const char *request : {"log off", "taskkill", "close the main window"}) {
        QTest::newRow(qPrintable(QString(request) + ", shown")) << QString(request) << true;
        QTest::newRow(qPrintable(QString(request) + ", hidden")) << QString(request) << false;
    }
}

void TestProgramEndWin::endsInOrder()
{
    QFETCH(QString, request);
    QFETCH(bool, shown);
    QDir(logFolder()).removeRecursively();

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Native windows, as on a desktop (the offscreen platform makes none).
    environment.insert("QT_QPA_PLATFORM", "windows");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QFileInfo(kProgram).absolutePath());
    // The logon task's marker keeps the window hidden; the sample branding shows it.
    child.start(kProgram, shown ? QStringList() : QStringList{"---StartupByTaskMinWindow"});
    QVERIFY(child.waitForStarted(30000));
    // What the run printed and logged last (a failure message has room for little).
    const auto describe = [&child] {
        return QByteArray("output:\n") + child.readAll().right(300) + "\nlog:\n"
               + logMessages().mid(std::max(0, logMessages().size() - 6)).join('\n').toLocal8Bit();
    };

    // Running, its sensor library started, its windows there.
    const QDeadlineTimer guard(kestrun::test::kProgramStartMs);
    ChildWindows windows;
    while (!(logContains("HWi32SDK init Over") && (windows = topLevelWindows(child.processId())).session
             && windows.main)) {
        QVERIFY2(child.state() == QProcess::Running && !guard.hasExpired(), describe().constData());
        child.waitForFinished(100);
    }
    QCOMPARE(bool(IsWindowVisible(windows.main)), shown);
    QVERIFY(!IsWindowVisible(windows.session));

    if (request == "log off") {
        // As Windows does: first the question to every top-level window, then the end to each.
        for (HWND window : windows.all) {
            DWORD_PTR answer = 0;
            QVERIFY(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000,
                                        &answer));
            QVERIFY2(answer == TRUE, "a window refused the end of the session");
        }
        for (HWND window : windows.all) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        }
    } else if (request == "taskkill") {
        QCOMPARE(QProcess::execute("taskkill", {"/PID", QString::number(child.processId())}), 0);
    } else {
        QVERIFY(PostMessageW(windows.main, WM_CLOSE, 0, 0));
    }

    QVERIFY2(child.waitForFinished(30000), describe().constData());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QStringList log = logMessages();
    QVERIFY2(!log.isEmpty() && log.last() == "Exit app runing [Normal]", describe().constData());
    QVERIFY2(logContains("HWi32SDK init Over [Successful]"), describe().constData());
    QVERIFY2(logContains("HWi32SDK UNinit Over [Status],errorCode: 7"), describe().constData());
}

KESTRUN_TEST_MAIN(TestProgramEndWin)
#include "tst_programend_win.moc"
