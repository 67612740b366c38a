#include "chips.h"

#include "parse.h"
#include "sysfs.h"

#include <sensors/sensors.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <tuple>

namespace sensorsdk {

namespace {

struct FileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};

struct FreeDeleter {
    void operator()(char *text) const { std::free(text); }
};

bool initialise(FILE *config)
{
    if (sensors_init(config) == 0)
        return true;
    sensors_cleanup();
    return false;
}

// The order the chips are offered in within their role: the kernel's hwmon number, which it gives
// in registration order, so the order is the same on every start and on every file system. The
// order libsensors finds them in is /sys/class/hwmon's directory order, a hash of the names on a
// real sysfs. Chips without a number (none on a current kernel) come last, by path.
bool registeredBefore(const LibSensors::Chip &a, const LibSensors::Chip &b)
{
    const auto first = hwmonNumber(a.path);
    const auto second = hwmonNumber(b.path);
    return std::make_tuple(!first, first.value_or(0), a.path) < std::make_tuple(!second, second.value_or(0), b.path);
}

// The N of "temp12".
int featureNumber(const char *name)
{
    std::string_view text(name);
    const auto digits = text.find_first_of("0123456789");
    if (digits == std::string_view::npos)
        return 0;
    return static_cast<int>(parseInteger(text.substr(digits)).value_or(0));
}

struct Wanted {
    FeatureKind kind;
    Kind readingKind;
    sensors_subfeature_type inputs[2];
};

const Wanted *wantedFor(sensors_feature_type type)
{
    static const Wanted temperature{FeatureKind::Temperature, Kind::Temperature,
                                    {SENSORS_SUBFEATURE_TEMP_INPUT, SENSORS_SUBFEATURE_TEMP_INPUT}};
    static const Wanted fan{FeatureKind::Fan, Kind::Fan, {SENSORS_SUBFEATURE_FAN_INPUT, SENSORS_SUBFEATURE_FAN_INPUT}};
    static const Wanted power{FeatureKind::Power, Kind::Power,
                              {SENSORS_SUBFEATURE_POWER_AVERAGE, SENSORS_SUBFEATURE_POWER_INPUT}};
    switch (type) {
    case SENSORS_FEATURE_TEMP:
        return &temperature;
    case SENSORS_FEATURE_FAN:
        return &fan;
    case SENSORS_FEATURE_POWER:
        return &power;
    default:
        return nullptr;
    }
}

std::string driverLabel(const LibSensors::Chip &chip, const sensors_feature *feature)
{
    const auto text = readText(chip.path + "/" + feature->name + "_label", 256);
    return text ? std::string(trimmed(*text)) : std::string();
}

} // namespace

LibSensors::LibSensors()
{
    const char *configPath = std::getenv("KESTRUN_SENSORS_CONFIG");
    if (configPath && *configPath) {
        const std::unique_ptr<FILE, FileCloser> config(std::fopen(configPath, "re"));
        ready_ = config && initialise(config.get());
    } else {
        ready_ = initialise(nullptr);
    }
    if (!ready_) {
        // An empty configuration: every chip, no labels from the broken file.
        const std::unique_ptr<FILE, FileCloser> empty(std::tmpfile());
        ready_ = empty && initialise(empty.get());
    }
    if (!ready_)
        return;
    int number = 0;
    while (const sensors_chip_name *name = sensors_get_detected_chips(nullptr, &number)) {
        char title[128] = {};
        if (sensors_snprintf_chip_name(title, sizeof title, name) < 0)
            title[0] = '\0';
        const std::string prefix = name->prefix ? name->prefix : "";
        chips_.push_back(Chip{name, prefix, title, name->path ? name->path : "", classifyChip(prefix), name->addr});
    }
    std::stable_sort(chips_.begin(), chips_.end(), registeredBefore);
}

LibSensors::~LibSensors()
{
    if (ready_)
        sensors_cleanup();
}

std::vector<ChipReading> chipReadings(const LibSensors::Chip &chip)
{
    struct Feature {
        const sensors_feature *feature;
        std::string driverLabel;
    };
    std::vector<Feature> features;
    LabelContext context;
    int number = 0;
    while (const sensors_feature *feature = sensors_get_features(chip.name, &number)) {
        const bool voltage = feature->type == SENSORS_FEATURE_IN;
        if (!voltage && !wantedFor(feature->type))
            continue;
        std::string label = driverLabel(chip, feature);
        if (feature->type == SENSORS_FEATURE_TEMP && label == "Tdie")
            context.chipHasTdie = true;
        // An APU's graphics report the north bridge rail beside their own.
        if (voltage && chip.role == ChipRole::AmdGpu && label == "vddnb")
            context.amdGpuIsApu = true;
        if (!voltage)
            features.push_back(Feature{feature, std::move(label)});
    }

    std::vector<ChipReading> readings;
    for (const Feature &entry : features) {
        const sensors_feature *feature = entry.feature;
        const Wanted *wanted = wantedFor(feature->type);
        const sensors_subfeature *input = sensors_get_subfeature(chip.name, feature, wanted->inputs[0]);
        if (!input)
            input = sensors_get_subfeature(chip.name, feature, wanted->inputs[1]);
        if (!input || !(input->flags & SENSORS_MODE_R))
            continue;
        const std::unique_ptr<char, FreeDeleter> shown(sensors_get_label(chip.name, feature));
        FeatureFacts facts;
        facts.chipPrefix = chip.prefix;
        facts.role = chip.role;
        facts.kind = wanted->kind;
        facts.number = featureNumber(feature->name);
        facts.driverLabel = entry.driverLabel;
        facts.shownLabel = shown ? std::string_view(shown.get()) : std::string_view(feature->name);
        facts.featureName = feature->name;
        const sensors_chip_name *name = chip.name;
        const int subfeature = input->number;
        const bool fan = wanted->kind == FeatureKind::Fan;
        readings.push_back(ChipReading{wanted->readingKind, entry.driverLabel, readingLabel(facts, context),
                                       [name, subfeature, fan]() -> std::optional<double> {
                                           double value = 0;
                                           if (sensors_get_value(name, subfeature, &value) != 0)
                                               return std::nullopt;
                                           return fan ? fanSpeed(value) : std::optional<double>(value);
                                       }});
    }
    return readings;
}

void addChipReadings(Sensor &sensor, const LibSensors::Chip &chip)
{
    for (ChipReading &reading : chipReadings(chip))
        sensor.add(reading.kind, std::move(reading.label), std::move(reading.source));
}

} // namespace sensorsdk
