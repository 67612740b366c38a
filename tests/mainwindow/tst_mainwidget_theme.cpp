#include "childhome.h"
#include "config/ddatamanager.h"
#include "logfiles.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgets/progressbarround.h"

#include <QAction>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QSettings>

using namespace kestrun::test;

// The branding is read once per process from the configDir beside the executable. Each variant
// therefore runs in a child: a copy of this test program in a folder of its own, next to the
// variant's appConfig.ini. The child builds the window, writes what it shows to a JSON file and
// leaves through the tray's Exit entry.

namespace {

QJsonObject describeWidget(QWidget *w)
{
    QJsonObject o;
    o["class"] = w->metaObject()->className();
    o["sheet"] = w->styleSheet();
    o["hidden"] = w->isHidden();
    if (auto *label = qobject_cast<QLabel *>(w)) {
        o["text"] = label->text();
        o["alignment"] = int(label->alignment());
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        o["text"] = button->text();
    o["family"] = w->font().family();
    o["pointSize"] = w->font().pointSize();
    return o;
}

QJsonObject describeDashboard(ProgressBarRound *d)
{
    QJsonObject o;
    o["unit"] = d->getStrUnit();
    o["caption"] = d->getExplainText();
    o["nullPosition"] = d->getNullPosition();
    o["precision"] = d->getPrecision();
    o["min"] = d->getMinValue();
    o["max"] = d->getMaxValue();
    o["value"] = d->getValue();
    o["valueType"] = d->getCurrentValueType();
    QJsonArray stops;
    for (const QGradientStop &s : d->getGradientData())
        stops.append(QStringLiteral("%1 %2").arg(s.first).arg(s.second.name(QColor::HexArgb)));
    o["gradient"] = stops;
    QJsonObject palette;
    const struct {
        const char *name;
        QPalette::ColorRole role;
    } roles[] = {{"AlternateBase", QPalette::AlternateBase},
                 {"Text", QPalette::Text},
                 {"Highlight", QPalette::Highlight},
                 {"Shadow", QPalette::Shadow},
                 {"Midlight", QPalette::Midlight}};
    for (const auto &r : roles)
        palette[r.name] = d->palette().color(r.role).name(QColor::HexArgb);
    o["palette"] = palette;
    return o;
}

int runProbe(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DDataManager::instance()->initInfo();
    DMainWidget window;

    QJsonObject widgets;
    for (QWidget *w : window.findChildren<QWidget *>())
        if (!w->objectName().isEmpty())
            widgets[w->objectName()] = describeWidget(w);
    QJsonObject out;
    out["widgets"] = widgets;
    out["title"] = window.windowTitle();
    out["iconNull"] = window.windowIcon().pixmap(32).isNull();
    out["titlePage"] = window.ui->stackedWidget->currentWidget()->objectName();
    out["cpu"] = describeDashboard(window.ui->widget_CpuDashboardNew);
    out["gpu"] = describeDashboard(window.ui->widget_GpuDashboardNew);
    QJsonArray tray;
    for (QAction *a : window.trayContextMenu()->actions())
        tray.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    out["tray"] = tray;
    window.hide();
    window.iconActivated(QSystemTrayIcon::Trigger);
    out["restoredByClick"] = window.isVisible();

    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly))
        return 3;
    file.write(QJsonDocument(out).toJson());
    file.close();

    // The tray's Exit ends the process with code 0; reaching the end is a failure.
    window.trayContextMenu()->actions().constLast()->trigger();
    return 4;
}

// The keys of appConfig.ini, as a complete sample with a colour of its own for every field.
using Ini = QList<QPair<QString, QVariant>>;

