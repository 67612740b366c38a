#pragma once

// hwmon chips through libsensors: the library's lifetime and the readings of one chip.

#include "labels.h"
#include "sensor.h"

#include <memory>
#include <string>
#include <vector>

struct sensors_chip_name;

namespace sensorsdk {

// libsensors, initialised with the configuration file named by KESTRUN_SENSORS_CONFIG or else the
// system's (/etc/sensors3.conf and /etc/sensors.d). A configuration that does not parse still
// leaves the chips readable, without its labels.
class LibSensors
{
public:
    LibSensors();
    ~LibSensors();
    LibSensors(const LibSensors &) = delete;
    LibSensors &operator=(const LibSensors &) = delete;

    struct Chip {
        const sensors_chip_name *name;
        std::string prefix;   // "nct6798"
        std::string title;    // "nct6798-isa-0290"
        std::string path;     // the chip's sysfs folder
        ChipRole role;
    };
    const std::vector<Chip> &chips() const { return chips_; }

private:
    bool ready_ = false;
    std::vector<Chip> chips_;
};

// Adds the chip's temperatures, fans and power readings to the sensor, labelled by readingLabel.
void addChipReadings(Sensor &sensor, const LibSensors::Chip &chip, const LabelContext &context);

// True when one of the chip's temperatures is labelled "Tdie" by its driver.
bool chipHasTdie(const LibSensors::Chip &chip);

} // namespace sensorsdk
