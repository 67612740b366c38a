#include "platform/sensorsdk.h"

namespace kestrun::platform {

namespace {
struct LoadedSdk {
    SensorSdkApi api{};
    bool complete = false;
};
} // namespace

const SensorSdkApi *sensorSdk()
{
    // A function-local static is initialised exactly once even when several threads race here.
    static const LoadedSdk sdk = [] {
        LoadedSdk loaded;
        loaded.complete = loadSensorSdk(loaded.api);
        return loaded;
    }();
    return sdk.complete ? &sdk.api : nullptr;
}

} // namespace kestrun::platform
