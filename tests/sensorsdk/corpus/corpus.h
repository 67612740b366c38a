#pragma once

// The corpus of real `sensors` outputs in layouts/: one text per machine, rebuilt in a testbed.

#include "corpusmachine.h"

#include <string>
#include <vector>

namespace sensorcorpus {

struct Layout {
    std::string id;   // "001"
    std::string file; // "001-rog-strix-b450-f-gaming-k6.1.txt"
    std::string text;
};

// Every layout of the folder, in id order.
std::vector<Layout> layouts(const std::string &folder);

// What a layout needs beyond its text: 029's labels came from the machine's sensors.conf.
sensortest::MachineOptions machineOptions(const std::string &id);

} // namespace sensorcorpus
