#include "mainwindow/dmainwidget_form.h"

#include "mainwindow/dmainwidget_sheets.h"

#include "widgets/progressbarround.h"

#include <QMetaObject>
#include <QSpacerItem>

namespace Ui {

namespace {

// The form starts every layout from the style's default margin and overrides single sides.
constexpr int Def = 11;
constexpr int DefSpacing = 6;
constexpr int NoMax = QWIDGETSIZE_MAX;

const char *const kFont = "\"微软雅黑\"";

QString sheet(const char *text)
{
    return QString::fromUtf8(text).replace(QStringLiteral("$FONT"), QString::fromUtf8(kFont));
}

const char *const kFrameBgSheet =
    "QFrame#frame_Bg{background-color: rgb(37, 37, 37); border: 1px solid rgb(20, 20, 20); border-radius: 12px;}";
const char *const kLeftAreaSheet =
    "QFrame#frame_LeftAreaABC{border-top-left-radius: 12px; border-bottom-left-radius: 12px;}"
    "QLabel{color: rgb(220, 220, 220);}";
const char *const kAppLogoSheet = "QPushButton{border-image: url(:/images/AppLogo.png);}";
const char *const kAppNameSheet = "QLabel#label_AppName{color: rgb(249, 27, 51);}";
const char *const kWideLogoSheet = "QPushButton{border-image: url(:/images/leftTopLogo.png);}";
const char *const kTestButtonSheet =
    "QPushButton{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0 rgba(0, 102, 153, 85), stop:1 rgba(227, 6, 19, 85)); color: rgb(220, 220, 220); "
    "font: 75 10pt $FONT; border: 1px solid rgb(180, 180, 180); border-radius: 8px;}";
const char *const kTitleSheet = "QFrame#frame_TitleASDF{border-top-right-radius: 12px;}";
const char *const kUnitBarSheet =
    "QRadioButton, QRadioButton:unchecked{color: rgb(175, 175, 175); font: 75 12pt $FONT;}"
    "QRadioButton:checked{color: rgb(255, 2, 0); font: 75 12pt $FONT;}"
    "QRadioButton::indicator:checked{background-color: rgb(255, 2, 0); border-radius: 6px; "
    "border: 2px solid white;}"
    "QLabel{color: rgb(220, 220, 220); font: 75 14pt $FONT;}";
const char *const kErrorMsgSheet = "QLabel{color: rgb(250, 20, 20); font: 75 14pt $FONT;}";
const char *const kInfoShowSheet =
    "QFrame#frame_LeftArea, QFrame#frame_CenterArea, QFrame#frame_RightArea{border: 2px solid rgb(49, 49, 49); "
    "border-radius: 20px;}"
    "QLabel{color: rgb(220, 220, 220); font: 75 10pt $FONT;}"
    "QLabel#label_CPU01, QLabel#label_CPU02, QLabel#label_CPU03, QLabel#label_CPU04, "
    "QLabel#label_GPU01, QLabel#label_GPU02, QLabel#label_GPU03, QLabel#label_GPU04, "
    "QLabel#label_CPU01_UNIT, QLabel#label_CPU02_UNIT, QLabel#label_CPU03_UNIT, QLabel#label_CPU04_UNIT, "
    "QLabel#label_GPU01_UNIT, QLabel#label_GPU02_UNIT, QLabel#label_GPU03_UNIT, QLabel#label_GPU04_UNIT"
    "{color: rgb(220, 220, 220); font: 75 12pt $FONT;}";
const char *const kCenterAreaSheet = "QLabel{color: rgb(220, 220, 220); font: 75 14pt $FONT;}";
const char *const kMemoryNumberSheet =
    "QLabel#label_MemoryUsageNum{color: rgb(249, 27, 51); font: 75 46pt $FONT;}"
    "QLabel#label_6{color: rgb(249, 27, 51); font: 75 20pt $FONT;}";
const char *const kDiskNumberSheet =
    "QLabel#label_HardDiskUsageNum{color: rgb(249, 27, 51); font: 75 46pt $FONT;}"
    "QLabel#label_12{color: rgb(249, 27, 51); font: 75 20pt $FONT;}";
const char *const kHardwareAreaSheet =
    "QFrame#frame_HardwareInfoArea{border: 2px solid rgb(49, 49, 49); border-radius: 20px;}";
const char *const kCompanySheet =
    "QFrame#frame_CompanyInfo{background-color: rgba(179, 47, 23, 0);}"
    "QLabel#label_CompanyUrl, QLabel#label_CompanyCopyright{color: rgb(220, 220, 220);}";

QFrame *newFrame(QWidget *parent, const char *name, QFrame::Shape shape = QFrame::StyledPanel)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

// A layout installed on owner, or a free one for nesting when owner is null.
template <typename Layout>
Layout *newLayout(QWidget *owner, const char *name, int spacing, int left, int top, int right, int bottom)
{
    auto *layout = owner ? new Layout(owner) : new Layout();
    layout->setObjectName(QString::fromLatin1(name));
    layout->setSpacing(spacing);
    layout->setContentsMargins(left, top, right, bottom);
    return layout;
}

QLabel *newLabel(QWidget *parent, const char *name, const char *text, Qt::Alignment alignment = {})
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setText(QString::fromUtf8(text));
    if (alignment)
        label->setAlignment(alignment);
    return label;
}

QPushButton *newButton(QWidget *parent, const char *name, const char *text)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromUtf8(text));
    return button;
}

