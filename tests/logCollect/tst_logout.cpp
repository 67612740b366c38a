#include "logCollect/log_out.h"
#include "logfiles.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

using namespace kestrun::test;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestLogOut : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitializeLog(QString());
        QVERIFY(QDir(logFolder()).exists());
    }

    void recordBytes()
    {
        QTemporaryDir dir;
        const QMessageLogContext context("src/mainwindow/dmainwidget.cpp", 1067, "onStartUpdateLater", nullptr);
        const QDateTime at(QDate(2024, 3, 7), QTime(9, 5, 3));
        logcollect::appendRecord(dir.path(), context, "Start Update -> Start", at);
        // Appended, UTF-8, inner line feeds and "%" sequences kept as they are.
        logcollect::appendRecord(dir.path(), context, "\nOpen device 50% %1 ℃\n", at);

        QCOMPARE(readFile(dir.path() + "/2024-03-07.log"),
                 QByteArray("[Debug]-[flie:dmainwidget.cpp    line:1067    datetime:2024-03-07 09:05:03]"
                            "--------------------> Start Update -> Start\r\n"
                            "[Debug]-[flie:dmainwidget.cpp    line:1067    datetime:2024-03-07 09:05:03]"
                            "--------------------> \nOpen device 50% %1 \xe2\x84\x83\n\r\n"));
    }

    void sourceFileName_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("written");
        QTest::newRow("backslash folder") << QByteArray("logCollect\\log_out.cpp") << "log_out.cpp";
        QTest::newRow("slash folders") << QByteArray("/a/b/c.cpp") << "c.cpp";
        QTest::newRow("mixed, last wins") << QByteArray("C:\\src/mainwindow\\x.cpp") << "x.cpp";
        QTest::newRow("backslash at index 0") << QByteArray("\\x.cpp") << "\\x.cpp";
        QTest::newRow("slash at index 0") << QByteArray("/x.cpp") << "/x.cpp";
        QTest::newRow("no separator") << QByteArray("x.cpp") << "x.cpp";
        QTest::newRow("trailing separator") << QByteArray("a/") << "";
        QTest::newRow("none given") << QByteArray() << "";
    }

    void sourceFileName()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, written);
        QCOMPARE(logcollect::sourceFileName(file.isNull() ? nullptr : file.constData()), written);
    }

    void onlyDebugMessagesAreWritten()
    {
        const QString today = logcollect::dayFilePath(logFolder(), QDate::currentDate());
        QFile::remove(today);
        const QMessageLogContext context("x.cpp", 1, nullptr, nullptr);
        for (QtMsgType type : {QtWarningMsg, QtCriticalMsg, QtInfoMsg})
            writeLogRecord(type, context, "dropped");
        QVERIFY(!QFile::exists(today));

        // Through the installed handler, as the program uses it.
        const QtMessageHandler previous = qInstallMessageHandler(writeLogRecord);
        qWarning() << "warning dropped";
        qInfo() << "info dropped";
        qDebug() << "kept";
        qInstallMessageHandler(previous);

        const QByteArray all = readAllLogs();
        QVERIFY(!all.contains("dropped"));
        QVERIFY(all.contains("]--------------------> kept\r\n"));
        QVERIFY(all.contains("[flie:tst_logout.cpp    line:"));
    }

    void recordsEitherSideOfMidnight()
    {
        QTemporaryDir dir;
        const QMessageLogContext context("x.cpp", 5, nullptr, nullptr);
        logcollect::appendRecord(dir.path(), context, "before", QDateTime(QDate(2024, 3, 7), QTime(23, 59, 59)));
        logcollect::appendRecord(dir.path(), context, "after", QDateTime(QDate(2024, 3, 8), QTime(0, 0, 0)));

        const QByteArray first = readFile(dir.path() + "/2024-03-07.log");
        const QByteArray second = readFile(dir.path() + "/2024-03-08.log");
        QVERIFY(first.endsWith("datetime:2024-03-07 23:59:59]--------------------> before\r\n"));
        QVERIFY(second.endsWith("datetime:2024-03-08 00:00:00]--------------------> after\r\n"));
        QCOMPARE(first.count('\n'), 1);
        QCOMPARE(second.count('\n'), 1);
    }

    void expiry_data()
    {
        QTest::addColumn<QDateTime>("created");
        QTest::addColumn<bool>("expired");
        const QDateTime now(QDate(2024, 3, 15), QTime(12, 0, 0));
        const QDateTime threshold = now.addDays(-7);
        QTest::newRow("8 days") << now.addDays(-8) << true;
        QTest::newRow("6 days") << now.addDays(-6) << false;
        QTest::newRow("exactly 7 days") << threshold << false;
        QTest::newRow("a second more") << threshold.addSecs(-1) << true;
        QTest::newRow("in the future") << now.addDays(3) << false;
        // More than 2^31 seconds back: must not wrap around into the kept range.
        QTest::newRow("decades back") << QDateTime(QDate(1900, 1, 1), QTime(0, 0)) << true;
        QTest::newRow("unknown") << QDateTime() << false;
        // The same instants written in another zone: only the instant counts.
        QTest::newRow("exactly 7 days, at UTC+14") << threshold.toOffsetFromUtc(14 * 3600) << false;
        QTest::newRow("a second more, at UTC-12") << threshold.addSecs(-1).toOffsetFromUtc(-12 * 3600) << true;
    }

    void expiry()
    {
        QFETCH(QDateTime, created);
        QFETCH(bool, expired);
        const QDateTime now(QDate(2024, 3, 15), QTime(12, 0, 0));
        QCOMPARE(logcollect::isExpired(created, now), expired);
    }

    void creationTimeIsBirthElseModification()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/a.log";
        touch(path);
        const QDateTime past = QDateTime::currentDateTime().addDays(-30);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(past, QFileDevice::FileModificationTime));
        }
