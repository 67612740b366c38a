#pragma once

// Small file reads for sysfs and /proc. A missing, unreadable or oversized file gives "nothing".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sensorsdk {

// The file's contents, up to maxBytes (longer files count as unreadable).
std::optional<std::string> readText(const std::string &path, std::size_t maxBytes = std::size_t{64} * 1024);

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

// A file opened once and read again from its start at every read (one pread at offset 0): sysfs
// and /proc give their current contents that way, without a path lookup, open or close each time.
//
// A read that fails or gives no bytes is nothing for that read. A descriptor of a sysfs file that
// went away with its driver or device fails for good, and one that comes back is another file at
// the same path: after a failed read the file is opened again by its path, at once on the first
// failure and then on every kFailedReadsPerOpen-th failing read, so a file that comes back is found
// within that many reads and one that stays away costs one failing open per that many reads. The
// descriptor in hand is still read at every read, so a driver's passing error costs nothing more.
//
// At most kKeptOpenLimit files are kept open at a time in the process; further files are opened
// for each read, as a plain read does, so that a machine with hundreds of readings cannot use up
// the program's descriptors.
class KeptFile
{
public:
    static constexpr int kFailedReadsPerOpen = 5;
    static constexpr int kKeptOpenLimit = 256;

    explicit KeptFile(std::string filePath);
    ~KeptFile();
    KeptFile(const KeptFile &) = delete;
    KeptFile &operator=(const KeptFile &) = delete;

    // At most the first maxBytes (for files whose first line is all that is needed).
    std::optional<std::string_view> head(std::size_t maxBytes);
    // The whole file; one longer than maxBytes counts as unreadable.
    std::optional<std::string_view> whole(std::size_t maxBytes);
    // A sysfs integer attribute, as readInteger reads it.
    std::optional<long long> integer();
    // A decimal number such as a hwmon value ("45000"), as parseDecimal reads it.
    std::optional<double> decimal();

    bool keptOpen() const { return kept; }

private:
    std::optional<std::string_view> read(std::size_t maxBytes, bool whole);
    bool readFromStart(std::size_t maxBytes, bool whole);
    void open();
    void close();

    std::string path;
    int fd = -1;
    bool kept = false;       // holds one of the process's kept descriptors
    int readsBeforeOpen = 0; // failing reads still to pass before the path is opened again
    std::string buffer;
    std::size_t length = 0; // bytes of buffer the last read filled
};

} // namespace sensorsdk
