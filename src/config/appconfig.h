#pragma once

#include <QString>

// Branding and theme values of appConfig.ini. Paths are the config folder followed directly by the
// text of the file; colours are "r,g,b" texts made by normaliseColour; flags and modes are 0 when
// missing or not a number.
struct AppConfig {
    QString appName;
    QString appVersion;
    QString appId;
    int startupTaskFlag = 1; // not configurable: the start-at-logon task is always wanted
    QString appIconPath;
    QString appIcon2Path;
    int showMainPageUi = 0;
    int leftTopShowModel = 0;
    QString leftTopShowImage;
    int mainAreaShowModel = 0;
    QString mainAreaShowBgImage;
    int appVersionShowModel = 0;
    int deviceConStatusShowModel = 0;
    int temperatureChangShowModel = 0;
    int companyInfoShowModel = 0;
    QString companyLinkUrl;
    QString companyCopyright;
    int hardwareInfoShowModel = 0;
    QString mainBorderColor;
    QString mainBgColor;
    QString progressBarDefBgColor;
    QString progressBarStartColor;
    QString progressBarEndColor;
    QString radioDefColor;
    QString radioSelColor;
    QString dataValueTextColor;
    QString frameBorderColor;
    QString textFont;
};

// The file writes colours with dots (12.34.56, or 12.34.56.78 with an alpha that is dropped);
// the program uses "12,34,56". Anything else is passed on with its dots turned into commas.
QString normaliseColour(const QString &text);

// Reads configDir + "appConfig.ini" (UTF-8). A missing file or key gives the defaults above,
// with every path equal to configDir.
AppConfig readAppConfig(const QString &configDir);