#ifdef Q_OS_LINUX
        struct statx sx {
        };
        const bool hasBirth = statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME, &sx) == 0
                              && (sx.stx_mask & STATX_BTIME);
        const qint64 expected = hasBirth ? qint64(sx.stx_btime.tv_sec) : past.toSecsSinceEpoch();
#else
        // Windows file systems always keep the creation time.
        const qint64 expected = QFileInfo(path).birthTime().toSecsSinceEpoch();
#endif
        QCOMPARE(logcollect::creationTime(QFileInfo(path)).toSecsSinceEpoch(), expected);
    }

    // Files are judged by their own creation time seen from a chosen "now", so the sweep is
    // exercised the same on file systems with and without birth times.
    void removeExpired_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ageDays");
        QTest::addColumn<bool>("kept");
        QTest::newRow("log 8 days") << "2024-03-07.log" << 8 << false;
        QTest::newRow("log 6 days") << "2024-03-09.log" << 6 << true;
        QTest::newRow("other name 8 days") << "notes.txt" << 8 << false;
        QTest::newRow("no extension 6 days") << "core" << 6 << true;
    }

    void removeExpired()
    {
        QFETCH(QString, name);
        QFETCH(int, ageDays);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        const QString path = dir.path() + "/" + name;
        touch(path);
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        const QDateTime created = logcollect::creationTime(QFileInfo(path));

        logcollect::removeExpired(dir.path(), created.addDays(ageDays));

        QCOMPARE(QFile::exists(path), kept);
        QVERIFY(QDir(dir.path() + "/folder").exists()); // folders are never removed
    }

    // Every age in one folder, each file's creation time told by the test: the sweep runs the same
    // on file systems with and without birth times.
    void removeExpiredSweepsMixedAges()
    {
        QTemporaryDir dir;
        const QDateTime now(QDate(2024, 3, 15), QTime(12, 0, 0), Qt::UTC);
        const QHash<QString, QDateTime> created{
            {"2024-03-07.log", now.addDays(-8)}, {"2024-03-09.log", now.addDays(-6)},
            {"2024-03-08.log", now.addDays(-7)}, {"notes.txt", now.addDays(-7).addSecs(-1)},
            {"clock-ahead.log", now.addDays(1)},
        };
        for (auto it = created.cbegin(); it != created.cend(); ++it)
            touch(dir.path() + "/" + it.key());
        QVERIFY(QDir(dir.path()).mkdir("old-folder"));

        QStringList asked;
        logcollect::removeExpired(dir.path(), now, [&](const QFileInfo &file) {
            asked << file.fileName();
            return created.value(file.fileName());
        });

        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"2024-03-08.log", "2024-03-09.log", "clock-ahead.log"}));
        QVERIFY(QDir(dir.path() + "/old-folder").exists()); // folders are never removed, nor asked about
        asked.sort();
        QStringList files = created.keys();
        files.sort();
        QCOMPARE(asked, files);
    }

    // The sweep at start compares instants: whatever zone the C runtime is told (TZ), a file made
    // just now is today's log and stays.
    void freshLogSurvivesTheStartInAnyZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("UTC") << QByteArray("UTC0");
        QTest::newRow("200 hours west") << QByteArray("XXX+200");
        QTest::newRow("200 hours east") << QByteArray("XXX-200");
        QTest::newRow("half an hour off") << QByteArray("ABC-5:30");
    }

    void freshLogSurvivesTheStartInAnyZone()
    {
        QFETCH(QByteArray, zone);
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        const QByteArray ownZone = qgetenv("TZ");
        qputenv("TZ", zone);
        const QString fresh = logcollect::dayFilePath(logFolder(), QDate::currentDate());
        touch(fresh);
        InitializeLog(QString());
        const bool kept = QFile::exists(fresh);
        if (hadZone)
            qputenv("TZ", ownZone);
        else
            qunsetenv("TZ");
        QVERIFY(kept);
    }

    void initializeKeepsFreshFilesAndFolders()
    {
        const QString fresh = logFolder() + "/fresh.txt";
        touch(fresh);
        QDir(logFolder()).mkdir("keep");
        InitializeLog(QString());
        QVERIFY(QFile::exists(fresh));
        QVERIFY(QDir(logFolder() + "/keep").exists());
    }

    void subFolderIsWhereRecordsGo()
    {
        InitializeLog("sub");
        const QString expected =
            QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/sub/logDir");
        QCOMPARE(logcollect::currentFolder(), expected);
        QVERIFY(QDir(expected).exists());
        writeLogRecord(QtDebugMsg, QMessageLogContext("x.cpp", 2, nullptr, nullptr), "in sub");
        QVERIFY(readAllLogs(expected).contains("in sub\r\n"));

        InitializeLog(QString());
        QCOMPARE(logcollect::currentFolder(), logFolder());
    }
};

KESTRUN_TEST_MAIN(TestLogOut)
#include "tst_logout.moc"
