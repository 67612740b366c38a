#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The tray icon with its menu: "Open <app name>" (only for a branding that shows the window) and
// "Exit". It asks for the window and for the end of the program; its owner acts on the requests.
// The icon exists from the start, also where the desktop has no tray (yet): it shows when a tray
// appears.
class AppTray : public QObject
{
    Q_OBJECT
public:
    // opensWindow: the open entry, clicks and double clicks ask for the window.
    AppTray(const QString &appName, const QIcon &icon, bool opensWindow, QObject *parent = nullptr);
    ~AppTray() override;

    QSystemTrayIcon *icon() const { return trayIcon; }
    QMenu *menu() const { return trayMenu; }
    // Takes the icon out of the tray.
    void hideIcon();

signals:
    void sigOpenRequested();
    void sigExitRequested();

public slots:
    // A click or double click asks for the window when the tray opens it; the rest does nothing.
    void iconActivated(QSystemTrayIcon::ActivationReason reason);

private:
    const bool opensWindow;
    QMenu *trayMenu = nullptr;
    QSystemTrayIcon *trayIcon = nullptr;
};
