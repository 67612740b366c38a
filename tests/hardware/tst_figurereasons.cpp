// Why a figure has no source: the reasoning from machine facts, by a table of machines.

#include "hardware/figurereasons.h"

#include "testenv.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace {

MachineFacts intelDesktop()
{
    MachineFacts facts;
    facts.cpuVendor = "GenuineIntel";
    facts.cpuFamily = 6;
    facts.chassisType = 3; // desktop
    facts.hwmonChips = {"coretemp", "nct6798"};
    facts.anyFanInput = true;
    facts.packageEnergy = EnergyCounter::Readable;
    facts.displays = {{0x10de, "nvidia", false, false}};
    facts.nvmlLoadable = true;
    return facts;
}

MachineFacts with(MachineFacts facts, const std::function<void(MachineFacts &)> &change)
{
    change(facts);
    return facts;
}

MachineFacts amd(int family)
{
    return with(intelDesktop(), [family](MachineFacts &f) {
        f.cpuVendor = "AuthenticAMD";
        f.cpuFamily = family;
        f.hwmonChips = {"it8688"};
    });
}

MachineFacts qemuGuest()
{
    MachineFacts facts;
    facts.cpuVendor = "GenuineIntel";
    facts.cpuFamily = 6;
    facts.dmiVendor = "QEMU";
    facts.dmiProduct = "Standard PC (Q35 + ICH9, 2009)";
    facts.chassisType = 1;
    facts.displays = {{0x1234, "bochs-drm", false, false}};
    return facts;
}

const QString kPointing = QStringLiteral("\"Pointing Kestrun at a reading\"");
const QString kUdevLine = QStringLiteral(
    "ACTION==\"add\", SUBSYSTEM==\"powercap\", TEST==\"energy_uj\", RUN+=\"/bin/chgrp rapl /sys%p/energy_uj\", "
    "RUN+=\"/bin/chmod 0440 /sys%p/energy_uj\"");

} // namespace

Q_DECLARE_METATYPE(MachineFacts)

class TestFigureReasons : public QObject
{
    Q_OBJECT

private slots:
    void reasons_data();
    void reasons();
    void reasonsFollowTheMissingFigures();
    void sourcesAreLabelsWhateverTheValue();
    void energyRemedyKeepsOtherUsersOut();
    void figuresWithoutReadingThisCycle();
};

