#pragma once

#include "mainwindow/dmainwidget_form.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>

class QCloseEvent;
class QMenu;
class QMouseEvent;
class LogPrintfDia;

// The frameless main window: the monitor and hardware pages, the tray icon and the theme taken
// from the branding configuration.
class DMainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DMainWidget(QWidget *parent = nullptr);
    ~DMainWidget() override;

    // The form; every widget is reachable by its object name.
    const std::unique_ptr<Ui::DMainWidget> ui;

    QSystemTrayIcon *systemTrayIcon() const { return trayIcon; }
    QMenu *trayContextMenu() const { return trayMenu; }
    int temperatureUnit() const { return tempUnit; }

public slots:
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

private:
    void createTray();
    void initThemeData();
    void initOperate();
    void initTemperatureUnit();
    void chooseTemperatureUnit(int unit);
    void updateEdgeBand(const QPoint &globalPos);
    void registerStartupTask();

    // Data path (update cycle): the temperatures last shown, in whole degrees Celsius, and the
    // state of the device link.
    int lastCpuTemperature = 0;
    int lastGpuTemperature = 0;
    bool linkOpen = false;

    // Window and tray.
    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    int showMainPage = 0;
    QPoint dragOffset;
    bool dragging = false;
    bool leftPressed = false;
    int edgeBand = 8;
    int tempUnit = 1;

    // Theme.
    QString companyLinkText;

    // The log viewer, created the first time it is asked for.
    QPointer<LogPrintfDia> logDialog;
};
