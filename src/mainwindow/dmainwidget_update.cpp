#include "mainwindow/dmainwidget.h"

#include <QDebug>

#include <cstdlib>

// The tray's Exit: the orderly end of the program. The event loop is not returned to.
void DMainWidget::onQuitApp()
{
    qDebug() << "Exit app runing [Normal]";
    close();
    std::exit(0);
}
