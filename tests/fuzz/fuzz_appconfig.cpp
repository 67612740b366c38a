// appConfig.ini of arbitrary contents through the branding reader, and arbitrary colour texts
// through the colour rule.

#include "config/appconfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// The colour rule leaves at most three components, keeps everything but the dots, and is stable.
void checkColour(const QString &text)
{
    const QString colour = normaliseColour(text);
    if (colour.contains(QLatin1Char('.')) || colour.count(QLatin1Char(',')) == 3 || normaliseColour(colour) != colour)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    static quint64 round = 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));

    checkColour(QString::fromUtf8(bytes));

    // A fresh file name every round: QSettings caches files by name and could serve an older one.
    const QString configDir = folder.path() + QLatin1Char('/') + QString::number(++round) + QLatin1Char('_');
    QFile file(configDir + QStringLiteral("appConfig.ini"));
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(bytes);
    file.close();

    const AppConfig config = readAppConfig(configDir);
    // Paths always start with the folder; colours always follow the colour rule.
    if (!config.appIconPath.startsWith(configDir) || !config.mainAreaShowBgImage.startsWith(configDir))
        std::abort();
    for (const QString &colour : {config.mainBorderColor, config.mainBgColor, config.progressBarDefBgColor,
                                  config.progressBarStartColor, config.progressBarEndColor, config.radioDefColor,
                                  config.radioSelColor, config.dataValueTextColor, config.frameBorderColor})
        checkColour(colour);
    file.remove();
    return 0;
}
