#pragma once

// Small file reads for sysfs and /proc. A missing, unreadable or oversized file gives "nothing".

#include <optional>
#include <string>
#include <vector>

namespace sensorsdk {

// The file's contents, up to maxBytes (longer files count as unreadable).
std::optional<std::string> readText(const std::string &path, std::size_t maxBytes = 64 * 1024);

// At most the first maxBytes of a file (for files whose first line is all that is needed).
std::optional<std::string> readHead(const std::string &path, std::size_t maxBytes);

// A sysfs integer attribute.
std::optional<long long> readInteger(const std::string &path);

// The last path component a symbolic link points to ("0000:03:00.0" for a device link).
std::string linkTargetName(const std::string &path);

// Names in a folder (without "." and ".."), sorted; empty when the folder cannot be read.
std::vector<std::string> folderEntries(const std::string &path);

bool exists(const std::string &path);

// Seconds on the monotonic clock.
double monotonicSeconds();

} // namespace sensorsdk
