#include "parse/cpuinfo.h"

#include "parse.h"

#include <climits>

namespace {

std::optional<int> wholeInt(std::string_view text)
{
    const std::optional<long long> value = sensorsdk::parseInteger(text);
    if (!value || *value < INT_MIN || *value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(*value);
}

// Splits off the next line, without its newline.
std::string_view nextLine(std::string_view &text)
{
    const auto newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    return line;
}

void take(CpuinfoBlock &block, std::string_view key, std::string_view value)
{
    if (key == "processor") {
        block.hasProcessor = true;
        block.processor = wholeInt(value);
    } else if (key == "physical id") {
        block.physicalId = std::string(value);
    } else if (key == "core id") {
        block.coreId = wholeInt(value);
    } else if (key == "cpu MHz") {
        block.mhz = sensorsdk::parseDecimal(value);
    } else if (key == "model name") {
        block.modelName = std::string(value);
    } else if (key == "vendor_id") {
        block.vendorId = std::string(value);
    } else if (key == "cpu family") {
        block.cpuFamily = wholeInt(value);
    } else if (key == "flags") {
        block.flags = std::string(value);
    }
}

} // namespace

std::vector<CpuinfoBlock> parseCpuinfoBlocks(std::string_view text)
{
    std::vector<CpuinfoBlock> blocks;
    bool open = false; // the last block still takes lines
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        if (sensorsdk::trimmed(line).empty()) {
            open = false;
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view key = sensorsdk::trimmed(line.substr(0, colon));
        const std::string_view value = sensorsdk::trimmed(line.substr(colon + 1));
        if (!open || key == "processor") {
            blocks.emplace_back();
            open = true;
        }
        take(blocks.back(), key, value);
    }
    return blocks;
}

bool hasCpuFlag(const CpuinfoBlock &block, std::string_view flag)
{
    std::string_view flags = block.flags;
    while (!flags.empty()) {
        const auto blank = flags.find_first_of(" \t");
        if (flags.substr(0, blank) == flag)
            return !flag.empty();
        if (blank == std::string_view::npos)
            break;
        flags.remove_prefix(blank + 1);
    }
    return false;
}
