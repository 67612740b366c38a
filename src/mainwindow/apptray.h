#pragma once

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The tray icon with its menu: "Open <app name>" (only for a branding that shows the window) and
// "Exit". It asks for the window and for the end of the program; its owner acts on the requests.
// Where the desktop has no tray there is a menu but no icon.
class AppTray : public QObject
{
    Q_OBJECT
public:
    // opensWindow: the open entry, clicks and double clicks ask for the window.
    AppTray(const QString &appName, const QString &iconPath, bool opensWindow, QObject *parent = nullptr);
    ~AppTray() override;

    // The icon, or null without a tray.
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