Ini baseIni()
{
    return {
        {"AppInfo/AppName", "Probe"},
        {"AppInfo/AppVersion", "V9.8.7"},
        {"AppInfo/AppID", "PROBE-01"},
        {"AppIco/AppIcoSel01", "images/kestrun.ico"},
        {"AppIco/AppIcoSel02", "images/kestrun-mark.png"},
        {"AppUiShow/ShowMainPageUI", 1},
        {"AppUiShow/LeftTopShowModel", 1},
        {"AppUiShow/LeftTopShowImage", "images/kestrun-logo.png"},
        {"AppUiShow/MainAreaShowModel", 1},
        {"AppUiShow/MainAreaShowBgImage", "images/main-background.png"},
        {"AppUiShow/AppVersionShowModel", 1},
        {"AppUiShow/DeviceConStatusShowModel", 1},
        {"AppUiShow/TemperatureChangShowModel", 1},
        {"AppUiShow/CompanyInfoShowModel", 1},
        {"AppUiShow/CompanyLinkUrl", "<a href='https://probe.example/'>probe.example</a>"},
        {"AppUiShow/CompanyCopyright", "Copyright Probe"},
        {"AppUiShow/HardwareInfoShowModel", 1},
        {"ThemeColor/MainBorderColor", "1.2.3"},
        {"ThemeColor/MainBgColor", "4.5.6"},
        {"ThemeColor/ProgressBarDefBgColor", "7.8.9"},
        {"ThemeColor/ProgressBarStartColor", "10.11.12"},
        {"ThemeColor/ProgressBarEndColor", "13.14.15.99"},
        {"ThemeColor/RadioDefColor", "16.17.18"},
        {"ThemeColor/RadioSelColor", "19.20.21"},
        {"ThemeColor/DataValueTextColor", "22.23.24"},
        {"ThemeColor/FrameBorderColor", "25.26.27"},
        {"ThemeColor/TextFont", "Probe Sans"},
    };
}

Ini with(Ini ini, const QString &key, const QVariant &value)
{
    for (auto &entry : ini)
        if (entry.first == key)
            entry.second = value;
    return ini;
}

struct Probe {
    QJsonObject shown;
    QString log;
    int exitCode = -1;

    QJsonObject widget(const QString &name) const { return shown["widgets"].toObject()[name].toObject(); }
    QString sheet(const QString &name) const { return widget(name)["sheet"].toString(); }
    bool hidden(const QString &name) const { return widget(name)["hidden"].toBool(); }
    QString text(const QString &name) const { return widget(name)["text"].toString(); }
};

// Runs a child with the given appConfig.ini (or none when writeFile is false), with the sample
// images when asked.
Probe probe(const Ini &ini, bool withImages = true, bool writeFile = true)
{
    Probe result;
    ChildHome home(ChildHomeOptions{QCoreApplication::applicationDirPath(), QStringLiteral("variant")});
    const QString exe = home.placeProgram(QCoreApplication::applicationFilePath());
    if (exe.isEmpty())
        return result;
    const QString configDir = home.configDir();
    if (withImages) {
        QDirIterator it(QStringLiteral(KESTRUN_SAMPLE_CONFIG_DIR "images"), QDir::Files);
        QDir().mkpath(configDir + "/images");
        while (it.hasNext()) {
            it.next();
            QFile::copy(it.filePath(), configDir + "/images/" + it.fileName());
        }
    }
    if (writeFile) {
        QSettings file(configDir + "/appConfig.ini", QSettings::IniFormat);
        file.setIniCodec("UTF-8");
        for (const auto &entry : ini)
            if (entry.second.isValid())
                file.setValue(entry.first, entry.second);
    }

    QProcess child;
    child.setProcessEnvironment(home.environment());
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(exe, {"--probe", home.path() + "/shown.json"});
    if (!child.waitForFinished(60000))
        return result;
    result.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
    if (result.exitCode != 0)
        qWarning().noquote() << child.readAll();
    QFile shown(home.path() + "/shown.json");
    if (shown.open(QIODevice::ReadOnly))
        result.shown = QJsonDocument::fromJson(shown.readAll()).object();
    result.log = QString::fromUtf8(readAllLogs(home.logFolder(QFileInfo(exe).completeBaseName())));
    return result;
}

#define PROBE(var, ...)                                                                                                \
    const Probe var = probe(__VA_ARGS__);                                                                              \
    QCOMPARE(var.exitCode, 0);                                                                                         \
    QVERIFY(var.log.contains("Exit app runing [Normal]"))

const char *const kFixedRedMenu =
    "QPushButton{color: rgb(22, 23, 24); border: 2px solid rgb(102, 102, 102); border-radius: 8px;}"
    "QPushButton:hover{color: rgb(22, 23, 24); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}"
    "QPushButton:pressed{color: rgb(22, 23, 24); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}"
    "QPushButton:checked{color: rgb(22, 23, 24); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}";
