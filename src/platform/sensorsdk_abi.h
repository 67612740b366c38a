/* The sensor SDK's C interface: the ten entry points the sensor thread calls.
 * Plain C so that the libraries implementing it (the Linux sensor library, test stand-ins)
 * can include it as well as the loader.
 *
 * "label" is a caller buffer of 256 bytes, passed with its size; on return it should hold a
 * NUL-terminated 8-bit text (callers do not rely on the terminator being written).
 */
#ifndef KESTRUN_SENSORSDK_ABI_H
#define KESTRUN_SENSORSDK_ABI_H

#ifdef __cplusplus
extern "C" {
#endif

#define SENSORSDK_LABEL_SIZE 256
#define SENSORSDK_READINGS_PER_SENSOR 512
#define SENSORSDK_INIT_ARGUMENT 64

typedef int (*SensorSdkInitFn)(int flags);
typedef int (*SensorSdkUninitFn)(void);
typedef int (*SensorSdkSensorCountFn)(void);
typedef int (*SensorSdkPrepareSensorFn)(int sensor);
typedef int (*SensorSdkSensorNameFn)(int sensor, char *label, int labelSize);
/* Temperature (degrees Celsius), power (W), clock (MHz) and usage (%) readings. */
typedef double (*SensorSdkReadValueFn)(int sensor, int reading, char *label, int labelSize);
/* Fan readings (RPM) are whole numbers. */
typedef int (*SensorSdkReadFanFn)(int sensor, int reading, char *label, int labelSize);

#if defined(_WIN32)
#define SENSORSDK_EXPORT __declspec(dllexport)
#else
#define SENSORSDK_EXPORT __attribute__((visibility("default")))
#endif

/* Declarations for the libraries that implement the interface. */
SENSORSDK_EXPORT int sdkInit(int flags);
SENSORSDK_EXPORT int sdkUninit(void);
SENSORSDK_EXPORT int sdkSensorCount(void);
SENSORSDK_EXPORT int sdkPrepareSensor(int sensor);
SENSORSDK_EXPORT int sdkSensorName(int sensor, char *label, int labelSize);
SENSORSDK_EXPORT double sdkReadTemperature(int sensor, int reading, char *label, int labelSize);
SENSORSDK_EXPORT int sdkReadFan(int sensor, int reading, char *label, int labelSize);
SENSORSDK_EXPORT double sdkReadPower(int sensor, int reading, char *label, int labelSize);
SENSORSDK_EXPORT double sdkReadClock(int sensor, int reading, char *label, int labelSize);
SENSORSDK_EXPORT double sdkReadUsage(int sensor, int reading, char *label, int labelSize);

#ifdef __cplusplus
}
#endif

#endif
