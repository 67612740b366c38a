#include "sensorstext.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace sensortext {

const char *stem(Type type)
{
    switch (type) {
    case Type::In:
        return "in";
    case Type::Fan:
        return "fan";
    case Type::Temp:
        return "temp";
    case Type::Power:
        return "power";
    case Type::Energy:
        return "energy";
    case Type::Curr:
        return "curr";
    case Type::Humidity:
        return "humidity";
    case Type::Vid:
        return "cpu";
    case Type::Intrusion:
        return "intrusion";
    case Type::Beep:
        return "beep";
    }
    return "";
}

std::string Reading::base() const
{
    if (type == Type::Beep)
        return "beep";
    return stem(type) + std::to_string(number);
}

std::string Reading::inputName() const
{
    switch (type) {
    case Type::Vid:
        return base() + "_vid";
    case Type::Intrusion:
        return base() + "_alarm";
    case Type::Beep:
        return "beep_enable";
    default:
        return base() + "_input";
    }
}

namespace {

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        result.push_back(line);
    }
    return result;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool startsWith(const std::string &text, const std::string &head)
{
    return text.compare(0, head.size(), head) == 0;
}

bool allDigits(std::string_view text, bool hex = false)
{
    if (text.empty())
        return false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (!(hex ? std::isxdigit(u) : std::isdigit(u)))
            return false;
    }
    return true;
}

// Decimal digits as a number; none where they do not fit.
std::optional<int> digitsValue(std::string_view digits)
{
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// A printed number with its unit, in sysfs units and with the type the unit belongs to.
struct Quantity {
    double number;
    bool negative;            // "-0.0" is a value just below zero
    std::optional<Type> type; // none for plain numbers (div) and for seconds
    double scale;             // printed -> sysfs
};

struct Unit {
    const char *text;
    std::optional<Type> type;
    double scale;
};

// Longest first where one unit ends another.
const Unit kUnits[] = {
    {"\xc2\xb0"
     "C",
     Type::Temp, 1e3},
    {"*C", Type::Temp, 1e3},
    {"C", Type::Temp, 1e3},
    {"mV", Type::In, 1},
    {"uV", Type::In, 1e-3},
    {"V", Type::In, 1e3},
    {"RPM", Type::Fan, 1},
    {"uW", Type::Power, 1},
    {"mW", Type::Power, 1e3},
    {"kW", Type::Power, 1e9},
    {"MW", Type::Power, 1e12},
    {"W", Type::Power, 1e6},
    {"uJ", Type::Energy, 1},
    {"mJ", Type::Energy, 1e3},
    {"kJ", Type::Energy, 1e9},
    {"MJ", Type::Energy, 1e12},
    {"J", Type::Energy, 1e6},
    {"uA", Type::Curr, 1e-3},
    {"mA", Type::Curr, 1},
    {"A", Type::Curr, 1e3},
    {"%RH", Type::Humidity, 1e3},
    {"ms", std::nullopt, 1},
    {"s", std::nullopt, 1e3},
};

// Reads "+45.0 C", "1.14 V", "725.00 mV", "8" at the start of text; pos moves past it.
std::optional<Quantity> readQuantity(const std::string &text, std::size_t &pos)
{
    // Blanks, then [+-]digits[.digits].
    std::size_t start = pos;
    while (start < text.size() && text[start] == ' ')
        ++start;
    std::size_t at = start;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    if (at == digits)
        return std::nullopt;
    if (at + 1 < text.size() && text[at] == '.' && std::isdigit(static_cast<unsigned char>(text[at + 1]))) {
        for (at += 1; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));)
            ++at;
    }
    const std::string number = text.substr(start, at - start);
    const double value = std::strtod(number.c_str(), nullptr);
    std::size_t unitAt = at;
    while (unitAt < text.size() && text[unitAt] == ' ')
        ++unitAt;
    for (const Unit &unit : kUnits) {
        const std::string symbol = unit.text;
        if (text.compare(unitAt, symbol.size(), symbol) != 0)
            continue;
        const std::size_t end = unitAt + symbol.size();
        if (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != ')')
            continue;
        pos = end;
        return Quantity{value, number[0] == '-', unit.type, unit.scale};
    }
    pos = at;
    return Quantity{value, number[0] == '-', std::nullopt, 1};
}

