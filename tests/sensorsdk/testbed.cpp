#include "testbed.h"

#include <umockdev.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace sensortest {

namespace {

void makeFolders(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    ::mkdir(path.c_str(), 0755);
}

std::string parentFolder(const std::string &path)
{
    return path.substr(0, path.find_last_of('/'));
}

// The configuration file every testbed of this process writes: its path goes into the environment
// once, before the first testbed starts umockdev's worker thread, because changing the environment
// while another thread reads it (GLib does, through gettext) is a race that can crash.
const std::string &sensorsConfigPath()
{
    struct File {
        File()
            : path("/tmp/kestrun-testbed-" + std::to_string(::getpid()) + ".conf")
        {
            const std::ofstream emptied(path, std::ios::trunc);
            ::setenv("KESTRUN_SENSORS_CONFIG", path.c_str(), 1);
        }
        ~File() { std::remove(path.c_str()); }
        const std::string path;
    };
    static const File file;
    return file.path;
}

_UMockdevTestbed *newTestbed(_UMockdevTestbed *shared)
{
    sensorsConfigPath();
    return shared ? UMOCKDEV_TESTBED(g_object_ref(shared)) : umockdev_testbed_new();
}
} // namespace

Testbed::Testbed()
    : Testbed(nullptr)
{
}

Testbed::Testbed(_UMockdevTestbed *shared)
    : testbed(newTestbed(shared))
{
    start();
}

void Testbed::start()
{
    gchar *root = umockdev_testbed_get_root_dir(testbed);
    rootFolder = root;
    g_free(root);
    useSensorsConfig("");
}

Testbed::~Testbed()
{
    g_object_unref(testbed);
    useSensorsConfig("");
}

std::string Testbed::addDevice(const std::string &subsystem, const std::string &name, const std::string &parent,
                               const Attributes &attributes)
{
    std::vector<const gchar *> list;
    for (const auto &[key, value] : attributes) {
        list.push_back(key.c_str());
        list.push_back(value.c_str());
    }
    list.push_back(nullptr);
    const gchar *properties[] = {nullptr};
    gchar *path = umockdev_testbed_add_devicev(testbed, subsystem.c_str(), name.c_str(),
                                               parent.empty() ? nullptr : parent.c_str(),
                                               const_cast<gchar **>(list.data()), const_cast<gchar **>(properties));
    if (!path)
        throw std::runtime_error("umockdev could not add " + name);
    std::string result = path;
    g_free(path);
    return result;
}

std::string Testbed::addHwmon(const std::string &name, const std::string &parent, const Attributes &attributes,
                              int number)
{
    // sysfs attributes end in a newline, and libsensors cuts the last byte of the name.
    Attributes all;
    for (const auto &[key, value] : attributes)
        all.emplace_back(key, value.empty() || value.back() == '\n' ? value : value + "\n");
    all.emplace_back("name", name + "\n");
    if (number < 0)
        number = hwmonCount;
    hwmonCount = std::max(hwmonCount, number + 1);
    const std::string hwmon = "hwmon" + std::to_string(number);
    std::string path = addDevice("hwmon", hwmon, parent, all);
    // As the kernel links it: up to the parent's parent, then down to the parent by name.
    if (!parent.empty())
        link(path + "/device", "../../" + parent.substr(parent.find_last_of('/') + 1));
    return path;
}

void Testbed::writeFile(const std::string &path, const std::string &contents)
{
    const std::string full = rootFolder + path;
    makeFolders(parentFolder(full));
    std::ofstream file(full, std::ios::binary | std::ios::trunc);
    file << contents;
}

void Testbed::removeFile(const std::string &path)
{
    const std::string full = rootFolder + path;
    std::ofstream(full, std::ios::binary | std::ios::trunc).close();
    std::remove(full.c_str());
}

void Testbed::makeUnreadable(const std::string &path)
{
    writeFile(path, "x\n");
}

void Testbed::link(const std::string &path, const std::string &target)
{
    const std::string full = rootFolder + path;
    makeFolders(parentFolder(full));
    ::unlink(full.c_str());
    if (::symlink(target.c_str(), full.c_str()) != 0)
        throw std::runtime_error("cannot link " + path);
}

