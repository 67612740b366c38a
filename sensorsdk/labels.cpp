#include "labels.h"

#include "parse.h"

#include <cctype>

namespace sensorsdk {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Lower case, underscores as blanks, one blank between words, none at the ends.
std::string folded(std::string_view label)
{
    std::string result;
    bool blank = false;
    for (const char c : label) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '_' || std::isspace(byte)) {
            blank = !result.empty();
            continue;
        }
        if (blank)
            result += ' ';
        blank = false;
        result += static_cast<char>(std::tolower(byte));
    }
    return result;
}

bool oneOf(const std::string &text, std::initializer_list<std::string_view> choices)
{
    for (const std::string_view choice : choices) {
        if (text == choice)
            return true;
    }
    return false;
}

// Nuvoton chips driven by nct6775 (and their Winbond forebears) name their inputs after the
// pins: fan2 is the CPUFANIN header, and "PECI Agent 0" is the processor's own reading through
// PECI (the driver's documentation: "The CPU temperature on ASUS boards is reported from PECI 0").
bool isNct6775Family(std::string_view prefix)
{
    return startsWith(prefix, "nct67") || startsWith(prefix, "nct61") || startsWith(prefix, "w83627")
           || startsWith(prefix, "w83667");
}

std::string boardLabel(const FeatureFacts &facts)
{
    const bool nct = isNct6775Family(facts.chipPrefix);
    if (facts.kind == FeatureKind::Temperature && nct && facts.driverLabel == "PECI Agent 0")
        return "CPU Temperature";
    if (facts.kind == FeatureKind::Fan && facts.driverLabel.empty()) {
        if (nct && facts.number == 2)
            return "CPU Fan";
        // it87 names no inputs; fan1 is the CPU header on the boards that use the chip.
        if (startsWith(facts.chipPrefix, "it8") && facts.number == 1)
            return "CPU Fan";
    }
    return canonicalLabel(facts.kind, facts.shownLabel);
}

std::string cpuLabel(const FeatureFacts &facts, const LabelContext &context)
{
    if (facts.kind == FeatureKind::Power) {
        // fam15h_power: the processor's current power.
        if (facts.chipPrefix == "fam15h_power" && facts.number == 1)
            return "CPU Package Power";
        return canonicalLabel(facts.kind, facts.shownLabel);
    }
    if (facts.kind != FeatureKind::Temperature)
        return canonicalLabel(facts.kind, facts.shownLabel);
    if (facts.chipPrefix == "coretemp") {
        if (facts.driverLabel == "Package id 0" || facts.driverLabel == "Physical id 0")
            return "CPU Package";
        return canonicalLabel(facts.kind, facts.shownLabel);
    }
    if (facts.chipPrefix == "k10temp" || facts.chipPrefix == "zenpower") {
        const std::string_view dieLabel = context.chipHasTdie ? "Tdie" : "Tctl";
        if (facts.driverLabel == dieLabel)
            return "CPU (Tctl/Tdie)";
        // Before family 17h k10temp has one unlabelled input, the processor's Tctl.
        if (facts.chipPrefix == "k10temp" && facts.number == 1 && facts.driverLabel.empty())
            return "CPU (Tctl/Tdie)";
    }
    return canonicalLabel(facts.kind, facts.shownLabel);
}

