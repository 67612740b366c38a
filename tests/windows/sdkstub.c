/* A stand-in for the sensor library, exported by ordinal only (see the .def files): one CPU
   sensor whose readings differ per kind, so a loader that maps an ordinal to the wrong entry
   point reads the wrong value or label. */
#include <string.h>

static int prepared;

static void setLabel(char *label, int size, const char *text)
{
    if (label && size > 0) {
        strncpy(label, text, (size_t)size - 1);
        label[size - 1] = '\0';
    }
}

int sdkInit(int flags)
{
    return flags == 64 ? 0 : -5;
}
int sdkUninit(void)
{
    return 7;
}
int sdkSensorCount(void)
{
    return 1;
}
int sdkPrepareSensor(int sensor)
{
    return sensor == 0 ? ++prepared : -1;
}

int sdkSensorName(int sensor, char *label, int size)
{
    setLabel(label, size, sensor == 0 ? "CPU [#0]: Stand-in" : "");
    return prepared;
}

/* Reading 0 of each kind exists; higher indices are empty. */
#define READER(fn, type, value, text)                                                                                  \
    type fn(int sensor, int reading, char *label, int size)                                                            \
    {                                                                                                                  \
        if (sensor != 0 || reading != 0) {                                                                             \
            setLabel(label, size, "");                                                                                 \
            return 0;                                                                                                  \
        }                                                                                                              \
        setLabel(label, size, text);                                                                                   \
        return value;                                                                                                  \
    }

READER(sdkReadTemperature, double, 41.5, "CPU Package")
READER(sdkReadFan, int, 1234, "CPU Fan")
READER(sdkReadPower, double, 65.25, "CPU Package Power")
READER(sdkReadClock, double, 4200.5, "Core 0 Clock")
READER(sdkReadUsage, double, 12.75, "Total CPU Usage")