long long sysfsValue(const Quantity &quantity)
{
    const long long value = std::llround(quantity.number * quantity.scale);
    return value == 0 && quantity.negative ? -1 : value;
}

// The bare names libsensors prints for a reading without a label.
bool bareName(const std::string &label, Type &type, int &number)
{
    if (label == "beep_enable") {
        type = Type::Beep;
        number = 0;
        return true;
    }
    const std::string_view text(label);
    // cpu<N>_vid
    constexpr std::string_view vidHead = "cpu", vidTail = "_vid";
    if (text.size() > vidHead.size() + vidTail.size() && text.substr(0, vidHead.size()) == vidHead
        && text.substr(text.size() - vidTail.size()) == vidTail) {
        const std::string_view digits = text.substr(vidHead.size(), text.size() - vidHead.size() - vidTail.size());
        const std::optional<int> value = allDigits(digits) ? digitsValue(digits) : std::nullopt;
        if (!value)
            return false;
        type = Type::Vid;
        number = *value;
        return true;
    }
    // <stem><N>
    for (Type candidate :
         {Type::In, Type::Fan, Type::Temp, Type::Power, Type::Energy, Type::Curr, Type::Humidity, Type::Intrusion}) {
        const std::string_view name = stem(candidate);
        if (text.substr(0, name.size()) != name || !allDigits(text.substr(name.size())))
            continue;
        const std::optional<int> value = digitsValue(text.substr(name.size()));
        if (!value)
            return false;
        type = candidate;
        number = *value;
        return true;
    }
    return false;
}

// The sysfs suffix of a printed limit; previous is the suffix of the limit before it, which a
// "hyst" belongs to.
std::string limitAttribute(Type type, const std::string &name, const std::string &previous)
{
    if (name == "hyst")
        return (previous.empty() ? std::string("max") : previous) + "_hyst";
    if (type == Type::Temp) {
        if (name == "low")
            return "min";
        if (name == "high")
            return "max";
        if (name == "crit low")
            return "lcrit";
        if (name == "emerg")
            return "emergency";
    }
    if (name == "crit min")
        return "lcrit";
    if (name == "crit max")
        return "crit";
    if (name == "avg")
        return "average";
    if (name == "interval")
        return "average_interval";
    return name; // min, max, crit, cap, div, lowest, highest
}

// "(min = +0.00 V, max = +1.74 V)": the text between the brackets.
bool readLimits(Reading &reading, const std::string &inside, std::string &previous, std::optional<Type> *limitType)
{
    std::istringstream items(inside);
    for (std::string item; std::getline(items, item, ',');) {
        const auto equals = item.find('=');
        if (equals == std::string::npos)
            return false;
        std::string name = trimmed(item.substr(0, equals));
        std::size_t pos = equals + 1;
        const auto quantity = readQuantity(item, pos);
        if (!quantity || !trimmed(item.substr(pos)).empty())
            return false;
        if (limitType && !*limitType && quantity->type)
            *limitType = quantity->type;
        const std::string attribute = limitAttribute(reading.type, name, previous);
        if (name != "hyst")
            previous = attribute;
        reading.limits.push_back(Limit{name, attribute, sysfsValue(*quantity)});
    }
    return true;
}

const std::pair<const char *, const char *> kAlarmFlags[] = {
    {"LCRIT", "lcrit_alarm"},
    {"MIN", "min_alarm"},
    {"LOW", "min_alarm"},
    {"MAX", "max_alarm"},
    {"HIGH", "max_alarm"},
    {"CRIT", "crit_alarm"},
    {"EMERGENCY", "emergency_alarm"},
    {"BEEP", "beep"},
};

const char *const kSensorTypes[] = {"disabled",   "CPU diode", "transistor", "thermal diode",
                                    "thermistor", "AMD AMDSI", "Intel PECI"};