std::vector<std::string> Testbed::listing(const std::string &folder) const
{
    std::vector<std::string> names;
    DIR *dir = ::opendir((rootFolder + folder).c_str());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool Testbed::reverseListing(const std::string &folder)
{
    const std::vector<std::string> before = listing(folder);
    std::vector<std::pair<std::string, std::string>> links; // name, target
    for (const std::string &name : before) {
        char target[4096];
        const ssize_t length = ::readlink((rootFolder + folder + "/" + name).c_str(), target, sizeof target - 1);
        if (length <= 0)
            throw std::runtime_error(folder + "/" + name + " is not a link");
        links.emplace_back(name, std::string(target, static_cast<std::size_t>(length)));
    }
    const auto remake = [&](bool reversed) {
        for (const auto &[name, target] : links)
            ::unlink((rootFolder + folder + "/" + name).c_str());
        for (std::size_t i = 0; i < links.size(); ++i) {
            const auto &[name, target] = links[reversed ? links.size() - 1 - i : i];
            link(folder + "/" + name, target);
        }
    };
    const std::vector<std::string> reversed(before.rbegin(), before.rend());
    remake(true);
    if (listing(folder) == reversed)
        return before != reversed;
    remake(false);
    return listing(folder) == reversed && before != reversed;
}

void Testbed::writeProcStat(unsigned long long busy, unsigned long long idle)
{
    // user nice system idle iowait irq softirq steal guest guest_nice
    writeFile("/proc/stat", "cpu  " + std::to_string(busy) + " 0 0 " + std::to_string(idle)
                                + " 0 0 0 0 0 0\ncpu0 0 0 0 0 0 0 0 0 0 0\nintr 0\nctxt 0\n");
}

void Testbed::addRaplZone(const std::string &zone, const std::string &name, long long energyUj, long long maxRangeUj)
{
    const std::string folder = "/sys/devices/virtual/powercap/intel-rapl/" + zone;
    writeFile(folder + "/name", name + "\n");
    writeFile(folder + "/energy_uj", std::to_string(energyUj) + "\n");
    writeFile(folder + "/max_energy_range_uj", std::to_string(maxRangeUj) + "\n");
    link("/sys/class/powercap/" + zone, "../../devices/virtual/powercap/intel-rapl/" + zone);
    raplZones.push_back(folder);
}

void Testbed::setRaplEnergy(long long energyUj)
{
    for (const std::string &folder : raplZones)
        writeFile(folder + "/energy_uj", std::to_string(energyUj) + "\n");
}

void Testbed::useSensorsConfig(const std::string &contents)
{
    std::ofstream(sensorsConfigPath(), std::ios::trunc) << contents;
}

const char *const kIntelCpuinfo = "processor\t: 0\nmodel name\t: Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\ncpu "
                                  "MHz\t\t: 4300.000\nphysical id\t: 0\ncore id\t\t: 0\n\n"
                                  "processor\t: 1\nmodel name\t: Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\ncpu "
                                  "MHz\t\t: 4200.000\nphysical id\t: 0\ncore id\t\t: 1\n\n"
                                  "processor\t: 2\nmodel name\t: Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\ncpu "
                                  "MHz\t\t: 4300.000\nphysical id\t: 0\ncore id\t\t: 0\n\n"
                                  "processor\t: 3\nmodel name\t: Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\ncpu "
                                  "MHz\t\t: 4200.000\nphysical id\t: 0\ncore id\t\t: 1\n\n";

void addCpufreq(Testbed &bed, int cpu, long long kilohertz)
{
    bed.writeFile("/sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/cpufreq/scaling_cur_freq",
                  std::to_string(kilohertz) + "\n");
}

IntelDesktop buildIntelDesktop(Testbed &bed)
{
    IntelDesktop desktop;
    bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
    bed.writeProcStat(1000, 9000);
    for (int cpu = 0; cpu < 4; ++cpu)
        addCpufreq(bed, cpu, cpu % 2 ? 4200000 : 4700000);
    const std::string coretemp = bed.addDevice("platform", "coretemp.0", "", {});
    desktop.coretemp = bed.addHwmon("coretemp", coretemp,
                                    {{"temp1_input", "52000"},
                                     {"temp1_label", "Package id 0"},
                                     {"temp2_input", "50000"},
                                     {"temp2_label", "Core 0"},
                                     {"temp3_input", "49000"},
                                     {"temp3_label", "Core 1"}});
    const std::string superIo = bed.addDevice("platform", "nct6775.656", "", {});
    desktop.superIo = bed.addHwmon("nct6798", superIo,
                                   {{"temp1_input", "34000"},
                                    {"temp1_label", "SYSTIN"},
                                    {"temp2_input", "40500"},
                                    {"temp2_label", "CPUTIN"},
                                    {"fan1_input", "0"},
                                    {"fan2_input", "1250"},
                                    {"fan3_input", "812"},
                                    {"in0_input", "1104"}});
    bed.addRaplZone("intel-rapl:0", "package-0", 1000000, 262143328850);
    return desktop;
}

} // namespace sensortest