void TestFigureReasons::reasons_data()
{
    QTest::addColumn<MachineFacts>("facts");
    QTest::addColumn<int>("figure");
    QTest::addColumn<int>("sdkStatus");
    QTest::addColumn<bool>("oneSample");
    QTest::addColumn<QStringList>("reasonHas");
    QTest::addColumn<QStringList>("remedyHas"); // empty: there must be no remedy
    QTest::addColumn<bool>("pending");

    const auto row = [](const char *name, const MachineFacts &facts, Figure figure, QStringList reasonHas,
                        QStringList remedyHas, bool oneSample = false, bool pending = false, int sdkStatus = 0) {
        QTest::newRow(name) << facts << static_cast<int>(figure) << sdkStatus << oneSample << reasonHas << remedyHas
                            << pending;
    };
    using F = Figure;
    const MachineFacts windows = with({}, [](MachineFacts &f) { f.source = MachineFacts::Source::VendorSdk; });
    const MachineFacts noChips = with(intelDesktop(), [](MachineFacts &f) { f.hwmonChips.clear(); });
    const MachineFacts noFans = with(intelDesktop(), [](MachineFacts &f) { f.anyFanInput = false; });
    const MachineFacts laptop = with(noFans, [](MachineFacts &f) { f.chassisType = 10; });
    const MachineFacts nouveauOnly = with(intelDesktop(), [](MachineFacts &f) {
        f.nvmlLoadable = false;
        f.displays = {{0x10de, "nouveau", false, false}};
    });
    const MachineFacts intelGraphics = with(intelDesktop(), [](MachineFacts &f) {
        f.displays = {{0x8086, "i915", true, false}};
        f.nvmlLoadable = false;
        f.uncoreEnergy = EnergyCounter::Readable;
    });

    // The SDK did not start: its own reason for every figure, on either system.
    row("library missing", intelDesktop(), F::CpuTemperature, {"libsensorsdk.so could not be loaded"},
        {"beside the kestrun executable"}, false, false, -111);
    row("Windows SDK missing", windows, F::GpuClock, {"HWiNFO32.dll could not be loaded"}, {"beside kestrun.exe"},
        false, false, -111);
    row("start failed", intelDesktop(), F::CpuFan, {"the sensor library did not start (error 7)"}, {}, false, false, 7);
    row("Windows start failed", windows, F::CpuFan, {"the sensor SDK did not start (error -3)"}, {}, false, false, -3);
    // With the vendor SDK running, the machine tells nothing more.
    row("Windows SDK ready", windows, F::CpuTemperature,
        {"the sensor SDK offers no reading with a label Kestrun looks for"}, {});
    row("Windows first sample", windows, F::CpuUsage, {"the sensor SDK offers no reading"}, {}, true);

    // Virtual machines, by the processor's flag or the hypervisor's DMI names.
    row("guest by flag", with(noChips, [](MachineFacts &f) { f.hypervisorFlag = true; }), F::CpuTemperature,
        {"this is a virtual machine:", "host does not pass its sensors to guests"}, {"Run Kestrun on the host"});
    row("QEMU by DMI", qemuGuest(), F::CpuFan, {"virtual machine (QEMU Standard PC (Q35 + ICH9, 2009))"},
        {"on the host"});
    row("VirtualBox",
        with(qemuGuest(),
             [](MachineFacts &f) {
                 f.dmiVendor = "innotek GmbH";
                 f.dmiProduct = "VirtualBox";
             }),
        F::CpuPower, {"virtual machine (innotek GmbH VirtualBox)", "no temperature, fan or power"}, {"host"});
    row("guest with RAPL still a guest",
        with(qemuGuest(), [](MachineFacts &f) { f.packageEnergy = EnergyCounter::RootOnly; }), F::CpuPower,
        {"virtual machine"}, {"host"});
    row("Hyper-V guest's emulated display",
        with(qemuGuest(),
             [](MachineFacts &f) {
                 f.dmiVendor = "Microsoft Corporation";
                 f.dmiProduct = "Virtual Machine";
                 f.displays = {{0x1414, "hyperv_drm", false, false}};
             }),
        F::GpuTemperature, {"virtual machine (Microsoft Corporation Virtual Machine)", "no graphics card of its own"},
        {"pass a graphics card through"});
    row("guest with a card passed through",
        with(qemuGuest(),
             [](MachineFacts &f) {
                 f.displays.push_back({0x10de, "vfio-pci", false, false});
             }),
        F::GpuUsage, {"NVML (libnvidia-ml.so.1), which cannot be loaded"}, {"nvidia-driver"});
    row("guest's usage is no sensor", qemuGuest(), F::CpuUsage, {"no reading has a label Kestrun looks for"},
        {kPointing});

    // CPU temperature: the driver for this processor.
    row("Intel without coretemp", noChips, F::CpuTemperature,
        {"no CPU temperature driver is loaded (this Intel processor needs coretemp)"},
        {"sudo modprobe coretemp", "/etc/modules-load.d/", "sensors-detect"});
    row("Zen 3 without k10temp", with(amd(25), [](MachineFacts &f) { f.hwmonChips.clear(); }), F::CpuTemperature,
        {"this AMD processor (family 19h) needs k10temp"}, {"sudo modprobe k10temp", "zenpower"});
    row("family 10h", amd(0x10), F::CpuTemperature, {"(family 10h) needs k10temp"}, {"sudo modprobe k10temp"});
    row("K8", amd(0x0F), F::CpuTemperature, {"(family 0Fh) needs k8temp"}, {"sudo modprobe k8temp"});
    row("Hygon", with(amd(0x18), [](MachineFacts &f) { f.cpuVendor = "HygonGenuine"; }), F::CpuTemperature,
        {"this Hygon processor (family 18h) needs k10temp"}, {"modprobe k10temp"});
    row("VIA", with(noChips, [](MachineFacts &f) { f.cpuVendor = "CentaurHauls"; }), F::CpuTemperature,
        {"this VIA processor needs via_cputemp"}, {"modprobe via_cputemp"});
    row("K7 has no driver", amd(6), F::CpuTemperature, {"Linux has none for this AMD processor (family 06h)"}, {});
    row("unknown processor",
        with(noChips,
             [](MachineFacts &f) {
                 f.cpuVendor.clear();
                 f.cpuFamily = -1;
             }),
        F::CpuTemperature, {"no CPU temperature driver is loaded"}, {"sensors-detect"});
    row("driver loaded, label not known", with(amd(25), [](MachineFacts &f) { f.hwmonChips = {"zenpower"}; }),
        F::CpuTemperature, {"no reading has a label Kestrun looks for"}, {kPointing});

    // CPU fan: who reads the fan headers.
    row("desktop without Super I/O driver", noFans, F::CpuFan, {"Super I/O chip", "no driver loaded"},
        {"sudo sensors-detect", "nct6775 or it87"});
    row("laptop", laptop, F::CpuFan, {"embedded controller"}, {"thinkpad_acpi", "sensors-detect"});
    row("fans, none for the CPU", intelDesktop(), F::CpuFan, {"no reading has a label"}, {kPointing});

    // CPU power: the RAPL energy counter.
    row("RAPL root only", with(intelDesktop(), [](MachineFacts &f) { f.packageEnergy = EnergyCounter::RootOnly; }),
        F::CpuPower, {"RAPL energy counter", "readable by root only", "Linux 5.10", "side channel"},
        {"sudo groupadd --system rapl", "sudo usermod -aG rapl $USER", kUdevLine, "/etc/udev/rules.d/",
         "udevadm trigger --subsystem-match=powercap --action=add",
         "readable for everyone (chmod 0444) would give up"});
    row("RAPL in the first sample", intelDesktop(), F::CpuPower, {"measured between two samples"}, {"second sample"},
        true, true);
    row("RAPL readable, second sample", intelDesktop(), F::CpuPower, {"no reading has a label"}, {kPointing});
    row("no RAPL zone", with(intelDesktop(), [](MachineFacts &f) { f.packageEnergy = EnergyCounter::Absent; }),
        F::CpuPower, {"no RAPL energy counter for this Intel processor"}, {"sudo modprobe intel_rapl_msr"});
    row("no RAPL on this processor", with(amd(0x15), [](MachineFacts &f) { f.packageEnergy = EnergyCounter::Absent; }),
        F::CpuPower, {"(family 15h) has no RAPL energy counter"}, {});
    row("usage in the first sample", intelDesktop(), F::CpuUsage, {"CPU usage is measured between two samples"},
        {"--once"}, true, true);
    row("usage, second sample", intelDesktop(), F::CpuUsage, {"no reading has a label"}, {kPointing});
    row("clock", intelDesktop(), F::CpuClock, {"no reading has a label"}, {kPointing}, true);

    // GPU figures.
    row("no graphics card", with(intelDesktop(), [](MachineFacts &f) { f.displays.clear(); }), F::GpuTemperature,
        {"no graphics card was found"}, {});
    row("NVIDIA on nouveau, no NVML", nouveauOnly, F::GpuClock,
        {"NVML (libnvidia-ml.so.1), which cannot be loaded", "nouveau", "at most temperature, fan and power"},
        {"Install NVIDIA's driver"});
    row("NVIDIA without driver or NVML", with(nouveauOnly, [](MachineFacts &f) { f.displays[0].driver.clear(); }),
        F::GpuUsage, {"NVML (libnvidia-ml.so.1), which cannot be loaded"}, {"nvidia-driver"});
    row("NVML, card on nouveau", with(nouveauOnly, [](MachineFacts &f) { f.nvmlLoadable = true; }), F::GpuPower,
        {"does not drive the card (it runs on nouveau)"}, {"sudo modprobe nvidia"});
    row("NVML, card with no driver",
        with(nouveauOnly,
             [](MachineFacts &f) {
                 f.nvmlLoadable = true;
                 f.displays[0].driver.clear();
             }),
        F::GpuPower, {"(no driver is bound to it)"}, {"sudo modprobe nvidia"});
    row("NVIDIA asleep", with(intelDesktop(), [](MachineFacts &f) { f.displays[0].asleep = true; }), F::GpuTemperature,
        {"asleep", "does not wake it"}, {"while it is in use"});
    row("NVIDIA fan as a percentage", intelDesktop(), F::GpuFan, {"duty percentage"}, {});
    row("NVIDIA clock with NVML", intelDesktop(), F::GpuClock, {"no reading has a label"}, {kPointing});
    row("hybrid: NVIDIA first",
        with(nouveauOnly,
             [](MachineFacts &f) {
                 f.displays.insert(f.displays.begin(), {0x8086, "i915", true, false});
             }),
        F::GpuTemperature, {"libnvidia-ml.so.1"}, {"nvidia-driver"});
    row("AMD without driver",
        with(intelDesktop(),
             [](MachineFacts &f) {
                 f.displays = {{0x1002, "", false, false}};
             }),
        F::GpuClock, {"no kernel driver drives the AMD graphics card"}, {"sudo modprobe amdgpu"});
    row("AMD on radeon",
        with(intelDesktop(),
             [](MachineFacts &f) {
                 f.displays = {{0x1002, "radeon", false, false}};
             }),
        F::GpuUsage, {"older radeon driver"}, {});
    row("AMD on amdgpu",
        with(intelDesktop(),
             [](MachineFacts &f) {
                 f.displays = {{0x1002, "amdgpu", false, false}};
             }),
        F::GpuFan, {"no reading has a label"}, {kPointing});
    row("Intel graphics temperature", intelGraphics, F::GpuTemperature,
        {"Intel's integrated graphics report no temperature"}, {});
    row("Intel graphics fan", intelGraphics, F::GpuFan, {"report no fan speed"}, {});
    row("Intel graphics load", intelGraphics, F::GpuUsage, {"report no load"}, {});
    row("Intel graphics clock", intelGraphics, F::GpuClock, {"no reading has a label"}, {kPointing});
    row("Intel graphics power, first sample", intelGraphics, F::GpuPower, {"GPU power is measured between two samples"},
        {"second sample"}, true, true);
    row("Intel graphics power readable", intelGraphics, F::GpuPower, {"no reading has a label"}, {kPointing});
    row("Intel graphics power root only",
        with(intelGraphics, [](MachineFacts &f) { f.uncoreEnergy = EnergyCounter::RootOnly; }), F::GpuPower,
        {"energy counter of the processor's graphics", "root only"}, {kUdevLine}, true);
    row("Intel graphics without uncore zone",
        with(intelGraphics, [](MachineFacts &f) { f.uncoreEnergy = EnergyCounter::Absent; }), F::GpuPower,
        {"no uncore zone"}, {});
    row("discrete Intel card, first sample",
        with(intelGraphics,
             [](MachineFacts &f) {
                 f.displays = {{0x8086, "xe", false, false}};
                 f.uncoreEnergy = EnergyCounter::Absent;
                 f.hwmonChips.push_back("xe");
             }),
        F::GpuPower, {"measured between two samples"}, {"second sample"}, true, true);
    row("discrete Intel card temperature",
        with(intelGraphics,
             [](MachineFacts &f) {
                 f.displays = {{0x8086, "xe", false, false}};
             }),
        F::GpuTemperature, {"no reading has a label"}, {kPointing});
    row("server display adapter",
        with(intelDesktop(),
             [](MachineFacts &f) {
                 f.displays = {{0x1a03, "ast", false, false}};
             }),
        F::GpuTemperature, {"display adapter (PCI vendor 0x1a03, driver ast) is no graphics card"}, {});
}

