#include "mainwindow/dmainwidget.h"

#include <QDebug>

// The last step of applying the theme: the start-at-logon task. This build registers no task yet;
// it marks the step in the log so the start-up reads the same.
void DMainWidget::registerStartupTask()
{
    qDebug() << "Create Startup Task -> Start";
    qDebug() << "Create Startup Task -> Over";
}
