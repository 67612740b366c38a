#pragma once

// hwmon chips through libsensors: the library's lifetime and the readings of one chip.

#include "labels.h"
#include "sensor.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sensors_chip_name;

namespace sensorsdk {

// libsensors, initialised with the configuration file named by KESTRUN_SENSORS_CONFIG or else the
// system's (/etc/sensors3.conf and /etc/sensors.d). A configuration that does not parse still
// leaves the chips readable, without its labels. The chips come in the kernel's registration
// order (hwmon number), whatever order the file system lists them in.
class LibSensors
{
public:
    LibSensors();
    ~LibSensors();
    LibSensors(const LibSensors &) = delete;
    LibSensors &operator=(const LibSensors &) = delete;

    struct Chip {
        const sensors_chip_name *name;
        std::string prefix; // "nct6798"
        std::string title;  // "nct6798-isa-0290"
        std::string path;   // the chip's sysfs folder
        ChipRole role;
        int address; // the bus address libsensors names it by (a coretemp chip's package)
    };
    const std::vector<Chip> &chips() const { return detected; }

    // Whether the configuration in use may compute a value of the feature ("temp1") on some chip.
    bool computes(std::string_view feature) const;

private:
    bool ready = false;
    std::vector<Chip> detected;
    std::optional<std::vector<std::string>> computed{std::vector<std::string>()}; // none: any feature
};

// One temperature, fan or power reading of a chip.
struct ChipReading {
    Kind kind;
    std::string driverLabel; // the driver's own label, empty when it has none
    std::string label;       // what the sensor thread sees (readingLabel)
    Source source;
};

// The chip's temperatures, fans and power readings in libsensors' order.
std::vector<ChipReading> chipReadings(const LibSensors &sensors, const LibSensors::Chip &chip);

// Adds all of the chip's readings to the sensor.
void addChipReadings(Sensor &sensor, const LibSensors &sensors, const LibSensors::Chip &chip);

} // namespace sensorsdk
