#include "machine.h"

#include "chips.h"
#include "nvml.h"
#include "parse.h"
#include "rates.h"
#include "sysfs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace sensorsdk {

struct Machine::Libraries {
    LibSensors sensors;
    std::shared_ptr<Nvml> nvml = Nvml::open();
};

namespace {

const std::string kPowercap = "/sys/class/powercap";

// /proc/cpuinfo of the largest machines stays well below this.
constexpr std::size_t kCpuinfoLimit = std::size_t(4) * 1024 * 1024;

// The powercap zone (intel-rapl:0, intel-rapl:0:1, ...) whose name is the given one.
std::string raplZone(const std::string &zoneName)
{
    for (const std::string &zone : folderEntries(kPowercap)) {
        std::string folder = kPowercap + "/" + zone;
        const auto name = readText(folder + "/name", 64);
        if (name && trimmed(*name) == zoneName && exists(folder + "/energy_uj"))
            return folder;
    }
    return {};
}

void addEnergyPower(Sensor &sensor, const std::string &label, const std::string &energyPath,
                    const std::string &maxRangePath)
{
    sensor.add(Kind::Power, label, EnergyRate(energyPath, maxRangePath));
}

// The CPU: package temperature from its hwmon chips, a clock per core, total usage, package power.
class CpuSensor : public Sensor
{
public:
    explicit CpuSensor(const std::string &cpuinfoText)
        : Sensor(cpuName(cpuinfoText))
    {
        addCoreClocks(parseCpuinfo(cpuinfoText));
        add(Kind::Usage, "Total CPU Usage", [this] { return usage; });
        const std::string package = raplZone("package-0");
        if (!package.empty())
            addEnergyPower(*this, "CPU Package Power", package + "/energy_uj", package + "/max_energy_range_uj");
    }

protected:
    void beginSample() override
    {
        usage = usageCounter.sample();
        if (!cpuinfo)
            return;
        cpuinfoMhz.clear();
        if (const auto text = cpuinfo->whole(kCpuinfoLimit)) {
            for (const CpuinfoProcessor &processor : parseCpuinfo(*text)) {
                if (processor.mhz)
                    cpuinfoMhz[processor.processor] = *processor.mhz;
            }
        }
    }

private:
    static std::string cpuName(const std::string &cpuinfo)
    {
        const std::string model = parseCpuModel(cpuinfo);
        return model.empty() ? std::string("CPU") : "CPU: " + model;
    }

    // One clock per physical core, read from the core's first logical processor; processors
    // without topology ids count as a core each.
    void addCoreClocks(const std::vector<CpuinfoProcessor> &processors)
    {
        std::vector<std::pair<int, int>> seenCores;
        int core = 0;
        for (const CpuinfoProcessor &processor : processors) {
            if (processor.physicalId >= 0 && processor.coreId >= 0) {
                const std::pair<int, int> id(processor.physicalId, processor.coreId);
                if (std::find(seenCores.begin(), seenCores.end(), id) != seenCores.end())
                    continue;
                seenCores.push_back(id);
            }
            const std::string label = "Core " + std::to_string(core++) + " Clock";
            const std::string cpufreq =
                "/sys/devices/system/cpu/cpu" + std::to_string(processor.processor) + "/cpufreq/scaling_cur_freq";
            if (exists(cpufreq)) {
                add(Kind::Clock, label, [file = std::make_shared<KeptFile>(cpufreq)]() -> std::optional<double> {
                    const auto kilohertz = file->integer();
                    if (!kilohertz)
                        return std::nullopt;
                    return double(*kilohertz) / 1000.0;
                });
                continue;
            }
            if (!cpuinfo)
                cpuinfo = std::make_unique<KeptFile>("/proc/cpuinfo");
            const int number = processor.processor;
            add(Kind::Clock, label, [this, number]() -> std::optional<double> {
                const auto found = cpuinfoMhz.find(number);
                if (found == cpuinfoMhz.end())
                    return std::nullopt;
                return found->second;
            });
        }
    }

