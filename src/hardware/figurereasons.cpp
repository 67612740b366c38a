#include "hardware/figurereasons.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace {

constexpr int kSdkMissing = -111;
constexpr unsigned kNvidia = 0x10de;
constexpr unsigned kAmd = 0x1002;
constexpr unsigned kIntel = 0x8086;

struct Verdict {
    std::string reason;
    std::string remedy;
    bool pending = false;
};

bool containsAny(const std::string &text, std::initializer_list<std::string_view> parts)
{
    return std::any_of(parts.begin(), parts.end(),
                       [&](std::string_view part) { return text.find(part) != std::string::npos; });
}

bool hasChip(const MachineFacts &facts, std::initializer_list<std::string_view> names)
{
    return std::any_of(facts.hwmonChips.begin(), facts.hwmonChips.end(), [&](const std::string &chip) {
        return std::find(names.begin(), names.end(), chip) != names.end();
    });
}

bool isVirtualMachine(const MachineFacts &facts)
{
    return facts.hypervisorFlag
           || containsAny(facts.dmiVendor, {"QEMU", "VMware", "innotek", "Xen", "Parallels", "Bochs", "BHYVE"})
           || containsAny(facts.dmiProduct,
                          {"KVM", "VirtualBox", "VMware", "Virtual Machine", "HVM domU", "Standard PC ("});
}

// DMI chassis types of portable machines: portable, laptop, notebook, hand held, sub notebook,
// tablet, convertible, detachable.
bool isLaptop(const MachineFacts &facts)
{
    for (int type : {8, 9, 10, 11, 14, 30, 31, 32}) {
        if (facts.chassisType == type)
            return true;
    }
    return false;
}

bool isGraphicsCard(const DisplayAdapter &display)
{
    return display.vendor == kNvidia || display.vendor == kAmd || display.vendor == kIntel;
}

std::string hex(unsigned value, const char *format)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string describeVirtualMachine(const MachineFacts &facts)
{
    std::string name = facts.dmiVendor;
    if (!facts.dmiProduct.empty())
        name += (name.empty() ? "" : " ") + facts.dmiProduct;
    return name.empty() ? "this is a virtual machine" : "this is a virtual machine (" + name + ")";
}

Verdict plain(const MachineFacts &facts)
{
    if (facts.source == MachineFacts::Source::VendorSdk)
        return {"the sensor SDK offers no reading with a label Kestrun looks for", ""};
    return {"no reading has a label Kestrun looks for",
            "Give the right reading such a label with a label line in lm-sensors' configuration "
            "(README: \"Pointing Kestrun at a reading\"); kestrun-sensors lists every reading."};
}

Verdict sdkFailure(const MachineFacts &facts, int sdkStatus)
{
    const bool vendor = facts.source == MachineFacts::Source::VendorSdk;
    if (sdkStatus == kSdkMissing) {
        if (vendor)
            return {"the sensor SDK HWiNFO32.dll could not be loaded, or lacks an entry point",
                    "Put HWiNFO32.dll beside kestrun.exe."};
        return {"the sensor library libsensorsdk.so could not be loaded, or lacks an entry point",
                "Keep libsensorsdk.so beside the kestrun executable, where the build and the install put it."};
    }
    return {std::string(vendor ? "the sensor SDK" : "the sensor library") + " did not start (error "
                + std::to_string(sdkStatus) + ")",
            ""};
}

Verdict virtualSensors(const MachineFacts &facts)
{
    return {
        describeVirtualMachine(facts)
            + ": the host does not pass its sensors to guests, so no temperature, fan or power reading is to be had",
        "Run Kestrun on the host to see these figures."};
}

Verdict pendingSample(const char *what)
{
    return {std::string(what) + " is measured between two samples, and there was only one",
            "It shows from the second sample on (kestrun-sensors takes two unless given --once).", true};
}

