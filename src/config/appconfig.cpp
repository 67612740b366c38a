#include "appconfig.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextCodec>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// QSettings splits a value at every unquoted comma and trims the blanks around each piece, so
// "ID,7" and "Maker, Inc." come back as lists that cannot be joined back to what was written.
// Such a value is read again from a stand-in copy of the file in which each comma is a control
// byte that appears nowhere else, and the commas are put back: the other rules of the reading
// (sections, quotes, escapes, comments, UTF-8) stay QSettings' own, and a file without such
// values is read exactly as before.
class IniReading
{
public:
    explicit IniReading(const QString &path)
        : path(path)
        , settings(path, QSettings::IniFormat)
    {
        settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
    }

    QString text(const QString &key)
    {
        const QVariant value = settings.value(key);
        if (value.type() != QVariant::StringList)
            return value.toString();
        if (!standInTried)
            makeStandIn();
        if (standIn) {
            const QVariant whole = standIn->value(key);
            if (whole.type() == QVariant::String)
                return whole.toString().replace(comma, QLatin1Char(','));
        }
        // No stand-in to be had (a file of binary garbage, no temporary folder): the blanks
        // around the commas are lost.
        return value.toStringList().join(QLatin1Char(','));
    }

    int flag(const QString &key) const { return settings.value(key).toInt(); }

private:
    void makeStandIn()
    {
        standInTried = true;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        QByteArray bytes = file.readAll();

        // Control bytes that QSettings and UTF-8 read as themselves: not blanks or line ends.
        // One already in the file, or made by an escape in some value, cannot stand in.
        std::array<bool, 0x20> taken{};
        for (int c = '\t'; c <= '\r'; ++c)
            taken[c] = true;
        taken[0] = true;
        for (const char c : qAsConst(bytes))
            if (uchar(c) < taken.size())
                taken[uchar(c)] = true;
        const auto markTaken = [&taken](const QString &text) {
            for (const QChar c : text)
                if (c.unicode() < taken.size())
                    taken[c.unicode()] = true;
        };
        for (const QString &key : settings.allKeys()) {
            const QVariant value = settings.value(key);
            if (value.type() == QVariant::StringList)
                for (const QString &piece : value.toStringList())
                    markTaken(piece);
            else
                markTaken(value.toString());
        }
        const auto freeByte = std::find(taken.begin(), taken.end(), false);
        if (freeByte == taken.end())
            return;
        const char stand = char(freeByte - taken.begin());

        bytes.replace(',', stand);
        if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
            return;
        // Closed, not removed (that waits for the end of the reading): QSettings opens it by name.
        copy.close();
        comma = QChar::fromLatin1(stand);
        standIn = std::make_unique<QSettings>(copy.fileName(), QSettings::IniFormat);
        standIn->setIniCodec(QTextCodec::codecForName("UTF-8"));
    }

    const QString path;
    QSettings settings;
    bool standInTried = false;
    QTemporaryFile copy;
    QChar comma;
    std::unique_ptr<QSettings> standIn;
};

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
    IniReading ini(configDir + "appConfig.ini");
    const auto text = [&ini](const char *key) { return ini.text(QLatin1String(key)); };
    const auto flag = [&ini](const char *key) { return ini.flag(QLatin1String(key)); };
    const auto colour = [&ini](const char *key) { return normaliseColour(ini.text(QLatin1String(key))); };

    AppConfig c;
    c.appName = text("AppInfo/AppName");
    c.appVersion = text("AppInfo/AppVersion");
    c.appId = text("AppInfo/AppID");
    c.appIconPath = configDir + text("AppIco/AppIcoSel01");
    c.appIcon2Path = configDir + text("AppIco/AppIcoSel02");
    c.showMainPageUi = flag("AppUiShow/ShowMainPageUI");
    c.leftTopShowModel = flag("AppUiShow/LeftTopShowModel");
    c.leftTopShowImage = configDir + text("AppUiShow/LeftTopShowImage");
    c.mainAreaShowModel = flag("AppUiShow/MainAreaShowModel");
    c.mainAreaShowBgImage = configDir + text("AppUiShow/MainAreaShowBgImage");
    c.appVersionShowModel = flag("AppUiShow/AppVersionShowModel");
    c.deviceConStatusShowModel = flag("AppUiShow/DeviceConStatusShowModel");
    c.temperatureChangShowModel = flag("AppUiShow/TemperatureChangShowModel");
    c.companyInfoShowModel = flag("AppUiShow/CompanyInfoShowModel");
    c.companyLinkUrl = text("AppUiShow/CompanyLinkUrl");
    c.companyCopyright = text("AppUiShow/CompanyCopyright");
    c.hardwareInfoShowModel = flag("AppUiShow/HardwareInfoShowModel");
    c.mainBorderColor = colour("ThemeColor/MainBorderColor");
    c.mainBgColor = colour("ThemeColor/MainBgColor");
    c.progressBarDefBgColor = colour("ThemeColor/ProgressBarDefBgColor");
    c.progressBarStartColor = colour("ThemeColor/ProgressBarStartColor");
    c.progressBarEndColor = colour("ThemeColor/ProgressBarEndColor");
    c.radioDefColor = colour("ThemeColor/RadioDefColor");
    c.radioSelColor = colour("ThemeColor/RadioSelColor");
    c.dataValueTextColor = colour("ThemeColor/DataValueTextColor");
    c.frameBorderColor = colour("ThemeColor/FrameBorderColor");
    c.textFont = text("ThemeColor/TextFont");
    return c;
}
