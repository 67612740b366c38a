#pragma once

// An emulated machine for the sensor library: umockdev replaces /sys and overlays files of /proc,
// so libsensors and the library's own sysfs reads run unchanged against it.

#include <string>
#include <utility>
#include <vector>

// NOLINTNEXTLINE(bugprone-reserved-identifier): umockdev's own type, declared here to keep its headers out
struct _UMockdevTestbed;

namespace sensortest {

using Attributes = std::vector<std::pair<std::string, std::string>>;

class Testbed
{
public:
    Testbed();
    // Builds on a testbed made elsewhere (one that already holds other devices) and keeps it
    // alive while this lives.
    explicit Testbed(_UMockdevTestbed *shared);
    ~Testbed();
    Testbed(const Testbed &) = delete;
    Testbed &operator=(const Testbed &) = delete;

    // A device of the subsystem ("pci", "platform"), optionally under a parent; returns its sysfs path.
    std::string addDevice(const std::string &subsystem, const std::string &name, const std::string &parent,
                          const Attributes &attributes);

    // A hwmon chip under parent (no parent: a virtual chip without a device link), as hwmon<number>
    // (by default the number after the highest so far, as the kernel numbers chips that register).
    std::string addHwmon(const std::string &name, const std::string &parent, const Attributes &attributes,
                         int number = -1);

    // A plain file (sysfs attribute or /proc file) at an absolute path of the emulated machine.
    void writeFile(const std::string &path, const std::string &contents);
    // Removes the file as sysfs removes the files of a driver that goes away: a reader that still
    // holds it open reads nothing from it any more (sysfs fails such reads; here the file is
    // emptied before it goes). Written again, it is another file at the same path.
    void removeFile(const std::string &path);
    // Makes the file one that exists but gives no number: libsensors' read of it fails as a
    // driver's failing read does (sensors prints "N/A"). A folder in its place is skipped by
    // libsensors' scan, and a read failing with EIO hides the reading, so neither would do.
    void makeUnreadable(const std::string &path);
    void link(const std::string &path, const std::string &target);

    // The entries of a folder of links (/sys/class/hwmon) in the order the file system lists them.
    std::vector<std::string> listing(const std::string &folder) const;
    // Makes the links again so that the folder lists them in another order, as another file system
    // would: a tmpfs lists a folder in the order its entries were made or in the reverse, so making
    // them again in one of the two orders turns the listing round. Returns whether it did; a disk
    // file system that lists a folder by a hash of the names keeps its order.
    bool reverseListing(const std::string &folder);

    // The usual CPU files: /proc/cpuinfo and /proc/stat.
    void writeProcStat(unsigned long long busy, unsigned long long idle);

    // A powercap RAPL zone.
    void addRaplZone(const std::string &zone, const std::string &name, long long energyUj, long long maxRangeUj);

    // Sets the energy counter of every RAPL zone added so far.
    void setRaplEnergy(long long energyUj);

    // The libsensors configuration file of the test process (named by KESTRUN_SENSORS_CONFIG).
    void useSensorsConfig(const std::string &contents);

    std::string root() const { return rootFolder; }

private:
    void start();

    _UMockdevTestbed *testbed;
    std::string rootFolder;
    int hwmonCount = 0;
    std::vector<std::string> raplZones;
};

// /proc/cpuinfo of a four-thread, two-core Intel desktop processor.
extern const char *const kIntelCpuinfo;

// A cpufreq current clock in kHz for a logical processor.
void addCpufreq(Testbed &bed, int cpu, long long kilohertz);

struct IntelDesktop {
    std::string coretemp; // the hwmon folders
    std::string superIo;
};

// Intel desktop: coretemp, a Nuvoton NCT6798 with fans, RAPL package power. (Its NVIDIA card comes
// from the stand-in NVML.)
IntelDesktop buildIntelDesktop(Testbed &bed);

} // namespace sensortest
