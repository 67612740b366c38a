#include "mainwindow/apptray.h"

#include <QAction>
#include <QApplication>
#include <QDesktopWidget>
#include <QMenu>

AppTray::AppTray(const QString &appName, const QIcon &icon, bool opensWindow, QObject *parent)
    : QObject(parent)
    , opensWindow(opensWindow)
{
    auto *openAction = new QAction(QStringLiteral("Open ") + appName, this);
    auto *exitAction = new QAction(QStringLiteral("Exit"), this);
    connect(openAction, &QAction::triggered, this, &AppTray::sigOpenRequested);
    connect(exitAction, &QAction::triggered, this, &AppTray::sigExitRequested);

    // On the desktop widget: the menu is a window of its own. Qt gives such a widget no parent,
    // so the destructor deletes it.
    trayMenu = new QMenu(QApplication::desktop());
    if (opensWindow)
        trayMenu->addAction(openAction);
    trayMenu->addSeparator();
    trayMenu->addAction(exitAction);

    // Made even when the desktop has no tray yet: a panel that starts after the program (or later
    // in the session) gets the icon when it appears.
    trayIcon = new QSystemTrayIcon(icon, this);
    trayIcon->setToolTip(appName);
    trayIcon->setContextMenu(trayMenu);
    trayIcon->show();
    connect(trayIcon, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
            SLOT(iconActivated(QSystemTrayIcon::ActivationReason)));
}

AppTray::~AppTray()
{
    delete trayMenu;
}

void AppTray::hideIcon()
{
    if (trayIcon)
        trayIcon->hide();
}

void AppTray::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    const bool click = reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger;
    if (click && opensWindow)
        emit sigOpenRequested();
}
