#pragma once

// The text that lm-sensors' `sensors` prints, read back into chips and readings with their sysfs
// names and values, so that a machine can be rebuilt from it. Pure: no files, no testbed.

#include <optional>
#include <string>
#include <vector>

namespace sensortext {

// Reading types in the order libsensors lists them within a chip.
enum class Type { In, Fan, Temp, Power, Energy, Curr, Humidity, Vid, Intrusion, Beep };

// The sysfs stem of a type ("in", "fan", "temp", ..., "cpu" for cpuN_vid).
const char *stem(Type type);

enum class State {
    Value,        // value holds the reading in sysfs units
    NotAvailable, // "N/A": the input exists but cannot be read
    Fault,        // "FAULT": the fault flag is set
};

struct Limit {
    std::string name;      // as printed: "min", "high", "hyst", "crit low", "div", ...
    std::string attribute; // the sysfs suffix it comes from: "min", "max_hyst", "lcrit", "div", ...
    long long value;       // sysfs units
};

struct Reading {
    Type type = Type::In;
    int number = 0;        // the N of in<N>_input, fan<N>_input, ...
    std::string label;     // as printed, blanks kept (" +3.3 Voltage", "ODD ")
    bool labelled = false; // false: the printed label is the bare name ("in4", "fan2")
    State state = State::Value;
    long long value = 0; // sysfs units: m°C, mV, RPM, µW, µJ, mA, m%RH; 0/1 for flags
    std::vector<Limit> limits;
    std::vector<std::string> alarms; // alarm files set: "alarm", "max_alarm", "crit_alarm", ...
    std::optional<int> sensorType;   // tempN_type from "sensor = ..."

    // The sysfs name of the reading's main file: "in0_input", "cpu0_vid", "intrusion0_alarm", ...
    std::string inputName() const;
    // "in0", "fan2", "cpu0" (for cpu0_vid), "intrusion0", "beep" (beep_enable).
    std::string base() const;
};

enum class Bus { Isa, Pci, Acpi, Virtual, I2c, Scsi, Hid };

struct Chip {
    std::string title;  // "nct6779-isa-0290"
    std::string prefix; // the hwmon name: "nct6779"
    Bus bus = Bus::Virtual;
    int busNumber = 0;   // i2c bus, SCSI host, HID bus
    long address = 0;    // isa/pci/i2c address, SCSI target, HID instance
    std::string adapter; // "ISA adapter", "SMBus I801 adapter at 0580", ...
    std::vector<Reading> readings;
};

struct ParseError {
    int line;
    std::string message;
};

struct Parsed {
    std::vector<Chip> chips;
    std::vector<ParseError> errors; // lines that could not be read; the rest is still parsed
};

Parsed parse(const std::string &text);

} // namespace sensortext
