#pragma once

#include "hardware/sensormatch.h"
#include "hardware/sensorsnapshot.h"

#include <atomic>
#include <optional>

namespace kestrun::platform {
struct SensorSdkApi;
}

// One read cycle: walks every sensor the SDK offers and, within each, all 512 reading indices and
// the five kinds, and builds a fresh snapshot from the matching readings. With logDetails set it
// prints and logs every sensor and every reading present. A newline is printed after each sensor.
// With sources given, every labelled reading is noted there, whatever its value.
// Returns nothing when keepGoing was cleared during the walk: the cycle is then abandoned and its
// partial values are dropped.
std::optional<SensorSnapshot> readSensorCycle(const kestrun::platform::SensorSdkApi &sdk, bool logDetails,
                                              const std::atomic<bool> &keepGoing, SensorSourceSeen *sources = nullptr);

// Logs one line for each figure of the window that no reading of the first cycle could fill
// (sources), with the likely reason and the remedy. Looks at the machine for that, so it is meant
// for once, after the first cycle; figures that only need a second sample are left out.
void logFiguresWithoutSource(const SensorSourceSeen &sources);
