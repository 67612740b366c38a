#pragma once

// Rebuilds the hwmon chips of a `sensors` text in a testbed, so that libsensors finds them with
// the names, adapters, labels and values the text shows.

#include "sensorstext.h"
#include "testbed.h"

#include <string>
#include <vector>

namespace sensortest {

struct MachineOptions {
    // Chips (by hwmon name) whose labels came from a sensors.conf rather than from the driver:
    // their labels go to the returned configuration instead of <type><N>_label files.
    std::vector<std::string> configuredLabels;
};

// Adds one hwmon device per chip, each under a parent on the chip's bus. Returns the libsensors
// configuration the chips need (empty unless options name configured labels).
std::string addChips(Testbed &bed, const std::vector<sensortext::Chip> &chips, const MachineOptions &options = {});

} // namespace sensortest
