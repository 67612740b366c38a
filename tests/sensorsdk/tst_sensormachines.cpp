// The sensor library on emulated machines, seen through its ten entry points exactly as the sensor
// thread walks them.

#include "fakenvml.h"
#include "hardware/sensorcycle.h"
#include "platform/sensorsdk.h"
#include "testbed.h"
#include "testenv.h"

#include <dlfcn.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <optional>
#include <thread>

using sensortest::addCpufreq;
using sensortest::buildIntelDesktop;
using sensortest::IntelDesktop;
using sensortest::kIntelCpuinfo;
using sensortest::Testbed;

namespace {

enum Kind { Temperature, Fan, Power, Clock, Usage };

struct Reading {
    int sensor;
    int kind;
    int index;
    QByteArray label;
    double value;
};

// One full cycle: every sensor, readings 0..511, the five kinds.
struct Walk {
    QStringList sensors;
    std::vector<Reading> readings;

    std::optional<double> value(int kind, const QByteArray &label) const
    {
        for (const Reading &reading : readings) {
            if (reading.kind == kind && reading.label == label)
                return reading.value;
        }
        return std::nullopt;
    }

    int sensorOf(int kind, const QByteArray &label) const
    {
        for (const Reading &reading : readings) {
            if (reading.kind == kind && reading.label == label)
                return reading.sensor;
        }
        return -1;
    }

