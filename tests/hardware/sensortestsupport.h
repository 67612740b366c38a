#pragma once

#include "hardware/sensorsnapshot.h"
#include "sdkstandin/standin.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace kestrun::test {

// Collects the debug messages of every thread while it lives.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    // The messages so far, emptying the list.
    QStringList take();
};

// Sends the process's standard output to a file while it lives; what is left untaken is passed
// on when it ends.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    // Everything printed so far, emptying the file.
    QByteArray take();

private:
    int saved = -1;
    int file = -1;
};

// Expected snapshot values; fields not listed are expected to be 0.
using FieldValues = std::vector<std::pair<float SensorSnapshot::*, float>>;

// Empty when the snapshot holds exactly the expected values, else what differs.
QString snapshotMismatch(const SensorSnapshot &actual, const FieldValues &expected);

// The counters of the stand-in SDK the loader opened; nothing when no stand-in is loaded.
std::optional<StandinStats> loadedStandinStats();

// Lets the scripted hangs of the loaded stand-in return.
void releaseStandinHangs();

// Points the scripted stand-in at a scenario written from the given lines (read at sdkInit).
void useScenario(const QString &text);

} // namespace kestrun::test
