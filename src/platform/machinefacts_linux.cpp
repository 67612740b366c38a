#include "platform/machinefacts.h"

#include "parse/cpuinfo.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun::platform {

namespace {

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

// The first maxBytes of a file, or nothing when it cannot be opened; errorOut gets the open's errno.
std::optional<std::string> readHead(const std::string &path, std::size_t maxBytes, int *errorOut = nullptr)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errorOut)
            *errorOut = errno;
        return std::nullopt;
    }
    const FileCloser closer{fd};
    std::string text(maxBytes, '\0');
    std::size_t filled = 0;
    while (filled < maxBytes) {
        const ssize_t n = ::read(fd, &text[filled], maxBytes - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (errorOut)
                *errorOut = errno;
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    text.resize(filled);
    return text;
}

std::string trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string attribute(const std::string &path)
{
    return trimmed(readHead(path, 256).value_or(std::string()));
}

std::vector<std::string> entries(const std::string &folder)
{
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool exists(const std::string &path)
{
    struct stat info {
    };
    return ::stat(path.c_str(), &info) == 0;
}

// The last component of a link's target ("nvidia" for a driver link), empty when it is none.
std::string linkTargetName(const std::string &path)
{
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    const std::string_view text(target, static_cast<std::size_t>(length));
    const std::size_t slash = text.find_last_of('/');
    return std::string(slash == std::string_view::npos ? text : text.substr(slash + 1));
}

// The number in a text, or fallback when it holds none (strtol takes "0x" with base 0).
long number(const std::string &text, int base, long fallback)
{
    if (text.empty())
        return fallback;
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, base);
    return end == text.c_str() || errno != 0 ? fallback : value;
}

// The first processor's block of /proc/cpuinfo is enough: vendor, family and flags are alike for all.
void readCpuinfo(MachineFacts &facts)
{
    const std::string text = readHead("/proc/cpuinfo", std::size_t{16} * 1024).value_or(std::string());
    const std::vector<CpuinfoBlock> blocks = parseCpuinfoBlocks(text);
    if (blocks.empty())
        return;
    const CpuinfoBlock &first = blocks.front();
    facts.cpuVendor = first.vendorId;
    facts.cpuFamily = first.cpuFamily.value_or(-1);
    facts.hypervisorFlag = hasCpuFlag(first, "hypervisor");
}

void readDmi(MachineFacts &facts)
{
    const std::string dmi = "/sys/class/dmi/id/";
    facts.dmiVendor = attribute(dmi + "sys_vendor");
    facts.dmiProduct = attribute(dmi + "product_name");
    facts.chassisType = static_cast<int>(number(attribute(dmi + "chassis_type"), 10, 0));
}

bool isFanInput(const std::string &name)
{
    // fan<N>_input
    if (name.rfind("fan", 0) != 0 || name.size() <= 9 || name.compare(name.size() - 6, 6, "_input") != 0)
        return false;
    const std::string digits = name.substr(3, name.size() - 9);
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void readHwmon(MachineFacts &facts)
{
    const std::string hwmon = "/sys/class/hwmon/";
    for (const std::string &chip : entries(hwmon)) {
        const std::string folder = hwmon + chip;
        facts.hwmonChips.push_back(attribute(folder + "/name"));
        if (!facts.anyFanInput) {
            const std::vector<std::string> files = entries(folder);
            facts.anyFanInput = std::any_of(files.begin(), files.end(), isFanInput);
        }
    }
}

EnergyCounter energyCounter(const std::string &zoneName)
{
    const std::string powercap = "/sys/class/powercap/";
    for (const std::string &zone : entries(powercap)) {
        const std::string folder = powercap + zone;
        if (attribute(folder + "/name") != zoneName || !exists(folder + "/energy_uj"))
            continue;
        int error = 0;
        if (readHead(folder + "/energy_uj", 64, &error))
            return EnergyCounter::Readable;
        return error == EACCES || error == EPERM ? EnergyCounter::RootOnly : EnergyCounter::Absent;
    }
    return EnergyCounter::Absent;
}

void readDisplays(MachineFacts &facts)
{
    const std::string pci = "/sys/bus/pci/devices/";
    for (const std::string &device : entries(pci)) {
        const std::string folder = pci + device;
        // Base class 03h: display controllers (VGA, 3D, other).
        if ((number(attribute(folder + "/class"), 0, 0) >> 16) != 0x03)
            continue;
        DisplayAdapter display;
        display.vendor = static_cast<unsigned>(number(attribute(folder + "/vendor"), 0, 0));
        display.driver = linkTargetName(folder + "/driver");
        // dddd:bb:dd.f
        display.integrated = device.size() >= 7 && device.compare(5, 2, "00") == 0;
        display.asleep = attribute(folder + "/power/runtime_status") == "suspended";
        facts.displays.push_back(display);
    }
}

bool nvmlLoads()
{
    void *library = ::dlopen("libnvidia-ml.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return false;
    ::dlclose(library);
    return true;
}

} // namespace

MachineFacts probeMachineFacts()
{
    MachineFacts facts;
    readCpuinfo(facts);
    readDmi(facts);
    readHwmon(facts);
    facts.packageEnergy = energyCounter("package-0");
    facts.uncoreEnergy = energyCounter("uncore");
    readDisplays(facts);
    const bool nvidia = std::any_of(facts.displays.begin(), facts.displays.end(),
                                    [](const DisplayAdapter &display) { return display.vendor == 0x10de; });
    // Only then: loading the library is the costliest look of all.
    if (nvidia)
        facts.nvmlLoadable = nvmlLoads();
    return facts;
}

} // namespace kestrun::platform
