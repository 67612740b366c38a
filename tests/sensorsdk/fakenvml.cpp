// A stand-in for libnvidia-ml.so.1 with the handful of functions the sensor library calls.

#include "fakenvml.h"

#include <cstring>

namespace {

constexpr int kSuccess = 0;
constexpr int kInvalidArgument = 2;
constexpr int kNotSupported = 3;
constexpr int kGpuIsLost = 15;
constexpr int kVersionMismatch = 25;
constexpr unsigned kMaxGpus = 4;

FakeNvmlGpu gpus[kMaxGpus];
unsigned long long memoryTotal[kMaxGpus];
unsigned gpuCount = 0;
int initResult = 0;
int sessions = 0;
int queries = 0;

struct PciInfo {
    char busIdLegacy[16];
    unsigned domain, bus, device, pciDeviceId, pciSubSystemId;
    char busId[32];
};

struct Memory {
    unsigned long long total, free, used;
};

struct FanSpeedInfo {
    unsigned version, fan, speed;
};

FakeNvmlGpu *gpuOf(void *handle)
{
    ++queries;
    for (unsigned i = 0; i < gpuCount; ++i) {
        if (handle == &gpus[i])
            return gpus[i].lost ? nullptr : &gpus[i];
    }
    return nullptr;
}

} // namespace

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

FAKE_EXPORT void fakeNvmlConfigure(int result, unsigned count, const FakeNvmlGpu *list)
{
    initResult = result;
    gpuCount = count < kMaxGpus ? count : kMaxGpus;
    for (unsigned i = 0; i < gpuCount; ++i) {
        gpus[i] = list[i];
        memoryTotal[i] = 0;
    }
}

FAKE_EXPORT void fakeNvmlSetMemory(unsigned index, unsigned long long totalBytes)
{
    if (index < gpuCount)
        memoryTotal[index] = totalBytes;
}

FAKE_EXPORT FakeNvmlGpu *fakeNvmlGpuAt(unsigned index)
{
    return index < gpuCount ? &gpus[index] : nullptr;
}

FAKE_EXPORT int fakeNvmlOpenSessions()
{
    return sessions;
}

FAKE_EXPORT int fakeNvmlQueries()
{
    return queries;
}

FAKE_EXPORT int nvmlInit_v2()
{
    if (initResult == kSuccess)
        ++sessions;
    return initResult;
}

FAKE_EXPORT int nvmlShutdown()
{
    --sessions;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetCount_v2(unsigned *count)
{
    *count = gpuCount;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetHandleByIndex_v2(unsigned index, void **device)
{
    if (index >= gpuCount)
        return kInvalidArgument;
    *device = &gpus[index];
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetPciInfo_v3(void *device, PciInfo *pci)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    std::memset(pci, 0, sizeof *pci);
    pci->domain = gpu->domain;
    pci->bus = gpu->bus;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetName(void *device, char *name, unsigned length)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu || length == 0)
        return gpu ? kInvalidArgument : kGpuIsLost;
    std::strncpy(name, gpu->name, length - 1);
    name[length - 1] = '\0';
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetTemperature(void *device, int sensor, unsigned *value)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    if (sensor != 0)
        return kInvalidArgument;
    *value = gpu->temperature;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetUtilizationRates(void *device, unsigned *rates)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    rates[0] = gpu->utilisation;
    rates[1] = 0;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetClockInfo(void *device, int type, unsigned *clock)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    if (type != 0)
        return kInvalidArgument;
    *clock = gpu->clock;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetPowerUsage(void *device, unsigned *milliwatts)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    *milliwatts = gpu->powerMilliwatts;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetFanSpeedRPM(void *device, FanSpeedInfo *info)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    if (info->version != (sizeof(FanSpeedInfo) | (1U << 24)))
        return kVersionMismatch;
    if (gpu->fanRpm == 0 || info->fan != 0)
        return kNotSupported;
    info->speed = gpu->fanRpm;
    return kSuccess;
}

FAKE_EXPORT int nvmlDeviceGetMemoryInfo(void *device, Memory *memory)
{
    const FakeNvmlGpu *gpu = gpuOf(device);
    if (!gpu)
        return kGpuIsLost;
    const unsigned long long total = memoryTotal[gpu - gpus];
    if (total == 0)
        return kNotSupported;
    *memory = Memory{total, total / 2, total - total / 2};
    return kSuccess;
}
