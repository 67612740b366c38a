#include "config/appconfig.h"
#include "testenv.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

namespace {

// A config folder (with its trailing slash) holding an appConfig.ini of the given UTF-8 text.
struct ConfigFolder {
    QTemporaryDir dir;
    QString path() const { return dir.path() + "/"; }
    explicit ConfigFolder(const QByteArray &ini)
    {
        QFile file(path() + "appConfig.ini");
        if (file.open(QIODevice::WriteOnly))
            file.write(ini);
    }
};

} // namespace

class TestAppConfig : public QObject
{
    Q_OBJECT

private slots:
    void colourRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colour");
        QTest::newRow("three") << "0.120.215"
                               << "0,120,215";
        QTest::newRow("four drops alpha") << "0.120.215.1"
                                          << "0,120,215";
        QTest::newRow("five passed on") << "255.255.255.0.5"
                                        << "255,255,255,0,5";
        QTest::newRow("two passed on") << "12.34"
                                       << "12,34";
        QTest::newRow("commas already") << "1,2,3"
                                        << "1,2,3";
        QTest::newRow("empty") << ""
                               << "";
    }

    void colourRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, colour);
        QCOMPARE(normaliseColour(text), colour);
    }

    void missingFileGivesDefaults()
    {
        QTemporaryDir dir;
        const QString configDir = dir.path() + "/configDir/";
        const AppConfig c = readAppConfig(configDir);

        for (const QString &text :
             {c.appName, c.appVersion, c.appId, c.companyLinkUrl, c.companyCopyright, c.mainBorderColor, c.mainBgColor,
              c.progressBarDefBgColor, c.progressBarStartColor, c.progressBarEndColor, c.radioDefColor, c.radioSelColor,
              c.dataValueTextColor, c.frameBorderColor, c.textFont})
            QVERIFY(text.isEmpty());
        for (const QString &path : {c.appIconPath, c.appIcon2Path, c.leftTopShowImage, c.mainAreaShowBgImage})
            QCOMPARE(path, configDir);
        for (int flag :
             {c.showMainPageUi, c.leftTopShowModel, c.mainAreaShowModel, c.appVersionShowModel,
              c.deviceConStatusShowModel, c.temperatureChangShowModel, c.companyInfoShowModel, c.hardwareInfoShowModel})
            QCOMPARE(flag, 0);
        QCOMPARE(c.startupTaskFlag, 1);
        QVERIFY(!QFileInfo::exists(configDir)); // only read, never created
    }

    void readsEveryKey()
    {
        const ConfigFolder folder("[AppInfo]\n"
                                  "AppName=Kestrun Pro\n"
                                  "AppVersion=V2.1\n"
                                  "AppID=ABCDEFVVSS02\n"
                                  "[AppIco]\n"
                                  "AppIcoSel01=icon.ico\n"
                                  "AppIcoSel02=images/mark.png\n"
                                  "[AppUiShow]\n"
                                  "ShowMainPageUI=2\n"
                                  "LeftTopShowModel=3\n"
                                  "LeftTopShowImage=logo.png\n"
                                  "MainAreaShowModel=2\n"
                                  "MainAreaShowBgImage=/abs/bg.png\n"
                                  "AppVersionShowModel=1\n"
                                  "DeviceConStatusShowModel=-4\n"
                                  "TemperatureChangShowModel=7\n"
                                  "CompanyInfoShowModel=1\n"
                                  "CompanyLinkUrl=\"<a href='https://kestrun.example/'>kestrun.example</a>\"\n"
                                  "CompanyCopyright=Copyright \xc2\xa9 2026 Kestrun\n"
                                  "HardwareInfoShowModel=yes\n"
                                  "[ThemeColor]\n"
                                  "MainBorderColor=20.20.20\n"
                                  "MainBgColor=37.37.37.128\n"
                                  "ProgressBarDefBgColor=60.60.60\n"
                                  "ProgressBarStartColor=236.3.78\n"
                                  "ProgressBarEndColor=255.41.37\n"
                                  "RadioDefColor=175.175.175\n"
                                  "RadioSelColor=255.2.0\n"
                                  "DataValueTextColor=220.220.220\n"
                                  "FrameBorderColor=49.49.49\n"
                                  "TextFont=Montserrat Medium\n");
        const QString d = folder.path();
        const AppConfig c = readAppConfig(d);

        QCOMPARE(c.appName, "Kestrun Pro");
        QCOMPARE(c.appVersion, "V2.1");
        QCOMPARE(c.appId, "ABCDEFVVSS02");
        QCOMPARE(c.startupTaskFlag, 1);
        QCOMPARE(c.appIconPath, d + "icon.ico");
        QCOMPARE(c.appIcon2Path, d + "images/mark.png");
        QCOMPARE(c.showMainPageUi, 2);
        QCOMPARE(c.leftTopShowModel, 3);
        QCOMPARE(c.leftTopShowImage, d + "logo.png");
        QCOMPARE(c.mainAreaShowModel, 2);
        QCOMPARE(c.mainAreaShowBgImage, d + "/abs/bg.png"); // no separator added, absolute not recognised
        QCOMPARE(c.appVersionShowModel, 1);
        QCOMPARE(c.deviceConStatusShowModel, -4);
        QCOMPARE(c.temperatureChangShowModel, 7);
        QCOMPARE(c.companyInfoShowModel, 1);
        QCOMPARE(c.companyLinkUrl, "<a href='https://kestrun.example/'>kestrun.example</a>");
        QCOMPARE(c.companyCopyright, QString::fromUtf8("Copyright \xc2\xa9 2026 Kestrun"));
        QCOMPARE(c.hardwareInfoShowModel, 0); // not a number
        QCOMPARE(c.mainBorderColor, "20,20,20");
        QCOMPARE(c.mainBgColor, "37,37,37");
        QCOMPARE(c.progressBarDefBgColor, "60,60,60");
        QCOMPARE(c.progressBarStartColor, "236,3,78");
        QCOMPARE(c.progressBarEndColor, "255,41,37");
        QCOMPARE(c.radioDefColor, "175,175,175");
        QCOMPARE(c.radioSelColor, "255,2,0");
        QCOMPARE(c.dataValueTextColor, "220,220,220");
        QCOMPARE(c.frameBorderColor, "49,49,49");
        QCOMPARE(c.textFont, "Montserrat Medium");
    }

    void missingKeysGiveDefaults()
    {
        const ConfigFolder folder("[AppInfo]\nAppName=Only a name\n[ThemeColor]\nMainBgColor=1.2.3\n");
        const AppConfig c = readAppConfig(folder.path());
        QCOMPARE(c.appName, "Only a name");
        QCOMPARE(c.mainBgColor, "1,2,3");
        QVERIFY(c.textFont.isEmpty()); // no font family is made up
        QVERIFY(c.mainBorderColor.isEmpty());
        QCOMPARE(c.appIconPath, folder.path());
        QCOMPARE(c.showMainPageUi, 0);
        QCOMPARE(c.startupTaskFlag, 1);
    }

    // QSettings splits an unquoted value at its commas; the texts come back whole.
    void unquotedCommasKeepTheText()
    {
        const ConfigFolder folder("[AppUiShow]\nCompanyCopyright=Copyright 2026, Kestrun, Inc.\n"
                                  "[ThemeColor]\nMainBgColor=0,120,215\nFrameBorderColor=1,2,3,4\n");
        const AppConfig c = readAppConfig(folder.path());
        QCOMPARE(c.companyCopyright, "Copyright 2026, Kestrun, Inc.");
        QCOMPARE(c.mainBgColor, "0,120,215");
        QCOMPARE(c.frameBorderColor, "1,2,3");
    }

    // A value keeps its text as written, commas and the blanks around them included; the other
    // rules of the reading (outer blanks, quotes, escapes, comments, UTF-8) are QSettings' own.
    void commaValuesKeepTheirText_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("appId");
        QTest::newRow("no blank") << QByteArray("ID,7") << "ID,7";
        QTest::newRow("blank after") << QByteArray("Maker, Inc.") << "Maker, Inc.";
        QTest::newRow("blanks on both sides") << QByteArray("a ,  b") << "a ,  b";
        QTest::newRow("numbers") << QByteArray("10,20,30") << "10,20,30";
        QTest::newRow("leading and trailing commas") << QByteArray(",x,") << ",x,";
        QTest::newRow("only a comma") << QByteArray(",") << ",";
        QTest::newRow("outer blanks trimmed") << QByteArray("   Foo, Bar   ") << "Foo, Bar";
        QTest::newRow("quoted") << QByteArray("\"Maker, Inc.\"") << "Maker, Inc.";
        QTest::newRow("quoted keeps outer blanks") << QByteArray("\" a, b \"") << " a, b ";
        QTest::newRow("quoted piece") << QByteArray("\"a\", b") << "a, b";
        QTest::newRow("escapes") << QByteArray("\\x41,\\tB\\\\") << "A,\tB\\";
        QTest::newRow("escaped comma") << QByteArray("a\\x2c b") << "a, b";
        QTest::newRow("comment after") << QByteArray("a, b ; note, more") << "a, b";
        QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9, Ltd") << QString::fromUtf8("Caf\xc3\xa9, Ltd");
        QTest::newRow("control byte in the file") << QByteArray("a\x01,\x02"
                                                                "b")
                                                  << "a\x01,\x02"
                                                     "b";
        QTest::newRow("control character from an escape") << QByteArray("\\x01,\\x02") << "\x01,\x02";
        QByteArray everyControlByte("ID,7 ;");
        for (char c = 1; c < 0x20; ++c)
            if (c != '\n' && c != '\r')
                everyControlByte += c;
        QTest::newRow("every control byte taken: the commas alone are kept") << everyControlByte << "ID,7";
    }

    void commaValuesKeepTheirText()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, appId);
        const ConfigFolder folder("[AppInfo]\nAppName=Kestrun\nAppID=" + line + "\nAppVersion=V1\n");
        const AppConfig c = readAppConfig(folder.path());
        QCOMPARE(c.appId, appId);
        QCOMPARE(c.appName, "Kestrun");
        QCOMPARE(c.appVersion, "V1");
    }

    // Every kind of field: texts, paths, flags and colours.
    void commasInEveryKindOfField()
    {
        const ConfigFolder folder("[AppInfo]\nAppName=Maker, Inc.\nAppID=ID,7\n"
                                  "[AppIco]\nAppIcoSel01=images/logo,v2.ico\n"
                                  "[AppUiShow]\nShowMainPageUI=1,2\nCompanyLinkUrl=<a href='x'>a, b</a>\n"
                                  "[ThemeColor]\nMainBgColor=10, 20, 30\nMainBorderColor=1, 2.3,4\n"
                                  "TextFont=Sans, Serif\n");
        const AppConfig c = readAppConfig(folder.path());
        QCOMPARE(c.appName, "Maker, Inc.");
        QCOMPARE(c.appId, "ID,7");
        QCOMPARE(c.appIconPath, folder.path() + "images/logo,v2.ico");
        QCOMPARE(c.showMainPageUi, 0); // not a number
        QCOMPARE(c.companyLinkUrl, "<a href='x'>a, b</a>");
        QCOMPARE(c.mainBgColor, "10, 20, 30");
        QCOMPARE(c.mainBorderColor, "1, 2,3");
        QCOMPARE(c.textFont, "Sans, Serif");
    }

    // The shipped branding sets every key and names images that exist.
    void sampleBrandingIsComplete()
    {
        const QString d = KESTRUN_SAMPLE_CONFIG_DIR;
        const AppConfig c = readAppConfig(d);
        QCOMPARE(c.appName, "Kestrun");
        QVERIFY(c.appId != "ABCDEFVVSS02");
        QCOMPARE(c.showMainPageUi, 1);
        QCOMPARE(c.companyCopyright, QString::fromUtf8("Copyright \xc2\xa9 2026 Kestrun. All rights reserved."));
        QVERIFY2(c.companyLinkUrl.endsWith("none' href='https://kestrun.example/'>kestrun.example</a>"),
                 qPrintable(c.companyLinkUrl));
        for (const QString &text : {c.appVersion, c.appId, c.companyLinkUrl, c.companyCopyright, c.textFont})
            QVERIFY(!text.isEmpty());
        for (const QString &colour :
             {c.mainBorderColor, c.mainBgColor, c.progressBarDefBgColor, c.progressBarStartColor, c.progressBarEndColor,
              c.radioDefColor, c.radioSelColor, c.dataValueTextColor, c.frameBorderColor})
            QCOMPARE(colour.count(','), 2);
        for (const QString &path : {c.appIconPath, c.appIcon2Path, c.leftTopShowImage, c.mainAreaShowBgImage})
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
        QImageReader icon(c.appIconPath);
        QSize largest;
        do
            largest = largest.expandedTo(icon.read().size());
        while (icon.jumpToNextImage());
        QCOMPARE(largest, QSize(256, 256));
        QCOMPARE(QImage(c.mainAreaShowBgImage).size(), QSize(1150, 750));
    }
};

KESTRUN_TEST_MAIN(TestAppConfig)
#include "tst_appconfig.moc"
