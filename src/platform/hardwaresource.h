#pragma once

#include "hardwareinventory.h"

// Where the inventory comes from on this system: WMI on Windows (the classes the wmic tool reads,
// asked through COM and written as the tool's tables); procfs, sysfs and the udev database on
// Linux. Neither starts a child process. Both give the fields in the same formats and write
// the same debug lines, each followed by what the source returned.

// Runs the processor query and returns its one cleaned line (used for the processor name).
QString queryProcessorLine(const QString &command);

// Gathers mainboard, memory, disks, graphics, sound, network and operating system, in that order,
// appending to the lists of `inventory`.
void gatherHardwareInventory(HardwareInventory &inventory);
