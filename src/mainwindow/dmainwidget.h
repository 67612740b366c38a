#pragma once

#include "device/devicelinkcontroller.h"
#include "hardware/sensorsnapshot.h"
#include "mainwindow/dmainwidget_form.h"
#include "platform/hotplug.h"
#include "platform/systemstats.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>

#include <chrono>
#include <memory>
#include <optional>

class QCloseEvent;
class QMenu;
class QMouseEvent;
class AppTray;
class LogPrintfDia;
class MainHidInterFace;
class getPcInfoThread;

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

    QSystemTrayIcon *systemTrayIcon() const;
    QMenu *trayContextMenu() const;
    int temperatureUnit() const { return tempUnit; }

    // One update cycle with the figures already gathered: the dashboards, bars and labels, and the
    // report to the display while the link is open. onGetPcInfoOk gathers them.
    void showCycleFigures(const SensorSnapshot &snapshot, const MemoryFigures &memory,
                          const std::optional<DriveFigures> &drive);

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
    void endSensorThreads(std::chrono::steady_clock::time_point deadline);

    // Data path (update cycle): the temperatures last shown, in whole degrees Celsius, and the
    // state of the device link.
    int lastCpuTemperature = 0;
    int lastGpuTemperature = 0;
    bool sdkInitOk = false;
    std::unique_ptr<getPcInfoThread> sensorThread;
    // Running maxima, the upper ends of the bars: CPU clock, GPU clock, CPU fan, GPU fan,
    // CPU power, GPU power.
    int barPeak[6] = {0, 0, 0, 0, 0, 0};
    std::unique_ptr<MainHidInterFace> transport;
    // Declared after the transport: it holds a pointer to it, so it must go first.
    DeviceLinkController deviceLink;
    HotplugWatch hotplug;
    bool quitting = false;

    // Window and tray.
    AppTray *tray = nullptr;
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
