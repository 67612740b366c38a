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

    AppConfig appConfig() const { return m_config; }
    QFont boldFont() const { return m_boldFont; }
    QFont mediumFont() const { return m_mediumFont; }
    // The branding folder, applicationDirPath() + "/configDir/".
    QString configDir() const { return m_configDir; }

    void theHardwareInfoGet();
    QString getInfo(const QString &command);

    QString cpuName() const { return m_inventory.cpuName; }
    QString boardName() const { return m_inventory.boardName; }
    QString osCaption() const { return m_inventory.osCaption; }
    QStringList memoryModules() const { return m_inventory.memoryModules; }
    QStringList disks() const { return m_inventory.disks; }
    QStringList graphicsAdapters() const { return m_inventory.graphicsAdapters; }
    QStringList soundDevices() const { return m_inventory.soundDevices; }
    QStringList networkAdapters() const { return m_inventory.networkAdapters; }
    // Replaces the gathered inventory, for tests of the pages that show it.
    void setInventory(const HardwareInventory &inventory) { m_inventory = inventory; }

signals:
    void sigGetPcHardwareInfoOver();

private:
    DDataManager();

    void initMontserratBold();
    void initMontserratMedium();

    QString m_configDir;
    AppConfig m_config;
    QFont m_boldFont;
    QFont m_mediumFont;
    HardwareInventory m_inventory;
};
