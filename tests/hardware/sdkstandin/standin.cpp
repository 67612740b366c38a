// A stand-in for the sensor SDK, serving scripted sensors (see standin.h). Built in three variants:
// the scripted library itself, one without sdkReadUsage, and one whose sdkInit fails.

#include "standin.h"
#include "hardware/sensorsnapshot.h"
#include "platform/sensorsdk_abi.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kKinds = 5;
constexpr const char *kKindNames[kKinds] = {"temperature", "fan", "power", "clock", "usage"};
enum Kind { Temperature, Fan, Power, Clock, Usage };

struct Reading {
    std::string label;
    std::vector<double> values;
};

// Slots hold an index into readings (-1: empty), so the walk over 512 slots per kind stays in cache.
struct Sensor {
    std::string name;
    std::array<std::vector<int>, kKinds> slots;
    std::vector<Reading> readings;
};

struct Scenario {
    std::vector<Sensor> sensors;
    long delayUs = 0;
    int uninitResult = 0;
    bool hangInit = false;
    long hangRead = 0; // the read call that hangs, counted from 1; 0 for none
    bool overflowInit = false;
    long overflowRead = 0;
};

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void addReading(Scenario &scenario, const std::string &line)
{
    std::istringstream in(line);
    std::string kindName;
    int index = -1;
    in >> kindName >> index;
    const auto kind = std::find(std::begin(kKindNames), std::end(kKindNames), kindName) - std::begin(kKindNames);
    const auto equals = line.find('=');
    if (kind >= kKinds || index < 0 || index >= SENSORSDK_READINGS_PER_SENSOR || scenario.sensors.empty()
        || equals == std::string::npos)
        return;
    const std::string rest = line.substr(static_cast<std::size_t>(in.tellg()));
    Reading reading{trimmed(rest.substr(0, rest.find('='))), {}};
    // strtod, unlike stream extraction, also takes "nan", "inf" and "-inf".
    std::istringstream values(line.substr(equals + 1));
    for (std::string word; values >> word;) {
        char *end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (end == word.c_str() || *end != '\0')
            break;
        reading.values.push_back(v);
    }
    Sensor &sensor = scenario.sensors.back();
    auto &slots = sensor.slots[static_cast<std::size_t>(kind)];
    slots.resize(SENSORSDK_READINGS_PER_SENSOR, -1);
    slots[static_cast<std::size_t>(index)] = static_cast<int>(sensor.readings.size());
    sensor.readings.push_back(std::move(reading));
}

std::unique_ptr<Scenario> loadScenario()
{
    auto scenario = std::make_unique<Scenario>();
    const char *path = std::getenv("KESTRUN_SDK_SCENARIO");
    if (!path)
        return scenario;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        line = trimmed(line);
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word.empty() || word[0] == '#')
            continue;
        if (word == "sensor")
            scenario->sensors.push_back({trimmed(line.substr(word.size())), {}, {}});
        else if (word == "delay_us")
            in >> scenario->delayUs;
        else if (word == "uninit_result")
            in >> scenario->uninitResult;
        else if (word == "hang_init")
            scenario->hangInit = true;
        else if (word == "hang_read")
            in >> scenario->hangRead;
        else if (word == "overflow_init")
            scenario->overflowInit = true;
        else if (word == "overflow_read")
            in >> scenario->overflowRead;
        else
            addReading(*scenario, line);
    }
    return scenario;
}

// Scenarios are replaced at each sdkInit but kept until exit, so a reader never sees one vanish.
std::mutex g_scenariosMutex;
std::vector<std::unique_ptr<Scenario>> g_scenarios;
std::atomic<const Scenario *> g_scenario{nullptr};

std::atomic<int> g_initCalls{0}, g_initArgument{0}, g_uninitCalls{0}, g_callsAfterUninit{0}, g_cycles{0};
std::atomic<int> g_hangs{0};
std::atomic<bool> g_hangsReleased{false};
std::atomic<long> g_readCalls{0}, g_readsOffThread{0};
std::atomic<unsigned long> g_initThread{0}, g_readThread{0};

unsigned long thisThread()
{
    return static_cast<unsigned long>(pthread_self());
}

const Scenario &scenario()
{
    static const Scenario empty;
    const Scenario *current = g_scenario.load();
    return current ? *current : empty;
}

void say(const char *line)
{
    if (write(STDERR_FILENO, line, std::strlen(line)) < 0)
        return;
}

void noteCall()
{
    if (g_uninitCalls.load() > 0 && g_callsAfterUninit++ == 0)
        say("sdkstandin: call after sdkUninit\n");
}

