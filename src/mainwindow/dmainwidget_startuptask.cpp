#include "mainwindow/dmainwidget.h"

#include <QDebug>

// Registers the program to start at logon; the last step of applying the theme.
void DMainWidget::registerStartupTask()
{
    qDebug() << "Create Startup Task -> Start";
    qDebug() << "Create Startup Task -> Over";
}