const char *const kConfigurableMenu =
    "QPushButton{background-color: rgb(0, 0, 0, 0); color: rgb(22,23,24); border: 2px solid rgb(25, 26, 27); "
    "border-radius: 8px;}"
    "QPushButton:checked{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0 rgba(10,11,12, 85), stop:1 rgba(13,14,15, 85)); color: rgb(22,23,24); border: 2px solid "
    "rgb(25, 26, 27); border-radius: 8px;}";

} // namespace

class TestMainWidgetTheme : public QObject
{
    Q_OBJECT

private slots:
    void sentinelSelectsTheConfigurableLook_data();
    void sentinelSelectsTheConfigurableLook();
    void leftTopModes_data();
    void leftTopModes();
    void background_data();
    void background();
    void showFlags_data();
    void showFlags();
    void coloursFontsAndDashboards();
    void trayFollowsShowMainPage_data();
    void trayFollowsShowMainPage();
    void emptyBranding_data();
    void emptyBranding();
};

void TestMainWidgetTheme::sentinelSelectsTheConfigurableLook_data()
{
    QTest::addColumn<QString>("appId");
    QTest::addColumn<bool>("configurable");
    QTest::newRow("sentinel") << "ABCDEFVVSS02" << true;
    QTest::newRow("lower case") << "abcdefvvss02" << false;
    QTest::newRow("with a trailing blank") << "ABCDEFVVSS02 " << false;
    QTest::newRow("other") << "PROBE-01" << false;
    QTest::newRow("empty") << "" << false;
}

void TestMainWidgetTheme::sentinelSelectsTheConfigurableLook()
{
    QFETCH(QString, appId);
    QFETCH(bool, configurable);
    PROBE(p, with(baseIni(), "AppInfo/AppID", appId));
    const QString menu = QString::fromLatin1(configurable ? kConfigurableMenu : kFixedRedMenu);
    QCOMPARE(p.sheet("pushButton_Monitor"), menu);
    QCOMPARE(p.sheet("pushButton_Hardware"), menu);
    const QStringList gradient =
        configurable ? QStringList{"0 #ff006699", "1 #ffe30613"}
                     : QStringList{"0 #fff80222", "0.2 #ffef0959", "0.55 #ffff0022", "0.75 #ffff0000", "1 #fffa0320"};
    for (const char *dashboard : {"cpu", "gpu"})
        QCOMPARE(p.shown[dashboard].toObject()["gradient"].toVariant().toStringList(), gradient);
}

void TestMainWidgetTheme::leftTopModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("logoShown");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("logoSheet");
    QTest::addColumn<QString>("wideSheet");
    const QString formLogo = "QPushButton{border-image: url(:/images/AppLogo.png);}";
    const QString formWide = "QPushButton{border-image: url(:/images/leftTopLogo.png);}";
    const QString icon2 = "QPushButton{border-image: url(%1images/kestrun-mark.png);}";
    const QString wide = "QPushButton{border-image: url(%1images/kestrun-logo.png);}";
    const int formAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QTest::newRow("0: name only, centred") << 0 << "page_TitleMode01" << false << "Probe"
                                           << int(Qt::AlignHCenter | Qt::AlignVCenter) << formLogo << formWide;
    QTest::newRow("1: icon and name") << 1 << "page_TitleMode01" << true << "Probe" << formAlignment << icon2
                                      << formWide;
    QTest::newRow("2: one wide image") << 2 << "page_TitleMode02" << true << "Probe" << formAlignment << formLogo
                                       << wide;
    QTest::newRow("3: empty") << 3 << "page_TitleMode01" << false << "" << formAlignment << formLogo << formWide;
    QTest::newRow("4: name, alignment untouched")
        << 4 << "page_TitleMode01" << false << "Probe" << formAlignment << formLogo << formWide;
    QTest::newRow("-1: name, alignment untouched")
        << -1 << "page_TitleMode01" << false << "Probe" << formAlignment << formLogo << formWide;
}

