#include "mainwindow/dmainwidget.h"

#include "config/ddatamanager.h"
#include "mainwindow/apptray.h"
#include "widgets/progressbarround.h"

#include <QDebug>
#include <QFileInfo>
#include <QGradientStops>
#include <QIcon>
#include <QPalette>
#include <QStyle>

namespace {

// The appId whose look takes its menu-button and dashboard colours from the configuration.
const char *const kConfigurableLookId = "ABCDEFVVSS02";

// The theme's style sheets; %n are filled with arg(). The form's own sheets for the right area, the
// metric bars and the menu buttons (dmainwidget.ui) are kRightArea, kMetricBar and kMenuFixedRed
// filled with its default colours: a change to one belongs in the other.
const char *const kLogoButton = "QPushButton{border-image: url(%1);}";
const char *const kBackgroundImage =
    "QFrame#frame_Bg{border-image: url(%1); border: none; border: 1px solid rgb(%2, %3, %4); "
    "border-radius: 12px;}";
const char *const kBackgroundColour =
    "QFrame#frame_Bg{background-color: rgb(%1, %2, %3); border: none; border: 1px solid rgb(%4, %5, %6); "
    "border-radius: 12px;}";
const char *const kRightArea =
    "QFrame#frame_RightAreaABC{border-top-right-radius: 12px; border-bottom-right-radius: 12px;}";
const char *const kMetricBar =
    "QProgressBar{background-color: rgb(%1, %2, %3); border-radius: 4px;}"
    "QProgressBar::chunk{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0.0568182 rgba(%4, %5, %6, 255), stop:0.914773 rgba(%7, %8, %9, 255)); border-radius: 4px;}";
const char *const kLeftFrame =
    "QFrame#frame_LeftArea{border: none; border: 2px solid rgb(%1, %2, %3); border-radius: 20px;}";
const char *const kRightFrame =
    "QFrame#frame_RightArea{border: none; border: 2px solid rgb(%1, %2, %3); border-radius: 20px;}";
const char *const kDataLabel = "QLabel{color: rgb(%1, %2, %3); font: 75 10pt \"%4\";}";
const char *const kRadio =
    "QRadioButton, QRadioButton:unchecked{color: rgb(%1); font: 75 12pt \"%3\";}"
    "QRadioButton:checked{color: rgb(%2); font: 75 12pt \"%3\";}"
    "QRadioButton::indicator:checked{background-color: rgb(%2); border-radius: 6px; border: 2px solid white;}";
const char *const kMenuConfigurable =
    "QPushButton{background-color: rgb(0, 0, 0, 0); color: rgb(%3); border: 2px solid rgb(%4, %5, %6); "
    "border-radius: 8px;}"
    "QPushButton:checked{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0 rgba(%1, 85), stop:1 rgba(%2, 85)); color: rgb(%3); border: 2px solid rgb(%4, %5, %6); "
    "border-radius: 8px;}";
const char *const kMenuFixedRed =
    "QPushButton{color: rgb(%1, %2, %3); border: 2px solid rgb(102, 102, 102); border-radius: 8px;}"
    "QPushButton:hover{color: rgb(%1, %2, %3); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}"
    "QPushButton:pressed{color: rgb(%1, %2, %3); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}"
    "QPushButton:checked{color: rgb(%1, %2, %3); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}";
const char *const kColourLabel = "QLabel{color: rgb(%1, %2, %3);}";

// The three components of an "r,g,b" colour text; an empty or non-numeric part reads as 0.
struct Components {
    QString r, g, b;
};

Components split(const QString &colour)
{
    const auto part = [&colour](int i) { return QString::number(colour.section(QLatin1Char(','), i, i).toInt()); };
    return {part(0), part(1), part(2)};
}

QFont sized(QFont font, int pointSize)
{
    font.setPointSize(pointSize);
    return font;
}

QString fill(const char *templ)
{
    return QString::fromLatin1(templ);
}

} // namespace

