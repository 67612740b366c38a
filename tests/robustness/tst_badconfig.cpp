// appConfig.ini files no one meant to write: binary garbage, empty, very large, not UTF-8.
// The reader must come back with what it can use and defaults for the rest.

#include "config/appconfig.h"
#include "testenv.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

class TestBadConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString configDir() const { return folder.path() + QLatin1Char('/'); }

    void writeConfig(const QByteArray &bytes)
    {
        QFile file(configDir() + QStringLiteral("appConfig.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
    }

    // Everything as a missing file gives it.
    void verifyDefaults(const AppConfig &c)
    {
        QCOMPARE(c.appName, QString());
        QCOMPARE(c.appId, QString());
        QCOMPARE(c.appIconPath, configDir());
        QCOMPARE(c.mainAreaShowBgImage, configDir());
        QCOMPARE(c.showMainPageUi, 0);
        QCOMPARE(c.leftTopShowModel, 0);
        QCOMPARE(c.mainBgColor, QString());
        QCOMPARE(c.textFont, QString());
    }

private slots:
    void garbageAndEmptyGiveDefaults_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray garbage(64 * 1024, Qt::Uninitialized);
        QRandomGenerator random(20261209);
        for (char &byte : garbage)
            byte = static_cast<char>(random.bounded(256));
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("NUL bytes only") << QByteArray(4096, '\0');
    }

    void garbageAndEmptyGiveDefaults()
    {
        QFETCH(QByteArray, bytes);
        writeConfig(bytes);
        verifyDefaults(readAppConfig(configDir()));
    }

    // 20 MB: the keys before the bulk are read, and the bulk does not stop the reader.
    void hugeFileIsReadThrough()
    {
        QByteArray bytes("[AppInfo]\nAppName=Big\n[ThemeColor]\nMainBgColor=1.2.3\n[Padding]\n");
        const QByteArray line("key_with_a_long_name_to_fill_the_file=some value that goes on and on\n");
        bytes.reserve(20 * 1024 * 1024 + line.size());
        for (int i = 0; bytes.size() < 20 * 1024 * 1024; ++i)
            bytes += "k" + QByteArray::number(i) + line;
        bytes += "[AppUiShow]\nShowMainPageUI=1\n";
        writeConfig(bytes);

        const AppConfig c = readAppConfig(configDir());
        QCOMPARE(c.appName, QStringLiteral("Big"));
        QCOMPARE(c.mainBgColor, QStringLiteral("1,2,3"));
        QCOMPARE(c.showMainPageUi, 1);
    }

    // Latin-1 and broken UTF-8 in values: the text is kept with replacement characters, the
    // keys around it are read as usual.
    void notUtf8KeepsTheOtherKeys()
    {
        writeConfig(QByteArray("[AppInfo]\nAppName=Caf\xe9 \xff\xfe\n"
                               "AppVersion=\xc3\x28 1.0\n"
                               "AppID=ABC\n"
                               "[ThemeColor]\nMainBgColor=1\xe9.2.3\n"
                               "TextFont=Montserrat Medium\n"));
        const AppConfig c = readAppConfig(configDir());
        QVERIFY(c.appName.startsWith(QStringLiteral("Caf")));
        QVERIFY(c.appName.contains(QChar::ReplacementCharacter));
        QVERIFY(c.appVersion.endsWith(QStringLiteral(" 1.0")));
        QCOMPARE(c.appId, QStringLiteral("ABC"));
        QCOMPARE(c.mainBgColor.count(QLatin1Char(',')), 2);
        QCOMPARE(c.textFont, QStringLiteral("Montserrat Medium"));
    }

    // A file that is not a file: the folder path names a folder called appConfig.ini.
    void folderInPlaceOfTheFile()
    {
        QFile::remove(configDir() + QStringLiteral("appConfig.ini"));
        QVERIFY(QDir(configDir()).mkdir(QStringLiteral("appConfig.ini")));
        verifyDefaults(readAppConfig(configDir()));
        QVERIFY(QDir(configDir()).rmdir(QStringLiteral("appConfig.ini")));
    }
};

KESTRUN_TEST_MAIN(TestBadConfig)
#include "tst_badconfig.moc"