QWidget *newPage(QStackedWidget *stack, const char *name)
{
    auto *page = new QWidget();
    page->setObjectName(QString::fromLatin1(name));
    stack->addWidget(page);
    return page;
}

QSpacerItem *hSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QSpacerItem *vSpacer()
{
    return new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

const Qt::Alignment LeftMiddle = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment RightMiddle = Qt::AlignRight | Qt::AlignVCenter;

#define FORM_MEMBER(name) &DMainWidget::name, #name

// One metric of the monitor page: bar on top, icon and caption below left, value and unit below right.
struct MetricRow {
    QGridLayout *DMainWidget::*grid;
    const char *gridName;
    QProgressBar *DMainWidget::*bar;
    const char *barName;
    int barValue;
    QLabel *DMainWidget::*value;
    const char *valueName;
    const char *valueText;
    QLabel *DMainWidget::*unit;
    const char *unitName;
    const char *unitText;
    QLabel *DMainWidget::*icon;
    const char *iconName;
    const char *iconPath;
    QLabel *DMainWidget::*caption;
    const char *captionName;
    const char *captionText;
};

const MetricRow kMetricRows[] = {
    {FORM_MEMBER(gridLayout_2), FORM_MEMBER(progressBar_CPU01), 10, FORM_MEMBER(label_CPU01), "100",
     FORM_MEMBER(label_CPU01_UNIT), "%", FORM_MEMBER(label_4), ":/images/InfoLog/utilization.png",
     FORM_MEMBER(label_3), "CPU Utilization"},
    {FORM_MEMBER(gridLayout_10), FORM_MEMBER(progressBar_CPU02), 20, FORM_MEMBER(label_CPU02), "1000",
     FORM_MEMBER(label_CPU02_UNIT), "MHz", FORM_MEMBER(label_10), ":/images/InfoLog/frequency.png",
     FORM_MEMBER(label), "CPU Frequency"},
    {FORM_MEMBER(gridLayout_3), FORM_MEMBER(progressBar_CPU03), 30, FORM_MEMBER(label_CPU03), "1000",
     FORM_MEMBER(label_CPU03_UNIT), "RPM", FORM_MEMBER(label_14), ":/images/InfoLog/fan.png",
     FORM_MEMBER(label_5), "CPU Fan"},
    {FORM_MEMBER(gridLayout_4), FORM_MEMBER(progressBar_CPU04), 50, FORM_MEMBER(label_CPU04), "100",
     FORM_MEMBER(label_CPU04_UNIT), "W", FORM_MEMBER(label_16), ":/images/InfoLog/power.png",
     FORM_MEMBER(label_7), "CPU Power"},
    {FORM_MEMBER(gridLayout_5), FORM_MEMBER(progressBar_GPU01), 10, FORM_MEMBER(label_GPU01), "100",
     FORM_MEMBER(label_GPU01_UNIT), "%", FORM_MEMBER(label_17), ":/images/InfoLog/utilization.png",
     FORM_MEMBER(label_9), "GPU Utilization"},
    {FORM_MEMBER(gridLayout_6), FORM_MEMBER(progressBar_GPU02), 20, FORM_MEMBER(label_GPU02), "1000",
     FORM_MEMBER(label_GPU02_UNIT), "MHz", FORM_MEMBER(label_18), ":/images/InfoLog/frequency.png",
     FORM_MEMBER(label_11), "GPU Frequency"},
    {FORM_MEMBER(gridLayout_7), FORM_MEMBER(progressBar_GPU03), 30, FORM_MEMBER(label_GPU03), "1000",
     FORM_MEMBER(label_GPU03_UNIT), "RPM", FORM_MEMBER(label_19), ":/images/InfoLog/fan.png",
     FORM_MEMBER(label_13), "GPU Fan"},
    {FORM_MEMBER(gridLayout_8), FORM_MEMBER(progressBar_GPU04), 50, FORM_MEMBER(label_GPU04), "100",
     FORM_MEMBER(label_GPU04_UNIT), "W", FORM_MEMBER(label_20), ":/images/InfoLog/power.png",
     FORM_MEMBER(label_15), "GPU Power"},
};

// One row of the hardware list: a caption and a grid of value labels.
struct HardwareCell {
    QLabel *DMainWidget::*label;
    const char *name;
    int row;
    int column;
};

struct HardwareRow {
    QFrame *DMainWidget::*frame;
    const char *frameName;
    QLabel *DMainWidget::*caption;
    const char *captionName;
    const char *captionText;
    int captionTopMargin;
    bool wordWrap;
    HardwareCell cells[6];
};

const HardwareRow kHardwareRows[] = {
    {FORM_MEMBER(frame_HardwareInfo001), FORM_MEMBER(label_21), "CPU", Def, true, {{FORM_MEMBER(label_29), 0, 0}}},
    {FORM_MEMBER(frame_HardwareInfo002), FORM_MEMBER(label_22), "Mainboard", Def, true, {{FORM_MEMBER(label_30), 0, 0}}},
    {FORM_MEMBER(frame_HardwareInfo003), FORM_MEMBER(label_23), "RAM", Def, false,
     {{FORM_MEMBER(label_31), 0, 0}, {FORM_MEMBER(label_32), 0, 1}, {FORM_MEMBER(label_33), 1, 0},
      {FORM_MEMBER(label_34), 1, 1}, {FORM_MEMBER(label_44), 2, 0}, {FORM_MEMBER(label_45), 2, 1}}},
    {FORM_MEMBER(frame_HardwareInfo004), FORM_MEMBER(label_24), "Disk Drive", 9, false,
     {{FORM_MEMBER(label_35), 0, 0}, {FORM_MEMBER(label_36), 0, 1}, {FORM_MEMBER(label_37), 1, 0},
      {FORM_MEMBER(label_38), 1, 1}, {FORM_MEMBER(label_46), 2, 0}, {FORM_MEMBER(label_47), 2, 1}}},
    {FORM_MEMBER(frame_HardwareInfo005), FORM_MEMBER(label_25), "Graphics Card", Def, false,
     {{FORM_MEMBER(label_39), 0, 0}, {FORM_MEMBER(label_40), 0, 1}, {FORM_MEMBER(label_50), 1, 0},
      {FORM_MEMBER(label_51), 1, 1}}},
    {FORM_MEMBER(frame_HardwareInfo006), FORM_MEMBER(label_26), "Sound Card", 9, false,
     {{FORM_MEMBER(label_41), 1, 0}, {FORM_MEMBER(label_48), 2, 0}, {FORM_MEMBER(label_49), 3, 0}}},
    {FORM_MEMBER(frame_HardwareInfo007), FORM_MEMBER(label_27), "Network Card", Def, false,
     {{FORM_MEMBER(label_42), 0, 0}, {FORM_MEMBER(label_52), 1, 0}}},
    {FORM_MEMBER(frame_HardwareInfo008), FORM_MEMBER(label_28), "System Version", Def, false,
     {{FORM_MEMBER(label_43), 0, 0}}},
};

#undef FORM_MEMBER

} // namespace

