#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DDataManager::instance()->initInfo();

    DMainWidget window;
    if (DDataManager::instance()->appConfig().showMainPageUi == 1)
        window.show();
    return app.exec();
}
