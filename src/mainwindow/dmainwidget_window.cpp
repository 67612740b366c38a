#include "mainwindow/dmainwidget.h"

#include "config/ddatamanager.h"
#include "config/temperatureunit.h"
#include "logviewer/logprintfdia.h"
#include "mainwindow/apptray.h"
#include "widgets/progressbarround.h"

#include <QCloseEvent>
#include <QDebug>
#include <QIcon>
#include <QMouseEvent>
#include <QWindow>

namespace {

constexpr int NoEdge = 8;

QString unitSign(int unit)
{
    return unit == kUnitCelsius ? QStringLiteral("℃") : QStringLiteral("℉");
}

} // namespace

void DMainWidget::createTray()
{
    const AppConfig config = DDataManager::instance()->appConfig();
    tray = new AppTray(config.appName, QIcon(config.appIconPath), config.showMainPageUi == 1, this);
    connect(tray, SIGNAL(sigOpenRequested()), this, SLOT(showNormal()));
    connect(tray, SIGNAL(sigExitRequested()), this, SLOT(onQuitApp()));
}

void DMainWidget::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    tray->iconActivated(reason);
}

void DMainWidget::mousePressEvent(QMouseEvent *event)
{
    dragging = false;
    switch (event->button()) {
    case Qt::LeftButton:
        leftPressed = true;
        if (ui->frame_Bg->geometry().contains(event->pos())) {
            dragOffset = event->globalPos() - frameGeometry().topLeft();
            event->accept();
            dragging = true;
            systemMoveRefused = false;
        }
        break;
    case Qt::RightButton:
        break;
    default:
        QWidget::mousePressEvent(event);
        break;
    }
}

void DMainWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!leftPressed)
        updateEdgeBand(event->globalPos());
    if (dragging && !isMaximized() && !isFullScreen()) {
        // Where the compositor places windows itself (Wayland ignores move()), it takes the drag
        // over and also sees the release; platforms without it refuse, and the window follows here.
        if (!systemMoveRefused && windowHandle() && windowHandle()->startSystemMove()) {
            dragging = false;
            leftPressed = false;
        } else {
            systemMoveRefused = true;
            move(event->globalPos() - dragOffset);
        }
        event->accept();
    }
    QWidget::mouseMoveEvent(event);
}

void DMainWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        leftPressed = false;
        dragging = false;
        if (edgeBand != NoEdge) {
            releaseMouse();
            setCursor(Qt::ArrowCursor);
            edgeBand = NoEdge;
        }
    }
}

// The window has a fixed size: the band under the cursor only changes the cursor shape.
void DMainWidget::updateEdgeBand(const QPoint &globalPos)
{
    const QPoint tl = mapToGlobal(rect().topLeft());
    const QPoint br = mapToGlobal(rect().bottomRight());
    const int x = globalPos.x();
    const int y = globalPos.y();
    const auto within = [](int v, int from, int to) { return v >= from && v <= to; };
    const bool left = within(x, tl.x(), tl.x() + 4);
    const bool right = within(x, br.x() - 4, br.x());
    const bool top = within(y, tl.y(), tl.y() + 4);
    const bool bottom = within(y, br.y() - 4, br.y());

    const struct {
        bool hit;
        int band;
        Qt::CursorShape cursor;
    } bands[] = {
        {left && top, 4, Qt::SizeFDiagCursor},
        {right && bottom, 6, Qt::SizeFDiagCursor},
        {left && bottom, 5, Qt::SizeBDiagCursor},
        {right && top, 7, Qt::SizeBDiagCursor},
        {left, 2, Qt::SizeHorCursor},
        {right, 3, Qt::SizeHorCursor},
        {top, 0, Qt::SizeVerCursor},
        {bottom, 1, Qt::SizeVerCursor},
        {true, NoEdge, Qt::ArrowCursor},
    };
    for (const auto &b : bands) {
        if (b.hit) {
            edgeBand = b.band;
            setCursor(b.cursor);
            return;
        }
    }
}

void DMainWidget::closeEvent(QCloseEvent *event)
{
    tray->hideIcon();
    QWidget::closeEvent(event);
}

void DMainWidget::on_pushButton_Close_clicked()
{
    hide();
}

void DMainWidget::on_pushButton_Min_clicked()
{
    showMinimized();
}

void DMainWidget::on_pushButton_Max_clicked()
{
    if (!isMaximized() && !isFullScreen()) {
        showMaximized();
    } else {
        showNormal();
        setCursor(Qt::ArrowCursor);
    }
}

void DMainWidget::on_pushButton_Setting_clicked() {}

void DMainWidget::on_pushButton_Monitor_clicked()
{
    ui->pushButton_Hardware->setChecked(false);
    ui->pushButton_Monitor->setChecked(true);
    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
}

void DMainWidget::on_pushButton_Hardware_clicked()
{
    ui->pushButton_Hardware->setChecked(true);
    ui->pushButton_Monitor->setChecked(false);
    ui->stackedWidget_3->setCurrentWidget(ui->page_HardwareInfoNew);
}

// The log viewer is made on first use and belongs to the window.
void DMainWidget::on_pushButton_Logo_clicked()
{
    if (!logDialog)
        logDialog = new LogPrintfDia(this);
    logDialog->show();
    logDialog->raise();
}

void DMainWidget::onLickActivited(const QString &) {}

void DMainWidget::onHideMainWindowLater()
{
    hide();
}

void DMainWidget::on_radioButton_Model01_clicked()
{
    chooseTemperatureUnit(kUnitCelsius);
}

void DMainWidget::on_radioButton_Model02_clicked()
{
    chooseTemperatureUnit(kUnitFahrenheit);
}

void DMainWidget::chooseTemperatureUnit(int unit)
{
    if (tempUnit == unit)
        return;
    tempUnit = unit;
    const QString sign = unitSign(unit);
    qDebug().noquote() << QStringLiteral("TempShowModel Changed -> [%1]").arg(sign);
    storeTemperatureUnit(unit);

    ProgressBarRound *const dashboards[] = {ui->widget_CpuDashboardNew, ui->widget_GpuDashboardNew};
    for (ProgressBarRound *d : dashboards)
        d->setStrUnit(sign);
    for (ProgressBarRound *d : dashboards)
        d->setCurrentValueType(unit);
    for (ProgressBarRound *d : dashboards)
        d->setRange(0, 100);
    // the dashboards take Celsius and convert the number they show themselves; one without a
    // reading stays without
    if (ui->widget_CpuDashboardNew->hasValue())
        ui->widget_CpuDashboardNew->setValue(feed.cpuTemperature());
    if (ui->widget_GpuDashboardNew->hasValue())
        ui->widget_GpuDashboardNew->setValue(feed.gpuTemperature());
}

void DMainWidget::initTemperatureUnit()
{
    // A stored value other than Celsius selects Fahrenheit, and the handler stores 2 for it.
    if (loadTemperatureUnit() == kUnitCelsius) {
        qDebug().noquote() << QStringLiteral("TempShowModel Init -> [%1]").arg(unitSign(kUnitCelsius));
        on_radioButton_Model01_clicked();
        ui->radioButton_Model01->setChecked(true);
    } else {
        qDebug().noquote() << QStringLiteral("TempShowModel Init -> [%1]").arg(unitSign(kUnitFahrenheit));
        on_radioButton_Model02_clicked();
        ui->radioButton_Model02->setChecked(true);
    }
}
