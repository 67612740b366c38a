#pragma once

#include <cstdint>
#include <string_view>

// Physical memory from /proc/meminfo.
struct MeminfoFigures {
    std::uint32_t memoryLoad = 0;      // percent in use, truncated
    unsigned long long totalBytes = 0; // MemTotal
    unsigned long long availBytes = 0; // MemAvailable, never above the total
};

// Reads the text of /proc/meminfo. Missing fields count as 0; a zero total gives a load of 0.
MeminfoFigures parseMeminfoText(std::string_view text);
