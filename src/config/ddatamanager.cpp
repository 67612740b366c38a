#include "ddatamanager.h"

#include "logCollect/log_out.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFontDatabase>
#include <QResource>
#include <QStandardPaths>

namespace {

// The font's families, or none where it is not in the resources or is no font. Registered from the
// resource's own bytes: a font added by its file name is read into memory once for the database
// and once more for each face the text engine opens, and a resource stored uncompressed is
// already in memory as it stands.
QStringList registerResourceFont(const QString &path)
{
    return QFontDatabase::applicationFontFamilies(
        QFontDatabase::addApplicationFontFromData(QResource(path).uncompressedData()));
}

} // namespace

DDataManager *DDataManager::instance()
{
    // Deliberately never deleted: the singleton lives as long as the process, and its fonts must
    // not outlive the application object in a static destructor.
    static DDataManager *const self = new DDataManager;
    return self;
}

DDataManager::DDataManager()
{
    // mkpath: on a fresh account the parents of the data folder may not exist yet either.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    configFolder = QCoreApplication::applicationDirPath() + "/configDir/";
    config = readAppConfig(configFolder);

    initMontserratBold();
    initMontserratMedium();

    // From here on every debug message goes to the day's log file; the messages above did not.
    InitializeLog(QString());
    qInstallMessageHandler(writeLogRecord);
}

void DDataManager::initInfo()
{
    qDebug() << "------------------------- *** App Runing *** ------------------------------";
    qDebug() << "appConfig.ini Path:" << configFolder;
    theHardwareInfoGet();
}

void DDataManager::initMontserratBold()
{
    QFont font;
    font.setFamily("Microsoft YaHei");
    const QStringList families = registerResourceFont(QStringLiteral(":/images/LocalFont/MontserratBold.otf"));
    if (families.isEmpty())
        qDebug() << "Failed to load font.";
    else
        font.setFamily(families.first());
    montserratBold = font;
}

void DDataManager::initMontserratMedium()
{
    QFont font;
    const QStringList families = registerResourceFont(QStringLiteral(":/images/LocalFont/MontserratMedium.otf"));
    if (families.isEmpty())
        qDebug() << "Failed to load font.";
    else
        font = QFont(families.first());
    montserratMedium = font;
}
