// The sensor SDK loader against stand-in libraries named HWiNFO32.dll in the program's folder,
// one copy of this program per folder; the folder's name is the case:
//   complete    all ten entry points, exported by ordinal only
//   noordinal   the usage reader (ordinal 943) is missing
//   nolibrary   no library at all
//   stray       none beside the program, but a complete one in the working folder (and on PATH):
//               it must not be loaded
#include "check.h"
#include "platform/sensorsdk.h"

#include <cstring>
#include <string>

#include <windows.h>

using kestrun::platform::sensorSdk;
using kestrun::platform::SensorSdkApi;

namespace {

// Every entry point reaches the stand-in's function of that kind: the values and labels differ per
// kind, so a swapped ordinal shows.
void checkComplete(const SensorSdkApi &api)
{
    CHECK(api.init(SENSORSDK_INIT_ARGUMENT) == 0);
    CHECK(api.init(1) != 0);
    CHECK(api.uninit() == 7);
    CHECK(api.sensorCount() == 1);
    CHECK(api.prepareSensor(0) > 0);

    char label[SENSORSDK_LABEL_SIZE];
    api.sensorName(0, label, SENSORSDK_LABEL_SIZE);
    CHECK(std::strcmp(label, "CPU [#0]: Stand-in") == 0);

    const struct {
        SensorSdkReadValueFn read;
        double value;
        const char *label;
    } readers[] = {
        {api.readTemperature, 41.5, "CPU Package"},
        {api.readPower, 65.25, "CPU Package Power"},
        {api.readClock, 4200.5, "Core 0 Clock"},
        {api.readUsage, 12.75, "Total CPU Usage"},
    };
    for (const auto &r : readers) {
        label[0] = '\0';
        CHECK(r.read(0, 0, label, SENSORSDK_LABEL_SIZE) == r.value);
        CHECK(std::strcmp(label, r.label) == 0);
        // Past the last reading: empty label.
        CHECK(r.read(0, 1, label, SENSORSDK_LABEL_SIZE) == 0.0);
        CHECK(label[0] == '\0');
    }
    label[0] = '\0';
    CHECK(api.readFan(0, 0, label, SENSORSDK_LABEL_SIZE) == 1234);
    CHECK(std::strcmp(label, "CPU Fan") == 0);
}

// The name of the folder this program runs from.
std::string ownFolderName()
{
    char buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, n < MAX_PATH ? n : 0);
    path.erase(path.find_last_of('\\'));
    return path.substr(path.find_last_of('\\') + 1);
}

} // namespace

int main()
{
    const std::string scenario = ownFolderName();
    SensorSdkApi api{};
    const bool loaded = kestrun::platform::loadSensorSdk(api);
    if (scenario == "complete") {
        CHECK(loaded);
        CHECK(sensorSdk() != nullptr);
        if (loaded)
            checkComplete(api);
        if (sensorSdk())
            checkComplete(*sensorSdk());
    } else if (scenario == "noordinal" || scenario == "nolibrary" || scenario == "stray") {
        CHECK(!loaded);
        CHECK(sensorSdk() == nullptr);
        // The outcome of the first attempt stands.
        CHECK(sensorSdk() == nullptr);
    } else {
        CHECK(!"unknown scenario");
    }
    return kestrun::test::checkResult();
}
