#include "ddatamanager.h"

#include <QDebug>

// No inventory source is wired in yet: the fields stay empty, the banners and the signal still
// mark the step so the start-up sequence reads the same.
void DDataManager::theHardwareInfoGet()
{
    qDebug() << "--------------- *** PC Hardware Info Get Start *** ---------------";
    qDebug() << "--------------- *** PC Hardware Info Get Over *** ---------------";
    emit sigGetPcHardwareInfoOver();
}

QString DDataManager::getInfo(const QString &command)
{
    Q_UNUSED(command)
    return QString();
}
