#include "config/temperatureunit.h"

#include <QSettings>
#include <QString>

namespace {
const char *const kUnitKey = "TempShowModel/Model";
const char *const kOrganisation = "MyCompanyTalvex";
const char *const kApplication = "Kestrun";
} // namespace

int loadTemperatureUnit()
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                          QLatin1String(kApplication));
    if (!store.contains(QLatin1String(kUnitKey)))
        return kUnitCelsius;
    return store.value(QLatin1String(kUnitKey)).toInt() == kUnitCelsius ? kUnitCelsius : kUnitFahrenheit;
}

void storeTemperatureUnit(int unit)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                    QLatin1String(kApplication));
    store.setValue(QLatin1String(kUnitKey), unit);
}