    CpuUsage usageCounter;
    std::optional<double> usage;
    std::unique_ptr<KeptFile> cpuinfo; // only where a core's clock has no cpufreq
    std::map<int, double> cpuinfoMhz;
};

// A scaled sysfs integer: value / divisor.
Source sysfsValue(const std::string &path, double divisor)
{
    return [file = std::make_shared<KeptFile>(path), divisor]() -> std::optional<double> {
        const auto raw = file->integer();
        if (!raw)
            return std::nullopt;
        return double(*raw) / divisor;
    };
}

struct Gpu {
    PciAddress address;
    std::unique_ptr<Sensor> sensor;
};

// The drm card folder (…/device/drm/cardN) of a PCI device, or empty.
std::string drmCard(const std::string &deviceFolder)
{
    for (const std::string &entry : folderEntries(deviceFolder + "/drm")) {
        if (entry.rfind("card", 0) == 0 && entry.find('-') == std::string::npos)
            return deviceFolder + "/drm/" + entry;
    }
    return {};
}

void addIntelClock(Sensor &sensor, const std::string &deviceFolder)
{
    const std::string card = drmCard(deviceFolder);
    if (card.empty())
        return;
    const std::string i915 = card + "/gt_act_freq_mhz";
    const std::string xe = deviceFolder + "/tile0/gt0/freq0/act_freq";
    if (exists(i915))
        sensor.add(Kind::Clock, "GPU Clock", sysfsValue(i915, 1));
    else if (exists(xe))
        sensor.add(Kind::Clock, "GPU Clock", sysfsValue(xe, 1));
}

// A GPU sensor with the readings of the card's hwmon chip; named by its PCI address.
Gpu gpuFromChip(const LibSensors &sensors, const LibSensors::Chip &chip, const std::string &title)
{
    const std::string pci = linkTargetName(chip.path + "/device");
    Gpu gpu{parsePciAddress(pci).value_or(PciAddress{}), std::make_unique<Sensor>("GPU: " + title + " [" + pci + "]")};
    addChipReadings(*gpu.sensor, sensors, chip);
    return gpu;
}

Gpu amdGpu(const LibSensors &sensors, const LibSensors::Chip &chip)
{
    Gpu gpu = gpuFromChip(sensors, chip, "AMD Radeon");
    Sensor &sensor = *gpu.sensor;
    // libsensors leaves the clocks out; freq1 is the shader clock, freq2 the video memory's.
    if (exists(chip.path + "/freq1_input"))
        sensor.add(Kind::Clock, "GPU Clock", sysfsValue(chip.path + "/freq1_input", 1e6));
    if (exists(chip.path + "/freq2_input"))
        sensor.add(Kind::Clock, "GPU Memory Clock", sysfsValue(chip.path + "/freq2_input", 1e6));
    const std::string busy = chip.path + "/device/gpu_busy_percent";
    if (exists(busy))
        sensor.add(Kind::Usage, "GPU Core Load", sysfsValue(busy, 1));
    return gpu;
}

Gpu intelGpuWithHwmon(const LibSensors &sensors, const LibSensors::Chip &chip)
{
    Gpu gpu = gpuFromChip(sensors, chip, "Intel Graphics");
    Sensor &sensor = *gpu.sensor;
    if (sensor.count(Kind::Power) == 0 && exists(chip.path + "/energy1_input"))
        addEnergyPower(sensor, "GPU Power (Total)", chip.path + "/energy1_input", std::string());
    addIntelClock(sensor, chip.path + "/device");
    return gpu;
}

// Intel graphics without a hwmon chip (integrated parts): the clock from drm, and the power of the
// package's graphics plane from RAPL when the GPU is the integrated one.
void addIntegratedIntelGpus(std::vector<Gpu> &gpus)
{
    const std::string drm = "/sys/class/drm";
    for (const std::string &card : folderEntries(drm)) {
        if (card.rfind("card", 0) != 0 || card.find('-') != std::string::npos)
            continue;
        const std::string device = drm + "/" + card + "/device";
        const auto vendor = readText(device + "/vendor", 32);
        if (!vendor || trimmed(*vendor) != "0x8086")
            continue;
        const std::string pci = linkTargetName(device);
        const auto address = parsePciAddress(pci);
        if (!address)
            continue;
        const bool known = std::any_of(gpus.begin(), gpus.end(), [&](const Gpu &gpu) {
            return !(gpu.address < *address) && !(*address < gpu.address);
        });
        if (known)
            continue;
        Gpu gpu{*address, std::make_unique<Sensor>("GPU: Intel Graphics [" + pci + "]")};
        addIntelClock(*gpu.sensor, device);
        const std::string uncore = raplZone("uncore");
        if (address->bus == 0 && !uncore.empty())
            addEnergyPower(*gpu.sensor, "IGPU Power", uncore + "/energy_uj", uncore + "/max_energy_range_uj");
        gpus.push_back(std::move(gpu));
    }
}

// An NVIDIA GPU through NVML. A card the kernel has put to sleep (runtime power management, as
// on hybrid-graphics laptops) is not queried: NVML would wake it every second. Its readings are
// absent while it sleeps.
class NvidiaSensor : public Sensor
{
public:
    NvidiaSensor(std::shared_ptr<Nvml> library, const Nvml::Device &gpu)
        : Sensor("GPU: " + (gpu.name.empty() ? std::string("NVIDIA") : gpu.name))
        , nvml(std::move(library))
        , device(gpu)
    {
        // Without runtime power management the card never sleeps: nothing to look at each second.
        const std::string statusPath = runtimeStatusPath(device.address);
        if (exists(statusPath))
            powerState = std::make_unique<KeptFile>(statusPath);
        addQuery(Kind::Temperature, "GPU Temperature", &Nvml::temperature);
        addQuery(Kind::Power, "GPU Power (Total)", &Nvml::power);
        addQuery(Kind::Clock, "GPU Clock", &Nvml::graphicsClock);
        addQuery(Kind::Usage, "GPU Core Load", &Nvml::utilisation);
        // NVML's plain fan figure is a duty percentage, not a speed: only a driver that reports
        // RPM gives a fan reading.
        if (nvml->hasFanRpm())
            addQuery(Kind::Fan, "GPU Fan", &Nvml::fanRpm);
    }

protected:
    void beginSample() override
    {
        const auto status = powerState ? powerState->head(64) : std::nullopt;
        asleep = status && trimmed(*status) == "suspended";
    }

private:
    using Query = std::optional<double> (Nvml::*)(const Nvml::Device &) const;