// The processor as the reasons name it: "this AMD processor (family 19h)".
std::string processor(const MachineFacts &facts)
{
    const std::string family =
        facts.cpuFamily >= 0 ? " (family " + hex(static_cast<unsigned>(facts.cpuFamily), "%02Xh") + ")" : "";
    if (facts.cpuVendor == "GenuineIntel")
        return "this Intel processor";
    if (facts.cpuVendor == "AuthenticAMD")
        return "this AMD processor" + family;
    if (facts.cpuVendor == "HygonGenuine")
        return "this Hygon processor" + family;
    if (facts.cpuVendor == "CentaurHauls")
        return "this VIA processor";
    return "this processor";
}

bool isAmdLike(const MachineFacts &facts)
{
    return facts.cpuVendor == "AuthenticAMD" || facts.cpuVendor == "HygonGenuine";
}

Verdict cpuTemperature(const MachineFacts &facts)
{
    if (hasChip(facts, {"coretemp", "k10temp", "k8temp", "zenpower", "via_cputemp"}))
        return plain(facts);
    std::string module;
    if (facts.cpuVendor == "GenuineIntel")
        module = "coretemp";
    else if (facts.cpuVendor == "CentaurHauls")
        module = "via_cputemp";
    else if (isAmdLike(facts) && facts.cpuFamily >= 0x10)
        module = "k10temp";
    else if (isAmdLike(facts) && facts.cpuFamily == 0x0F)
        module = "k8temp";
    else if (isAmdLike(facts) && facts.cpuFamily >= 0)
        return {"no CPU temperature driver is loaded, and Linux has none for " + processor(facts), ""};
    if (module.empty())
        return {"no CPU temperature driver is loaded",
                "Run sudo sensors-detect: it names the driver this processor needs; load it with sudo modprobe."};
    std::string remedy =
        "Load it with sudo modprobe " + module + ", and at every start with a line " + module
        + " in /etc/modules-load.d/kestrun.conf; sudo sensors-detect finds every sensor driver the machine needs.";
    // Zen processors: the out-of-tree zenpower driver reads them too, in place of k10temp.
    if (module == "k10temp" && facts.cpuFamily >= 0x17)
        remedy += " zenpower, a driver from outside the kernel, can take k10temp's place.";
    return {"no CPU temperature driver is loaded (" + processor(facts) + " needs " + module + ")", remedy};
}

Verdict cpuFan(const MachineFacts &facts)
{
    if (facts.anyFanInput)
        return plain(facts);
    if (isLaptop(facts))
        return {"no chip reports a fan speed: a laptop's fan is run by its embedded controller, and the "
                "controller's driver offers no fan reading on this model",
                "Some models have a driver that does (thinkpad_acpi, dell_smm_hwmon, applesmc, ...): "
                "sudo sensors-detect looks for it. Otherwise this laptop's fan speed cannot be read."};
    return {"no chip reports a fan speed: the mainboard's Super I/O chip, which reads the fan headers, has no "
            "driver loaded",
            "Run sudo sensors-detect and load the driver it names (on most boards nct6775 or it87) with sudo "
            "modprobe."};
}

Verdict rootOnlyEnergy(const char *counter)
{
    return {std::string(counter)
                + " (energy_uj under /sys/class/powercap) is readable by root only: since Linux 5.10 the kernel keeps "
                  "it from other users, as energy readings can give away what the processor is computing (a side "
                  "channel)",
            "To let your user read it, give it to a group of its own: create the group (sudo groupadd --system rapl), "
            "join it (sudo usermod -aG rapl $USER, then log in again), put the line ACTION==\"add\", "
            "SUBSYSTEM==\"powercap\", TEST==\"energy_uj\", RUN+=\"/bin/chgrp rapl /sys%p/energy_uj\", "
            "RUN+=\"/bin/chmod 0440 /sys%p/energy_uj\" in /etc/udev/rules.d/70-kestrun-rapl.rules and apply it with "
            "sudo udevadm trigger --subsystem-match=powercap --action=add. Only the group's members can then read "
            "it; making it readable for everyone (chmod 0444) would give up that protection for every user."};
}