void TestMainWidgetTheme::leftTopModes()
{
    QFETCH(int, mode);
    QFETCH(QString, page);
    QFETCH(bool, logoShown);
    QFETCH(QString, name);
    QFETCH(int, alignment);
    QFETCH(QString, logoSheet);
    QFETCH(QString, wideSheet);
    PROBE(p, with(baseIni(), "AppUiShow/LeftTopShowModel", mode));
    const QString configDir = p.log.section("appConfig.ini Path: \"", 1).section('"', 0, 0);
    QVERIFY(configDir.endsWith("/configDir/"));
    QCOMPARE(p.shown["titlePage"].toString(), page);
    QCOMPARE(p.hidden("frame"), !logoShown);
    QCOMPARE(p.text("label_AppName"), name);
    QCOMPARE(p.widget("label_AppName")["alignment"].toInt(), alignment);
    QCOMPARE(p.sheet("appLogo"), logoSheet.contains("%1") ? logoSheet.arg(configDir) : logoSheet);
    QCOMPARE(p.sheet("pushButton"), wideSheet.contains("%1") ? wideSheet.arg(configDir) : wideSheet);
    QCOMPARE(p.widget("label_AppName")["pointSize"].toInt(), 14);
}

void TestMainWidgetTheme::background_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("sheet");
    const QString colour = "QFrame#frame_Bg{background-color: rgb(4, 5, 6); border: none; border: 1px solid "
                           "rgb(1, 2, 3); border-radius: 12px;}";
    QTest::newRow("2: image") << 2
                              << "QFrame#frame_Bg{border-image: url(%1images/main-background.png); border: none; "
                                 "border: 1px solid rgb(1, 2, 3); border-radius: 12px;}";
    QTest::newRow("1: colour") << 1 << colour;
    QTest::newRow("0: colour") << 0 << colour;
}

void TestMainWidgetTheme::background()
{
    QFETCH(int, mode);
    QFETCH(QString, sheet);
    PROBE(p, with(baseIni(), "AppUiShow/MainAreaShowModel", mode));
    const QString configDir = p.log.section("appConfig.ini Path: \"", 1).section('"', 0, 0);
    QCOMPARE(p.sheet("frame_Bg"), sheet.contains("%1") ? sheet.arg(configDir) : sheet);
}

void TestMainWidgetTheme::showFlags_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("widgets");
    QTest::newRow("version") << "AppVersionShowModel" << QStringList{"label_AppVersion"};
    QTest::newRow("device status") << "DeviceConStatusShowModel" << QStringList{"label_HidStatus"};
    QTest::newRow("unit choice") << "TemperatureChangShowModel"
                                 << QStringList{"radioButton_Model01", "radioButton_Model02"};
    QTest::newRow("company") << "CompanyInfoShowModel" << QStringList{"label_CompanyUrl", "label_CompanyCopyright"};
    QTest::newRow("hardware page") << "HardwareInfoShowModel" << QStringList{"pushButton_Hardware"};
}

void TestMainWidgetTheme::showFlags()
{
    QFETCH(QString, key);
    QFETCH(QStringList, widgets);
    for (const QVariant &flag : {QVariant(0), QVariant(1), QVariant(5), QVariant("yes")}) {
        const bool shown = flag.toInt() != 0;
        PROBE(p, with(baseIni(), "AppUiShow/" + key, flag));
        for (const QString &name : widgets)
            QVERIFY2(p.hidden(name) == !shown, qPrintable(name + " with " + flag.toString()));
        if (key == "AppVersionShowModel")
            QCOMPARE(p.text("label_AppVersion"), shown ? QStringLiteral("V9.8.7") : QStringLiteral("V_1.0.0.01"));
        if (key == "CompanyInfoShowModel") {
            // hidden, the company texts are never applied
            QCOMPARE(p.text("label_CompanyUrl"),
                     shown ? "<a href='https://probe.example/'>probe.example</a>" : "https://www.talvex.example");
            QCOMPARE(p.text("label_CompanyCopyright"), shown ? QStringLiteral("Copyright Probe")
                                                             : QStringLiteral("Copyright © Talvex Technology Co., "
                                                                              "Ltd. All rights reserved."));
            QCOMPARE(p.sheet("label_CompanyUrl"),
                     shown ? QStringLiteral("QLabel{color: rgb(22, 23, 24);}") : QString());
        }
    }
}

