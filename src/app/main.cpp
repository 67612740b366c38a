#include "config/ddatamanager.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DDataManager::instance()->initInfo();
    return 0;
}