    QList<QByteArray> labels(int sensor, int kind) const
    {
        QList<QByteArray> list;
        for (const Reading &reading : readings) {
            if (reading.sensor == sensor && reading.kind == kind)
                list << reading.label;
        }
        return list;
    }
};

Walk walk()
{
    Walk result;
    const int count = sdkSensorCount();
    char label[256];
    for (int sensor = 0; sensor < count; ++sensor) {
        sdkPrepareSensor(sensor);
        sdkSensorName(sensor, label, sizeof label);
        result.sensors << QString::fromUtf8(label);
        for (int index = 0; index < 512; ++index) {
            for (int kind = Temperature; kind <= Usage; ++kind) {
                label[0] = '\0';
                double value = 0;
                switch (kind) {
                case Temperature:
                    value = sdkReadTemperature(sensor, index, label, sizeof label);
                    break;
                case Fan:
                    value = sdkReadFan(sensor, index, label, sizeof label);
                    break;
                case Power:
                    value = sdkReadPower(sensor, index, label, sizeof label);
                    break;
                case Clock:
                    value = sdkReadClock(sensor, index, label, sizeof label);
                    break;
                default:
                    value = sdkReadUsage(sensor, index, label, sizeof label);
                    break;
                }
                if (label[0] != '\0')
                    result.readings.push_back(Reading{sensor, kind, index, QByteArray(label), value});
                else if (value != 0)
                    qWarning("reading %d/%d/%d has a value but no label", sensor, kind, index);
            }
        }
    }
    return result;
}

std::optional<double> near(double value)
{
    return value;
}

bool closeTo(std::optional<double> actual, double expected, double tolerance = 1e-6)
{
    return actual && std::fabs(*actual - expected) <= tolerance;
}

// The stand-in NVML, opened the way the library opens the real one.
struct FakeNvml {
    void *library = ::dlopen("libnvidia-ml.so.1", RTLD_NOW | RTLD_LOCAL);
    FakeNvmlConfigure configure =
        library ? reinterpret_cast<FakeNvmlConfigure>(::dlsym(library, "fakeNvmlConfigure")) : nullptr;
    FakeNvmlGpuAt gpuAt = library ? reinterpret_cast<FakeNvmlGpuAt>(::dlsym(library, "fakeNvmlGpuAt")) : nullptr;
    FakeNvmlQueries queries =
        library ? reinterpret_cast<FakeNvmlQueries>(::dlsym(library, "fakeNvmlQueries")) : nullptr;
    FakeNvmlOpenSessions sessions =
        library ? reinterpret_cast<FakeNvmlOpenSessions>(::dlsym(library, "fakeNvmlOpenSessions")) : nullptr;
    ~FakeNvml()
    {
        if (library)
            ::dlclose(library);
    }
    // NVIDIA's driver is not loaded: nvmlInit_v2 fails as it does on a machine without one.
    void absent() { configure(9, 0, nullptr); }
};

struct AmdDesktop {
    std::string gpu;      // the first GPU's PCI device folder
    std::string gpuHwmon; // and its hwmon folder
};

// AMD desktop: k10temp, an ITE IT8688 with fans, two Radeon cards (the second found first).
AmdDesktop buildAmdDesktop(Testbed &bed)
{
    AmdDesktop desktop;
    bed.writeFile("/proc/cpuinfo",
                  "processor\t: 0\nmodel name\t: AMD Ryzen 7 5800X 8-Core Processor\ncpu MHz\t\t: 3800.000\n"
                  "physical id\t: 0\ncore id\t\t: 0\n\nprocessor\t: 1\nmodel name\t: AMD Ryzen 7 5800X 8-Core "
                  "Processor\ncpu MHz\t\t: 3700.000\nphysical id\t: 0\ncore id\t\t: 1\n\n");
    bed.writeProcStat(1000, 9000);
    addCpufreq(bed, 0, 4850000);
    addCpufreq(bed, 1, 3600000);
    // The second GPU is scanned first; the library still offers them in PCI order.
    const std::string secondGpu = bed.addDevice("pci", "0000:0c:00.0", "", {{"vendor", "0x1002"}});
    bed.addHwmon(
        "amdgpu", secondGpu,
        {{"temp1_input", "39000"}, {"temp1_label", "edge"}, {"freq1_input", "300000000"}, {"freq1_label", "sclk"}});
    const std::string rootComplex = bed.addDevice("pci", "0000:00:18.3", "", {{"vendor", "0x1022"}});
    bed.addHwmon(
        "k10temp", rootComplex,
        {{"temp1_input", "65250"}, {"temp1_label", "Tctl"}, {"temp3_input", "55000"}, {"temp3_label", "Tccd1"}});
    desktop.gpu = bed.addDevice("pci", "0000:03:00.0", "", {{"vendor", "0x1002"}, {"gpu_busy_percent", "12\n"}});
    desktop.gpuHwmon = bed.addHwmon("amdgpu", desktop.gpu,
                                    {{"temp1_input", "48000"},
                                     {"temp1_label", "edge"},
                                     {"temp2_input", "55000"},
                                     {"temp2_label", "junction"},
                                     {"power1_average", "45000000"},
                                     {"fan1_input", "1100"},
                                     {"freq1_input", "2100000000"},
                                     {"freq1_label", "sclk"},
                                     {"freq2_input", "875000000"},
                                     {"freq2_label", "mclk"}});
    const std::string superIo = bed.addDevice("platform", "it87.2624", "", {});
    bed.addHwmon("it8688", superIo,
                 {{"temp1_input", "36000"}, {"temp2_input", "41000"}, {"fan1_input", "900"}, {"fan2_input", "700"}});

    return desktop;
}

// Laptop: coretemp, an ACPI thermal zone, integrated Intel graphics, RAPL package and uncore.
void buildLaptop(Testbed &bed)
{
    bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
    bed.writeProcStat(1000, 9000);
    addCpufreq(bed, 0, 2400000);
    addCpufreq(bed, 1, 1800000);
    const std::string coretemp = bed.addDevice("platform", "coretemp.0", "", {});
    bed.addHwmon("coretemp", coretemp, {{"temp1_input", "71000"}, {"temp1_label", "Package id 0"}});
    bed.addHwmon("acpitz", "", {{"temp1_input", "47000"}, {"temp2_input", "29800"}});
    // Integrated graphics: no hwmon chip, the clock comes from drm.
    const std::string igpu = bed.addDevice("pci", "0000:00:02.0", "", {{"vendor", "0x8086"}});
    bed.writeFile(igpu + "/drm/card0/gt_act_freq_mhz", "850\n");
    bed.link(igpu + "/drm/card0/device", "../../../0000:00:02.0");
    bed.link("/sys/class/drm/card0", "../.." + igpu.substr(4) + "/drm/card0");
    bed.addRaplZone("intel-rapl:0", "package-0", 0, 262143328850);
    bed.addRaplZone("intel-rapl:0:1", "uncore", 0, 262143328850);
}

// A bare virtual machine: no hwmon, no cpufreq; clocks from /proc/cpuinfo.
void buildVirtualMachine(Testbed &bed)
{
    bed.writeFile("/proc/cpuinfo", "processor\t: 0\nmodel name\t: QEMU Virtual CPU version 2.5+\ncpu MHz\t\t: "
                                   "2096.013\n\nprocessor\t: 1\nmodel name\t: QEMU Virtual CPU version 2.5+\n"
                                   "cpu MHz\t\t: 2096.013\n\n");
    bed.writeProcStat(1000, 9000);
}

// An older two-socket Intel server: coretemp reads cores only, no package. The second package is
// found first and runs hotter; a Nuvoton chip's PECI reading of the processor must not beat
// coretemp's.
struct PerCoreServer {
    std::string firstPackage; // the hwmon folders
    std::string secondPackage;
};

PerCoreServer buildPerCoreServer(Testbed &bed)
{
    PerCoreServer server;
    bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
    bed.writeProcStat(1000, 9000);
    server.secondPackage = bed.addHwmon("coretemp", bed.addDevice("platform", "coretemp.1", "", {}),
                                        {{"temp2_input", "60000"}, {"temp2_label", "Core 0"}});
    server.firstPackage = bed.addHwmon(
        "coretemp", bed.addDevice("platform", "coretemp.0", "", {}),
        {{"temp2_input", "41000"}, {"temp2_label", "Core 0"}, {"temp3_input", "47000"}, {"temp3_label", "Core 1"}});
    bed.addHwmon("nct6776", bed.addDevice("platform", "nct6775.2608", "", {}),
                 {{"temp1_input", "37000"},
                  {"temp1_label", "SYSTIN"},
                  {"temp7_input", "99000"},
                  {"temp7_label", "PECI Agent 0"},
                  {"fan2_input", "1500"}});
    return server;
}

const char *const kRyzenCpuinfo = "processor\t: 0\nmodel name\t: AMD Ryzen 7 PRO 5850U\ncpu MHz\t\t: 1900.000\n\n";

// An AMD laptop: k10temp, the APU's graphics (whose power is the whole chip's), ThinkPad's embedded
// controller (its CPU reading is no match for the processor's own) and an ACPI zone.
void buildApuLaptop(Testbed &bed)
{
    bed.writeFile("/proc/cpuinfo", kRyzenCpuinfo);
    bed.writeProcStat(1000, 9000);
    bed.addHwmon("k10temp", bed.addDevice("pci", "0000:00:18.3", "", {}),
                 {{"temp1_input", "61250"}, {"temp1_label", "Tctl"}});
    bed.addHwmon("amdgpu", bed.addDevice("pci", "0000:07:00.0", "", {{"vendor", "0x1002"}}),
                 {{"in0_input", "1400"},
                  {"in0_label", "vddgfx"},
                  {"in1_input", "768"},
                  {"in1_label", "vddnb"},
                  {"temp1_input", "45000"},
                  {"temp1_label", "edge"},
                  {"power1_average", "12000000"}});
    bed.addHwmon("thinkpad", bed.addDevice("platform", "thinkpad_hwmon", "", {}),
                 {{"temp1_input", "70000"}, {"fan1_input", "2600"}});
    bed.addHwmon("acpitz", "", {{"temp1_input", "50000"}});
}

// A ThinkPad whose processor driver is not loaded: the embedded controller's CPU and GPU sensors.
// Its second fan input has no tachometer (65535).
void buildThinkPadWithoutCpuDriver(Testbed &bed)
{
    bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
    bed.writeProcStat(1000, 9000);
    bed.addHwmon("thinkpad", bed.addDevice("platform", "thinkpad_hwmon", "", {}),
                 {{"temp1_input", "55000"},
                  {"temp2_input", "48000"},
                  {"temp2_label", "GPU"},
                  {"temp3_input", "0"},
                  {"fan1_input", "3100"},
                  {"fan2_input", "65535"}});
    bed.addHwmon("acpitz", "", {{"temp1_input", "40000"}});
}

// An AMD FX desktop: k10temp's single unlabelled input, fam15h_power, an ITE chip, and a Radeon
// card whose fan input has no tachometer.
void buildFxDesktop(Testbed &bed)
{
    bed.writeFile("/proc/cpuinfo",
                  "processor\t: 0\nmodel name\t: AMD FX(tm)-8350 Eight-Core Processor\ncpu MHz\t\t: 4000.000\n\n");
    bed.writeProcStat(1000, 9000);
    bed.addHwmon("k10temp", bed.addDevice("pci", "0000:00:18.3", "", {}), {{"temp1_input", "30500"}});
    bed.addHwmon("fam15h_power", bed.addDevice("pci", "0000:00:18.4", "", {}), {{"power1_input", "65000000"}});
    bed.addHwmon("it8721", bed.addDevice("platform", "it87.656", "", {}),
                 {{"temp1_input", "38000"}, {"temp2_input", "29000"}, {"fan1_input", "1100"}, {"fan2_input", "0"}});
    bed.addHwmon("radeon", bed.addDevice("pci", "0000:01:00.0", "", {{"vendor", "0x1002"}}),
                 {{"temp1_input", "42000"}, {"fan1_input", "65535"}});
}

} // namespace

