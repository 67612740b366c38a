#pragma once

#include "config/appconfig.h"
#include "platform/hardwareinventory.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>

// The process-wide store of branding, fonts and hardware inventory. Created on first use by
// instance() (which also installs logging) and never deleted; read-only once initInfo() has run.
class DDataManager : public QObject
{
    Q_OBJECT

public:
    static DDataManager *instance();

    // Writes the start banner and gathers the hardware inventory. Called once, before any window.
    void initInfo();

    AppConfig appConfig() const { return config; }
    QFont boldFont() const { return montserratBold; }
    QFont mediumFont() const { return montserratMedium; }
    // The branding folder, applicationDirPath() + "/configDir/".
    QString configDir() const { return configFolder; }

    void theHardwareInfoGet();
    QString getInfo(const QString &command);

    QString cpuName() const { return inventory.cpuName; }
    QString boardName() const { return inventory.boardName; }
    QString osCaption() const { return inventory.osCaption; }
    QStringList memoryModules() const { return inventory.memoryModules; }
    QStringList disks() const { return inventory.disks; }
    QStringList graphicsAdapters() const { return inventory.graphicsAdapters; }
    QStringList soundDevices() const { return inventory.soundDevices; }
    QStringList networkAdapters() const { return inventory.networkAdapters; }
    // Replaces the gathered inventory, for tests of the pages that show it.
    void setInventory(const HardwareInventory &gathered) { inventory = gathered; }

signals:
    void sigGetPcHardwareInfoOver();

private:
    DDataManager();

    void initMontserratBold();
    void initMontserratMedium();

    QString configFolder;
    AppConfig config;
    QFont montserratBold;
    QFont montserratMedium;
    HardwareInventory inventory;
};