void DMainWidget::setupUi(QWidget *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("DMainWidget"));
    window->resize(1150, 750);
    window->setWindowTitle(QStringLiteral("DMainWidget"));
    verticalLayout_2 = newLayout<QVBoxLayout>(window, "verticalLayout_2", 0, 0, 0, 0, 0);

    frame_Bg = newFrame(window, "frame_Bg");
    frame_Bg->setStyleSheet(sheet(kFrameBgSheet));
    horizontalLayout = newLayout<QHBoxLayout>(frame_Bg, "horizontalLayout", 0, 0, 0, 0, 0);
    verticalLayout_2->addWidget(frame_Bg);

    frame_LeftAreaABC = newFrame(frame_Bg, "frame_LeftAreaABC");
    frame_LeftAreaABC->setFixedWidth(225);
    frame_LeftAreaABC->setStyleSheet(sheet(kLeftAreaSheet));
    horizontalLayout->addWidget(frame_LeftAreaABC);
    setupLeftColumn(frame_LeftAreaABC);

    frame_RightAreaABC = newFrame(frame_Bg, "frame_RightAreaABC");
    const QString grey = QStringLiteral("60");
    frame_RightAreaABC->setStyleSheet(
        QString::fromLatin1(DMainWidgetSheets::kRightArea) +
        QString::fromLatin1(DMainWidgetSheets::kMetricBar)
            .arg(grey, grey, grey, QStringLiteral("236"), QStringLiteral("3"), QStringLiteral("78"),
                 QStringLiteral("255"), QStringLiteral("41"), QStringLiteral("37")));
    horizontalLayout->addWidget(frame_RightAreaABC);
    setupRightColumn(frame_RightAreaABC);

    stackedWidget_2->setCurrentIndex(1);
    stackedWidget->setCurrentIndex(0);
    stackedWidget_3->setCurrentIndex(0);

    QMetaObject::connectSlotsByName(window);
}