    static std::string runtimeStatusPath(const PciAddress &address)
    {
        char name[64];
        std::snprintf(name, sizeof name, "%04llx:%02x:%02x.%x", address.domain, address.bus, address.device,
                      address.function);
        return std::string("/sys/bus/pci/devices/") + name + "/power/runtime_status";
    }

    void addQuery(Kind kind, const char *label, Query query)
    {
        add(kind, label, [this, query]() -> std::optional<double> {
            if (asleep)
                return std::nullopt;
            return (nvml.get()->*query)(device);
        });
    }

    std::shared_ptr<Nvml> nvml;
    Nvml::Device device;
    std::unique_ptr<KeptFile> powerState;
    bool asleep = false;
};

void addNvidiaGpus(std::vector<Gpu> &gpus, const std::shared_ptr<Nvml> &nvml)
{
    if (!nvml)
        return;
    for (const Nvml::Device &device : nvml->devices())
        gpus.push_back(Gpu{device.address, std::make_unique<NvidiaSensor>(nvml, device)});
}

// The hottest of a group of temperature readings, from the values they gave in the same sample:
// each member notes its value as it is sampled, and the hottest reading, added to the sensor after
// all its members, takes the largest of them.
class Hottest
{
public:
    Source member(Source source)
    {
        const std::size_t index = values->size();
        values->emplace_back();
        return [values = values, index, source = std::move(source)]() {
            std::optional<double> value = source();
            (*values)[index] = value;
            return value;
        };
    }

    bool empty() const { return values->empty(); }

