#include "platform/sensorsdk_abi.h"

#include "machine.h"

#include <climits>
#include <cmath>
#include <mutex>

namespace {

using sensorsdk::Kind;
using sensorsdk::Machine;

// sdkInit, the reads and sdkUninit come from different threads; one lock keeps a read from ever
// meeting a half-built or released sensor list.
std::mutex lock;
std::unique_ptr<Machine> machine;

bool valid(int sensor)
{
    return machine && sensor >= 0 && sensor < machine->count();
}

double readKind(Kind kind, int sensor, int reading, char *label, int size)
{
    const std::lock_guard<std::mutex> guard(lock);
    if (!valid(sensor)) {
        sensorsdk::copyLabel({}, label, size);
        return 0;
    }
    return machine->sensor(sensor).read(kind, reading, label, size);
}

constexpr int kErrorBadArgument = -1;
constexpr int kErrorNotInitialised = -2;

} // namespace

// maxSensors is the most sensors the caller walks; the list is cut there.
int sdkInit(int maxSensors)
{
    if (maxSensors < 1)
        return kErrorBadArgument;
    const std::lock_guard<std::mutex> guard(lock);
    // libsensors keeps global state: the old list must be gone before the next scan starts.
    machine.reset();
    machine = Machine::scan(maxSensors);
    return 0;
}

int sdkUninit(void)
{
    const std::lock_guard<std::mutex> guard(lock);
    if (!machine)
        return kErrorNotInitialised;
    machine.reset();
    return 0;
}

int sdkSensorCount(void)
{
    const std::lock_guard<std::mutex> guard(lock);
    return machine ? machine->count() : 0;
}

int sdkPrepareSensor(int sensor)
{
    const std::lock_guard<std::mutex> guard(lock);
    if (!valid(sensor))
        return kErrorBadArgument;
    machine->sensor(sensor).sample();
    return 0;
}

int sdkSensorName(int sensor, char *label, int size)
{
    const std::lock_guard<std::mutex> guard(lock);
    if (!valid(sensor)) {
        sensorsdk::copyLabel({}, label, size);
        return kErrorBadArgument;
    }
    sensorsdk::copyLabel(machine->sensor(sensor).name(), label, size);
    return 0;
}

double sdkReadTemperature(int sensor, int reading, char *label, int size)
{
    return readKind(Kind::Temperature, sensor, reading, label, size);
}

int sdkReadFan(int sensor, int reading, char *label, int size)
{
    const double rpm = readKind(Kind::Fan, sensor, reading, label, size);
    if (rpm >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (rpm <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::lround(rpm));
}

double sdkReadPower(int sensor, int reading, char *label, int size)
{
    return readKind(Kind::Power, sensor, reading, label, size);
}

double sdkReadClock(int sensor, int reading, char *label, int size)
{
    return readKind(Kind::Clock, sensor, reading, label, size);
}

double sdkReadUsage(int sensor, int reading, char *label, int size)
{
    return readKind(Kind::Usage, sensor, reading, label, size);
}
