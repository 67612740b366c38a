#pragma once

// The ten entry points the sensor thread takes from libsensorsdk.so by name.

#ifdef __cplusplus
extern "C" {
#endif

int sdkInit(int maxSensors);
int sdkUninit(void);
int sdkSensorCount(void);
int sdkPrepareSensor(int sensor);
int sdkSensorName(int sensor, char *label, int size);
double sdkReadTemperature(int sensor, int reading, char *label, int size);
int sdkReadFan(int sensor, int reading, char *label, int size);
double sdkReadPower(int sensor, int reading, char *label, int size);
double sdkReadClock(int sensor, int reading, char *label, int size);
double sdkReadUsage(int sensor, int reading, char *label, int size);

#ifdef __cplusplus
}
#endif