Verdict cpuPower(const MachineFacts &facts, bool oneSample)
{
    switch (facts.packageEnergy) {
    case EnergyCounter::RootOnly:
        return rootOnlyEnergy("the processor's RAPL energy counter");
    case EnergyCounter::Readable:
        return oneSample ? pendingSample("CPU power") : plain(facts);
    case EnergyCounter::Absent:
        break;
    }
    const bool hasRapl = facts.cpuVendor == "GenuineIntel" || facts.cpuVendor == "HygonGenuine"
                         || (facts.cpuVendor == "AuthenticAMD" && facts.cpuFamily >= 0x17);
    if (!hasRapl)
        return {processor(facts) + " has no RAPL energy counter, which Kestrun reads for the CPU's power", ""};
    return {"the kernel offers no RAPL energy counter for " + processor(facts)
                + " (no package zone under /sys/class/powercap)",
            "Load its driver with sudo modprobe intel_rapl_msr."};
}

const char *readingWord(Figure figure)
{
    switch (figure) {
    case Figure::GpuTemperature:
        return "temperature";
    case Figure::GpuFan:
        return "fan speed";
    case Figure::GpuUsage:
        return "load";
    case Figure::GpuClock:
        return "clock";
    default:
        break;
    }
    return "power";
}

// What keeps an NVIDIA card's figures away, when something does.
std::optional<Verdict> nvidiaGpu(const MachineFacts &facts, const DisplayAdapter &card, Figure figure)
{
    const std::string runsOn = card.driver.empty() ? "no driver is bound to it" : "it runs on " + card.driver;
    if (!facts.nvmlLoadable) {
        std::string reason = "the NVIDIA card's figures come from NVIDIA's driver library NVML (libnvidia-ml.so.1), "
                             "which cannot be loaded";
        if (card.driver == "nouveau")
            reason += "; nouveau, which drives the card now, gives at most temperature, fan and power";
        return Verdict{reason, "Install NVIDIA's driver with its NVML library (Debian: apt install nvidia-driver, from "
                               "non-free)."};
    }
    if (card.driver != "nvidia")
        return Verdict{"NVML is installed, but NVIDIA's kernel driver does not drive the card (" + runsOn + ")",
                       "Load NVIDIA's kernel driver (sudo modprobe nvidia), or reinstall it for the running kernel."};
    if (card.asleep)
        return Verdict{
            "the NVIDIA card is asleep (runtime power management, as on hybrid-graphics laptops), and Kestrun "
            "does not wake it",
            "Its figures show while it is in use."};
    if (figure == Figure::GpuFan)
        return Verdict{"NVIDIA's driver gives this card's fan as a duty percentage, not as a speed", ""};
    return std::nullopt;
}

