#include "corpus.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sensorcorpus {

std::vector<Layout> layouts(const std::string &folder)
{
    std::vector<Layout> result;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return result;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 8 || name.compare(name.size() - 4, 4, ".txt") != 0 || name[3] != '-')
            continue;
        std::ifstream file(folder + "/" + name, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        result.push_back(Layout{name.substr(0, 3), name, text.str()});
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end(), [](const Layout &a, const Layout &b) { return a.file < b.file; });
    return result;
}

bool useMemoryForTestbeds()
{
    if (::access("/dev/shm", W_OK | X_OK) != 0)
        return false;
    ::setenv("TMPDIR", "/dev/shm", 1);
    return true;
}

sensortest::MachineOptions machineOptions(const std::string &id)
{
    // The owner of 029 had named the k10temp and it8721 readings in sensors.conf ("CPU_Temp",
    // "+12V", "Chassis_Fan_1"), and hidden some inputs, which the text does not show.
    if (id == "029")
        return {{"k10temp", "it8721"}};
    return {};
}

std::vector<sensortext::ParseError> buildMachine(sensortest::Testbed &bed, const Layout &layout)
{
    const sensortext::Parsed parsed = sensortext::parse(layout.text);
    bed.writeFile("/proc/cpuinfo", "processor\t: 0\nmodel name\t: Corpus CPU\n\n");
    bed.writeProcStat(1000, 9000);
    bed.useSensorsConfig(sensortest::addChips(bed, parsed.chips, machineOptions(layout.id)));
    return parsed.errors;
}

} // namespace sensorcorpus
