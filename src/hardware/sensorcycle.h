#pragma once

#include "hardware/sensorsnapshot.h"

#include <atomic>
#include <optional>

namespace kestrun::platform {
struct SensorSdkApi;
}

// One read cycle: walks every sensor the SDK offers and, within each, all 512 reading indices and
// the five kinds, and builds a fresh snapshot from the matching readings. With logDetails set it
// prints and logs every sensor and every reading present. A newline is printed after each sensor.
// Returns nothing when keepGoing was cleared during the walk: the cycle is then abandoned and its
// partial values are dropped.
std::optional<SensorSnapshot> readSensorCycle(const kestrun::platform::SensorSdkApi &sdk,
                                              bool logDetails, const std::atomic<bool> &keepGoing);
