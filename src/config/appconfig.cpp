#include "appconfig.h"

#include <QSettings>
#include <QStringList>
#include <QTextCodec>

namespace {

// An unquoted comma makes QSettings split a value into a list, whose toString() is empty.
// Joining the parts back keeps such a text (a copyright line, a colour written with commas).
QString text(const QSettings &settings, const QString &key, const QString &joiner)
{
    const QVariant value = settings.value(key);
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(joiner);
    return value.toString();
}

QString text(const QSettings &settings, const QString &key)
{
    return text(settings, key, QStringLiteral(", "));
}

QString colour(const QSettings &settings, const QString &key)
{
    return normaliseColour(text(settings, key, QStringLiteral(",")));
}

int flag(const QSettings &settings, const QString &key)
{
    return settings.value(key).toInt();
}

} // namespace

QString normaliseColour(const QString &text)
{
    QString result = text;
    result.replace('.', ',');
    if (result.count(',') == 3)
        result.truncate(result.lastIndexOf(','));
    return result;
}

AppConfig readAppConfig(const QString &configDir)
{
    QSettings settings(configDir + "appConfig.ini", QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("UTF-8"));

    AppConfig c;
    c.appName = text(settings, "AppInfo/AppName");
    c.appVersion = text(settings, "AppInfo/AppVersion");
    c.appId = text(settings, "AppInfo/AppID");
    c.appIconPath = configDir + text(settings, "AppIco/AppIcoSel01");
    c.appIcon2Path = configDir + text(settings, "AppIco/AppIcoSel02");
    c.showMainPageUi = flag(settings, "AppUiShow/ShowMainPageUI");
    c.leftTopShowModel = flag(settings, "AppUiShow/LeftTopShowModel");
    c.leftTopShowImage = configDir + text(settings, "AppUiShow/LeftTopShowImage");
    c.mainAreaShowModel = flag(settings, "AppUiShow/MainAreaShowModel");
    c.mainAreaShowBgImage = configDir + text(settings, "AppUiShow/MainAreaShowBgImage");
    c.appVersionShowModel = flag(settings, "AppUiShow/AppVersionShowModel");
    c.deviceConStatusShowModel = flag(settings, "AppUiShow/DeviceConStatusShowModel");
    c.temperatureChangShowModel = flag(settings, "AppUiShow/TemperatureChangShowModel");
    c.companyInfoShowModel = flag(settings, "AppUiShow/CompanyInfoShowModel");
    c.companyLinkUrl = text(settings, "AppUiShow/CompanyLinkUrl");
    c.companyCopyright = text(settings, "AppUiShow/CompanyCopyright");
    c.hardwareInfoShowModel = flag(settings, "AppUiShow/HardwareInfoShowModel");
    c.mainBorderColor = colour(settings, "ThemeColor/MainBorderColor");
    c.mainBgColor = colour(settings, "ThemeColor/MainBgColor");
    c.progressBarDefBgColor = colour(settings, "ThemeColor/ProgressBarDefBgColor");
    c.progressBarStartColor = colour(settings, "ThemeColor/ProgressBarStartColor");
    c.progressBarEndColor = colour(settings, "ThemeColor/ProgressBarEndColor");
    c.radioDefColor = colour(settings, "ThemeColor/RadioDefColor");
    c.radioSelColor = colour(settings, "ThemeColor/RadioSelColor");
    c.dataValueTextColor = colour(settings, "ThemeColor/DataValueTextColor");
    c.frameBorderColor = colour(settings, "ThemeColor/FrameBorderColor");
    c.textFont = text(settings, "ThemeColor/TextFont");
    return c;
}
