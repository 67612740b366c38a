// The pure parts of the sensor library: sysfs and /proc text, rates, PCI and hwmon order, labels and
// what lm-sensors' configuration computes.

#include "fixtures.h"
#include "labels.h"
#include "parse.h"
#include "sensor.h"
#include "sensorsconfig.h"
#include "testenv.h"

#include <cmath>
#include <cstring>
#include <set>
#include <utility>

using kestrun::test::readFixture;
using namespace sensorsdk;

Q_DECLARE_METATYPE(std::optional<long long>)
Q_DECLARE_METATYPE(std::optional<double>)

class TestSensorParsing : public QObject
{
    Q_OBJECT

private slots:
    void integers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::optional<long long>>("expected");
        QTest::newRow("sysfs value with newline") << QByteArray("45000\n") << std::optional<long long>(45000);
        QTest::newRow("negative millidegrees") << QByteArray("-5500\n") << std::optional<long long>(-5500);
        QTest::newRow("blanks around") << QByteArray("  12 \r\n") << std::optional<long long>(12);
        QTest::newRow("empty") << QByteArray("") << std::optional<long long>();
        QTest::newRow("only newline") << QByteArray("\n") << std::optional<long long>();
        QTest::newRow("garbage") << QByteArray("N/A\n") << std::optional<long long>();
        QTest::newRow("trailing garbage") << QByteArray("123abc") << std::optional<long long>();
        QTest::newRow("two numbers") << QByteArray("1 2") << std::optional<long long>();
        QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999") << std::optional<long long>();
        QTest::newRow("embedded NUL") << QByteArray("12\0"
                                                    "3",
                                                    4)
                                      << std::optional<long long>();
    }

    void integers()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<long long>, expected);
        QCOMPARE(parseInteger(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))), expected);
    }

    void decimals_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("cpuinfo MHz") << QByteArray("2096.013") << std::optional<double>(2096.013);
        QTest::newRow("whole") << QByteArray("800\n") << std::optional<double>(800);
        QTest::newRow("nan") << QByteArray("nan") << std::optional<double>();
        QTest::newRow("inf") << QByteArray("inf") << std::optional<double>();
        QTest::newRow("comma") << QByteArray("2096,013") << std::optional<double>();
        QTest::newRow("empty") << QByteArray("") << std::optional<double>();
    }

    void decimals()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(parseDecimal(text.toStdString()), expected);
    }

    void procStat_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qulonglong>("busy");
        QTest::addColumn<qulonglong>("total");
        // user nice system idle iowait irq softirq steal guest guest_nice
        QTest::newRow("ten fields, guest not counted twice")
            << QByteArray("cpu  100 20 30 800 50 0 0 0 40 5\ncpu0 1 2 3 4 5 6 7 8 9 10\n") << true << qulonglong(150)
            << qulonglong(1000);
        QTest::newRow("old kernel, four fields")
            << QByteArray("cpu 10 0 10 80\n") << true << qulonglong(20) << qulonglong(100);
        QTest::newRow("aggregate line after others")
            << QByteArray("intr 5\ncpu 1 1 1 1 0\n") << true << qulonglong(3) << qulonglong(4);
        QTest::newRow("per-core lines only") << QByteArray("cpu0 1 2 3 4\n") << false << qulonglong(0) << qulonglong(0);
        QTest::newRow("too few fields") << QByteArray("cpu 1 2 3\n") << false << qulonglong(0) << qulonglong(0);
        QTest::newRow("garbage field") << QByteArray("cpu 1 x 3 4\n") << false << qulonglong(0) << qulonglong(0);
        QTest::newRow("overflowing sum") << QByteArray("cpu 18446744073709551615 1 0 0\n") << false << qulonglong(0)
                                         << qulonglong(0);
        QTest::newRow("empty") << QByteArray() << false << qulonglong(0) << qulonglong(0);
    }

    void procStat()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        const auto times = parseProcStatCpu(text.toStdString());
        QCOMPARE(times.has_value(), valid);
        if (valid) {
            QTEST(qulonglong(times->busy), "busy");
            QTEST(qulonglong(times->total), "total");
        }
    }

    void usage_data()
    {
        QTest::addColumn<qulonglong>("busyBefore");
        QTest::addColumn<qulonglong>("totalBefore");
        QTest::addColumn<qulonglong>("busyAfter");
        QTest::addColumn<qulonglong>("totalAfter");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("quarter busy") << 100ULL << 1000ULL << 150ULL << 1200ULL << std::optional<double>(25.0);
        QTest::newRow("idle") << 100ULL << 1000ULL << 100ULL << 1100ULL << std::optional<double>(0.0);
        QTest::newRow("no time passed") << 100ULL << 1000ULL << 100ULL << 1000ULL << std::optional<double>();
        QTest::newRow("counters went back") << 100ULL << 1000ULL << 50ULL << 900ULL << std::optional<double>();
    }

    void usage()
    {
        QFETCH(qulonglong, busyBefore);
        QFETCH(qulonglong, totalBefore);
        QFETCH(qulonglong, busyAfter);
        QFETCH(qulonglong, totalAfter);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(usageBetween(CpuTimes{busyBefore, totalBefore}, CpuTimes{busyAfter, totalAfter}), expected);
    }

    void cpuinfo()
    {
        const std::string text = "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Core(TM) "
                                 "i7-8700 CPU @ 3.20GHz\ncpu MHz\t\t: 4300.125\nphysical id\t: 0\ncore id\t\t: 0\n\n"
                                 "processor\t: 1\ncpu MHz\t\t: garbage\nphysical id\t: 0\ncore id\t\t: 1\n\n"
                                 "processor\t: 2\nphysical id\t: 0\ncore id\t\t: 0\ncpu MHz\t\t: 800.000\n\n"
                                 "processor\t: x\n";
        const auto processors = parseCpuinfo(text);
        QCOMPARE(processors.size(), std::size_t(4));
        QCOMPARE(processors[0].processor, 0);
        QCOMPARE(processors[0].mhz, std::optional<double>(4300.125));
        QCOMPARE(processors[0].coreId, 0);
        QCOMPARE(processors[1].mhz, std::optional<double>());
        QCOMPARE(processors[1].coreId, 1);
        QCOMPARE(processors[2].physicalId, 0);
        QCOMPARE(processors[2].mhz, std::optional<double>(800.0));
        QCOMPARE(processors[3].processor, 3);
        QCOMPARE(processors[3].physicalId, -1);
        QCOMPARE(parseCpuModel(text), std::string("Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"));
        QCOMPARE(parseCpuModel("flags : fpu\n"), std::string());
        QVERIFY(parseCpuinfo("cpu MHz : 100\n").empty());
    }

    // Whole /proc/cpuinfo files of real machines (tests/fixtures/cpuinfo).
    void recordedCpuinfo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("processors");
        QTest::addColumn<int>("packages");
        QTest::addColumn<int>("cores");
        QTest::addColumn<QString>("model");
        QTest::addColumn<std::optional<double>>("firstMhz");
        QTest::newRow("Intel laptop") << "intel-core-i7-8650u-laptop.txt" << 8 << 1 << 4
                                      << "Intel(R) Core(TM) i7-8650U CPU @ 1.90GHz" << std::optional<double>(799.998);
        QTest::newRow("two-socket server") << "amd-epyc-7451-two-socket-server.txt" << 96 << 2 << 48
                                           << "AMD EPYC 7451 24-Core Processor" << std::optional<double>(2894.214);
        // Older ARM kernels: a "Processor" line above the blocks, no model name, ids or clock.
        QTest::newRow("ARM board, older layout")
            << "samsung-exynos5-armv7-board.txt" << 2 << 0 << 0 << "" << std::optional<double>();
        QTest::newRow("ARM, two core types")
            << "mediatek-mt8183-armv7.txt" << 8 << 0 << 0 << "ARMv7 Processor rev 4 (v7l)" << std::optional<double>();
        QTest::newRow("virtual machine") << "amd-epyc-kvm-guest.txt" << 2 << 1 << 2 << "AMD EPYC"
                                         << std::optional<double>(2596.138);
    }

    void recordedCpuinfo()
    {
        QFETCH(QString, file);
        QFETCH(int, processors);
        QFETCH(int, packages);
        QFETCH(int, cores);
        QFETCH(QString, model);
        QFETCH(std::optional<double>, firstMhz);
        const std::string text = readFixture("cpuinfo/" + file).toStdString();
        const auto parsed = parseCpuinfo(text);
        QCOMPARE(int(parsed.size()), processors);
        std::set<int> packageIds;
        std::set<std::pair<int, int>> coreIds;
        for (std::size_t i = 0; i < parsed.size(); ++i) {
            QCOMPARE(parsed[i].processor, int(i));
            if (parsed[i].physicalId >= 0)
                packageIds.insert(parsed[i].physicalId);
            if (parsed[i].coreId >= 0)
                coreIds.insert({parsed[i].physicalId, parsed[i].coreId});
        }
        QCOMPARE(int(packageIds.size()), packages);
        QCOMPARE(int(coreIds.size()), cores);
        QCOMPARE(parsed.front().mhz, firstMhz);
        QCOMPARE(QString::fromStdString(parseCpuModel(text)), model);
    }

    void energy_data()
    {
        QTest::addColumn<qlonglong>("before");
        QTest::addColumn<qlonglong>("after");
        QTest::addColumn<qlonglong>("maxRange");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("35 W over a second")
            << 1000000LL << 36000000LL << 262143328850LL << 1.0 << std::optional<double>(35.0);
        QTest::newRow("half a second") << 0LL << 10000000LL << 0LL << 0.5 << std::optional<double>(20.0);
        QTest::newRow("counter wrapped") << 262143000000LL << 1671150LL << 262143328850LL << 2.0
                                         << std::optional<double>(1.0);
        QTest::newRow("wrap without known range") << 5000LL << 10LL << 0LL << 1.0 << std::optional<double>();
        QTest::newRow("reading beyond range")
            << 300000000000LL << 10LL << 262143328850LL << 1.0 << std::optional<double>();
        QTest::newRow("no time passed") << 0LL << 100LL << 0LL << 0.0 << std::optional<double>();
        QTest::newRow("negative reading") << -5LL << 100LL << 0LL << 1.0 << std::optional<double>();
    }

    void energy()
    {
        QFETCH(qlonglong, before);
        QFETCH(qlonglong, after);
        QFETCH(qlonglong, maxRange);
        QFETCH(double, seconds);
        QFETCH(std::optional<double>, expected);
        const auto watts = energyRateWatts(before, after, maxRange, seconds);
        QCOMPARE(watts.has_value(), expected.has_value());
        if (expected)
            QVERIFY(std::fabs(*watts - *expected) < 1e-9);
    }

    void pciAddresses()
    {
        const auto nvmlStyle = parsePciAddress("00000000:01:00.0");
        const auto sysfsStyle = parsePciAddress("0000:03:00.0\n");
        const auto integrated = parsePciAddress("0000:00:02.0");
        QVERIFY(nvmlStyle && sysfsStyle && integrated);
        QVERIFY(*integrated < *nvmlStyle);
        QVERIFY(*nvmlStyle < *sysfsStyle);
        QVERIFY(!(*sysfsStyle < *sysfsStyle));
        QCOMPARE(parsePciAddress("0001:0a:1f.7")->bus, 0x0au);
        QVERIFY(*sysfsStyle < *parsePciAddress("0001:00:00.0"));
        for (const char *bad : {"", "hwmon0", "0000:03:00", "0000:100:00.0", "0000:03:20.0", "0000:03:00.8",
                                "zz:03:00.0", "0000:03:00.0.1x"})
            QVERIFY2(!parsePciAddress(bad), bad);
    }

    void hwmonNumbers()
    {
        QCOMPARE(hwmonNumber("/sys/class/hwmon/hwmon3"), std::optional<unsigned long>(3));
        QCOMPARE(hwmonNumber("/sys/class/hwmon/hwmon12/device"), std::optional<unsigned long>(12));
        QCOMPARE(hwmonNumber("/sys/devices/platform/nct6775.656/hwmon/hwmon0"), std::optional<unsigned long>(0));
        for (const char *none :
             {"", "/sys/class/hwmon", "/sys/class/hwmon/hwmon", "/sys/class/hwmon/hwmonX", "/sys/class/hwmon/hwmon-1",
              "/sys/class/hwmon/hwmon 1", "/sys/devices/virtual/thermal"})
            QVERIFY2(!hwmonNumber(none), none);
        // Registration order is the number's, not the text's.
        QVERIFY(*hwmonNumber("/sys/class/hwmon/hwmon2") < *hwmonNumber("/sys/class/hwmon/hwmon10"));
    }

    void computedFeatures_data()
    {
        QTest::addColumn<QByteArray>("configuration");
        QTest::addColumn<QStringList>("features");
        QTest::newRow("none") << QByteArray("chip \"nct6798-*\"\n    label temp1 \"CPU\"\n") << QStringList();
        QTest::newRow("voltages and a temperature")
            << QByteArray("chip \"it8721-*\"\n    compute in3 ((6.8/10)+1)*@, @/((6.8/10)+1)\n"
                          "chip \"nct6798-*\"\n    compute  temp3\t@-5, @+5\n    compute in3 @*2, @/2\n")
            << QStringList{"in3", "temp3"};
        QTest::newRow("comments and quoted texts")
            << QByteArray("# compute temp1 @*2, @/2\nchip \"coretemp-*\" # compute temp2 @, @\n"
                          "    label temp3 \"compute temp4\"\n    label temp5 \"a \\\" compute temp6\"\n")
            << QStringList();
        QTest::newRow("continued line") << QByteArray("chip \"k10temp-*\"\n    compute \\\n temp1 @-10, @+10\n")
                                        << QStringList{"temp1"};
        QTest::newRow("compute ends its line") << QByteArray("    compute\ntemp1 @, @\n") << QStringList();
        QTest::newRow("unterminated text ends at its line")
            << QByteArray("    label temp1 \"open\n    compute fan2 @*2, @/2\n") << QStringList{"fan2"};
    }

    void computedFeatures()
    {
        QFETCH(QByteArray, configuration);
        QFETCH(QStringList, features);
        QStringList found;
        for (const std::string &feature : sensorsdk::computedFeatures(configuration.toStdString()))
            found << QString::fromStdString(feature);
        QCOMPARE(found, features);
    }

    void labels_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("driverLabel");
        QTest::addColumn<QString>("shownLabel");
        QTest::addColumn<bool>("tdie");
        QTest::addColumn<bool>("apu");
        QTest::addColumn<QString>("expected");
        const int temp = int(FeatureKind::Temperature), fan = int(FeatureKind::Fan), power = int(FeatureKind::Power);
        QTest::newRow("coretemp package") << "coretemp" << temp << 1 << "Package id 0"
                                          << "Package id 0" << false << false << "CPU Package";
        QTest::newRow("coretemp package, older kernels") << "coretemp" << temp << 1 << "Physical id 0"
                                                         << "Physical id 0" << false << false << "CPU Package";
        QTest::newRow("coretemp second package") << "coretemp" << temp << 1 << "Package id 1"
                                                 << "Package id 1" << false << false << "Package id 1";
        QTest::newRow("coretemp core") << "coretemp" << temp << 2 << "Core 0"
                                       << "Core 0" << false << false << "Core 0";
        QTest::newRow("k10temp Tctl") << "k10temp" << temp << 1 << "Tctl"
                                      << "Tctl" << false << false << "CPU (Tctl/Tdie)";
        QTest::newRow("k10temp Tctl beside Tdie") << "k10temp" << temp << 1 << "Tctl"
                                                  << "Tctl" << true << false << "Tctl";
        QTest::newRow("k10temp Tdie") << "k10temp" << temp << 2 << "Tdie"
                                      << "Tdie" << true << false << "CPU (Tctl/Tdie)";
        QTest::newRow("k10temp of a family 10h-16h CPU") << "k10temp" << temp << 1 << ""
                                                         << "temp1" << false << false << "CPU (Tctl/Tdie)";
        QTest::newRow("k10temp CCD") << "k10temp" << temp << 3 << "Tccd1"
                                     << "Tccd1" << true << false << "Tccd1";
        QTest::newRow("zenpower Tccd1") << "zenpower" << temp << 3 << "Tccd1"
                                        << "Tccd1" << true << false << "Tccd1";
        QTest::newRow("zenpower without a first label") << "zenpower" << temp << 1 << ""
                                                        << "temp1" << false << false << "temp1";
        QTest::newRow("k8temp core") << "k8temp" << temp << 1 << ""
                                     << "temp1" << false << false << "temp1";
        QTest::newRow("fam15h_power") << "fam15h_power" << power << 1 << ""
                                      << "power1" << false << false << "CPU Package Power";
        QTest::newRow("nct SYSTIN") << "nct6798" << temp << 1 << "SYSTIN"
                                    << "SYSTIN" << false << false << "Motherboard";
        QTest::newRow("nct CPUTIN") << "nct6798" << temp << 2 << "CPUTIN"
                                    << "CPUTIN" << false << false << "CPUTIN";
        QTest::newRow("nct PECI") << "nct6779" << temp << 7 << "PECI Agent 0"
                                  << "PECI Agent 0" << false << false << "CPU Temperature";
        QTest::newRow("nct CPUFANIN") << "nct6798" << fan << 2 << ""
                                      << "fan2" << false << false << "CPU Fan";
        QTest::newRow("nct other fan") << "nct6798" << fan << 1 << ""
                                       << "fan1" << false << false << "fan1";
        QTest::newRow("it87 temp1 is no board sensor") << "it8688" << temp << 1 << ""
                                                       << "temp1" << false << false << "temp1";
        QTest::newRow("it87 temp2") << "it8688" << temp << 2 << ""
                                    << "temp2" << false << false << "temp2";
        QTest::newRow("it87 fan1") << "it8688" << fan << 1 << ""
                                   << "fan1" << false << false << "CPU Fan";
        QTest::newRow("board fan named by driver") << "nct6687" << fan << 1 << "CPUFAN"
                                                   << "CPUFAN" << false << false << "CPU Fan";
        QTest::newRow("asus-wmi cpu_fan") << "asus" << fan << 1 << "cpu_fan"
                                          << "cpu_fan" << false << false << "CPU Fan";
        QTest::newRow("asus_wmi_sensors board") << "asus_wmi_sensors" << temp << 3 << "Motherboard Temperature"
                                                << "Motherboard Temperature" << false << false << "Motherboard";
        QTest::newRow("asus_wmi_sensors optional CPU fan") << "asus_wmi_sensors" << fan << 7 << "CPU OPT"
                                                           << "CPU OPT" << false << false << "CPU OPT";
        QTest::newRow("asus_wmi_sensors chipset") << "asus_wmi_sensors" << temp << 4 << "Chipset Temperature"
                                                  << "Chipset Temperature" << false << false << "Chipset Temperature";
        QTest::newRow("atk0110 CPU fan") << "atk0110" << fan << 1 << "CPU FAN Speed"
                                         << "CPU FAN Speed" << false << false << "CPU Fan";
        QTest::newRow("atk0110 board") << "atk0110" << temp << 2 << "MB Temperature"
                                       << "MB Temperature" << false << false << "Motherboard";
        QTest::newRow("acpitz is no board sensor") << "acpitz" << temp << 1 << ""
                                                   << "temp1" << false << false << "temp1";
        QTest::newRow("PCH is no board sensor") << "pch_cannonlake" << temp << 1 << ""
                                                << "temp1" << false << false << "temp1";
        QTest::newRow("thinkpad first sensor") << "thinkpad" << temp << 1 << ""
                                               << "temp1" << false << false << "CPU Temperature";
        QTest::newRow("thinkpad GPU") << "thinkpad" << temp << 2 << "GPU"
                                      << "GPU" << false << false << "GPU Temperature";
        QTest::newRow("thinkpad other sensor") << "thinkpad" << temp << 3 << ""
                                               << "temp3" << false << false << "temp3";
        QTest::newRow("thinkpad main fan") << "thinkpad" << fan << 1 << ""
                                           << "fan1" << false << false << "CPU Fan";
        QTest::newRow("thinkpad secondary fan") << "thinkpad" << fan << 2 << ""
                                                << "fan2" << false << false << "fan2";
        QTest::newRow("dell_smm CPU") << "dell_smm" << temp << 1 << "CPU"
                                      << "CPU" << false << false << "CPU Temperature";
        QTest::newRow("dell_smm processor fan") << "dell_smm" << fan << 2 << "Processor Fan"
                                                << "Processor Fan" << false << false << "CPU Fan";
        QTest::newRow("dell_smm video fan") << "dell_smm" << fan << 3 << "Video Fan"
                                            << "Video Fan" << false << false << "GPU Fan";
        QTest::newRow("dell_smm ambient") << "dell_smm" << temp << 2 << "Ambient"
                                          << "Ambient" << false << false << "Ambient";
        QTest::newRow("dell_smm unlabelled fan") << "dell_smm" << fan << 1 << ""
                                                 << "fan1" << false << false << "fan1";
        QTest::newRow("system76 GPU") << "system76_acpi" << temp << 2 << "GPU temp"
                                      << "GPU temp" << false << false << "GPU Temperature";
        QTest::newRow("system76 GPU fan") << "system76_acpi" << fan << 2 << "GPU fan"
                                          << "GPU fan" << false << false << "GPU Fan";
        // libsensors keeps the blank applesmc pads its fan names with; the driver's file is the same.
        QTest::newRow("applesmc CPU fan") << "applesmc" << fan << 3 << "CPU"
                                          << "CPU " << false << false << "CPU Fan";
        QTest::newRow("applesmc exhaust fan") << "applesmc" << fan << 1 << "Exhaust"
                                              << "Exhaust  " << false << false << "Exhaust  ";
        QTest::newRow("amdgpu edge") << "amdgpu" << temp << 1 << "edge"
                                     << "edge" << false << false << "GPU Temperature";
        QTest::newRow("amdgpu edge on older kernels") << "amdgpu" << temp << 1 << ""
                                                      << "temp1" << false << false << "GPU Temperature";
        QTest::newRow("amdgpu junction") << "amdgpu" << temp << 2 << "junction"
                                         << "junction" << false << false << "GPU junction";
        QTest::newRow("amdgpu power") << "amdgpu" << power << 1 << "PPT"
                                      << "PPT" << false << false << "GPU ASIC Power";
        QTest::newRow("amdgpu power of an APU") << "amdgpu" << power << 1 << ""
                                                << "power1" << false << true << "CPU Package Power";
        QTest::newRow("amdgpu fan") << "amdgpu" << fan << 1 << ""
                                    << "fan1" << false << false << "GPU Fan";
        QTest::newRow("i915 fan") << "i915" << fan << 1 << ""
                                  << "fan1" << false << false << "GPU Fan";
        QTest::newRow("nouveau temperature") << "nouveau" << temp << 1 << ""
                                             << "temp1" << false << false << "GPU Temperature";
        QTest::newRow("nouveau power") << "nouveau" << power << 1 << ""
                                       << "power1" << false << false << "GPU Power (Total)";
        QTest::newRow("other chip") << "nvme" << temp << 1 << "Composite"
                                    << "Composite" << false << false << "Composite";
        QTest::newRow("configuration label on coretemp") << "coretemp" << temp << 1 << "Package id 0"
                                                         << "My CPU" << false << false << "My CPU";
        QTest::newRow("configuration label on unnamed input") << "nvme" << temp << 2 << ""
                                                              << "Motherboard" << false << false << "Motherboard";
        QTest::newRow("configuration label on board fan") << "nct6798" << fan << 1 << ""
                                                          << "GPU Fan" << false << false << "GPU Fan";
        QTest::newRow("configuration label equal to default stays mapped") << "nct6798" << fan << 2 << ""
                                                                           << "fan2" << false << false << "CPU Fan";
        QTest::newRow("configuration label spelling the CPU temperature")
            << "k10temp" << temp << 1 << ""
            << "CPU_Temp" << false << false << "CPU Temperature";
        QTest::newRow("configuration label spelling the board") << "it8721" << temp << 2 << ""
                                                                << "MB_Temp" << false << false << "Motherboard";
        QTest::newRow("configuration label spelling the CPU fan") << "it8721" << fan << 1 << ""
                                                                  << "CPU_Fan" << false << false << "CPU Fan";
        QTest::newRow("configuration label of another fan") << "it8721" << fan << 2 << ""
                                                            << "Chassis_Fan_1" << false << false << "Chassis_Fan_1";
    }

    void labels()
    {
        QFETCH(QString, chip);
        QFETCH(int, kind);
        QFETCH(int, number);
        QFETCH(QString, driverLabel);
        QFETCH(QString, shownLabel);
        QFETCH(bool, tdie);
        QFETCH(bool, apu);
        const std::string prefix = chip.toStdString(), driver = driverLabel.toStdString(),
                          shown = shownLabel.toStdString();
        const std::string featureName = (kind == int(FeatureKind::Fan)     ? "fan"
                                         : kind == int(FeatureKind::Power) ? "power"
                                                                           : "temp")
                                        + std::to_string(number);
        FeatureFacts facts;
        facts.chipPrefix = prefix;
        facts.role = classifyChip(prefix);
        facts.kind = FeatureKind(kind);
        facts.number = number;
        facts.driverLabel = driver;
        facts.shownLabel = shown;
        facts.featureName = featureName;
        LabelContext context;
        context.chipHasTdie = tdie;
        context.amdGpuIsApu = apu;
        QTEST(QString::fromStdString(readingLabel(facts, context)), "expected");
    }

    // Spellings of the figures' names: case, blanks and underscores aside, whole labels only.
    void canonicalLabels_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        const int temp = int(FeatureKind::Temperature), fan = int(FeatureKind::Fan), power = int(FeatureKind::Power);
        QTest::newRow("blanks and case") << temp << "  cpu   TEMP "
                                         << "CPU Temperature";
        QTest::newRow("underscores") << temp << "M/B_Temp"
                                     << "Motherboard";
        QTest::newRow("pin name") << temp << "SYSTIN"
                                  << "Motherboard";
        QTest::newRow("part of a longer label") << temp << "CPU Socket Temperature"
                                                << "CPU Socket Temperature";
        QTest::newRow("a fan's name as a temperature") << temp << "CPU Fan"
                                                       << "CPU Fan";
        QTest::newRow("a temperature's name as a fan") << fan << "MB Temp"
                                                       << "MB Temp";
        QTest::newRow("numbered CPU fan") << fan << "CPU Fan 2"
                                          << "CPU Fan 2";
        QTest::newRow("power") << power << "CPU"
                               << "CPU";
        QTest::newRow("empty") << temp << ""
                               << "";
        QTest::newRow("only blanks") << fan << "  "
                                     << "  ";
    }

    void canonicalLabels()
    {
        QFETCH(int, kind);
        QFETCH(QString, label);
        QTEST(QString::fromStdString(canonicalLabel(FeatureKind(kind), label.toStdString())), "expected");
    }

    void chipRoles()
    {
        for (const char *cpu : {"coretemp", "k10temp", "zenpower", "k8temp", "via_cputemp", "fam15h_power"})
            QVERIFY2(classifyChip(cpu) == ChipRole::Cpu, cpu);
        for (const char *board : {"nct6775", "it8721", "w83627dhg", "f71882fg", "nct7904", "smsc47m192", "vt1211",
                                  "asus", "asusec", "asus_wmi_sensors", "atk0110", "gigabyte_wmi"})
            QVERIFY2(classifyChip(board) == ChipRole::Board, board);
        for (const char *other : {"acpitz", "pch_skylake", "thinkpad", "dell_smm", "applesmc", "system76_acpi", "nvme",
                                  "power_meter", "amd_energy", ""})
            QVERIFY2(classifyChip(other) == ChipRole::Other, other);
        QCOMPARE(classifyChip("amdgpu"), ChipRole::AmdGpu);
        QCOMPARE(classifyChip("xe"), ChipRole::IntelGpu);
        QCOMPARE(classifyChip("nouveau"), ChipRole::OtherGpu);
        QCOMPARE(classifyChip("radeon"), ChipRole::OtherGpu);
    }

    void fanSpeeds()
    {
        QCOMPARE(fanSpeed(1250), std::optional<double>(1250));
        QCOMPARE(fanSpeed(0), std::optional<double>(0));
        QCOMPARE(fanSpeed(65534), std::optional<double>(65534));
        QCOMPARE(fanSpeed(65535), std::optional<double>());
        QCOMPARE(fanSpeed(337500), std::optional<double>());
        QCOMPARE(fanSpeed(std::nan("")), std::optional<double>());
    }

    // Tables answer by index; labels never overrun the caller's buffer.
    void sensorTables()
    {
        Sensor sensor("test");
        bool available = true;
        sensor.add(Kind::Temperature, "CPU Package", [&]() -> std::optional<double> {
            if (!available)
                return std::nullopt;
            return 45.5;
        });
        sensor.add(Kind::Temperature, "Broken", [] { return std::optional<double>(std::nan("")); });
        sensor.sample();
        char label[32];
        std::memset(label, 'x', sizeof label);
        QCOMPARE(sensor.read(Kind::Temperature, 0, label, sizeof label), 45.5);
        QCOMPARE(QByteArray(label), QByteArray("CPU Package"));
        for (const int index : {1, 2, 511, -1}) {
            std::memset(label, 'x', sizeof label);
            QCOMPARE(sensor.read(Kind::Temperature, index, label, sizeof label), 0.0);
            QCOMPARE(label[0], '\0');
        }
        QCOMPARE(sensor.read(Kind::Fan, 0, label, sizeof label), 0.0);

        char small[6];
        std::memset(small, 'x', sizeof small);
        char guard = 'g';
        sensor.read(Kind::Temperature, 0, small, 4);
        QCOMPARE(QByteArray(small), QByteArray("CPU"));
        QCOMPARE(small[4], 'x');
        sensor.read(Kind::Temperature, 0, small, 1);
        QCOMPARE(small[0], '\0');
        QCOMPARE(small[1], 'P');
        sensor.read(Kind::Temperature, 0, &guard, 0);
        QCOMPARE(guard, 'g');
        QCOMPARE(sensor.read(Kind::Temperature, 0, nullptr, 256), 45.5);

        available = false;
        sensor.sample();
        QCOMPARE(sensor.read(Kind::Temperature, 0, label, sizeof label), 0.0);
        QCOMPARE(label[0], '\0');
    }
};

KESTRUN_TEST_MAIN(TestSensorParsing)
#include "tst_sensorparsing.moc"
