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

// Puts the testbeds made from now on in /dev/shm where the machine has one: 123 machines' files,
// made and removed on a busy disk, take ten times as long as in memory. Call before the first.
// Returns whether it did.
bool useMemoryForTestbeds();

// What a layout needs beyond its text: 029's labels came from the machine's sensors.conf.
sensortest::MachineOptions machineOptions(const std::string &id);

// Builds the layout's machine in the testbed as the corpus test reads it: its chips, the
// configuration they need, and a plain one-processor CPU in /proc so that the machine running the
// test tells the library nothing. Returns the lines of the text that could not be read.
std::vector<sensortext::ParseError> buildMachine(sensortest::Testbed &bed, const Layout &layout);

} // namespace sensorcorpus
