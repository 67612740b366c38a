#include "mainwindow/dmainwidget.h"

#include "config/ddatamanager.h"

#include <QMenu>


DMainWidget::DMainWidget(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::DMainWidget>())
{
    showMainPage = DDataManager::instance()->appConfig().showMainPageUi;

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

    createTray();
    initThemeData();
    initOperate();

    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
    ui->pushButton_Monitor->setChecked(true);

    connect(ui->label_CompanyUrl, SIGNAL(linkActivated(QString)), this, SLOT(onLickActivited(QString)),
            Qt::DirectConnection);
}

DMainWidget::~DMainWidget()
{
    delete trayMenu;
}