// What follows the value on a reading line or a continuation line: limits in brackets, then flags.
bool readTail(Reading &reading, const std::string &text, std::string &previousLimit,
              std::optional<Type> *limitType = nullptr)
{
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos >= text.size())
            return true;
        if (text[pos] == '(') {
            const auto close = text.find(')', pos);
            if (close == std::string::npos
                || !readLimits(reading, text.substr(pos + 1, close - pos - 1), previousLimit, limitType))
                return false;
            pos = close + 1;
        } else if (text.compare(pos, 5, "ALARM") == 0) {
            pos += 5;
            std::size_t look = pos;
            while (look < text.size() && text[look] == ' ')
                ++look;
            // "ALARM (HIGH, CRIT)": the named alarm files; a plain "ALARM" is the reading's alarm file.
            if (look < text.size() && text[look] == '(' && look + 1 < text.size()
                && std::isupper(static_cast<unsigned char>(text[look + 1]))) {
                const auto close = text.find(')', look);
                if (close == std::string::npos)
                    return false;
                std::istringstream flags(text.substr(look + 1, close - look - 1));
                for (std::string flag; std::getline(flags, flag, ',');) {
                    bool known = false;
                    for (const auto &[printed, file] : kAlarmFlags) {
                        if (trimmed(flag) == printed) {
                            reading.alarms.push_back(file);
                            known = true;
                        }
                    }
                    if (!known)
                        return false;
                }
                pos = close + 1;
            } else {
                reading.alarms.push_back("alarm");
            }
        } else if (text.compare(pos, 8, "sensor =") == 0) {
            const std::string name = trimmed(text.substr(pos + 8));
            for (int i = 0; i < 7; ++i) {
                if (name == kSensorTypes[i])
                    reading.sensorType = i;
            }
            return reading.sensorType.has_value();
        } else {
            return false;
        }
    }
}

const std::pair<const char *, Bus> kBuses[] = {
    {"isa", Bus::Isa}, {"pci", Bus::Pci},   {"acpi", Bus::Acpi}, {"virtual", Bus::Virtual},
    {"i2c", Bus::I2c}, {"scsi", Bus::Scsi}, {"hid", Bus::Hid},
};

// "nct6779-isa-0290", "jc42-i2c-0-18", "drivetemp-scsi-4-0", "hidpp_battery_0-hid-3-2":
// "<prefix>-<bus>-<hex>[-<hex>]", at the last place in the line where that shape fits (a prefix
// may hold dashes and even a bus's name).
std::optional<Chip> readTitle(const std::string &line)
{
    for (std::size_t dash = line.rfind('-'); dash != std::string::npos && dash > 0; dash = line.rfind('-', dash - 1)) {
        for (const auto &[name, bus] : kBuses) {
            const std::string_view busName = name;
            const std::size_t tailAt = dash + 1 + busName.size() + 1;
            if (line.compare(dash + 1, busName.size(), busName) != 0 || tailAt > line.size() || line[tailAt - 1] != '-')
                continue;
            const std::string_view tail = std::string_view(line).substr(tailAt);
            const std::size_t second = tail.find('-');
            const std::string_view first = tail.substr(0, second);
            const bool twoNumbers = second != std::string_view::npos;
            if (!allDigits(first, true) || (twoNumbers && !allDigits(tail.substr(second + 1), true)))
                continue;
            Chip chip;
            chip.title = line;
            chip.prefix = line.substr(0, dash);
            chip.bus = bus;
            const bool wantsTwo = bus == Bus::I2c || bus == Bus::Scsi || bus == Bus::Hid;
            if (twoNumbers != wantsTwo)
                return std::nullopt;
            const std::string firstNumber(first);
            if (twoNumbers) {
                chip.busNumber = std::stoi(firstNumber);
                chip.address = std::stol(std::string(tail.substr(second + 1)), nullptr, bus == Bus::I2c ? 16 : 10);
            } else {
                chip.address = std::stol(firstNumber, nullptr, bus == Bus::Acpi || bus == Bus::Virtual ? 10 : 16);
            }
            return chip;
        }
    }
    return std::nullopt;
}

