#pragma once

// Why a figure of the window has no source on a machine, told from a few facts about the machine,
// with what the user can do about it. Pure and Qt-free: the facts come from
// kestrun::platform::probeMachineFacts, and both the program and kestrun-sensors use this.

#include "hardware/sensormatch.h"
#include "hardware/sensorsnapshot.h"

#include <bitset>
#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

// The figures the window and the display show.
enum class Figure {
    CpuTemperature,
    CpuUsage,
    CpuClock,
    CpuPower,
    CpuFan,
    GpuTemperature,
    GpuUsage,
    GpuClock,
    GpuPower,
    GpuFan
};

struct ShownFigure {
    Figure figure;
    const char *name; // as a user calls it: "CPU temperature"
    float SensorSnapshot::*field;
};

inline constexpr ShownFigure kShownFigures[] = {
    {Figure::CpuTemperature, "CPU temperature", &SensorSnapshot::cpuTemperature},
    {Figure::CpuUsage, "CPU usage", &SensorSnapshot::cpuUsage},
    {Figure::CpuClock, "CPU clock", &SensorSnapshot::cpuClock},
    {Figure::CpuPower, "CPU power", &SensorSnapshot::cpuPower},
    {Figure::CpuFan, "CPU fan", &SensorSnapshot::cpuFan},
    {Figure::GpuTemperature, "GPU temperature", &SensorSnapshot::gpuTemperature},
    {Figure::GpuUsage, "GPU usage", &SensorSnapshot::gpuUsage},
    {Figure::GpuClock, "GPU clock", &SensorSnapshot::gpuClock},
    {Figure::GpuPower, "GPU power", &SensorSnapshot::gpuPower},
    {Figure::GpuFan, "GPU fan", &SensorSnapshot::gpuFan},
};

const char *figureName(Figure figure);

// A set of shown figures, one bit per Figure.
using FigureSet = std::bitset<std::size(kShownFigures)>;

inline bool contains(const FigureSet &set, Figure figure)
{
    return set.test(static_cast<std::size_t>(figure));
}

// The shown figures without a reading in a cycle: no value was stored and no reading of the walk had
// a label for them. A figure whose source reads below 1.0 (a stopped fan, an idle GPU) has a reading:
// 0.
FigureSet figuresWithoutReading(const SensorSnapshot &values, const SensorSourceSeen &seen);

// The shown figures for which no reading of a walk had a label that fills them, in the order above.
std::vector<Figure> figuresWithoutSource(const SensorSourceSeen &seen);

enum class EnergyCounter { Absent, RootOnly, Readable };

// A PCI display adapter.
struct DisplayAdapter {
    unsigned vendor = 0;     // PCI vendor ID
    std::string driver;      // the kernel driver bound to it; empty when none is
    bool integrated = false; // on PCI bus 0: part of the processor or chipset
    bool asleep = false;     // suspended by runtime power management
};

// What a machine shows about where its figures could come from.
struct MachineFacts {
    // The figures come from Kestrun's own sensor library (Linux) or the vendor SDK (Windows).
    enum class Source { SensorLibrary, VendorSdk };
    Source source = Source::SensorLibrary;

    std::string cpuVendor;       // vendor_id of /proc/cpuinfo ("GenuineIntel", "AuthenticAMD", ...)
    int cpuFamily = -1;          // its "cpu family" (decimal), -1 when not known
    bool hypervisorFlag = false; // the processor says it runs under a hypervisor
    std::string dmiVendor;       // DMI sys_vendor
    std::string dmiProduct;      // DMI product_name
    int chassisType = 0;         // DMI chassis type, 0 when not known

    std::vector<std::string> hwmonChips; // the names of the hwmon chips
    bool anyFanInput = false;            // some chip has a fan input

    EnergyCounter packageEnergy = EnergyCounter::Absent; // RAPL zone "package-0"
    EnergyCounter uncoreEnergy = EnergyCounter::Absent;  // RAPL zone "uncore" (integrated graphics)

    std::vector<DisplayAdapter> displays;
    bool nvmlLoadable = false; // libnvidia-ml.so.1 can be loaded (only looked at with an NVIDIA card)
};

struct FigureReason {
    Figure figure;
    std::string reason; // why, for a user, without a closing full stop
    std::string remedy; // what to do, in whole sentences; empty when nothing can be done
    // The figure is measured between two samples and there was only one: it shows from the next
    // sample on, so nothing is wrong.
    bool pending = false;
};

// One reason for each figure of missing, in that order. sdkStatus is how the sensor SDK started:
// 0 ready, -111 library or an entry point missing, anything else the code its start failed with.
// oneSample is set when the readings are the first sample since the SDK started.
std::vector<FigureReason> explainMissingFigures(const std::vector<Figure> &missing, const MachineFacts &facts,
                                                int sdkStatus, bool oneSample);

// Reason and remedy as one line: "<reason>. <remedy>".
std::string reasonText(const FigureReason &reason);
