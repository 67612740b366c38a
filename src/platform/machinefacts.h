#pragma once

// The facts about this machine that tell why a figure has no source (hardware/figurereasons.h).
// Qt-free, so kestrun-sensors compiles it in as well.

#include "hardware/figurereasons.h"

namespace kestrun::platform {

// Looks once at the machine: a few small files of /proc and /sys on Linux (no child processes);
// on Windows only that the figures come from the vendor SDK. Costs a few milliseconds: call it
// once, off the GUI thread.
MachineFacts probeMachineFacts();

} // namespace kestrun::platform