void TestMainWidgetTheme::coloursFontsAndDashboards()
{
    PROBE(p, baseIni());
    const QString bar = "QProgressBar{background-color: rgb(7, 8, 9); border-radius: 4px;}"
                        "QProgressBar::chunk{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
                        "stop:0.0568182 rgba(10, 11, 12, 255), stop:0.914773 rgba(13, 14, 15, 255)); "
                        "border-radius: 4px;}";
    for (const char *name : {"progressBar_CPU01", "progressBar_CPU02", "progressBar_CPU03", "progressBar_CPU04",
                             "progressBar_GPU01", "progressBar_GPU02", "progressBar_GPU03", "progressBar_GPU04"})
        QCOMPARE(p.sheet(name), bar);
    QCOMPARE(p.sheet("progressBar_MemoryUsage"), QString());
    QCOMPARE(p.sheet("progressBar_HardDiskUsage"), QString());
    // the right area's sheet is replaced: the form's bar rules no longer reach the usage page
    QCOMPARE(p.sheet("frame_RightAreaABC"),
             "QFrame#frame_RightAreaABC{border-top-right-radius: 12px; border-bottom-right-radius: 12px;}");
    QCOMPARE(p.sheet("frame_LeftArea"),
             "QFrame#frame_LeftArea{border: none; border: 2px solid rgb(25, 26, 27); border-radius: 20px;}");
    QCOMPARE(p.sheet("frame_RightArea"),
             "QFrame#frame_RightArea{border: none; border: 2px solid rgb(25, 26, 27); border-radius: 20px;}");

    const QString data = "QLabel{color: rgb(22, 23, 24); font: 75 10pt \"Probe Sans\";}";
    for (const char *name :
         {"label", "label_3", "label_15", "label_CPU01", "label_GPU04", "label_CPU02_UNIT", "label_GPU04_UNIT"})
        QCOMPARE(p.sheet(name), data);
    const QString radio = "QRadioButton, QRadioButton:unchecked{color: rgb(16,17,18); font: 75 12pt \"Probe Sans\";}"
                          "QRadioButton:checked{color: rgb(19,20,21); font: 75 12pt \"Probe Sans\";}"
                          "QRadioButton::indicator:checked{background-color: rgb(19,20,21); border-radius: 6px; "
                          "border: 2px solid white;}";
    QCOMPARE(p.sheet("radioButton_Model01"), radio);
    QCOMPARE(p.sheet("radioButton_Model02"), radio);

    const QString colourLabel = "QLabel{color: rgb(22, 23, 24);}";
    for (const char *name : {"label_21", "label_29", "label_45", "label_49", "label_52", "label_28", "label_43"}) {
        QCOMPARE(p.sheet(name), colourLabel);
        QCOMPARE(p.widget(name)["family"].toString(), QStringLiteral("Montserrat Medium"));
        QCOMPARE(p.widget(name)["pointSize"].toInt(), 14);
    }
    QCOMPARE(p.sheet("label_CompanyCopyright"), colourLabel);
    QCOMPARE(p.widget("label_CompanyUrl")["pointSize"].toInt(), 16);
    QCOMPARE(p.widget("label_CompanyCopyright")["pointSize"].toInt(), 10);
    QCOMPARE(p.widget("label_CompanyUrl")["alignment"].toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    for (const char *menu : {"pushButton_Monitor", "pushButton_Hardware"}) {
        QCOMPARE(p.widget(menu)["family"].toString(), QStringLiteral("Montserrat ExtraBold"));
        QCOMPARE(p.widget(menu)["pointSize"].toInt(), 10);
    }
    QCOMPARE(p.widget("label_AppVersion")["family"].toString(), QStringLiteral("Montserrat Medium"));

    QCOMPARE(p.shown["title"].toString(), QStringLiteral("Probe"));
    QVERIFY(!p.shown["iconNull"].toBool());
    QVERIFY(p.log.contains("APP ICO -> Ico file is exists"));
    QVERIFY(p.log.contains("/configDir/images/kestrun.ico"));
    // the fixed step order of the theme, ending with the start-up task
    const int themeOver = p.log.indexOf("initTheme runing -> Over");
    QVERIFY(themeOver > p.log.indexOf("initTheme runing -> Start"));
    QVERIFY(p.log.indexOf("Create Startup Task -> Over") > p.log.indexOf("Create Startup Task -> Start"));
    QVERIFY(p.log.indexOf("Create Startup Task -> Start") > themeOver);

    for (const char *side : {"cpu", "gpu"}) {
        const QJsonObject d = p.shown[side].toObject();
        QCOMPARE(d["caption"].toString(), QString::fromLatin1(side).toUpper());
        QCOMPARE(d["unit"].toString(), QStringLiteral("℃"));
        QCOMPARE(d["nullPosition"].toDouble(), -90.0);
        QCOMPARE(d["precision"].toInt(), 0);
        QCOMPARE(d["min"].toDouble(), 0.0);
        QCOMPARE(d["max"].toDouble(), 100.0);
        QCOMPARE(d["value"].toDouble(), 0.0);
        QCOMPARE(d["valueType"].toInt(), 1);
        const QJsonObject palette = d["palette"].toObject();
        QCOMPARE(palette["AlternateBase"].toString(), QStringLiteral("#ff343434"));
        QCOMPARE(palette["Text"].toString(), QStringLiteral("#ffffffff"));
        QCOMPARE(palette["Midlight"].toString(), QStringLiteral("#ff252525"));
        QCOMPARE(palette["Shadow"].toString(), QStringLiteral("#003b3b3b"));
    }
}

void TestMainWidgetTheme::trayFollowsShowMainPage_data()
{
    QTest::addColumn<int>("showMainPage");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<bool>("clickRestores");
    QTest::newRow("1") << 1 << QStringList{"Open Probe", "-", "Exit"} << true;
    QTest::newRow("0") << 0 << QStringList{"-", "Exit"} << false;
    QTest::newRow("2") << 2 << QStringList{"-", "Exit"} << false;
}

void TestMainWidgetTheme::trayFollowsShowMainPage()
{
    QFETCH(int, showMainPage);
    QFETCH(QStringList, menu);
    QFETCH(bool, clickRestores);
    PROBE(p, with(baseIni(), "AppUiShow/ShowMainPageUI", showMainPage));
    QCOMPARE(p.shown["tray"].toVariant().toStringList(), menu);
    QCOMPARE(p.shown["restoredByClick"].toBool(), clickRestores);
}

void TestMainWidgetTheme::emptyBranding_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::newRow("no appConfig.ini") << false;
    QTest::newRow("empty colours, missing images") << true;
}

