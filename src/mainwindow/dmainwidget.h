#pragma once

#include "datapath/ddatapath.h"
#include "ui_dmainwidget.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>
#include <optional>

class QCloseEvent;
class QMenu;
class QMouseEvent;
class AppTray;
class LogPrintfDia;

// The frameless main window: the monitor and hardware pages, the tray icon and the theme taken
// from the branding configuration. It shows what its data path tells once per cycle; the data
// path's slots and signals are forwarded here under their own names.
class DMainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DMainWidget(QWidget *parent = nullptr);
    ~DMainWidget() override;

    // The form; every widget is reachable by its object name.
    const std::unique_ptr<Ui::DMainWidget> ui;

    QSystemTrayIcon *systemTrayIcon() const;
    QMenu *trayContextMenu() const;
    int temperatureUnit() const { return tempUnit; }
    // The sensors, the device link and the reports behind the monitor page.
    DDataPath &dataPath() { return feed; }

    // A hidden window is not drawn: while it is, the data path holds the figures, and they are
    // set when it is shown.
    void setVisible(bool visible) override;

signals:
    void sigHidDeviceConnectChanging_Into(QString hidPath);
    void sigHidDeviceConnectChanging_Remove(QString hidPath);

public slots:
    void onStartUpdateLater();
    void onTheSdkInitStatus(bool isOK, int errorCode);
    void onGetPcInfoOk();
    void onOpenHidSuccessful();
    void onHidDeviceConnectChanging_Into(QString hidPath);
    void onHidDeviceConnectChanging_Remove(QString hidPath);
    void onLickActivited(const QString &link);
    void onGetPcHardwareInfoOver();
    void onQuitApp();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void onHideMainWindowLater();

private slots:
    void on_pushButton_Close_clicked();
    void on_pushButton_Max_clicked();
    void on_pushButton_Min_clicked();
    void on_pushButton_Setting_clicked();
    void on_radioButton_Model01_clicked();
    void on_radioButton_Model02_clicked();
    void on_pushButton_Hardware_clicked();
    void on_pushButton_Monitor_clicked();
    void on_pushButton_Logo_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

private:
    void createTray();
    void initThemeData();
    void initOperate();
    void initTemperatureUnit();
    void chooseTemperatureUnit(int unit);
    void updateEdgeBand(const QPoint &globalPos);
    void registerStartupTask();
    void registerDevice();
    void startDataPath();
    // The dashboards, bars and labels of one cycle.
    void setMonitorWidgets(const MonitorFigures &figures);

    DDataPath feed;

    // Window and tray.
    AppTray *tray = nullptr;
    QPoint dragOffset;
    bool dragging = false;
    // The platform would not move the window itself during this drag: it is moved here.
    bool systemMoveRefused = false;
    bool leftPressed = false;
    int edgeBand = 8;
    int tempUnit = 1;

    // Theme.
    QString companyLinkText;

    // The log viewer, created the first time it is asked for.
    QPointer<LogPrintfDia> logDialog;
};