Verdict gpu(const MachineFacts &facts, Figure figure, bool oneSample)
{
    // A guest's own display adapter is emulated; only a card passed through to it can be read.
    const bool guest = isVirtualMachine(facts);
    std::vector<DisplayAdapter> adapters;
    for (const DisplayAdapter &display : facts.displays) {
        if (!guest || isGraphicsCard(display))
            adapters.push_back(display);
    }
    if (adapters.empty()) {
        if (guest)
            return {describeVirtualMachine(facts)
                        + ": a guest has no graphics card of its own unless one is passed through to it",
                    "Run Kestrun on the host, or pass a graphics card through to the guest."};
        return {"no graphics card was found (no display adapter on the PCI bus)", ""};
    }
    for (const DisplayAdapter &card : adapters) {
        if (card.vendor != kNvidia)
            continue;
        if (std::optional<Verdict> verdict = nvidiaGpu(facts, card, figure))
            return *verdict;
    }
    for (const DisplayAdapter &card : adapters) {
        if (card.vendor != kAmd)
            continue;
        if (card.driver.empty())
            return {"no kernel driver drives the AMD graphics card", "Load amdgpu: sudo modprobe amdgpu."};
        if (card.driver == "radeon")
            return {"the AMD card runs on the older radeon driver, which reports little besides its temperature", ""};
    }
    // Intel's graphics power is energy used between two samples, from RAPL or the card's own chip.
    const bool intelEnergy =
        std::any_of(adapters.begin(), adapters.end(), [](const DisplayAdapter &card) { return card.vendor == kIntel; })
        && (hasChip(facts, {"i915", "xe"}) || facts.uncoreEnergy == EnergyCounter::Readable);
    if (figure == Figure::GpuPower && oneSample && intelEnergy)
        return pendingSample("GPU power");
    const bool integratedIntelOnly = std::all_of(adapters.begin(), adapters.end(), [](const DisplayAdapter &card) {
        return card.vendor == kIntel && card.integrated;
    });
    if (integratedIntelOnly) {
        if (figure == Figure::GpuPower) {
            switch (facts.uncoreEnergy) {
            case EnergyCounter::RootOnly:
                return rootOnlyEnergy("the RAPL energy counter of the processor's graphics");
            case EnergyCounter::Readable:
                return plain(facts);
            case EnergyCounter::Absent:
                return {"the processor offers no RAPL energy counter for its graphics (no uncore zone under "
                        "/sys/class/powercap)",
                        ""};
            }
        }
        if (figure != Figure::GpuClock)
            return {std::string("Intel's integrated graphics report no ") + readingWord(figure)
                        + " that Kestrun can read",
                    ""};
    }
    const bool graphicsCard = std::any_of(adapters.begin(), adapters.end(), isGraphicsCard);
    if (!graphicsCard) {
        const DisplayAdapter &display = adapters.front();
        return {"the display adapter (PCI vendor " + hex(display.vendor, "0x%04x")
                    + (display.driver.empty() ? "" : ", driver " + display.driver)
                    + ") is no graphics card that reports sensors",
                ""};
    }
    return plain(facts);
}

Verdict explain(Figure figure, const MachineFacts &facts, bool oneSample)
{
    if (facts.source == MachineFacts::Source::VendorSdk)
        return plain(facts);
    const bool guest = isVirtualMachine(facts);
    switch (figure) {
    case Figure::CpuTemperature:
        return guest ? virtualSensors(facts) : cpuTemperature(facts);
    case Figure::CpuFan:
        return guest ? virtualSensors(facts) : cpuFan(facts);
    case Figure::CpuPower:
        return guest ? virtualSensors(facts) : cpuPower(facts, oneSample);
    case Figure::CpuUsage:
        return oneSample ? pendingSample("CPU usage") : plain(facts);
    case Figure::CpuClock:
        return plain(facts);
    default:
        break;
    }
    return gpu(facts, figure, oneSample);
}

} // namespace

const char *figureName(Figure figure)
{
    for (const ShownFigure &shown : kShownFigures) {
        if (shown.figure == figure)
            return shown.name;
    }
    return "";
}

std::vector<Figure> figuresWithoutSource(const SensorSourceSeen &seen)
{
    std::vector<Figure> missing;
    for (const ShownFigure &shown : kShownFigures) {
        if (!seen.seen(shown.field))
            missing.push_back(shown.figure);
    }
    return missing;
}

FigureSet figuresWithoutReading(const SensorSnapshot &values, const SensorSourceSeen &seen)
{
    FigureSet missing;
    for (const ShownFigure &shown : kShownFigures) {
        // Stored values are at least 1.0; the comparison also keeps a NaN from passing for one.
        const bool stored = values.*shown.field >= 1.0f;
        if (!stored && !seen.seen(shown.field))
            missing.set(static_cast<std::size_t>(shown.figure));
    }
    return missing;
}

std::vector<FigureReason> explainMissingFigures(const std::vector<Figure> &missing, const MachineFacts &facts,
                                                int sdkStatus, bool oneSample)
{
    std::vector<FigureReason> reasons;
    for (Figure figure : missing) {
        Verdict verdict = sdkStatus != 0 ? sdkFailure(facts, sdkStatus) : explain(figure, facts, oneSample);
        reasons.push_back({figure, std::move(verdict.reason), std::move(verdict.remedy), verdict.pending});
    }
    return reasons;
}

std::string reasonText(const FigureReason &reason)
{
    return reason.remedy.empty() ? reason.reason + "." : reason.reason + ". " + reason.remedy;
}