void DMainWidget::setupLeftColumn(QFrame *parent)
{
    verticalLayout_16 = newLayout<QVBoxLayout>(parent, "verticalLayout_16", DefSpacing, 0, 15, 0, Def);

    stackedWidget_2 = new QStackedWidget(parent);
    stackedWidget_2->setObjectName(QStringLiteral("stackedWidget_2"));
    stackedWidget_2->setMaximumHeight(60);
    verticalLayout_16->addWidget(stackedWidget_2);
    page = newPage(stackedWidget_2, "page");
    horizontalLayout_26 = newLayout<QHBoxLayout>(page, "horizontalLayout_26", DefSpacing, Def, Def, Def, Def);
    page_2 = newPage(stackedWidget_2, "page_2");
    verticalLayout_15 = newLayout<QVBoxLayout>(page_2, "verticalLayout_15", DefSpacing, Def, Def, Def, Def);

    stackedWidget = new QStackedWidget(page_2);
    stackedWidget->setObjectName(QStringLiteral("stackedWidget"));
    verticalLayout_15->addWidget(stackedWidget);

    page_TitleMode01 = newPage(stackedWidget, "page_TitleMode01");
    horizontalLayout_10 = newLayout<QHBoxLayout>(page_TitleMode01, "horizontalLayout_10", DefSpacing, 0, 0, 0, 0);
    frame_44 = newFrame(page_TitleMode01, "frame_44");
    horizontalLayout_10->addWidget(frame_44);
    horizontalLayout_9 = newLayout<QHBoxLayout>(frame_44, "horizontalLayout_9", DefSpacing, 0, 0, 0, 0);
    frame = newFrame(frame_44, "frame");
    frame->setMaximumWidth(31);
    horizontalLayout_9->addWidget(frame);
    verticalLayout_3 = newLayout<QVBoxLayout>(frame, "verticalLayout_3", 0, 0, 0, 0, 0);
    appLogo = newButton(frame, "appLogo", "");
    appLogo->setFixedSize(30, 30);
    appLogo->setFocusPolicy(Qt::NoFocus);
    appLogo->setIconSize(QSize(32, 32));
    appLogo->setStyleSheet(sheet(kAppLogoSheet));
    verticalLayout_3->addWidget(appLogo);
    frame_5 = newFrame(frame_44, "frame_5");
    horizontalLayout_9->addWidget(frame_5);
    verticalLayout_4 = newLayout<QVBoxLayout>(frame_5, "verticalLayout_4", 0, 0, 2, 0, 0);
    label_AppName = newLabel(frame_5, "label_AppName", "TALVEX", LeftMiddle);
    label_AppName->setStyleSheet(sheet(kAppNameSheet));
    verticalLayout_4->addWidget(label_AppName);

    page_TitleMode02 = newPage(stackedWidget, "page_TitleMode02");
    horizontalLayout_11 = newLayout<QHBoxLayout>(page_TitleMode02, "horizontalLayout_11", DefSpacing, 0, 0, 0, 0);
    pushButton = newButton(page_TitleMode02, "pushButton", "");
    pushButton->setFixedSize(200, 30);
    pushButton->setStyleSheet(sheet(kWideLogoSheet));
    horizontalLayout_11->addWidget(pushButton);

    frame_34 = newFrame(parent, "frame_34");
    frame_34->setMinimumHeight(100);
    const QString light = QStringLiteral("220");
    frame_34->setStyleSheet(QString::fromLatin1(DMainWidgetSheets::kMenuFixedRed).arg(light, light, light));
    verticalLayout_16->addWidget(frame_34);
    verticalLayout_18 = newLayout<QVBoxLayout>(frame_34, "verticalLayout_18", DefSpacing, Def, 3, Def, Def);
    gridLayout_11 = newLayout<QGridLayout>(nullptr, "gridLayout_11", DefSpacing, Def, 0, Def, 6);
    gridLayout_11->setHorizontalSpacing(6);
    gridLayout_11->setVerticalSpacing(40);
    verticalLayout_18->addLayout(gridLayout_11);
    pushButton_Monitor = newButton(frame_34, "pushButton_Monitor", "HARDWARE\nMONITOR");
    pushButton_Hardware = newButton(frame_34, "pushButton_Hardware", "HARDWARE\nINFORMATION");
    for (QPushButton *menuButton : {pushButton_Monitor, pushButton_Hardware}) {
        menuButton->setMinimumSize(150, 65);
        menuButton->setMaximumWidth(140);
        menuButton->setCheckable(true);
        menuButton->setStyleSheet(QString());
    }
    pushButton_Monitor->setChecked(true);
    gridLayout_11->addWidget(pushButton_Monitor, 0, 0);
    gridLayout_11->addWidget(pushButton_Hardware, 1, 0);

    verticalLayout_16->addItem(vSpacer());
    pushButton_Test = newButton(parent, "pushButton_Test", "Test");
    pushButton_Test->setMinimumSize(140, 55);
    pushButton_Test->setStyleSheet(sheet(kTestButtonSheet));
    verticalLayout_16->addWidget(pushButton_Test);
    verticalLayout_16->addItem(vSpacer());
    pushButton_Logo = newButton(parent, "pushButton_Logo", "日志打印");
    pushButton_Logo->setMinimumSize(100, 25);
    verticalLayout_16->addWidget(pushButton_Logo);
    label_CrashTest = newLabel(parent, "label_CrashTest", "Crash:XXX", Qt::AlignCenter);
    label_CrashTest->setMinimumWidth(120);
    verticalLayout_16->addWidget(label_CrashTest);
    label_AppVersion = newLabel(parent, "label_AppVersion", "V_1.0.0.01", Qt::AlignCenter);
    label_AppVersion->setStyleSheet(QString());
    verticalLayout_16->addWidget(label_AppVersion);
}

