#pragma once

#include "hardwareinventory.h"

// Where the inventory comes from on this system: the wmic tool on Windows; procfs, sysfs and the
// udev database on Linux (no child processes). Both give the fields in the same formats and write
// the same debug lines, each followed by what the source returned.

// Runs the processor query and returns its one cleaned line (used for the processor name).
QString queryProcessorLine(const QString &command);

// Gathers mainboard, memory, disks, graphics, sound, network and operating system, in that order,
// appending to the lists of `inventory`.
void gatherHardwareInventory(HardwareInventory &inventory);
