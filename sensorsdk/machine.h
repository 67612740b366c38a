#pragma once

// Everything sdkInit finds: the sensors in the order the sensor thread walks them, and the
// libraries they read through. Destroying it releases libsensors and NVML.

#include "sensor.h"

#include <memory>
#include <vector>

namespace sensorsdk {

class Machine
{
public:
    // Scans the machine: the CPU first, then mainboard chips, GPUs by PCI address, other chips.
    // maxSensors bounds the list.
    static std::unique_ptr<Machine> scan(int maxSensors);
    ~Machine();
    Machine(const Machine &) = delete;
    Machine &operator=(const Machine &) = delete;

    int count() const { return static_cast<int>(sensors.size()); }
    Sensor &sensor(int index) { return *sensors[static_cast<std::size_t>(index)]; }

private:
    Machine() = default;
    struct Libraries;
    std::unique_ptr<Libraries> libraries;
    std::vector<std::unique_ptr<Sensor>> sensors;
};

} // namespace sensorsdk