void TestFigureReasons::reasons()
{
    QFETCH(MachineFacts, facts);
    QFETCH(int, figure);
    QFETCH(int, sdkStatus);
    QFETCH(bool, oneSample);
    QFETCH(QStringList, reasonHas);
    QFETCH(QStringList, remedyHas);
    QFETCH(bool, pending);

    const std::vector<FigureReason> reasons =
        explainMissingFigures({static_cast<Figure>(figure)}, facts, sdkStatus, oneSample);
    QCOMPARE(reasons.size(), std::size_t(1));
    const FigureReason &reason = reasons.front();
    QCOMPARE(static_cast<int>(reason.figure), figure);
    const QString why = QString::fromStdString(reason.reason);
    const QString remedy = QString::fromStdString(reason.remedy);
    for (const QString &part : reasonHas)
        QVERIFY2(why.contains(part), qPrintable(QStringLiteral("\"%1\" not in: %2").arg(part, why)));
    for (const QString &part : remedyHas)
        QVERIFY2(remedy.contains(part), qPrintable(QStringLiteral("\"%1\" not in: %2").arg(part, remedy)));
    if (remedyHas.isEmpty())
        QVERIFY2(remedy.isEmpty(), qPrintable(remedy));
    QCOMPARE(reason.pending, pending);
    // Reasons are sentences to be joined: no closing full stop of their own, and one line.
    QVERIFY(!why.isEmpty() && !why.endsWith('.'));
    QVERIFY(!why.contains('\n') && !remedy.contains('\n'));
    QCOMPARE(QString::fromStdString(reasonText(reason)), remedy.isEmpty() ? why + '.' : why + ". " + remedy);
}

