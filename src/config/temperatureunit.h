#pragma once

// The per-user temperature unit, "TempShowModel/Model" in the platform's native settings store
// under MyCompanyTalvex/Kestrun. A fresh store is opened for every read or write.

constexpr int kUnitCelsius = 1;
constexpr int kUnitFahrenheit = 2;

// The unit to start in: Celsius when nothing is stored or 1 is; any other stored value, a
// non-numeric one included, is Fahrenheit (which choosing it stores again as 2).
int loadTemperatureUnit();

// Remembers the user's choice.
void storeTemperatureUnit(int unit);