void DMainWidget::setupRightColumn(QFrame *parent)
{
    verticalLayout = newLayout<QVBoxLayout>(parent, "verticalLayout", 0, 0, 0, 0, 0);

    frame_TitleASDF = newFrame(parent, "frame_TitleASDF");
    frame_TitleASDF->setFixedHeight(85);
    frame_TitleASDF->setStyleSheet(sheet(kTitleSheet));
    verticalLayout->addWidget(frame_TitleASDF);
    horizontalLayout_3 = newLayout<QHBoxLayout>(frame_TitleASDF, "horizontalLayout_3", DefSpacing, 14, Def, Def, Def);
    frame_4 = newFrame(frame_TitleASDF, "frame_4");
    frame_4->setMinimumWidth(560);
    frame_4->setStyleSheet(QString());
    horizontalLayout_3->addWidget(frame_4);
    horizontalLayout_23 = newLayout<QHBoxLayout>(frame_4, "horizontalLayout_23", 16, 0, 6, Def, 0);
    horizontalLayout_23->addItem(hSpacer());
    horizontalLayout_3->addItem(hSpacer());
    frame_25 = newFrame(frame_TitleASDF, "frame_25");
    frame_25->setFixedWidth(170);
    horizontalLayout_3->addWidget(frame_25);
    verticalLayout_17 = newLayout<QVBoxLayout>(frame_25, "verticalLayout_17", DefSpacing, 0, 10, 10, 0);
    frame_24 = newFrame(frame_25, "frame_24");
    verticalLayout_17->addWidget(frame_24);
    verticalLayout_17->addItem(vSpacer());
    horizontalLayout_27 = newLayout<QHBoxLayout>(frame_24, "horizontalLayout_27", 15, Def, 0, 0, 0);
    horizontalLayout_27->addItem(hSpacer());
    const struct {
        QPushButton *DMainWidget::*button;
        const char *name;
        const char *image;
    } titleButtons[] = {
        {&DMainWidget::pushButton_Setting, "pushButton_Setting", "setting"},
        {&DMainWidget::pushButton_Min, "pushButton_Min", "minWindow"},
        {&DMainWidget::pushButton_Max, "pushButton_Max", "maxWindow"},
        {&DMainWidget::pushButton_Close, "pushButton_Close", "closeWindow"},
    };
    for (const auto &t : titleButtons) {
        QPushButton *button = newButton(frame_24, t.name, "");
        button->setMinimumSize(18, 18);
        button->setMaximumWidth(18);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(QStringLiteral("QPushButton{border-image: url(:/images/mainpage/%1Def.png);}"
                                             "QPushButton:hover{border-image: url(:/images/mainpage/%1Sel.png);}"
                                             "QPushButton:pressed{border-image: url(:/images/mainpage/%1Sel.png);}")
                                  .arg(QLatin1String(t.image)));
        horizontalLayout_27->addWidget(button);
        this->*t.button = button;
    }

    frame_23 = newFrame(parent, "frame_23");
    verticalLayout->addWidget(frame_23);
    horizontalLayout_25 = newLayout<QHBoxLayout>(frame_23, "horizontalLayout_25", DefSpacing, 0, 0, 0, 0);
    stackedWidget_3 = new QStackedWidget(frame_23);
    stackedWidget_3->setObjectName(QStringLiteral("stackedWidget_3"));
    horizontalLayout_25->addWidget(stackedWidget_3);
    setupMonitorPage();
    setupUsagePage();
    setupHardwareListPage();

    frame_CompanyInfo = newFrame(parent, "frame_CompanyInfo");
    frame_CompanyInfo->setFixedHeight(70);
    frame_CompanyInfo->setStyleSheet(sheet(kCompanySheet));
    verticalLayout->addWidget(frame_CompanyInfo);
    verticalLayout_19 = newLayout<QVBoxLayout>(frame_CompanyInfo, "verticalLayout_19", 2, Def, 0, 20, Def);
    frame_35 = newFrame(frame_CompanyInfo, "frame_35", QFrame::NoFrame);
    verticalLayout_19->addWidget(frame_35);
    horizontalLayout_36 = newLayout<QHBoxLayout>(frame_35, "horizontalLayout_36", DefSpacing, 0, 0, 0, 0);
    horizontalLayout_36->addItem(hSpacer());
    label_CompanyUrl = newLabel(frame_35, "label_CompanyUrl", "https://www.talvex.example", RightMiddle);
    horizontalLayout_36->addWidget(label_CompanyUrl);
    label_CompanyCopyright = newLabel(frame_CompanyInfo, "label_CompanyCopyright",
                                      "Copyright © Talvex Technology Co., Ltd. All rights reserved.", RightMiddle);
    verticalLayout_19->addWidget(label_CompanyCopyright);
}