std::string amdGpuLabel(const FeatureFacts &facts, const LabelContext &context)
{
    switch (facts.kind) {
    case FeatureKind::Temperature:
        // Kernels before the edge/junction/mem labels have only the unlabelled edge input.
        if (facts.driverLabel == "edge" || (facts.number == 1 && facts.driverLabel.empty()))
            return "GPU Temperature";
        return "GPU " + std::string(facts.shownLabel);
    case FeatureKind::Fan:
        return facts.number == 1 ? "GPU Fan" : "GPU Fan" + std::to_string(facts.number);
    case FeatureKind::Power:
        if (facts.number != 1)
            return "GPU " + std::string(facts.shownLabel);
        // Older kernels call it average power, newer ones PPT; on a discrete card it is the
        // card's, on an APU the whole chip's, processor included.
        return context.amdGpuIsApu ? "CPU Package Power" : "GPU ASIC Power";
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

// thinkpad-acpi: sensor 1 is the CPU on most models, fan1 the main fan.
std::string otherLabel(const FeatureFacts &facts)
{
    if (facts.chipPrefix == "thinkpad" && facts.number == 1) {
        if (facts.kind == FeatureKind::Temperature)
            return "CPU Temperature";
        if (facts.kind == FeatureKind::Fan)
            return "CPU Fan";
    }
    return canonicalLabel(facts.kind, facts.shownLabel);
}

} // namespace

ChipRole classifyChip(std::string_view prefix)
{
    if (prefix == "coretemp" || prefix == "k10temp" || prefix == "zenpower" || prefix == "k8temp"
        || prefix == "via_cputemp" || prefix == "fam15h_power")
        return ChipRole::Cpu;
    if (prefix == "amdgpu")
        return ChipRole::AmdGpu;
    if (prefix == "i915" || prefix == "xe")
        return ChipRole::IntelGpu;
    if (prefix == "nouveau" || prefix == "radeon")
        return ChipRole::OtherGpu;
    static constexpr std::string_view boardPrefixes[] = {
        "nct6",   "nct7",   "it8",    "w83",     "f71",  "f81",     "sch5",
        "smsc47", "vt1211", "vt8231", "dme1737", "asus", "atk0110", "gigabyte_wmi",
    };
    for (const std::string_view board : boardPrefixes) {
        if (startsWith(prefix, board))
            return ChipRole::Board;
    }
    return ChipRole::Other;
}

std::string canonicalLabel(FeatureKind kind, std::string_view label)
{
    const std::string key = folded(label);
    switch (kind) {
    case FeatureKind::Temperature:
        if (oneOf(key, {"cpu", "cpu temp", "cpu temperature"}))
            return "CPU Temperature";
        if (oneOf(key, {"motherboard", "motherboard temp", "motherboard temperature", "mb temp", "mb temperature",
                        "m/b temp", "system", "system temp", "system temperature", "systin"}))
            return "Motherboard";
        if (oneOf(key, {"gpu", "gpu temp", "gpu temperature"}))
            return "GPU Temperature";
        break;
    case FeatureKind::Fan:
        if (oneOf(key, {"cpu", "cpu fan", "cpufan", "cpu fan speed", "processor fan"}))
            return "CPU Fan";
        if (oneOf(key, {"gpu", "gpu fan", "video fan"}))
            return "GPU Fan";
        break;
    case FeatureKind::Power:
        break;
    }
    return std::string(label);
}

bool isCoretempPackageLabel(std::string_view driverLabel)
{
    return startsWith(driverLabel, "Package id ") || startsWith(driverLabel, "Physical id ");
}

std::string readingLabel(const FeatureFacts &facts, const LabelContext &context)
{
    // libsensors keeps the blanks a driver pads its labels with ("CPU " from applesmc).
    const std::string_view driverDefault = facts.driverLabel.empty() ? facts.featureName : facts.driverLabel;
    if (trimmed(facts.shownLabel) != trimmed(driverDefault))
        return canonicalLabel(facts.kind, facts.shownLabel);
    switch (facts.role) {
    case ChipRole::Cpu:
        return cpuLabel(facts, context);
    case ChipRole::Board:
        return boardLabel(facts);
    case ChipRole::AmdGpu:
        return amdGpuLabel(facts, context);
    case ChipRole::IntelGpu:
    case ChipRole::OtherGpu:
        return hwmonGpuLabel(facts);
    case ChipRole::Other:
        return otherLabel(facts);
    }
    return std::string(facts.shownLabel);
}

} // namespace sensorsdk