void TestMainWidgetTheme::emptyBranding()
{
    QFETCH(bool, withFile);
    Ini ini = baseIni();
    for (auto &entry : ini)
        if (entry.first.startsWith("ThemeColor/"))
            entry.second = "";
    PROBE(p, ini, false, withFile);

    QVERIFY(p.shown["iconNull"].toBool());
    QVERIFY(p.log.contains("APP ICO -> Ico file is not exists"));
    // missing components read as 0; whole-text colours stay empty
    QCOMPARE(p.sheet("frame_Bg"), "QFrame#frame_Bg{background-color: rgb(0, 0, 0); border: none; border: 1px solid "
                                  "rgb(0, 0, 0); border-radius: 12px;}");
    QCOMPARE(p.sheet("label_3"), "QLabel{color: rgb(0, 0, 0); font: 75 10pt \"\";}");
    QVERIFY(p.sheet("radioButton_Model01")
                .startsWith("QRadioButton, QRadioButton:unchecked{color: rgb(); font: "
                            "75 12pt \"\";}"));
    QCOMPARE(p.sheet("pushButton_Monitor"), QString::fromLatin1(kFixedRedMenu).replace("22, 23, 24", "0, 0, 0"));
    if (withFile) {
        QCOMPARE(p.shown["title"].toString(), QStringLiteral("Probe"));
        QCOMPARE(p.shown["tray"].toVariant().toStringList(), (QStringList{"Open Probe", "-", "Exit"}));
    } else {
        // nothing configured: every flag 0, so everything optional is hidden and the tray cannot open
        QCOMPARE(p.shown["title"].toString(), QString());
        QCOMPARE(p.text("label_AppName"), QString());
        for (const char *name : {"label_AppVersion", "label_HidStatus", "radioButton_Model01", "pushButton_Hardware",
                                 "label_CompanyUrl", "frame"})
            QVERIFY2(p.hidden(name), name);
        QCOMPARE(p.shown["tray"].toVariant().toStringList(), (QStringList{"-", "Exit"}));
        QVERIFY(!p.shown["restoredByClick"].toBool());
    }
}

int main(int argc, char *argv[])
{
    if (argc > 2 && qstrcmp(argv[1], "--probe") == 0)
        return runProbe(argc, argv);
    isolateHome();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestMainWidgetTheme tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv) == 0 ? 0 : 1;
}

#include "tst_mainwidget_theme.moc"
