#include "ddatamanager.h"

#include "platform/hardwaresource.h"

#include <QDebug>

// Runs once, from initInfo(), before any window or other thread exists. The lists are appended
// to, never cleared.
void DDataManager::theHardwareInfoGet()
{
    qDebug() << "--------------- *** PC Hardware Info Get Start *** ---------------";
    inventory.cpuName = getInfo(QStringLiteral("wmic cpu get Name"));
    gatherHardwareInventory(inventory);
    qDebug() << "--------------- *** PC Hardware Info Get Over *** ---------------";
    emit sigGetPcHardwareInfoOver();
}

QString DDataManager::getInfo(const QString &command)
{
    return queryProcessorLine(command);
}
