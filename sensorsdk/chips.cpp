#include "chips.h"

#include "parse.h"
#include "sensorsconfig.h"
#include "sysfs.h"

#include <sensors/sensors.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
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

// Configuration texts are small; lm-sensors' own is some twenty kilobytes.
constexpr std::size_t kConfigLimit = std::size_t{1024} * 1024;

// The features the configuration files compute; nothing where one of them cannot be read here
// (as libsensors did read it, every feature may be computed).
std::optional<std::vector<std::string>> computedFeaturesOf(const std::vector<std::string> &files)
{
    std::vector<std::string> features;
    for (const std::string &file : files) {
        const auto text = readText(file, kConfigLimit);
        if (!text)
            return std::nullopt;
        for (std::string &feature : computedFeatures(*text)) {
            if (std::find(features.begin(), features.end(), feature) == features.end())
                features.push_back(std::move(feature));
        }
    }
    return features;
}

// The files sensors_init(nullptr) reads: /etc/sensors3.conf (or the older /etc/sensors.conf where
// it is missing) and those in /etc/sensors.d.
std::vector<std::string> systemConfigurationFiles()
{
    std::vector<std::string> files;
    if (exists("/etc/sensors3.conf"))
        files.push_back("/etc/sensors3.conf");
    else if (exists("/etc/sensors.conf"))
        files.push_back("/etc/sensors.conf");
    for (const std::string &name : folderEntries("/etc/sensors.d"))
        files.push_back("/etc/sensors.d/" + name);
    return files;
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

// How libsensors scales a raw sysfs value of the kind: millidegrees, RPM, microwatts.
double rawScale(FeatureKind kind)
{
    switch (kind) {
    case FeatureKind::Temperature:
        return 1000;
    case FeatureKind::Fan:
        return 1;
    case FeatureKind::Power:
        return 1000000;
    }
    return 1;
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
    static const Wanted temperature{
        FeatureKind::Temperature, Kind::Temperature, {SENSORS_SUBFEATURE_TEMP_INPUT, SENSORS_SUBFEATURE_TEMP_INPUT}};
    static const Wanted fan{FeatureKind::Fan, Kind::Fan, {SENSORS_SUBFEATURE_FAN_INPUT, SENSORS_SUBFEATURE_FAN_INPUT}};
    static const Wanted power{
        FeatureKind::Power, Kind::Power, {SENSORS_SUBFEATURE_POWER_AVERAGE, SENSORS_SUBFEATURE_POWER_INPUT}};
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

// A reading's value each sample. Where the configuration computes the feature, libsensors reads it
// and applies the computation; otherwise the library reads the raw file itself, kept open, and
// scales it as libsensors does, to the same value without a path lookup, open and close each time.
Source chipValue(const LibSensors &sensors, const LibSensors::Chip &chip, const sensors_feature *feature,
                 const sensors_subfeature *input, FeatureKind kind)
{
    const bool fan = kind == FeatureKind::Fan;
    if (sensors.computes(feature->name)) {
        const sensors_chip_name *name = chip.name;
        const int subfeature = input->number;
        return [name, subfeature, fan]() -> std::optional<double> {
            double value = 0;
            if (sensors_get_value(name, subfeature, &value) != 0)
                return std::nullopt;
            return fan ? fanSpeed(value) : std::optional<double>(value);
        };
    }
    const double scale = rawScale(kind);
    return [file = std::make_shared<KeptFile>(chip.path + "/" + input->name), scale, fan]() -> std::optional<double> {
        const std::optional<double> raw = file->decimal();
        if (!raw)
            return std::nullopt;
        const double value = *raw / scale;
        return fan ? fanSpeed(value) : std::optional<double>(value);
    };
}

} // namespace

LibSensors::LibSensors()
{
    const char *configPath = std::getenv("KESTRUN_SENSORS_CONFIG");
    if (configPath && *configPath) {
        const std::unique_ptr<FILE, FileCloser> config(std::fopen(configPath, "re"));
        ready = config && initialise(config.get());
        if (ready)
            computed = computedFeaturesOf({configPath});
    } else {
        ready = initialise(nullptr);
        if (ready)
            computed = computedFeaturesOf(systemConfigurationFiles());
    }
    if (!ready) {
        // An empty configuration: every chip, no labels from the broken file.
        const std::unique_ptr<FILE, FileCloser> empty(std::tmpfile());
        ready = empty && initialise(empty.get());
    }
    if (!ready)
        return;
    int number = 0;
    while (const sensors_chip_name *name = sensors_get_detected_chips(nullptr, &number)) {
        char title[128] = {};
        if (sensors_snprintf_chip_name(title, sizeof title, name) < 0)
            title[0] = '\0';
        const std::string prefix = name->prefix ? name->prefix : "";
        detected.push_back(Chip{name, prefix, title, name->path ? name->path : "", classifyChip(prefix), name->addr});
    }
    std::stable_sort(detected.begin(), detected.end(), registeredBefore);
}

bool LibSensors::computes(std::string_view feature) const
{
    return !computed || std::find(computed->begin(), computed->end(), feature) != computed->end();
}

LibSensors::~LibSensors()
{
    if (ready)
        sensors_cleanup();
}

std::vector<ChipReading> chipReadings(const LibSensors &sensors, const LibSensors::Chip &chip)
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
        readings.push_back(ChipReading{wanted->readingKind, entry.driverLabel, readingLabel(facts, context),
                                       chipValue(sensors, chip, feature, input, wanted->kind)});
    }
    return readings;
}

void addChipReadings(Sensor &sensor, const LibSensors &sensors, const LibSensors::Chip &chip)
{
    for (ChipReading &reading : chipReadings(sensors, chip))
        sensor.add(reading.kind, std::move(reading.label), std::move(reading.source));
}

} // namespace sensorsdk