void DMainWidget::initThemeData()
{
    qDebug() << "initTheme runing -> Start";
    DDataManager *const data = DDataManager::instance();
    const AppConfig config = data->appConfig();
    const QFont boldFont = data->boldFont();
    const QFont mediumFont = data->mediumFont();

    setWindowTitle(config.appName);
    // The tray's icon is this same file's: sharing it keeps one decoded copy of its images.
    setWindowIcon(tray->icon()->icon());
    ui->label_AppName->setText(config.appName);

    qDebug() << "APP ICO:" << config.appIconPath;
    // a missing key leaves the bare config folder here, which is no icon file
    if (QFileInfo(config.appIconPath).isFile())
        qDebug() << "APP ICO -> Ico file is exists";
    else
        qDebug() << "APP ICO -> Ico file is not exists";

    if (config.appVersionShowModel == 0) {
        ui->label_AppVersion->hide();
    } else {
        ui->label_AppVersion->setText(config.appVersion);
        ui->label_AppVersion->show();
    }

    ui->label_HidStatus->setVisible(config.deviceConStatusShowModel != 0);

    switch (config.leftTopShowModel) {
    case 0:
        ui->label_AppName->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->hide();
        break;
    case 1:
        ui->label_AppName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->show();
        ui->appLogo->setStyleSheet(fill(kLogoButton).arg(config.appIcon2Path));
        break;
    case 2:
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode02);
        ui->pushButton->setStyleSheet(fill(kLogoButton).arg(config.leftTopShowImage));
        break;
    case 3:
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->hide();
        ui->label_AppName->setText(QString());
        break;
    default:
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->hide();
        break;
    }

    ui->label_AppName->setFont(sized(mediumFont, 14));
    ui->label_AppVersion->setFont(sized(mediumFont, 14));

    const bool unitChoice = config.temperatureChangShowModel != 0;
    ui->radioButton_Model01->setVisible(unitChoice);
    ui->radioButton_Model02->setVisible(unitChoice);

    ui->pushButton_Hardware->setVisible(config.hardwareInfoShowModel != 0);

    const Components bg = split(config.mainBgColor);
    const Components border = split(config.mainBorderColor);
    if (config.mainAreaShowModel == 2)
        ui->frame_Bg->setStyleSheet(
            fill(kBackgroundImage).arg(config.mainAreaShowBgImage, border.r, border.g, border.b));
    else
        ui->frame_Bg->setStyleSheet(fill(kBackgroundColour).arg(bg.r, bg.g, bg.b, border.r, border.g, border.b));

    const Components barBg = split(config.progressBarDefBgColor);
    const Components barStart = split(config.progressBarStartColor);
    const Components barEnd = split(config.progressBarEndColor);
    ui->frame_RightAreaABC->setStyleSheet(fill(kRightArea));
    const QString barSheet =
        fill(kMetricBar)
            .arg(barBg.r, barBg.g, barBg.b, barStart.r, barStart.g, barStart.b, barEnd.r, barEnd.g, barEnd.b);
    for (QProgressBar *bar :
         {ui->progressBar_CPU01, ui->progressBar_CPU02, ui->progressBar_CPU03, ui->progressBar_CPU04,
          ui->progressBar_GPU01, ui->progressBar_GPU02, ui->progressBar_GPU03, ui->progressBar_GPU04})
        bar->setStyleSheet(barSheet);

    const Components frameBorder = split(config.frameBorderColor);
    const Components text = split(config.dataValueTextColor);
    ui->frame_LeftArea->setStyleSheet(fill(kLeftFrame).arg(frameBorder.r, frameBorder.g, frameBorder.b));
    ui->frame_RightArea->setStyleSheet(fill(kRightFrame).arg(frameBorder.r, frameBorder.g, frameBorder.b));

    const QString dataSheet = fill(kDataLabel).arg(text.r, text.g, text.b, config.textFont);
    for (QLabel *caption :
         {ui->label, ui->label_3, ui->label_5, ui->label_7, ui->label_9, ui->label_11, ui->label_13, ui->label_15})
        caption->setStyleSheet(dataSheet);
    for (QLabel *value :
         {ui->label_CPU01, ui->label_CPU02, ui->label_CPU03, ui->label_CPU04, ui->label_GPU01, ui->label_GPU02,
          ui->label_GPU03, ui->label_GPU04, ui->label_CPU01_UNIT, ui->label_CPU02_UNIT, ui->label_CPU03_UNIT,
          ui->label_CPU04_UNIT, ui->label_GPU01_UNIT, ui->label_GPU02_UNIT, ui->label_GPU03_UNIT, ui->label_GPU04_UNIT})
        value->setStyleSheet(dataSheet);
    const QString radioSheet = fill(kRadio).arg(config.radioDefColor, config.radioSelColor, config.textFont);
    ui->radioButton_Model01->setStyleSheet(radioSheet);
    ui->radioButton_Model02->setStyleSheet(radioSheet);

    const bool configurableLook = config.appId == QLatin1String(kConfigurableLookId);
    const QString menuSheet = configurableLook
                                  ? fill(kMenuConfigurable)
                                        .arg(config.progressBarStartColor, config.progressBarEndColor,
                                             config.dataValueTextColor, frameBorder.r, frameBorder.g, frameBorder.b)
                                  : fill(kMenuFixedRed).arg(text.r, text.g, text.b);
    for (QPushButton *menu : {ui->pushButton_Monitor, ui->pushButton_Hardware}) {
        menu->setStyleSheet(menuSheet);
        menu->setFont(sized(boldFont, 10));
    }

    const QString colourLabel = fill(kColourLabel).arg(text.r, text.g, text.b);
    if (config.companyInfoShowModel == 0) {
        ui->label_CompanyUrl->hide();
        ui->label_CompanyCopyright->hide();
    } else {
        ui->label_CompanyUrl->show();
        ui->label_CompanyCopyright->show();
        companyLinkText = config.companyLinkUrl;
        ui->label_CompanyUrl->setStyleSheet(colourLabel);
        ui->label_CompanyUrl->setFont(sized(mediumFont, 16));
        ui->label_CompanyUrl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui->label_CompanyUrl->setText(companyLinkText);
        ui->label_CompanyCopyright->setStyleSheet(colourLabel);
        ui->label_CompanyCopyright->setFont(sized(mediumFont, 10));
        ui->label_CompanyCopyright->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui->label_CompanyCopyright->setText(config.companyCopyright);
    }

    for (QLabel *item :
         {ui->label_21, ui->label_29, ui->label_22, ui->label_30, ui->label_23, ui->label_31, ui->label_32,
          ui->label_33, ui->label_34, ui->label_44, ui->label_45, ui->label_24, ui->label_35, ui->label_36,
          ui->label_37, ui->label_38, ui->label_46, ui->label_47, ui->label_25, ui->label_39, ui->label_40,
          ui->label_50, ui->label_51, ui->label_26, ui->label_41, ui->label_48, ui->label_49, ui->label_27,
          ui->label_42, ui->label_52, ui->label_28, ui->label_43}) {
        item->setStyleSheet(colourLabel);
        item->setFont(sized(mediumFont, 14));
    }

    const QGradientStops gradient = configurableLook
                                        ? QGradientStops{{0.0, QColor(0, 102, 153)}, {1.0, QColor(227, 6, 19)}}
                                        : QGradientStops{{0.0, QColor(248, 2, 34)},
                                                         {0.2, QColor(239, 9, 89)},
                                                         {0.55, QColor(255, 0, 34)},
                                                         {0.75, QColor(255, 0, 0)},
                                                         {1.0, QColor(250, 3, 32)}};
    const struct {
        ProgressBarRound *dashboard;
        const char *caption;
    } dashboards[] = {{ui->widget_CpuDashboardNew, "CPU"}, {ui->widget_GpuDashboardNew, "GPU"}};
    for (const auto &d : dashboards) {
        QPalette palette;
        palette.setColor(QPalette::AlternateBase, QColor(52, 52, 52, 255));
        palette.setColor(QPalette::Text, QColor(255, 255, 255, 255));
        palette.setColor(QPalette::Highlight, QColor(255, 107, 107, 255));
        palette.setColor(QPalette::Shadow, QColor(59, 59, 59, 0));
        palette.setColor(QPalette::Midlight, QColor(37, 37, 37, 255));
        // A widget under a style sheet gets back, at each later polish, the palette it had when it
        // was first polished (a font set in between is kept, a palette is not), and a stack polishes
        // a page it shows as soon as the page is added. Unpolished around the change, the dashboard
        // keeps this palette through the polishes that follow.
        d.dashboard->style()->unpolish(d.dashboard);
        d.dashboard->setPalette(palette);
        d.dashboard->style()->polish(d.dashboard);
        d.dashboard->setNullPosition(-90.0);
        d.dashboard->setPrecision(0);
        d.dashboard->setStrUnit(QStringLiteral("℃"));
        d.dashboard->setExplainText(QLatin1String(d.caption));
        d.dashboard->setGradientData(gradient);
        d.dashboard->setRange(0, 100);
        d.dashboard->setValue(0);
    }

    qDebug() << "initTheme runing -> Over";
    registerStartupTask();
}

void DMainWidget::initOperate()
{
    initTemperatureUnit();

    const struct {
        QProgressBar *bar;
        QLabel *value;
    } metrics[] = {
        {ui->progressBar_CPU01, ui->label_CPU01}, {ui->progressBar_CPU02, ui->label_CPU02},
        {ui->progressBar_CPU03, ui->label_CPU03}, {ui->progressBar_CPU04, ui->label_CPU04},
        {ui->progressBar_GPU01, ui->label_GPU01}, {ui->progressBar_GPU02, ui->label_GPU02},
        {ui->progressBar_GPU03, ui->label_GPU03}, {ui->progressBar_GPU04, ui->label_GPU04},
    };
    for (const auto &m : metrics) {
        m.bar->setValue(0);
        m.value->setText(QStringLiteral("0"));
    }
    ui->label_MemoryUsageNum->setText(QStringLiteral("0"));
    ui->progressBar_MemoryUsage->setValue(0);
    ui->label_MemoryUsage->setText(QStringLiteral("0G/0G"));
    ui->label_HardDiskUsageNum->setText(QStringLiteral("0"));
    ui->progressBar_HardDiskUsage->setValue(0);
    ui->label_HardDiskUsage->setText(QStringLiteral("0G/0G"));
}