    Source reading() const
    {
        return [values = values]() {
            std::optional<double> hottest;
            for (const std::optional<double> &value : *values) {
                if (value && std::isfinite(*value) && (!hottest || *value > *hottest))
                    hottest = value;
            }
            return hottest;
        };
    }

private:
    std::shared_ptr<std::vector<std::optional<double>>> values = std::make_shared<std::vector<std::optional<double>>>();
};

// The chips whose temperatures are the processor's cores when it has no reading of its own for
// the whole processor: coretemp without a package reading (its first package), k8temp (its first
// processor), via_cputemp (a chip per core).
bool isCoreChip(const LibSensors::Chip &chip, const std::vector<ChipReading> &readings, int firstAddress)
{
    if (chip.prefix == "via_cputemp")
        return true;
    if (chip.address != firstAddress)
        return false;
    if (chip.prefix == "k8temp")
        return true;
    return chip.prefix == "coretemp" && std::none_of(readings.begin(), readings.end(), [](const ChipReading &reading) {
               return isCoretempPackageLabel(reading.driverLabel);
           });
}

// The processor's chips folded into the CPU sensor. Where they read only cores, the hottest core
// is the processor's temperature.
void addProcessorChips(Sensor &cpu, const LibSensors &sensors)
{
    const std::vector<LibSensors::Chip> &chips = sensors.chips();
    std::map<std::string, int> firstAddress;
    for (const LibSensors::Chip &chip : chips) {
        if (chip.role != ChipRole::Cpu)
            continue;
        const auto known = firstAddress.find(chip.prefix);
        if (known == firstAddress.end() || chip.address < known->second)
            firstAddress[chip.prefix] = chip.address;
    }
    Hottest hottest;
    for (const LibSensors::Chip &chip : chips) {
        if (chip.role != ChipRole::Cpu)
            continue;
        std::vector<ChipReading> readings = chipReadings(sensors, chip);
        const bool cores = isCoreChip(chip, readings, firstAddress[chip.prefix]);
        for (ChipReading &reading : readings) {
            Source source = std::move(reading.source);
            if (cores && reading.kind == Kind::Temperature)
                source = hottest.member(std::move(source));
            cpu.add(reading.kind, std::move(reading.label), std::move(source));
        }
    }
    if (!hottest.empty())
        cpu.add(Kind::Temperature, "CPU Temperature", hottest.reading());
}

} // namespace

std::unique_ptr<Machine> Machine::scan(int maxSensors)
{
    std::unique_ptr<Machine> machine(new Machine);
    machine->libraries = std::make_unique<Libraries>();
    const LibSensors &libsensors = machine->libraries->sensors;
    const auto &chips = libsensors.chips();
    auto &sensors = machine->sensors;

    const auto cpuinfo = readText("/proc/cpuinfo", kCpuinfoLimit);
    auto cpu = std::make_unique<CpuSensor>(cpuinfo.value_or(std::string()));
    addProcessorChips(*cpu, libsensors);
    sensors.push_back(std::move(cpu));

    for (const LibSensors::Chip &chip : chips) {
        if (chip.role != ChipRole::Board)
            continue;
        auto board = std::make_unique<Sensor>(chip.title);
        addChipReadings(*board, libsensors, chip);
        sensors.push_back(std::move(board));
    }

    std::vector<Gpu> gpus;
    for (const LibSensors::Chip &chip : chips) {
        if (chip.role == ChipRole::AmdGpu)
            gpus.push_back(amdGpu(libsensors, chip));
        else if (chip.role == ChipRole::IntelGpu)
            gpus.push_back(intelGpuWithHwmon(libsensors, chip));
        else if (chip.role == ChipRole::OtherGpu)
            gpus.push_back(gpuFromChip(libsensors, chip, chip.prefix));
    }
    addIntegratedIntelGpus(gpus);
    addNvidiaGpus(gpus, machine->libraries->nvml);
    std::stable_sort(gpus.begin(), gpus.end(), [](const Gpu &a, const Gpu &b) { return a.address < b.address; });
    for (Gpu &gpu : gpus)
        sensors.push_back(std::move(gpu.sensor));

    for (const LibSensors::Chip &chip : chips) {
        if (chip.role != ChipRole::Other)
            continue;
        auto other = std::make_unique<Sensor>(chip.title);
        addChipReadings(*other, libsensors, chip);
        if (other->count(Kind::Temperature) + other->count(Kind::Fan) + other->count(Kind::Power) > 0)
            sensors.push_back(std::move(other));
    }

    if (static_cast<int>(sensors.size()) > maxSensors)
        sensors.resize(static_cast<std::size_t>(std::max(maxSensors, 0)));
    return machine;
}

Machine::~Machine() = default;

} // namespace sensorsdk
