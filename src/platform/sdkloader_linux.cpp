#include "platform/sensorsdk.h"

#include <dlfcn.h>

namespace kestrun::platform {

namespace {
template <typename Fn>
bool bind(void *library, const char *name, Fn &target)
{
    void *symbol = dlsym(library, name);
    target = reinterpret_cast<Fn>(symbol);
    return symbol != nullptr;
}
} // namespace

bool loadSensorSdk(SensorSdkApi &api)
{
    // Bare name: the normal search order (LD_LIBRARY_PATH, then the executable's RUNPATH) decides.
    // The handle stays open for the life of the process, also when an entry point is missing.
    void *library = dlopen("libsensorsdk.so", RTLD_NOW);
    if (!library)
        return false;
    return bind(library, "sdkInit", api.init) && bind(library, "sdkUninit", api.uninit)
           && bind(library, "sdkSensorCount", api.sensorCount) && bind(library, "sdkPrepareSensor", api.prepareSensor)
           && bind(library, "sdkSensorName", api.sensorName) && bind(library, "sdkReadTemperature", api.readTemperature)
           && bind(library, "sdkReadFan", api.readFan) && bind(library, "sdkReadPower", api.readPower)
           && bind(library, "sdkReadClock", api.readClock) && bind(library, "sdkReadUsage", api.readUsage);
}

} // namespace kestrun::platform
