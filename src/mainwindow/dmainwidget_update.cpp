#include "mainwindow/dmainwidget.h"

#include <QDebug>

#include <cstdlib>

// The tray's Exit: the orderly end of the program.
void DMainWidget::onQuitApp()
{
    qDebug() << "Exit app runing [Normal]";
    close();
    std::exit(0);
}
