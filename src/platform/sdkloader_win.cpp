#include "platform/sensorsdk.h"

#include <windows.h>

namespace kestrun::platform {

namespace {
template <typename Fn>
bool bind(HMODULE library, WORD ordinal, Fn &target)
{
    FARPROC entry = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
    // Through the generic function pointer type: the cast between function types is then explicit.
    target = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(entry));
    return entry != nullptr;
}
} // namespace

bool loadSensorSdk(SensorSdkApi &api)
{
    // Bare name, from the program's own folder first, then the system's folders; never from the
    // working folder or PATH, where anyone could plant a library for a program that the logon
    // task starts elevated. The library exports its entry points by ordinal only. The handle
    // stays open for the life of the process, also when an entry point is missing.
    HMODULE library = LoadLibraryExW(L"HWiNFO32.dll", nullptr,
                                     LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (library == nullptr || library == reinterpret_cast<HMODULE>(INVALID_HANDLE_VALUE))
        return false;
    return bind(library, 411, api.init) && bind(library, 198, api.uninit) && bind(library, 623, api.sensorCount)
           && bind(library, 560, api.prepareSensor) && bind(library, 476, api.sensorName)
           && bind(library, 606, api.readTemperature) && bind(library, 734, api.readFan)
           && bind(library, 183, api.readPower) && bind(library, 629, api.readClock)
           && bind(library, 943, api.readUsage);
}

} // namespace kestrun::platform