void DMainWidget::setupMonitorPage()
{
    page_Monitor = newPage(stackedWidget_3, "page_Monitor");
    horizontalLayout_24 = newLayout<QHBoxLayout>(page_Monitor, "horizontalLayout_24", DefSpacing, 0, 0, 0, 0);
    frame_MainArea = newFrame(page_Monitor, "frame_MainArea");
    frame_MainArea->setStyleSheet(QString());
    horizontalLayout_24->addWidget(frame_MainArea);
    verticalLayout_5 = newLayout<QVBoxLayout>(frame_MainArea, "verticalLayout_5", 0, 6, 0, 0, 6);

    frame_2 = newFrame(frame_MainArea, "frame_2");
    frame_2->setFixedHeight(35);
    frame_2->setStyleSheet(sheet(kUnitBarSheet));
    verticalLayout_5->addWidget(frame_2);
    horizontalLayout_4 = newLayout<QHBoxLayout>(frame_2, "horizontalLayout_4", DefSpacing, 3, 0, 40, 5);
    label_HidStatus = newLabel(frame_2, "label_HidStatus", "Disconnected", LeftMiddle);
    horizontalLayout_4->addWidget(label_HidStatus);
    horizontalLayout_4->addItem(hSpacer());
    label_ErrorMsg = newLabel(frame_2, "label_ErrorMsg", "Please get a new APP", Qt::AlignCenter);
    label_ErrorMsg->setWordWrap(false);
    label_ErrorMsg->setStyleSheet(sheet(kErrorMsgSheet));
    horizontalLayout_4->addWidget(label_ErrorMsg);
    horizontalLayout_4->addItem(hSpacer());
    radioButton_Model01 = new QRadioButton(frame_2);
    radioButton_Model01->setObjectName(QStringLiteral("radioButton_Model01"));
    radioButton_Model01->setMinimumWidth(60);
    radioButton_Model01->setChecked(true);
    radioButton_Model01->setText(QStringLiteral("℃"));
    horizontalLayout_4->addWidget(radioButton_Model01);
    radioButton_Model02 = new QRadioButton(frame_2);
    radioButton_Model02->setObjectName(QStringLiteral("radioButton_Model02"));
    radioButton_Model02->setMinimumWidth(60);
    radioButton_Model02->setText(QStringLiteral("℉"));
    horizontalLayout_4->addWidget(radioButton_Model02);

    frame_InfoShow = newFrame(frame_MainArea, "frame_InfoShow");
    frame_InfoShow->setStyleSheet(sheet(kInfoShowSheet));
    verticalLayout_5->addWidget(frame_InfoShow);
    horizontalLayout_2 = newLayout<QHBoxLayout>(frame_InfoShow, "horizontalLayout_2", 80, 6, 3, 0, Def);

    // The CPU side and the GPU side are built alike: dashboard on top, the metric grids below.
    const struct {
        QFrame *DMainWidget::*side;
        const char *sideName;
        QVBoxLayout *DMainWidget::*sideLayout;
        const char *sideLayoutName;
        QFrame *DMainWidget::*top;
        const char *topName;
        QHBoxLayout *DMainWidget::*topLayout;
        const char *topLayoutName;
        ProgressBarRound *DMainWidget::*dashboard;
        const char *dashboardName;
        QFrame *DMainWidget::*metrics;
        const char *metricsName;
        QVBoxLayout *DMainWidget::*metricsLayout;
        const char *metricsLayoutName;
    } sides[] = {
        {&DMainWidget::frame_LeftArea, "frame_LeftArea", &DMainWidget::verticalLayout_6, "verticalLayout_6",
         &DMainWidget::frame_21, "frame_21", &DMainWidget::horizontalLayout_21, "horizontalLayout_21",
         &DMainWidget::widget_CpuDashboardNew, "widget_CpuDashboardNew", &DMainWidget::frame_8, "frame_8",
         &DMainWidget::verticalLayout_9, "verticalLayout_9"},
        {&DMainWidget::frame_RightArea, "frame_RightArea", &DMainWidget::verticalLayout_7, "verticalLayout_7",
         &DMainWidget::frame_22, "frame_22", &DMainWidget::horizontalLayout_22, "horizontalLayout_22",
         &DMainWidget::widget_GpuDashboardNew, "widget_GpuDashboardNew", &DMainWidget::frame_9, "frame_9",
         &DMainWidget::verticalLayout_8, "verticalLayout_8"},
    };
    for (const auto &s : sides) {
        QFrame *side = newFrame(frame_InfoShow, s.sideName);
        side->setFixedWidth(350);
        horizontalLayout_2->addWidget(side);
        auto *sideLayout = newLayout<QVBoxLayout>(side, s.sideLayoutName, 0, Def, 10, Def, 30);

        QFrame *top = newFrame(side, s.topName);
        top->setMinimumHeight(250);
        sideLayout->addWidget(top);
        auto *topLayout = newLayout<QHBoxLayout>(top, s.topLayoutName, DefSpacing, Def, 30, Def, Def);
        topLayout->addItem(hSpacer());
        auto *dashboard = new ProgressBarRound(top);
        dashboard->setObjectName(QString::fromLatin1(s.dashboardName));
        dashboard->setMinimumSize(195, 195);
        dashboard->setMaximumHeight(195);
        topLayout->addWidget(dashboard);
        topLayout->addItem(hSpacer());
        sideLayout->addItem(vSpacer());

        QFrame *metrics = newFrame(side, s.metricsName);
        metrics->setMinimumHeight(180);
        sideLayout->addWidget(metrics);
        auto *metricsLayout = newLayout<QVBoxLayout>(metrics, s.metricsLayoutName, 20, 10, 8, 10, 0);

        this->*s.side = side;
        this->*s.sideLayout = sideLayout;
        this->*s.top = top;
        this->*s.topLayout = topLayout;
        this->*s.dashboard = dashboard;
        this->*s.metrics = metrics;
        this->*s.metricsLayout = metricsLayout;
    }
    horizontalLayout_2->addItem(hSpacer());
    setupMetricGrids();
}