void TestFigureReasons::reasonsFollowTheMissingFigures()
{
    const MachineFacts guest = qemuGuest();
    const std::vector<FigureReason> reasons =
        explainMissingFigures({Figure::CpuTemperature, Figure::CpuUsage, Figure::GpuFan}, guest, 0, true);
    QCOMPARE(reasons.size(), std::size_t(3));
    QCOMPARE(reasons[0].figure, Figure::CpuTemperature);
    QCOMPARE(reasons[1].figure, Figure::CpuUsage);
    QVERIFY(reasons[1].pending);
    QCOMPARE(reasons[2].figure, Figure::GpuFan);
    QVERIFY(explainMissingFigures({}, guest, 0, false).empty());
    QCOMPARE(QString(figureName(Figure::GpuPower)), QString("GPU power"));
}

// The counter is kept from other users for a reason: the remedy opens it to one group, and offers
// no rule that opens it to everyone.
void TestFigureReasons::energyRemedyKeepsOtherUsersOut()
{
    for (const Figure figure : {Figure::CpuPower, Figure::GpuPower}) {
        const MachineFacts facts = with(intelDesktop(), [](MachineFacts &f) {
            f.packageEnergy = EnergyCounter::RootOnly;
            f.uncoreEnergy = EnergyCounter::RootOnly;
            f.displays = {{0x8086, "i915", true, false}};
            f.nvmlLoadable = false;
        });
        const std::vector<FigureReason> reasons = explainMissingFigures({figure}, facts, 0, false);
        QCOMPARE(reasons.size(), std::size_t(1));
        const QString remedy = QString::fromStdString(reasons.front().remedy);
        QVERIFY2(remedy.contains("chmod 0440") && remedy.contains("chgrp rapl"), qPrintable(remedy));
        QVERIFY2(!remedy.contains("RUN+=\"/bin/chmod 0444"), qPrintable(remedy));
    }
}

