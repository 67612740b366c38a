#pragma once

// /proc/cpuinfo: a block of "key<tabs> : value" lines per logical processor, blocks parted by a
// blank line. Accepts arbitrary bytes: malformed text gives fewer blocks or missing values.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One block with the keys the program reads; values trimmed, numbers missing where the block
// does not give them or they are no whole number.
struct CpuinfoBlock {
    bool hasProcessor = false;    // the block has a "processor" line
    std::optional<int> processor; // its number
    std::string physicalId;       // "physical id" as written: the package
    std::optional<int> coreId;    // "core id"
    std::optional<double> mhz;    // "cpu MHz"
    std::string modelName;        // "model name"
    std::string vendorId;         // "vendor_id"
    std::optional<int> cpuFamily; // "cpu family"
    std::string flags;            // "flags", blank-separated
};

// The blocks in order. A block ends at a blank line, and where a "processor" line follows lines
// of its own (a block per processor even where the blank line is missing). Blocks without any
// "key : value" line are left out.
std::vector<CpuinfoBlock> parseCpuinfoBlocks(std::string_view text);

// True when the block's flags hold the flag as a word of its own.
bool hasCpuFlag(const CpuinfoBlock &block, std::string_view flag);
