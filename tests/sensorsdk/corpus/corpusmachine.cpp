#include "corpusmachine.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace sensortest {

using sensortext::Bus;
using sensortext::Chip;
using sensortext::Reading;
using sensortext::State;
using sensortext::Type;

namespace {

std::string hex(long value, int digits, bool upper = false)
{
    char text[32];
    std::snprintf(text, sizeof text, upper ? "%0*lX" : "%0*lx", digits, value);
    return text;
}

// A platform device name libsensors reads the address from: "<letters, digits, _>.<address>".
std::string platformStem(const std::string &prefix)
{
    std::string stem;
    for (char c : prefix) {
        const auto u = static_cast<unsigned char>(c);
        stem += std::isalnum(u) ? static_cast<char>(std::tolower(u)) : '_';
    }
    return stem.empty() ? std::string("chip") : stem;
}

// The parents of the chips, made once per bus address.
class Parents
{
public:
    explicit Parents(Testbed &target)
        : bed(target)
    {
    }

    std::string of(const Chip &chip)
    {
        switch (chip.bus) {
        case Bus::Virtual:
            return {};
        case Bus::Isa: {
            // A platform device per chip: the number after the dot is the printed address.
            std::string stem = platformStem(chip.prefix);
            std::string name = stem + "." + std::to_string(chip.address);
            for (int n = 2; used.count(name); ++n)
                name = stem + "_" + std::to_string(n) + "." + std::to_string(chip.address);
            used.insert(name);
            return bed.addDevice("platform", name, "", {});
        }
        case Bus::Pci: {
            // bus << 8 | device << 3 | function, in domain 0.
            const std::string name = "0000:" + hex(chip.address >> 8, 2) + ":" + hex((chip.address >> 3) & 0x1f, 2)
                                     + "." + hex(chip.address & 7, 1);
            return once(name, [&] { return bed.addDevice("pci", name, "", {}); });
        }
        case Bus::Acpi: {
            const std::string name = "KSTR" + hex(acpiCount++, 4, true) + ":00";
            return bed.addDevice("acpi", name, "", {});
        }
        case Bus::I2c: {
            const std::string busName = "i2c-" + std::to_string(chip.busNumber);
            const std::string adapter = once(busName, [&] {
                return bed.addDevice("i2c-adapter", busName, "", {{"name", chip.adapter + "\n"}});
            });
            const std::string name = std::to_string(chip.busNumber) + "-" + hex(chip.address, 4);
            return once(name, [&] { return bed.addDevice("i2c", name, adapter, {}); });
        }
        case Bus::Scsi: {
            const std::string name = std::to_string(chip.busNumber) + ":0:" + std::to_string(chip.address) + ":0";
            return once(name, [&] { return bed.addDevice("scsi", name, "", {}); });
        }
        case Bus::Hid: {
            // bus:vendor:product.instance
            const std::string name = hex(chip.busNumber, 4, true) + ":046D:4082." + hex(chip.address, 4, true);
            return once(name, [&] { return bed.addDevice("hid", name, "", {}); });
        }
        }
        return {};
    }

private:
    template <typename Make>
    std::string once(const std::string &name, Make make)
    {
        auto found = made.find(name);
        if (found == made.end())
            found = made.emplace(name, make()).first;
        return found->second;
    }

    Testbed &bed;
    std::map<std::string, std::string> made;
    std::set<std::string> used;
    long acpiCount = 0;
};

// The value file of a power reading: power_meter and amdgpu report an average, others an input.
// Where the text also shows "avg =", the value is the input.
std::string valueName(const Chip &chip, const Reading &reading)
{
    if (reading.type != Type::Power)
        return reading.inputName();
    const bool showsAverage = std::any_of(reading.limits.begin(), reading.limits.end(),
                                          [](const sensortext::Limit &limit) { return limit.attribute == "average"; });
    if (!showsAverage && (chip.prefix == "power_meter" || chip.prefix == "amdgpu"))
        return reading.base() + "_average";
    return reading.inputName();
}

std::string quoted(const std::string &text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

} // namespace

std::string addChips(Testbed &bed, const std::vector<Chip> &chips, const MachineOptions &options)
{
    Parents parents(bed);
    std::string configuration;
    for (const Chip &chip : chips) {
        const bool configured = std::find(options.configuredLabels.begin(), options.configuredLabels.end(), chip.prefix)
                                != options.configuredLabels.end();
        std::string labels;
        Attributes attributes;
        std::vector<std::string> unreadable;
        for (const Reading &reading : chip.readings) {
            const std::string base = reading.base();
            const std::string value = valueName(chip, reading);
            attributes.emplace_back(value, std::to_string(reading.state == State::Value ? reading.value : 0));
            if (reading.state == State::NotAvailable)
                unreadable.push_back(value);
            if (reading.state == State::Fault)
                attributes.emplace_back(base + "_fault", "1");
            if (reading.labelled && configured)
                labels += "    label " + base + " " + quoted(reading.label) + "\n";
            else if (reading.labelled)
                attributes.emplace_back(base + "_label", reading.label);
            for (const sensortext::Limit &limit : reading.limits)
                attributes.emplace_back(base + "_" + limit.attribute, std::to_string(limit.value));
            for (const std::string &alarm : reading.alarms)
                attributes.emplace_back(base + "_" + alarm, "1");
            if (reading.sensorType)
                attributes.emplace_back(base + "_type", std::to_string(*reading.sensorType));
        }
        const std::string hwmon = bed.addHwmon(chip.prefix, parents.of(chip), attributes);
        for (const std::string &name : unreadable)
            bed.makeUnreadable(hwmon + "/" + name);
        if (!labels.empty())
            configuration += "chip " + quoted(chip.prefix + "-*") + "\n" + labels;
    }
    return configuration;
}

} // namespace sensortest
