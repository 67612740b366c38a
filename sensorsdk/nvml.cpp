#include "nvml.h"

#include <dlfcn.h>

namespace sensorsdk {

namespace {

// The few NVML types and constants this file uses, as the library's C interface defines them.
using nvmlReturn = int;
using nvmlDevice = void *;
constexpr nvmlReturn kSuccess = 0;
constexpr int kTemperatureGpu = 0;
constexpr int kClockGraphics = 0;

struct nvmlUtilization {
    unsigned int gpu;
    unsigned int memory;
};

struct nvmlPciInfo {
    char busIdLegacy[16];
    unsigned int domain;
    unsigned int bus;
    unsigned int device;
    unsigned int pciDeviceId;
    unsigned int pciSubSystemId;
    char busId[32];
    char spare[64]; // room in case a driver's structure has grown
};

struct nvmlFanSpeedInfo {
    unsigned int version;
    unsigned int fan;
    unsigned int speed;
};
// Versioned structures carry their size and version number in one word.
constexpr unsigned int kFanSpeedInfoVersion = sizeof(nvmlFanSpeedInfo) | (1U << 24);

} // namespace

struct Nvml::Api {
    nvmlReturn (*init)();
    nvmlReturn (*shutdown)();
    nvmlReturn (*count)(unsigned int *);
    nvmlReturn (*handleByIndex)(unsigned int, nvmlDevice *);
    nvmlReturn (*pciInfo)(nvmlDevice, nvmlPciInfo *);
    nvmlReturn (*name)(nvmlDevice, char *, unsigned int);
    nvmlReturn (*temperature)(nvmlDevice, int, unsigned int *);
    nvmlReturn (*utilisation)(nvmlDevice, nvmlUtilization *);
    nvmlReturn (*clock)(nvmlDevice, int, unsigned int *);
    nvmlReturn (*power)(nvmlDevice, unsigned int *);
    nvmlReturn (*fanRpm)(nvmlDevice, nvmlFanSpeedInfo *); // newer drivers only
};

namespace {

template <typename F>
bool bind(void *library, const char *symbol, F &function)
{
    function = reinterpret_cast<F>(::dlsym(library, symbol));
    return function != nullptr;
}

} // namespace

std::shared_ptr<Nvml> Nvml::open()
{
    void *library = ::dlopen("libnvidia-ml.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    auto api = std::make_unique<Api>();
    const bool complete =
        bind(library, "nvmlInit_v2", api->init) && bind(library, "nvmlShutdown", api->shutdown)
        && bind(library, "nvmlDeviceGetCount_v2", api->count)
        && bind(library, "nvmlDeviceGetHandleByIndex_v2", api->handleByIndex)
        && bind(library, "nvmlDeviceGetPciInfo_v3", api->pciInfo) && bind(library, "nvmlDeviceGetName", api->name)
        && bind(library, "nvmlDeviceGetTemperature", api->temperature)
        && bind(library, "nvmlDeviceGetUtilizationRates", api->utilisation)
        && bind(library, "nvmlDeviceGetClockInfo", api->clock) && bind(library, "nvmlDeviceGetPowerUsage", api->power);
    bind(library, "nvmlDeviceGetFanSpeedRPM", api->fanRpm);
    if (!complete || api->init() != kSuccess) {
        ::dlclose(library);
        return nullptr;
    }
    std::shared_ptr<Nvml> nvml(new Nvml(library, std::move(api)));
    unsigned int count = 0;
    if (nvml->api->count(&count) != kSuccess)
        count = 0;
    for (unsigned int i = 0; i < count && i < 64; ++i) {
        Device device;
        if (nvml->api->handleByIndex(i, &device.handle) != kSuccess)
            continue;
        nvmlPciInfo pci{};
        if (nvml->api->pciInfo(device.handle, &pci) == kSuccess)
            device.address = PciAddress{pci.domain, pci.bus & 0xffU, pci.device & 0x1fU, 0};
        char name[96] = {};
        if (nvml->api->name(device.handle, name, sizeof name - 1) == kSuccess)
            device.name = name;
        nvml->gpus.push_back(device);
    }
    return nvml;
}

Nvml::Nvml(void *handle, std::unique_ptr<Api> functions)
    : library(handle)
    , api(std::move(functions))
{
}

Nvml::~Nvml()
{
    api->shutdown();
    ::dlclose(library);
}

namespace {

// The NVML queries that answer one unsigned number for a device and a selector.
std::optional<double> unsignedQuery(nvmlReturn (*query)(nvmlDevice, int, unsigned int *), nvmlDevice device,
                                    int selector)
{
    unsigned int value = 0;
    if (query(device, selector, &value) != kSuccess)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> Nvml::temperature(const Device &device) const
{
    return unsignedQuery(api->temperature, device.handle, kTemperatureGpu);
}

std::optional<double> Nvml::utilisation(const Device &device) const
{
    nvmlUtilization value{};
    if (api->utilisation(device.handle, &value) != kSuccess || value.gpu > 100)
        return std::nullopt;
    return value.gpu;
}

std::optional<double> Nvml::graphicsClock(const Device &device) const
{
    return unsignedQuery(api->clock, device.handle, kClockGraphics);
}

std::optional<double> Nvml::power(const Device &device) const
{
    unsigned int milliwatts = 0;
    if (api->power(device.handle, &milliwatts) != kSuccess)
        return std::nullopt;
    return milliwatts / 1000.0;
}

bool Nvml::hasFanRpm() const
{
    return api->fanRpm != nullptr;
}

std::optional<double> Nvml::fanRpm(const Device &device) const
{
    if (!api->fanRpm)
        return std::nullopt;
    nvmlFanSpeedInfo info{};
    info.version = kFanSpeedInfoVersion;
    info.fan = 0;
    if (api->fanRpm(device.handle, &info) != kSuccess)
        return std::nullopt;
    return info.speed;
}

} // namespace sensorsdk
