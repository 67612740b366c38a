#include "mainwindow/dmainwidget.h"

#include "config/ddatamanager.h"
#include "mainwindow/apptray.h"

#include <QProxyStyle>

namespace {

// The form's frames are styled panels only to hold their layouts: every border the window shows
// comes from its style sheets, so the platform's panel outline is left out.
class PanelWithoutOutlineStyle : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_Frame)
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

DMainWidget::DMainWidget(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::DMainWidget>())
{
    // The branding and the log handler first, where the window is built before them (tests).
    DDataManager::instance();

    ui->setupUi(this);

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    // Only frame_Bg paints, so its rounded corners show the desktop behind the window.
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(1150, 750);

    ui->pushButton_Setting->hide();
    ui->pushButton_Max->hide();
    ui->label_HidStatus->hide();
    ui->pushButton_Test->hide();

    ui->label_AppName->setText(QStringLiteral("Kestrun"));
    ui->label_AppVersion->setText(QStringLiteral("V_1.0.0.01"));

    ui->pushButton_Logo->hide();
    ui->label_CrashTest->hide();
    ui->label_ErrorMsg->hide();

    registerDevice();
    createTray();
    initThemeData();
    initOperate();

    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
    ui->pushButton_Monitor->setChecked(true);

    connect(ui->label_CompanyUrl, SIGNAL(linkActivated(QString)), this, SLOT(onLickActivited(QString)),
            Qt::DirectConnection);

    auto *panelStyle = new PanelWithoutOutlineStyle;
    panelStyle->setParent(this);
    for (QFrame *frame : findChildren<QFrame *>())
        if (frame->frameShape() == QFrame::StyledPanel)
            frame->setStyle(panelStyle);

    startDataPath();
}

DMainWidget::~DMainWidget() = default;

QSystemTrayIcon *DMainWidget::systemTrayIcon() const
{
    return tray->icon();
}

QMenu *DMainWidget::trayContextMenu() const
{
    return tray->menu();
}