void DMainWidget::setupMetricGrids()
{
    int index = 0;
    for (const MetricRow &m : kMetricRows) {
        const bool cpu = index++ < 4;
        QFrame *parent = cpu ? frame_8 : frame_9;
        QVBoxLayout *into = cpu ? verticalLayout_9 : verticalLayout_8;
        const QString id = QString::fromLatin1(m.valueName).mid(int(qstrlen("label_")));

        auto *grid = newLayout<QGridLayout>(nullptr, m.gridName, DefSpacing, 0, 0, 0, 0);
        grid->setVerticalSpacing(3);
        into->addLayout(grid);

        auto *bar = new QProgressBar(parent);
        bar->setObjectName(QString::fromLatin1(m.barName));
        bar->setMinimumSize(0, 11);
        bar->setMaximumSize(NoMax, 11);
        bar->setValue(m.barValue);
        bar->setAlignment(Qt::AlignCenter);
        bar->setTextVisible(false);
        bar->setTextDirection(QProgressBar::TopToBottom);
        grid->addWidget(bar, 0, 0, 1, 2);

        QFrame *captionFrame = newFrame(parent, qPrintable(QStringLiteral("frame_%1Caption").arg(id)));
        auto *captionLayout = newLayout<QHBoxLayout>(captionFrame, qPrintable(QStringLiteral("horizontalLayout_%1Caption").arg(id)),
                                                     3, 0, 0, 0, 0);
        QLabel *icon = newLabel(captionFrame, m.iconName, "");
        if (qstrcmp(m.iconName, "label_20") != 0)
            icon->setMinimumSize(13, 13);
        icon->setMaximumSize(13, 13);
        icon->setStyleSheet(QStringLiteral("border-image: url(%1);").arg(QLatin1String(m.iconPath)));
        captionLayout->addWidget(icon);
        QLabel *caption = newLabel(captionFrame, m.captionName, m.captionText);
        captionLayout->addWidget(caption);
        grid->addWidget(captionFrame, 1, 0);

        QFrame *valueFrame = newFrame(parent, qPrintable(QStringLiteral("frame_%1Value").arg(id)));
        valueFrame->setFixedWidth(100);
        auto *valueLayout = newLayout<QHBoxLayout>(valueFrame, qPrintable(QStringLiteral("horizontalLayout_%1Value").arg(id)),
                                                   3, 3, 0, 0, 0);
        valueLayout->addItem(hSpacer());
        QLabel *value = newLabel(valueFrame, m.valueName, m.valueText, LeftMiddle);
        value->setMinimumSize(0, 0);
        valueLayout->addWidget(value);
        QLabel *unit = newLabel(valueFrame, m.unitName, m.unitText, LeftMiddle);
        valueLayout->addWidget(unit);
        grid->addWidget(valueFrame, 1, 1);

        this->*m.grid = grid;
        this->*m.bar = bar;
        this->*m.value = value;
        this->*m.unit = unit;
        this->*m.icon = icon;
        this->*m.caption = caption;
    }
}

void DMainWidget::setupUsagePage()
{
    page_Hardware = newPage(stackedWidget_3, "page_Hardware");
    horizontalLayout_8 = newLayout<QHBoxLayout>(page_Hardware, "horizontalLayout_8", DefSpacing, Def, Def, Def, Def);
    horizontalLayout_8->addItem(hSpacer());
    frame_CenterArea = newFrame(page_Hardware, "frame_CenterArea");
    frame_CenterArea->setMinimumWidth(450);
    frame_CenterArea->setStyleSheet(sheet(kCenterAreaSheet));
    horizontalLayout_8->addWidget(frame_CenterArea);
    horizontalLayout_8->addItem(hSpacer());
    verticalLayout_10 = newLayout<QVBoxLayout>(frame_CenterArea, "verticalLayout_10", 16, Def, 16, Def, 20);

    // Memory and system disk are built alike: title, big number with a percent sign, bar and sizes.
    const struct {
        const char *key;
        QFrame *DMainWidget::*block;
        const char *blockName;
        QLabel *DMainWidget::*title;
        const char *titleName;
        const char *titleText;
        QFrame *DMainWidget::*numberFrame;
        const char *numberFrameName;
        const char *numberSheet;
        QLabel *DMainWidget::*number;
        const char *numberName;
        QLabel *DMainWidget::*percent;
        const char *percentName;
        QProgressBar *DMainWidget::*bar;
        const char *barName;
        QLabel *DMainWidget::*sizes;
        const char *sizesName;
        const char *sizesText;
    } blocks[] = {
        {"Memory", &DMainWidget::frame_Memory, "frame_Memory", &DMainWidget::label_2, "label_2", "Memory usage",
         &DMainWidget::frame_10, "frame_10", kMemoryNumberSheet, &DMainWidget::label_MemoryUsageNum,
         "label_MemoryUsageNum", &DMainWidget::label_6, "label_6", &DMainWidget::progressBar_MemoryUsage,
         "progressBar_MemoryUsage", &DMainWidget::label_MemoryUsage, "label_MemoryUsage", "10G/16G"},
        {"HardDisk", &DMainWidget::frame_HardDisk, "frame_HardDisk", &DMainWidget::label_8, "label_8",
         "Hard disk usage (C:)", &DMainWidget::frame_13, "frame_13", kDiskNumberSheet,
         &DMainWidget::label_HardDiskUsageNum, "label_HardDiskUsageNum", &DMainWidget::label_12, "label_12",
         &DMainWidget::progressBar_HardDiskUsage, "progressBar_HardDiskUsage", &DMainWidget::label_HardDiskUsage,
         "label_HardDiskUsage", "800G/1000G"},
    };
    for (const auto &b : blocks) {
        const QString key = QString::fromLatin1(b.key);
        verticalLayout_10->addItem(vSpacer());
        QFrame *block = newFrame(frame_CenterArea, b.blockName);
        verticalLayout_10->addWidget(block);
        auto *blockLayout = newLayout<QVBoxLayout>(block, qPrintable("verticalLayout_" + key), DefSpacing, Def, Def,
                                                   Def, Def);

        QFrame *titleFrame = newFrame(block, qPrintable("frame_" + key + "Title"));
        titleFrame->setMaximumHeight(40);
        blockLayout->addWidget(titleFrame);
        auto *titleLayout = newLayout<QHBoxLayout>(titleFrame, qPrintable("horizontalLayout_" + key + "Title"),
                                                   DefSpacing, 0, 0, Def, 0);
        QLabel *title = newLabel(titleFrame, b.titleName, b.titleText);
        titleLayout->addWidget(title);

        QFrame *numberFrame = newFrame(block, b.numberFrameName);
        numberFrame->setStyleSheet(sheet(b.numberSheet));
        blockLayout->addWidget(numberFrame);
        auto *numberLayout = newLayout<QHBoxLayout>(numberFrame, qPrintable("horizontalLayout_" + key + "Number"),
                                                    DefSpacing, 35, Def, 0, Def);
        QLabel *number = newLabel(numberFrame, b.numberName, "0", RightMiddle);
        numberLayout->addWidget(number);
        QFrame *percentFrame = newFrame(numberFrame, qPrintable("frame_" + key + "Percent"));
        numberLayout->addWidget(percentFrame);
        auto *percentLayout = newLayout<QHBoxLayout>(percentFrame, qPrintable("horizontalLayout_" + key + "Percent"),
                                                     DefSpacing, 0, 34, Def, Def);
        QLabel *percent = newLabel(percentFrame, b.percentName, "%", LeftMiddle);
        percentLayout->addWidget(percent);

        auto *grid = newLayout<QGridLayout>(nullptr, qPrintable("gridLayout_" + key), DefSpacing, 0, 0, 0, 0);
        blockLayout->addLayout(grid);
        auto *bar = new QProgressBar(block);
        bar->setObjectName(QString::fromLatin1(b.barName));
        bar->setValue(24);
        bar->setTextVisible(false);
        grid->addWidget(bar, 0, 0);
        QLabel *sizes = newLabel(block, b.sizesName, b.sizesText);
        sizes->setMinimumWidth(120);
        grid->addWidget(sizes, 0, 1);

        this->*b.block = block;
        this->*b.title = title;
        this->*b.numberFrame = numberFrame;
        this->*b.number = number;
        this->*b.percent = percent;
        this->*b.bar = bar;
        this->*b.sizes = sizes;
    }
}

