#pragma once

// Loading the sensor SDK. Free of Qt: the Windows loader is built and tested on its own.

#include "platform/sensorsdk_abi.h"

namespace kestrun::platform {

// The ten entry points of the sensor SDK, all present.
struct SensorSdkApi {
    SensorSdkInitFn init;
    SensorSdkUninitFn uninit;
    SensorSdkSensorCountFn sensorCount;
    SensorSdkPrepareSensorFn prepareSensor;
    SensorSdkSensorNameFn sensorName;
    SensorSdkReadValueFn readTemperature;
    SensorSdkReadFanFn readFan;
    SensorSdkReadValueFn readPower;
    SensorSdkReadValueFn readClock;
    SensorSdkReadValueFn readUsage;
};

// The SDK's entry points, loaded on the first call (safe from any thread) and kept for the life of
// the process: the library is never unloaded. nullptr when the library or any entry point is
// missing; the outcome of the first attempt stands for the whole process.
const SensorSdkApi *sensorSdk();

// One attempt to load the library and take all ten entry points; true when every one is there.
// Implemented once per operating system (sdkloader_linux.cpp, sdkloader_win.cpp); sensorSdk()
// is the only caller.
bool loadSensorSdk(SensorSdkApi &api);

} // namespace kestrun::platform