class TestSensorMachines : public QObject
{
    Q_OBJECT

private:
    FakeNvml nvml;

private slots:
    void initTestCase()
    {
        QVERIFY2(nvml.configure && nvml.gpuAt && nvml.sessions && nvml.queries,
                 "the stand-in libnvidia-ml.so.1 is not on the path");
    }

    void cleanup() { sdkUninit(); }

    void intelDesktop()
    {
        Testbed bed;
        const IntelDesktop desktop = buildIntelDesktop(bed);
        // A user's label line: the second Super I/O input is the chipset's sensor on this board.
        bed.useSensorsConfig("chip \"nct6798-*\"\n    label temp2 \"PCH Temperature\"\n");
        const FakeNvmlGpu gpu{0, 1, "NVIDIA GeForce RTX 3070", 61, 37, 1845, 123456, 1500, 0};
        nvml.configure(0, 1, &gpu);

        QCOMPARE(sdkInit(64), 0);
        Walk first = walk();
        QCOMPARE(first.sensors.size(), 3);
        QCOMPARE(first.sensors[0], QString("CPU: Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz"));
        QVERIFY(first.sensors[1].startsWith("nct6798-"));
        QCOMPARE(first.sensors[2], QString("GPU: NVIDIA GeForce RTX 3070"));

        QCOMPARE(first.value(Temperature, "CPU Package"), near(52.0));
        QCOMPARE(first.sensorOf(Temperature, "CPU Package"), 0);
        QCOMPARE(first.value(Temperature, "Core 1"), near(49.0));
        // Two physical cores behind four logical processors, clocks from cpufreq in kHz.
        QCOMPARE(first.labels(0, Clock), (QList<QByteArray>{"Core 0 Clock", "Core 1 Clock"}));
        QCOMPARE(first.value(Clock, "Core 0 Clock"), near(4700.0));
        QCOMPARE(first.value(Clock, "Core 1 Clock"), near(4200.0));
        // Usage and package power are differences: nothing to compare with in the first cycle.
        QCOMPARE(first.value(Usage, "Total CPU Usage"), std::nullopt);
        QCOMPARE(first.value(Power, "CPU Package Power"), std::nullopt);

        QCOMPARE(first.value(Temperature, "Motherboard"), near(34.0));
        QCOMPARE(first.sensorOf(Temperature, "Motherboard"), 1);
        QCOMPARE(first.value(Temperature, "PCH Temperature"), near(40.5));
        QCOMPARE(first.value(Fan, "CPU Fan"), near(1250.0));
        QCOMPARE(first.value(Fan, "fan1"), near(0.0));
        QCOMPARE(first.value(Fan, "fan3"), near(812.0));
        QCOMPARE(first.labels(1, Temperature), (QList<QByteArray>{"Motherboard", "PCH Temperature"}));

        QCOMPARE(first.value(Temperature, "GPU Temperature"), near(61.0));
        QCOMPARE(first.value(Usage, "GPU Core Load"), near(37.0));
        QCOMPARE(first.value(Clock, "GPU Clock"), near(1845.0));
        QCOMPARE(first.value(Power, "GPU Power (Total)"), near(123.456));
        QCOMPARE(first.value(Fan, "GPU Fan"), near(1500.0));
        QCOMPARE(first.sensorOf(Fan, "GPU Fan"), 2);

        // Second cycle: 250 of 1000 jiffies busy, 3.5 J more in the package.
        bed.writeProcStat(1250, 9750);
        bed.writeFile("/sys/devices/virtual/powercap/intel-rapl/intel-rapl:0/energy_uj", "4500000\n");
        bed.writeFile("/sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "800000\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Walk second = walk();
        QCOMPARE(second.value(Usage, "Total CPU Usage"), near(25.0));
        const auto packagePower = second.value(Power, "CPU Package Power");
        QVERIFY(packagePower && *packagePower > 0 && *packagePower <= 35.0);
        QCOMPARE(second.value(Clock, "Core 0 Clock"), near(800.0));

        // Third cycle: the GPU fell off the bus, RAPL became unreadable, a fan input vanished,
        // a temperature turned to garbage. Those readings are absent, not stale.
        nvml.gpuAt(0)->lost = 1;
        bed.removeFile("/sys/devices/virtual/powercap/intel-rapl/intel-rapl:0/energy_uj");
        bed.removeFile(desktop.superIo + "/fan2_input");
        bed.writeFile(desktop.coretemp + "/temp1_input", "garbage\n");
        Walk third = walk();
        QCOMPARE(third.sensors.size(), 3);
        for (const char *gone : {"GPU Temperature", "GPU Core Load", "GPU Clock", "GPU Power (Total)", "GPU Fan",
                                 "CPU Package Power", "CPU Fan", "CPU Package"}) {
            for (int kind = Temperature; kind <= Usage; ++kind)
                QVERIFY2(!third.value(kind, gone), gone);
        }
        QCOMPARE(third.value(Temperature, "Motherboard"), near(34.0));
        QCOMPARE(third.value(Fan, "fan3"), near(812.0));

        // Back again: the GPU answers, and RAPL needs one more cycle before it has a difference.
        nvml.gpuAt(0)->lost = 0;
        bed.writeFile("/sys/devices/virtual/powercap/intel-rapl/intel-rapl:0/energy_uj", "5000000\n");
        Walk fourth = walk();
        QCOMPARE(fourth.value(Temperature, "GPU Temperature"), near(61.0));
        QCOMPARE(fourth.value(Power, "CPU Package Power"), std::nullopt);

        QCOMPARE(sdkUninit(), 0);
        QCOMPARE(nvml.sessions(), 0);
        QCOMPARE(sdkSensorCount(), 0);
    }

    void nvidiaWithoutFanSpeed()
    {
        Testbed bed;
        bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
        bed.writeProcStat(1000, 9000);
        const FakeNvmlGpu gpu{0, 1, "NVIDIA GeForce GTX 1060", 55, 3, 1500, 45000, 0, 0};
        nvml.configure(0, 1, &gpu);
        QCOMPARE(sdkInit(64), 0);
        const Walk cycle = walk();
        QCOMPARE(cycle.value(Temperature, "GPU Temperature"), near(55.0));
        QCOMPARE(cycle.labels(1, Fan), QList<QByteArray>());
    }

    // A hybrid laptop's NVIDIA card asleep: absent readings, and NVML is not asked (it would wake it).
    void sleepingNvidiaGpuStaysAsleep()
    {
        Testbed bed;
        buildLaptop(bed);
        const std::string card = bed.addDevice("pci", "0000:01:00.0", "", {{"vendor", "0x10de"}});
        bed.writeFile(card + "/power/runtime_status", "suspended\n");
        const FakeNvmlGpu gpu{0, 1, "NVIDIA GeForce RTX 3050 Laptop GPU", 45, 0, 210, 5000, 0, 0};
        nvml.configure(0, 1, &gpu);
        QCOMPARE(sdkInit(64), 0);

        const int queriesBefore = nvml.queries();
        const Walk asleep = walk();
        QCOMPARE(nvml.queries(), queriesBefore);
        const int gpuSensor = asleep.sensors.indexOf("GPU: NVIDIA GeForce RTX 3050 Laptop GPU");
        QCOMPARE(gpuSensor, 2); // after the integrated GPU at 00:02.0, before the ACPI zone
        for (int kind = Temperature; kind <= Usage; ++kind)
            QCOMPARE(asleep.labels(gpuSensor, kind), QList<QByteArray>());

        bed.writeFile(card + "/power/runtime_status", "active\n");
        const Walk awake = walk();
        QVERIFY(nvml.queries() > queriesBefore);
        QCOMPARE(awake.value(Temperature, "GPU Temperature"), near(45.0));
        QCOMPARE(awake.sensorOf(Temperature, "GPU Temperature"), gpuSensor);
    }

    void amdDesktop()
    {
        Testbed bed;
        nvml.absent();
        const AmdDesktop desktop = buildAmdDesktop(bed);

        QCOMPARE(sdkInit(64), 0);
        const Walk first = walk();
        QCOMPARE(first.sensors.size(), 4);
        QCOMPARE(first.sensors[0], QString("CPU: AMD Ryzen 7 5800X 8-Core Processor"));
        QVERIFY(first.sensors[1].startsWith("it8688-"));
        QVERIFY2(first.sensors[2].contains("0000:03:00.0"), qPrintable(first.sensors[2]));
        QVERIFY2(first.sensors[3].contains("0000:0c:00.0"), qPrintable(first.sensors[3]));

        QCOMPARE(first.value(Temperature, "CPU (Tctl/Tdie)"), near(65.25));
        QCOMPARE(first.value(Temperature, "Tccd1"), near(55.0));
        QCOMPARE(first.value(Clock, "Core 0 Clock"), near(4850.0));
        // it87 names no inputs: which one reads the board is not known.
        QCOMPARE(first.value(Temperature, "Motherboard"), std::nullopt);
        QCOMPARE(first.value(Temperature, "temp1"), near(36.0));
        QCOMPARE(first.value(Temperature, "temp2"), near(41.0));
        QCOMPARE(first.value(Fan, "CPU Fan"), near(900.0));
        QCOMPARE(first.value(Fan, "fan2"), near(700.0));

        QCOMPARE(first.sensorOf(Temperature, "GPU Temperature"), 2);
        QCOMPARE(first.value(Temperature, "GPU Temperature"), near(48.0));
        QCOMPARE(first.value(Temperature, "GPU junction"), near(55.0));
        QCOMPARE(first.value(Power, "GPU ASIC Power"), near(45.0));
        QCOMPARE(first.value(Fan, "GPU Fan"), near(1100.0));
        QCOMPARE(first.value(Clock, "GPU Clock"), near(2100.0));
        QCOMPARE(first.value(Clock, "GPU Memory Clock"), near(875.0));
        QCOMPARE(first.value(Usage, "GPU Core Load"), near(12.0));
        QCOMPARE(first.labels(3, Clock), QList<QByteArray>{"GPU Clock"});
        QCOMPARE(first.labels(3, Usage), QList<QByteArray>());

        // The GPU powers down: its files go away or answer garbage.
        bed.removeFile(desktop.gpuHwmon + "/freq1_input");
        bed.writeFile(desktop.gpuHwmon + "/power1_average", "");
        bed.removeFile(desktop.gpu + "/gpu_busy_percent");
        const Walk second = walk();
        QCOMPARE(second.labels(2, Clock), QList<QByteArray>{"GPU Memory Clock"});
        QCOMPARE(second.labels(2, Power), QList<QByteArray>());
        QCOMPARE(second.labels(2, Usage), QList<QByteArray>());
        QCOMPARE(second.value(Temperature, "GPU Temperature"), near(48.0));
    }

    // A file that goes away (its driver unloaded, the card unplugged) leaves its reading absent from
    // that cycle on, and is found again within a few cycles once it is back, with its new value;
    // one that only answers nothing for a while (a card asleep) reads again as soon as it answers.
    void readingsThatGoAndComeBack()
    {
        Testbed bed;
        nvml.absent();
        const AmdDesktop desktop = buildAmdDesktop(bed);
        QCOMPARE(sdkInit(64), 0);
        const Walk first = walk();
        QCOMPARE(first.value(Power, "GPU ASIC Power"), near(45.0));
        QCOMPARE(first.value(Usage, "GPU Core Load"), near(12.0));

        bed.removeFile(desktop.gpuHwmon + "/power1_average");
        bed.removeFile(desktop.gpu + "/gpu_busy_percent");
        for (int cycle = 0; cycle < 3; ++cycle) {
            const Walk gone = walk();
            QCOMPARE(gone.value(Power, "GPU ASIC Power"), std::nullopt);
            QCOMPARE(gone.value(Usage, "GPU Core Load"), std::nullopt);
            QCOMPARE(gone.value(Temperature, "GPU Temperature"), near(48.0));
        }
        bed.writeFile(desktop.gpuHwmon + "/power1_average", "52000000\n");
        bed.writeFile(desktop.gpu + "/gpu_busy_percent", "80\n");
        // The library looks for a lost file again at least every fifth cycle.
        int cycles = 0;
        Walk back;
        do {
            back = walk();
            ++cycles;
        } while (!back.value(Power, "GPU ASIC Power") && cycles < 10);
        QVERIFY2(cycles <= 5, qPrintable(QString::number(cycles)));
        QCOMPARE(back.value(Power, "GPU ASIC Power"), near(52.0));
        QCOMPARE(back.value(Usage, "GPU Core Load"), near(80.0));

        // The first card's temperature answers nothing: the second card's is the first in the walk.
        bed.writeFile(desktop.gpuHwmon + "/temp1_input", "");
        for (int cycle = 0; cycle < 2; ++cycle) {
            const Walk silent = walk();
            QCOMPARE(silent.sensorOf(Temperature, "GPU Temperature"), 3);
            QCOMPARE(silent.value(Temperature, "GPU Temperature"), near(39.0));
        }
        bed.writeFile(desktop.gpuHwmon + "/temp1_input", "50000\n");
        const Walk answering = walk();
        QCOMPARE(answering.sensorOf(Temperature, "GPU Temperature"), 2);
        QCOMPARE(answering.value(Temperature, "GPU Temperature"), near(50.0));
    }

    // A configuration that computes readings: those values are libsensors' computed ones in every
    // cycle; the rest read as they are, also where a computed feature's name is another chip's.
    void computedReadings()
    {
        Testbed bed;
        nvml.absent();
        const IntelDesktop desktop = buildIntelDesktop(bed);
        bed.useSensorsConfig("chip \"nct6798-*\"\n    compute temp1 @*2-10, (@+10)/2\n"
                             "    # compute fan2 @*100, @/100\n    compute fan3 @/2, @*2\n");
        QCOMPARE(sdkInit(64), 0);
        const Walk first = walk();
        QCOMPARE(first.value(Temperature, "Motherboard"), near(58.0));
        QCOMPARE(first.value(Fan, "fan3"), near(406.0));
        QCOMPARE(first.value(Fan, "CPU Fan"), near(1250.0));
        QCOMPARE(first.value(Temperature, "CPU Package"), near(52.0));

        bed.writeFile(desktop.superIo + "/temp1_input", "35000\n");
        bed.writeFile(desktop.superIo + "/fan3_input", "900\n");
        bed.writeFile(desktop.coretemp + "/temp1_input", "53000\n");
        const Walk second = walk();
        QCOMPARE(second.value(Temperature, "Motherboard"), near(60.0));
        QCOMPARE(second.value(Fan, "fan3"), near(450.0));
        QCOMPARE(second.value(Temperature, "CPU Package"), near(53.0));

        bed.removeFile(desktop.superIo + "/temp1_input");
        QCOMPARE(walk().value(Temperature, "Motherboard"), std::nullopt);

        // A configuration too long for the library to look through: every reading goes through
        // libsensors, so its computation still holds.
        QCOMPARE(sdkUninit(), 0);
        bed.writeFile(desktop.superIo + "/temp1_input", "34000\n");
        std::string longConfiguration;
        while (longConfiguration.size() <= std::size_t(1024) * 1024)
            longConfiguration += "# " + std::string(77, '-') + "\n";
        bed.useSensorsConfig(longConfiguration + "chip \"nct6798-*\"\n    compute temp1 @*2-10, (@+10)/2\n");
        QCOMPARE(sdkInit(64), 0);
        QCOMPARE(walk().value(Temperature, "Motherboard"), near(58.0));
    }

    // Chips of one role are offered in the kernel's registration order, hwmonN by N, whatever
    // order the file system lists /sys/class/hwmon in: the first board chip's SYSTIN is the board's
    // temperature. Read with the folder listed one way and the other.
    void chipsInRegistrationOrder()
    {
        Testbed bed;
        nvml.absent();
        bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
        bed.writeProcStat(1, 1);
        // Made in neither the registration order nor the names' order.
        const struct {
            int number;
            const char *chip;
            const char *device;
            const char *systin;
        } chips[] = {{2, "nct6796", "nct6775.657", "32000"},
                     {10, "nct6793", "nct6775.658", "40000"},
                     {1, "nct6798", "nct6775.656", "31000"}};
        for (const auto &chip : chips) {
            bed.addHwmon(chip.chip, bed.addDevice("platform", chip.device, "", {}),
                         {{"temp1_input", chip.systin}, {"temp1_label", "SYSTIN"}}, chip.number);
        }
        for (int listing = 0; listing < 2; ++listing) {
            QCOMPARE(sdkInit(64), 0);
            const Walk cycle = walk();
            QCOMPARE(cycle.sensors.size(), 4);
            QVERIFY2(cycle.sensors[1].startsWith("nct6798-") && cycle.sensors[2].startsWith("nct6796-")
                         && cycle.sensors[3].startsWith("nct6793-"),
                     qPrintable(cycle.sensors.join(", ")));
            QCOMPARE(cycle.sensorOf(Temperature, "Motherboard"), 1);
            QCOMPARE(cycle.value(Temperature, "Motherboard"), near(31.0));
            QCOMPARE(sdkUninit(), 0);
            bed.reverseListing("/sys/class/hwmon");
        }
    }

    void laptop()
    {
        Testbed bed;
        nvml.absent();
        buildLaptop(bed);

        QCOMPARE(sdkInit(64), 0);
        const Walk first = walk();
        QCOMPARE(first.sensors.size(), 3);
        QVERIFY2(first.sensors[1].contains("Intel"), qPrintable(first.sensors[1]));
        QVERIFY(first.sensors[2].startsWith("acpitz"));
        QCOMPARE(first.value(Temperature, "CPU Package"), near(71.0));
        // An ACPI thermal zone is no board sensor: it keeps its own names.
        QCOMPARE(first.value(Temperature, "Motherboard"), std::nullopt);
        QCOMPARE(first.value(Temperature, "temp1"), near(47.0));
        QCOMPARE(first.value(Temperature, "temp2"), near(29.8));
        QCOMPARE(first.value(Clock, "GPU Clock"), near(850.0));
        QCOMPARE(first.sensorOf(Clock, "GPU Clock"), 1);
        QCOMPARE(first.value(Power, "IGPU Power"), std::nullopt);

        bed.writeFile("/sys/devices/virtual/powercap/intel-rapl/intel-rapl:0:1/energy_uj", "2000000\n");
        bed.writeFile("/sys/devices/virtual/powercap/intel-rapl/intel-rapl:0/energy_uj", "9000000\n");
        const Walk second = walk();
        QVERIFY(second.value(Power, "IGPU Power").value_or(0) > 0);
        QVERIFY(second.value(Power, "CPU Package Power").value_or(0) > 0);
        QCOMPARE(second.sensorOf(Power, "IGPU Power"), 1);
    }

    void virtualMachine()
    {
        Testbed bed;
        nvml.absent();
        buildVirtualMachine(bed);

        QCOMPARE(sdkInit(64), 0);
        QCOMPARE(sdkSensorCount(), 1);
        const Walk first = walk();
        QCOMPARE(first.sensors, QStringList{"CPU: QEMU Virtual CPU version 2.5+"});
        QCOMPARE(first.labels(0, Clock), (QList<QByteArray>{"Core 0 Clock", "Core 1 Clock"}));
        QVERIFY(closeTo(first.value(Clock, "Core 0 Clock"), 2096.013));
        QVERIFY(first.labels(0, Temperature).isEmpty());
        QVERIFY(first.labels(0, Fan).isEmpty());
        QVERIFY(first.labels(0, Power).isEmpty());
        QVERIFY(first.labels(0, Usage).isEmpty());

        // The processors' clocks come from /proc/cpuinfo again in every cycle.
        bed.writeFile("/proc/cpuinfo",
                      "processor\t: 0\ncpu MHz\t\t: 1500.500\n\nprocessor\t: 1\ncpu MHz\t\t: bogus\n\n");
        bed.writeProcStat(1500, 9500);
        const Walk second = walk();
        QVERIFY(closeTo(second.value(Clock, "Core 0 Clock"), 1500.5));
        QCOMPARE(second.value(Clock, "Core 1 Clock"), std::nullopt);
        QCOMPARE(second.value(Usage, "Total CPU Usage"), near(50.0));

        // /proc/stat unreadable: no usage in that cycle, and none in the next (no base to compare).
        bed.writeFile("/proc/stat", "not a stat file\n");
        QCOMPARE(walk().value(Usage, "Total CPU Usage"), std::nullopt);
        bed.writeProcStat(1600, 9600);
        QCOMPARE(walk().value(Usage, "Total CPU Usage"), std::nullopt);
        bed.writeProcStat(1700, 9700);
        QCOMPARE(walk().value(Usage, "Total CPU Usage"), near(50.0));
    }

    // Calls out of order or with bad arguments answer "nothing", never touch memory they do not own.
    void entryPointsOutsideTheirUse()
    {
        Testbed bed;
        nvml.absent();
        bed.writeFile("/proc/cpuinfo", "processor\t: 0\ncpu MHz\t\t: 1000\n");
        bed.writeProcStat(1, 1);
        char label[8];
        std::memset(label, 'x', sizeof label);
        QCOMPARE(sdkSensorCount(), 0);
        QVERIFY(sdkPrepareSensor(0) != 0);
        QCOMPARE(sdkReadClock(0, 0, label, sizeof label), 0.0);
        QCOMPARE(label[0], '\0');
        QVERIFY(sdkUninit() != 0);
        QVERIFY(sdkInit(0) != 0);

        QCOMPARE(sdkInit(64), 0);
        QCOMPARE(sdkPrepareSensor(0), 0);
        for (const int sensor : {-1, 1, 64}) {
            std::memset(label, 'x', sizeof label);
            QVERIFY(sdkPrepareSensor(sensor) != 0);
            QCOMPARE(sdkReadTemperature(sensor, 0, label, sizeof label), 0.0);
            QCOMPARE(label[0], '\0');
            std::memset(label, 'x', sizeof label);
            sdkSensorName(sensor, label, sizeof label);
            QCOMPARE(label[0], '\0');
        }
        for (const int reading : {-1, 1, 512, 100000}) {
            std::memset(label, 'x', sizeof label);
            QCOMPARE(sdkReadClock(0, reading, label, sizeof label), 0.0);
            QCOMPARE(label[0], '\0');
        }
        // A buffer shorter than the label: cut, terminated, nothing written past its end.
        std::memset(label, 'x', sizeof label);
        QCOMPARE(sdkReadClock(0, 0, label, 5), 1000.0);
        QCOMPARE(QByteArray(label), QByteArray("Core"));
        QCOMPARE(label[5], 'x');
        std::memset(label, 'x', sizeof label);
        sdkSensorName(0, label, 4);
        QCOMPARE(QByteArray(label), QByteArray("CPU"));
        QCOMPARE(label[4], 'x');
        QCOMPARE(sdkReadClock(0, 0, nullptr, 0), 1000.0);
        // Past the table, where the answer needs no lock: no label buffer, or one of no size.
        QCOMPARE(sdkReadClock(0, 300, nullptr, 256), 0.0);
        label[0] = 'x';
        QCOMPARE(sdkReadFan(0, 300, label, 0), 0);
        QCOMPARE(label[0], 'x');

        // A second sdkInit starts over instead of leaking or doubling the sensors.
        QCOMPARE(sdkInit(64), 0);
        QCOMPARE(sdkSensorCount(), 1);
        QCOMPARE(sdkUninit(), 0);
        QVERIFY(sdkUninit() != 0);
    }

    // A configuration that does not parse must not cost the user the chips themselves.
    void brokenSensorsConfiguration()
    {
        Testbed bed;
        nvml.absent();
        bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
        bed.writeProcStat(1, 1);
        const std::string coretemp = bed.addDevice("platform", "coretemp.0", "", {});
        bed.addHwmon("coretemp", coretemp, {{"temp1_input", "52000"}, {"temp1_label", "Package id 0"}});
        bed.useSensorsConfig("chip \"coretemp-*\"\n    label temp1 \"unterminated\n}}}\n");
        QCOMPARE(sdkInit(64), 0);
        QCOMPARE(walk().value(Temperature, "CPU Package"), near(52.0));
    }

    // The sensor thread's own read cycle, run over the library: each machine fills the window's
    // figures from the right readings. Second cycle, so usage and energy-based power have a value.
    void sensorThreadFillsFigures_data()
    {
        QTest::addColumn<int>("machine");
        QTest::addColumn<QVector<double>>("expected"); // snapshot order; -1: any value of at least 1
        // cpuTemperature cpuUsage cpuClock cpuPower cpuFan gpuTemperature gpuUsage gpuClock gpuPower
        // gpuFan boardTemperature memoryClock
        QTest::newRow("Intel desktop") << 0
                                       << QVector<double>{52, 25, 4700, -1, 1250, 61, 37, 1845, 123.456, 1500, 34, 0};
        QTest::newRow("AMD desktop") << 1 << QVector<double>{65.25, 25, 4850, 0, 900, 48, 12, 2100, 45, 1100, 0, 0};
        QTest::newRow("laptop") << 2 << QVector<double>{71, 25, 2400, -1, 0, 0, 0, 850, -1, 0, 0, 0};
        QTest::newRow("virtual machine") << 3 << QVector<double>{0, 25, 2096.013, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("server without package readings")
            << 4 << QVector<double>{47, 25, 4300, 0, 1500, 0, 0, 0, 0, 0, 37, 0};
        QTest::newRow("AMD laptop") << 5 << QVector<double>{61.25, 25, 1900, 12, 2600, 45, 0, 0, 0, 0, 0, 0};
        QTest::newRow("ThinkPad without processor driver")
            << 6 << QVector<double>{55, 25, 4300, 0, 3100, 48, 0, 0, 0, 0, 0, 0};
        QTest::newRow("AMD FX desktop") << 7 << QVector<double>{30.5, 25, 4000, 65, 1100, 42, 0, 0, 0, 0, 0, 0};
    }

    void sensorThreadFillsFigures()
    {
        QFETCH(int, machine);
        QFETCH(QVector<double>, expected);
        Testbed bed;
        nvml.absent();
        switch (machine) {
        case 0: {
            buildIntelDesktop(bed);
            const FakeNvmlGpu gpu{0, 1, "NVIDIA GeForce RTX 3070", 61, 37, 1845, 123456, 1500, 0};
            nvml.configure(0, 1, &gpu);
            break;
        }
        case 1:
            buildAmdDesktop(bed);
            break;
        case 2:
            buildLaptop(bed);
            break;
        case 3:
            buildVirtualMachine(bed);
            break;
        case 4:
            buildPerCoreServer(bed);
            break;
        case 5:
            buildApuLaptop(bed);
            break;
        case 6:
            buildThinkPadWithoutCpuDriver(bed);
            break;
        default:
            buildFxDesktop(bed);
            break;
        }
        QCOMPARE(sdkInit(SENSORSDK_INIT_ARGUMENT), 0);
        const kestrun::platform::SensorSdkApi api{sdkInit,       sdkUninit,          sdkSensorCount, sdkPrepareSensor,
                                                  sdkSensorName, sdkReadTemperature, sdkReadFan,     sdkReadPower,
                                                  sdkReadClock,  sdkReadUsage};
        const std::atomic<bool> keepGoing{true};
        QVERIFY(readSensorCycle(api, false, keepGoing));
        bed.writeProcStat(1250, 9750);
        bed.setRaplEnergy(90000000);
        const std::optional<SensorSnapshot> snapshot = readSensorCycle(api, false, keepGoing);
        QVERIFY(snapshot);
        const float values[] = {snapshot->cpuTemperature, snapshot->cpuUsage,         snapshot->cpuClock,
                                snapshot->cpuPower,       snapshot->cpuFan,           snapshot->gpuTemperature,
                                snapshot->gpuUsage,       snapshot->gpuClock,         snapshot->gpuPower,
                                snapshot->gpuFan,         snapshot->boardTemperature, snapshot->memoryClock};
        for (int field = 0; field < 12; ++field) {
            const QByteArray where = "field " + QByteArray::number(field) + ": " + QByteArray::number(values[field]);
            if (expected[field] < 0)
                QVERIFY2(values[field] >= 1.0f, where.constData());
            else
                QVERIFY2(std::fabs(values[field] - expected[field]) < 1e-3, where.constData());
        }
    }

    // Without a reading of the whole processor, its temperature is the hottest core of the first
    // package, taken afresh in every cycle from the cores' own values.
    void hottestCoreOfTheFirstPackage()
    {
        Testbed bed;
        nvml.absent();
        const PerCoreServer server = buildPerCoreServer(bed);
        QCOMPARE(sdkInit(64), 0);
        const Walk first = walk();
        QCOMPARE(first.value(Temperature, "CPU Temperature"), near(47.0));
        QCOMPARE(first.sensorOf(Temperature, "CPU Temperature"), 0);
        QCOMPARE(first.labels(0, Temperature).count("Core 0"), 2);
        QCOMPARE(first.labels(0, Temperature).last(), QByteArray("CPU Temperature"));

        bed.writeFile(server.firstPackage + "/temp3_input", "39000\n");
        QCOMPARE(walk().value(Temperature, "CPU Temperature"), near(41.0));
        bed.writeFile(server.firstPackage + "/temp2_input", "garbage\n");
        QCOMPARE(walk().value(Temperature, "CPU Temperature"), near(39.0));
        // No core of the first package readable: the CPU sensor has no figure, though the second
        // package still reads; the board's PECI reading of the processor is the next in the walk.
        bed.writeFile(server.firstPackage + "/temp3_input", "garbage\n");
        const Walk unreadable = walk();
        QVERIFY(!unreadable.labels(0, Temperature).contains("CPU Temperature"));
        QVERIFY(unreadable.labels(0, Temperature).contains("Core 0"));
        QCOMPARE(unreadable.sensorOf(Temperature, "CPU Temperature"), 1);
        QCOMPARE(unreadable.value(Temperature, "CPU Temperature"), near(99.0));
    }

    // The same for the processors whose drivers read cores only: k8temp (with the labels lm-sensors'
    // own configuration gives it) and via_cputemp (one chip per core). With a package reading there
    // is no such reading.
    void hottestCoreOfOtherProcessors()
    {
        {
            Testbed bed;
            nvml.absent();
            bed.writeFile("/proc/cpuinfo", "processor\t: 0\nmodel name\t: AMD Athlon(tm) 64 X2\n\n");
            bed.writeProcStat(1, 1);
            bed.addHwmon("k8temp", bed.addDevice("pci", "0000:00:18.3", "", {}),
                         {{"temp1_input", "33000"},
                          {"temp2_input", "34000"},
                          {"temp3_input", "35000"},
                          {"temp4_input", "27000"}});
            bed.useSensorsConfig("chip \"k8temp-*\"\n    label temp1 \"Core0 Temp\"\n    label temp2 \"Core0 Temp\"\n"
                                 "    label temp3 \"Core1 Temp\"\n    label temp4 \"Core1 Temp\"\n");
            QCOMPARE(sdkInit(64), 0);
            const Walk cycle = walk();
            QCOMPARE(cycle.value(Temperature, "CPU Temperature"), near(35.0));
            QCOMPARE(cycle.labels(0, Temperature).count("Core1 Temp"), 2);
            sdkUninit();
        }
        {
            Testbed bed;
            nvml.absent();
            bed.writeFile("/proc/cpuinfo", "processor\t: 0\nmodel name\t: VIA Eden X2\n\n");
            bed.writeProcStat(1, 1);
            bed.addHwmon("via_cputemp", bed.addDevice("platform", "via_cputemp.0", "", {}),
                         {{"temp1_input", "41000"}, {"temp1_label", "Core 0"}});
            bed.addHwmon("via_cputemp", bed.addDevice("platform", "via_cputemp.1", "", {}),
                         {{"temp1_input", "44000"}, {"temp1_label", "Core 1"}});
            QCOMPARE(sdkInit(64), 0);
            QCOMPARE(walk().value(Temperature, "CPU Temperature"), near(44.0));
            sdkUninit();
        }
        Testbed bed;
        nvml.absent();
        buildIntelDesktop(bed);
        QCOMPARE(sdkInit(64), 0);
        QCOMPARE(walk().labels(0, Temperature), (QList<QByteArray>{"CPU Package", "Core 0", "Core 1"}));
    }

    // The program's own loader finds the built library by its bare name and takes all ten entry points.
    void programLoaderTakesTheLibrary()
    {
        const kestrun::platform::SensorSdkApi *api = kestrun::platform::sensorSdk();
        QVERIFY(api);
        QVERIFY(api->init == &sdkInit);
        QVERIFY(api->readUsage == &sdkReadUsage);
    }

    // sdkInit(n) offers at most n sensors.
    void sensorLimit()
    {
        Testbed bed;
        buildIntelDesktop(bed);
        nvml.absent();
        QCOMPARE(sdkInit(1), 0);
        QCOMPARE(sdkSensorCount(), 1);
    }
};

KESTRUN_TEST_MAIN(TestSensorMachines)
#include "tst_sensormachines.moc"