// The reading line "label: value unit (limits) flags"; type and number are settled later.
bool readReading(const std::string &line, Reading &reading, std::string &previousLimit, std::optional<Type> &unitType,
                 std::optional<Type> &limitType)
{
    // The label ends at the first colon followed by a blank; labels themselves may hold blanks,
    // dots, commas and brackets, and may start or end with a blank.
    std::size_t colon = line.find(": ");
    if (colon == std::string::npos && !line.empty() && line.back() == ':')
        colon = line.size() - 1;
    if (colon == std::string::npos || colon == 0)
        return false;
    reading.label = line.substr(0, colon);
    std::size_t pos = colon + 1;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    const std::string rest = line.substr(pos);
    int number = 0;
    Type bare = Type::In;
    reading.labelled = !bareName(reading.label, bare, number);
    if (!reading.labelled) {
        reading.type = bare;
        reading.number = number;
    }
    auto word = [&](const char *text) {
        const std::size_t size = std::char_traits<char>::length(text);
        if (rest.compare(0, size, text) != 0 || (rest.size() > size && rest[size] != ' '))
            return false;
        pos += size;
        return true;
    };
    if (word("N/A")) {
        reading.state = State::NotAvailable;
    } else if (word("FAULT")) {
        reading.state = State::Fault;
    } else if (!reading.labelled && reading.type == Type::Intrusion && (word("ALARM") || word("OK"))) {
        reading.value = rest[0] == 'A' ? 1 : 0;
    } else if (!reading.labelled && reading.type == Type::Beep && (word("enabled") || word("disabled"))) {
        reading.value = rest[0] == 'e' ? 1 : 0;
    } else {
        const auto quantity = readQuantity(line, pos);
        if (!quantity || !quantity->type)
            return false;
        unitType = quantity->type;
        reading.value = sysfsValue(*quantity);
    }
    return readTail(reading, line.substr(pos), previousLimit, &limitType);
}

// The type of a labelled reading: its unit; without one (N/A, FAULT) the unit of its limits; else
// the type of the reading before it, as libsensors lists a chip's readings grouped by type.
Type typeOf(std::optional<Type> unitType, std::optional<Type> limitType, const Chip &chip)
{
    if (unitType)
        return *unitType;
    if (limitType)
        return *limitType;
    return chip.readings.empty() ? Type::In : chip.readings.back().type;
}

} // namespace

Parsed parse(const std::string &text)
{
    Parsed parsed;
    const std::vector<std::string> all = lines(text);
    Chip *chip = nullptr;
    Reading *last = nullptr;
    std::string previousLimit;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string &line = all[i];
        const int lineNumber = static_cast<int>(i) + 1;
        if (trimmed(line).empty()) {
            chip = nullptr;
            last = nullptr;
            continue;
        }
        if (!chip) {
            auto title = readTitle(line);
            if (!title || i + 1 >= all.size() || !startsWith(all[i + 1], "Adapter: ")) {
                parsed.errors.push_back({lineNumber, "no chip title: " + line});
                continue;
            }
            title->adapter = all[i + 1].substr(9);
            parsed.chips.push_back(*title);
            chip = &parsed.chips.back();
            ++i;
            continue;
        }
        const std::string content = trimmed(line);
        if (line[0] == ' ' && content[0] == '(') {
            // A continuation: more limits (and flags) of the reading above.
            if (!last || !readTail(*last, content, previousLimit))
                parsed.errors.push_back({lineNumber, "bad continuation: " + line});
            continue;
        }
        Reading reading;
        previousLimit.clear();
        std::optional<Type> unitType;
        std::optional<Type> limitType;
        if (!readReading(line, reading, previousLimit, unitType, limitType)) {
            parsed.errors.push_back({lineNumber, "bad reading: " + line});
            last = nullptr;
            continue;
        }
        if (reading.labelled) {
            reading.type = typeOf(unitType, limitType, *chip);
            // The next number of its type: labelled and bare readings of one type are listed in
            // number order, so any increasing numbering reproduces the printed order.
            int number =
                reading.type == Type::In || reading.type == Type::Vid || reading.type == Type::Intrusion ? 0 : 1;
            for (const Reading &earlier : chip->readings) {
                if (earlier.type == reading.type)
                    number = earlier.number + 1;
            }
            reading.number = number;
            // A limit's meaning depends on the type, known only now.
            std::string previous;
            for (Limit &limit : reading.limits) {
                limit.attribute = limitAttribute(reading.type, limit.name, previous);
                if (limit.name != "hyst")
                    previous = limit.attribute;
            }
        }
        chip->readings.push_back(reading);
        last = &chip->readings.back();
    }
    return parsed;
}

} // namespace sensortext
