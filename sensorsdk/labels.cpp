#include "labels.h"

#include <algorithm>
#include <cctype>

namespace sensorsdk {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x))
                   == std::tolower(static_cast<unsigned char>(y));
           });
}

// Nuvoton chips driven by nct6775 name their inputs after the pins: SYSTIN is the board sensor,
// and fan2 is the CPUFANIN header.
bool isNct6775Family(std::string_view prefix)
{
    return startsWith(prefix, "nct67") || startsWith(prefix, "nct61") || startsWith(prefix, "w83627")
        || startsWith(prefix, "w83667");
}

std::string boardLabel(const FeatureFacts &facts)
{
    const bool nct = isNct6775Family(facts.chipPrefix);
    const bool ite = startsWith(facts.chipPrefix, "it8");
    if (facts.kind == FeatureKind::Temperature) {
        if (nct && facts.driverLabel == "SYSTIN")
            return "Motherboard";
        // The it87 driver names no inputs; boards wire temp1 to the board sensor far more often
        // than to anything else.
        if (ite && facts.number == 1 && facts.driverLabel.empty())
            return "Motherboard";
    }
    if (facts.kind == FeatureKind::Fan) {
        if (nct && facts.number == 2 && facts.driverLabel.empty())
            return "CPU Fan";
        // it87 has no pin names either; fan1 is the CPU header on the boards that use the chip.
        if (ite && facts.number == 1 && facts.driverLabel.empty())
            return "CPU Fan";
        if (equalsIgnoringCase(facts.driverLabel, "CPU Fan") || equalsIgnoringCase(facts.driverLabel, "CPUFAN")
            || equalsIgnoringCase(facts.driverLabel, "CPU_FAN"))
            return "CPU Fan";
    }
    return std::string(facts.shownLabel);
}

std::string cpuLabel(const FeatureFacts &facts, const LabelContext &context)
{
    if (facts.kind != FeatureKind::Temperature)
        return std::string(facts.shownLabel);
    if (facts.driverLabel == "Package id 0")
        return "CPU Package";
    const std::string_view dieLabel = context.chipHasTdie ? "Tdie" : "Tctl";
    if (facts.driverLabel == dieLabel)
        return "CPU (Tctl/Tdie)";
    return std::string(facts.shownLabel);
}

std::string amdGpuLabel(const FeatureFacts &facts)
{
    switch (facts.kind) {
    case FeatureKind::Temperature:
        if (facts.driverLabel == "edge")
            return "GPU Temperature";
        return "GPU " + std::string(facts.shownLabel);
    case FeatureKind::Fan:
        return facts.number == 1 ? "GPU Fan" : "GPU Fan" + std::to_string(facts.number);
    case FeatureKind::Power:
        // Older kernels call it average power, newer ones "PPT"; both are the board's ASIC power.
        return facts.number == 1 ? "GPU ASIC Power" : "GPU " + std::string(facts.shownLabel);
    }
    return std::string(facts.shownLabel);
}

// GPU chips whose first temperature, fan and power input are the card's own.
std::string hwmonGpuLabel(const FeatureFacts &facts)
{
    switch (facts.kind) {
    case FeatureKind::Temperature:
        return facts.number == 1 ? "GPU Temperature" : "GPU " + std::string(facts.shownLabel);
    case FeatureKind::Fan:
        return facts.number == 1 ? "GPU Fan" : "GPU Fan" + std::to_string(facts.number);
    case FeatureKind::Power:
        return facts.number == 1 ? "GPU Power (Total)" : "GPU " + std::string(facts.shownLabel);
    }
    return std::string(facts.shownLabel);
}

} // namespace

ChipRole classifyChip(std::string_view prefix)
{
    if (prefix == "coretemp" || prefix == "k10temp" || prefix == "zenpower")
        return ChipRole::Cpu;
    if (prefix == "acpitz")
        return ChipRole::AcpiZone;
    if (prefix == "amdgpu")
        return ChipRole::AmdGpu;
    if (prefix == "i915" || prefix == "xe")
        return ChipRole::IntelGpu;
    if (prefix == "nouveau" || prefix == "radeon")
        return ChipRole::OtherGpu;
    static constexpr std::string_view boardPrefixes[] = {
        "nct6", "it8", "w83627", "w83667", "w83795", "f71", "f81", "sch5", "asus", "dme1737",
    };
    for (const std::string_view board : boardPrefixes) {
        if (startsWith(prefix, board))
            return ChipRole::Board;
    }
    return ChipRole::Other;
}

std::string readingLabel(const FeatureFacts &facts, const LabelContext &context)
{
    const std::string_view driverDefault = facts.driverLabel.empty() ? facts.featureName : facts.driverLabel;
    if (facts.shownLabel != driverDefault)
        return std::string(facts.shownLabel);
    switch (facts.role) {
    case ChipRole::Cpu:
        return cpuLabel(facts, context);
    case ChipRole::Board:
        return boardLabel(facts);
    case ChipRole::AcpiZone:
        if (context.acpiZoneIsBoard && facts.kind == FeatureKind::Temperature && facts.number == 1)
            return "Motherboard";
        return std::string(facts.shownLabel);
    case ChipRole::AmdGpu:
        return amdGpuLabel(facts);
    case ChipRole::IntelGpu:
    case ChipRole::OtherGpu:
        return hwmonGpuLabel(facts);
    case ChipRole::Other:
        break;
    }
    return std::string(facts.shownLabel);
}

} // namespace sensorsdk