// A figure has a source when some labelled reading could fill it, even one that reads 0 now.
void TestFigureReasons::sourcesAreLabelsWhateverTheValue()
{
    SensorSourceSeen seen;
    std::vector<Figure> all;
    for (const ShownFigure &shown : kShownFigures)
        all.push_back(shown.figure);
    QCOMPARE(figuresWithoutSource(seen), all);

    seen.see(ReadingKind::Usage, "GPU Core Load"); // an idle GPU: 0 %
    seen.see(ReadingKind::Fan, "CPU Fan");         // a stopped fan
    seen.see(ReadingKind::Temperature, "CPU Package");
    seen.see(ReadingKind::Temperature, "CPU"); // a second match for a field seen already
    seen.see(ReadingKind::Clock, "P-core 0 Clock");
    seen.see(ReadingKind::Clock, "");                  // no reading
    seen.see(ReadingKind::Power, "GPU Clock");         // a label of another kind
    seen.see(ReadingKind::Temperature, "Motherboard"); // a field the window does not show
    QVERIFY(seen.seen(&SensorSnapshot::boardTemperature));
    QCOMPARE(figuresWithoutSource(seen),
             (std::vector<Figure>{Figure::CpuUsage, Figure::CpuPower, Figure::GpuTemperature, Figure::GpuClock,
                                  Figure::GpuPower, Figure::GpuFan}));
}

// A figure has no reading when nothing was stored for it and no label of the walk could fill it; a
// source that reads below 1.0 is a reading of 0, and a stored value needs no label.
void TestFigureReasons::figuresWithoutReadingThisCycle()
{
    SensorSourceSeen seen;
    SensorSnapshot values;
    FigureSet none;
    none.set();
    QCOMPARE(figuresWithoutReading(values, seen), none);

    seen.see(ReadingKind::Fan, "CPU Fan");         // stopped
    seen.see(ReadingKind::Usage, "GPU Core Load"); // idle
    values.cpuClock = 4200;                        // stored without a label noted
    values.gpuTemperature = std::numeric_limits<float>::quiet_NaN();
    const FigureSet unread = figuresWithoutReading(values, seen);
    const std::vector<Figure> read{Figure::CpuFan, Figure::GpuUsage, Figure::CpuClock};
    for (const ShownFigure &shown : kShownFigures) {
        const bool expected = std::find(read.begin(), read.end(), shown.figure) == read.end();
        QVERIFY2(contains(unread, shown.figure) == expected, shown.name);
    }
}

KESTRUN_TEST_MAIN(TestFigureReasons)
#include "tst_figurereasons.moc"
