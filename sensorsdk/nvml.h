#pragma once

// NVIDIA GPUs through NVML, loaded at run time. A machine without the library or without an
// NVIDIA GPU simply has no NVML devices.

#include "parse.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sensorsdk {

class Nvml
{
public:
    // Loads libnvidia-ml.so.1 and initialises it; nothing when either fails.
    static std::shared_ptr<Nvml> open();
    ~Nvml();
    Nvml(const Nvml &) = delete;
    Nvml &operator=(const Nvml &) = delete;

    struct Device {
        void *handle = nullptr;
        PciAddress address;
        std::string name;
    };
    const std::vector<Device> &devices() const { return gpus; }

    std::optional<double> temperature(const Device &device) const;   // degrees Celsius
    std::optional<double> utilisation(const Device &device) const;   // percent
    std::optional<double> graphicsClock(const Device &device) const; // MHz
    std::optional<double> power(const Device &device) const;         // watts
    std::optional<double> fanRpm(const Device &device) const;        // RPM, where the driver tells
    bool hasFanRpm() const;

private:
    struct Api;
    Nvml(void *handle, std::unique_ptr<Api> functions);
    void *library;
    std::unique_ptr<Api> api;
    std::vector<Device> gpus;
};

} // namespace sensorsdk