// Polls rather than waits on a condition: a thread left here while the process exits must not
// meet a destroyed condition variable.
void hang(const char *line)
{
    ++g_hangs;
    say(line);
    while (!g_hangsReleased.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Recursion that no compiler folds into a loop: each frame keeps a page of its own alive.
[[gnu::noinline]] int overflowStack(int depth)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (depth == std::numeric_limits<int>::max())
        return 0;
    return overflowStack(depth + 1) + frame[0];
}

void writeLabel(char *label, int size, const std::string &text)
{
    if (!label || size <= 0)
        return;
    if (text == "@unterminated") {
        std::memset(label, 'A', static_cast<std::size_t>(size));
        return;
    }
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(label, text.data(), length);
    label[length] = '\0';
}

const Sensor *sensorAt(const Scenario &current, int sensor)
{
    const auto &sensors = current.sensors;
    if (sensor < 0 || static_cast<std::size_t>(sensor) >= sensors.size())
        return nullptr;
    return &sensors[static_cast<std::size_t>(sensor)];
}

double read(Kind kind, int sensor, int index, char *label, int size)
{
    noteCall();
    // No locked instruction on the common path: a locked add and a compare-exchange per read cost
    // more than the walk a benchmark measures. The count is a plain increment as reads come from
    // one thread; reads from any other are flagged apart (and make the count approximate).
    const unsigned long self = thisThread();
    if (g_readThread.load(std::memory_order_relaxed) != self) {
        unsigned long expected = 0;
        if (!g_readThread.compare_exchange_strong(expected, self) && expected != self)
            ++g_readsOffThread;
    }
    const long call = g_readCalls.load(std::memory_order_relaxed) + 1;
    g_readCalls.store(call, std::memory_order_relaxed);
    const Scenario &current = scenario();
    if (call == current.hangRead)
        hang("sdkstandin: read hangs\n");
    if (call == current.overflowRead)
        overflowStack(0);
    if (current.delayUs > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(current.delayUs));

    const Sensor *s = sensorAt(current, sensor);
    if (!s || index < 0 || static_cast<std::size_t>(index) >= s->slots[kind].size())
        return 0.0;
    const int slot = s->slots[kind][static_cast<std::size_t>(index)];
    if (slot < 0)
        return 0.0;
    const Reading &reading = s->readings[static_cast<std::size_t>(slot)];
    writeLabel(label, size, reading.label);
    if (reading.values.empty())
        return 0.0;
    const std::size_t cycle = static_cast<std::size_t>(std::max(0, g_cycles.load() - 1));
    return reading.values[std::min(cycle, reading.values.size() - 1)];
}

} // namespace

extern "C" {

int sdkInit(int flags)
{
    g_uninitCalls = 0;
    g_callsAfterUninit = 0;
    g_readCalls = 0;
    g_readsOffThread = 0;
    g_readThread = 0;
    g_cycles = 0;
    g_initArgument = flags;
    g_initThread = thisThread();
    g_hangs = 0;
    g_hangsReleased = false;
    ++g_initCalls;
    {
        std::lock_guard<std::mutex> lock(g_scenariosMutex);
        g_scenarios.push_back(loadScenario());
        g_scenario = g_scenarios.back().get();
    }
    if (scenario().hangInit)
        hang("sdkstandin: sdkInit hangs\n");
    if (scenario().overflowInit)
        overflowStack(0);
#ifdef STANDIN_INIT_RESULT
    return STANDIN_INIT_RESULT;
#else
    return 0;
#endif
}

int sdkUninit(void)
{
    noteCall();
    ++g_uninitCalls;
    return scenario().uninitResult;
}

int sdkSensorCount(void)
{
    noteCall();
    ++g_cycles;
    return static_cast<int>(scenario().sensors.size());
}

int sdkPrepareSensor(int)
{
    noteCall();
    return 0;
}

int sdkSensorName(int sensor, char *label, int size)
{
    noteCall();
    if (const Sensor *s = sensorAt(scenario(), sensor))
        writeLabel(label, size, s->name);
    return 0;
}

double sdkReadTemperature(int sensor, int reading, char *label, int size)
{
    return read(Temperature, sensor, reading, label, size);
}

int sdkReadFan(int sensor, int reading, char *label, int size)
{
    // Scripted fan values may be NaN or infinite: convert them the defined way.
    return truncateToInt32(read(Fan, sensor, reading, label, size));
}

double sdkReadPower(int sensor, int reading, char *label, int size)
{
    return read(Power, sensor, reading, label, size);
}

double sdkReadClock(int sensor, int reading, char *label, int size)
{
    return read(Clock, sensor, reading, label, size);
}

#ifndef STANDIN_WITHOUT_READ_USAGE
double sdkReadUsage(int sensor, int reading, char *label, int size)
{
    return read(Usage, sensor, reading, label, size);
}
#endif

SENSORSDK_EXPORT struct StandinStats standinStats(void)
{
    return {g_initCalls.load(),      g_initArgument.load(), g_uninitCalls.load(), g_callsAfterUninit.load(),
            g_readCalls.load(),      g_cycles.load(),       g_initThread.load(),  g_readThread.load(),
            g_readsOffThread.load(), g_hangs.load()};
}

SENSORSDK_EXPORT void standinReleaseHangs(void)
{
    g_hangsReleased = true;
}

} // extern "C"