void DMainWidget::setupHardwareListPage()
{
    page_HardwareInfoNew = newPage(stackedWidget_3, "page_HardwareInfoNew");
    verticalLayout_20 = newLayout<QVBoxLayout>(page_HardwareInfoNew, "verticalLayout_20", DefSpacing, 14, 0, 30, 9);
    frame_HardwareInfoArea = newFrame(page_HardwareInfoNew, "frame_HardwareInfoArea");
    frame_HardwareInfoArea->setStyleSheet(sheet(kHardwareAreaSheet));
    verticalLayout_20->addWidget(frame_HardwareInfoArea);
    auto *areaLayout = newLayout<QVBoxLayout>(frame_HardwareInfoArea, "verticalLayout_HardwareInfoArea", DefSpacing,
                                              Def, Def, Def, Def);

    int number = 0;
    for (const HardwareRow &r : kHardwareRows) {
        const QString id = QStringLiteral("%1").arg(++number, 3, 10, QLatin1Char('0'));
        QFrame *row = newFrame(frame_HardwareInfoArea, r.frameName);
        areaLayout->addWidget(row);
        auto *rowLayout = newLayout<QHBoxLayout>(row, qPrintable("horizontalLayout_HardwareInfo" + id), DefSpacing,
                                                 Def, 0, Def, 0);

        QFrame *captionFrame = newFrame(row, qPrintable("frame_HardwareCaption" + id));
        captionFrame->setMaximumWidth(200);
        rowLayout->addWidget(captionFrame);
        auto *captionLayout = newLayout<QVBoxLayout>(captionFrame, qPrintable("verticalLayout_HardwareCaption" + id),
                                                     DefSpacing, Def, r.captionTopMargin, Def, Def);
        QLabel *caption = newLabel(captionFrame, r.captionName, r.captionText, RightMiddle);
        captionLayout->addWidget(caption);
        this->*r.caption = caption;

        QFrame *contentFrame = newFrame(row, qPrintable("frame_HardwareContent" + id));
        rowLayout->addWidget(contentFrame);
        auto *grid = newLayout<QGridLayout>(contentFrame, qPrintable("gridLayout_HardwareInfo" + id), DefSpacing, Def,
                                            Def, Def, Def);
        for (const HardwareCell &cell : r.cells) {
            if (!cell.label)
                break;
            QLabel *value = newLabel(contentFrame, cell.name, cell.column == 0 ? "TextLabel" : "0.0GB");
            value->setWordWrap(r.wordWrap);
            grid->addWidget(value, cell.row, cell.column);
            this->*cell.label = value;
        }
    }
}

} // namespace Ui
