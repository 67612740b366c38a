#include "platform/sensorsdk_abi.h"

#include "machine.h"

#include <array>
#include <atomic>
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

// How many readings of each kind the first sensors have. A walk asks for 512 readings of each
// kind, nearly all past the end of the sensor's tables: those are answered from here without the
// lock, which would otherwise cost more than the rest of the walk. A table's length is fixed from
// one scan to the next, and these are written under the lock whenever the list changes, so "no
// reading there" is true at the moment the length is read.
constexpr int kBoundedSensors = 64;
std::array<std::array<std::atomic<int>, sensorsdk::kKindCount>, kBoundedSensors> tableLengths{};

void publishTableLengths()
{
    for (int sensor = 0; sensor < kBoundedSensors; ++sensor) {
        for (int kind = 0; kind < sensorsdk::kKindCount; ++kind) {
            const int length =
                machine && sensor < machine->count() ? machine->sensor(sensor).count(static_cast<Kind>(kind)) : 0;
            tableLengths[sensor][kind].store(length, std::memory_order_relaxed);
        }
    }
}

// A reading past the end of its sensor's table: answered here with an empty label and 0. This is
// the answer to nearly every call of a walk, so it is kept to a few instructions in each entry point.
inline bool answeredPastTheTable(Kind kind, int sensor, int reading, char *label, int size)
{
    if (sensor < 0 || sensor >= kBoundedSensors
        || reading < tableLengths[sensor][static_cast<int>(kind)].load(std::memory_order_relaxed))
        return false;
    if (label && size > 0)
        label[0] = '\0';
    return true;
}

bool valid(int sensor)
{
    return machine && sensor >= 0 && sensor < machine->count();
}

// Any other reading, under the lock.
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
    publishTableLengths();
    machine = Machine::scan(maxSensors);
    publishTableLengths();
    return 0;
}

int sdkUninit(void)
{
    const std::lock_guard<std::mutex> guard(lock);
    if (!machine)
        return kErrorNotInitialised;
    machine.reset();
    publishTableLengths();
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
    if (answeredPastTheTable(Kind::Temperature, sensor, reading, label, size))
        return 0;
    return readKind(Kind::Temperature, sensor, reading, label, size);
}

int sdkReadFan(int sensor, int reading, char *label, int size)
{
    if (answeredPastTheTable(Kind::Fan, sensor, reading, label, size))
        return 0;
    const double rpm = readKind(Kind::Fan, sensor, reading, label, size);
    if (rpm >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (rpm <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::lround(rpm));
}

double sdkReadPower(int sensor, int reading, char *label, int size)
{
    if (answeredPastTheTable(Kind::Power, sensor, reading, label, size))
        return 0;
    return readKind(Kind::Power, sensor, reading, label, size);
}

double sdkReadClock(int sensor, int reading, char *label, int size)
{
    if (answeredPastTheTable(Kind::Clock, sensor, reading, label, size))
        return 0;
    return readKind(Kind::Clock, sensor, reading, label, size);
}

double sdkReadUsage(int sensor, int reading, char *label, int size)
{
    if (answeredPastTheTable(Kind::Usage, sensor, reading, label, size))
        return 0;
    return readKind(Kind::Usage, sensor, reading, label, size);
}
