// kestrun-sensors on emulated machines: it ends with the figures that have no source and why.
// The tool runs as a child process and so sees the testbed this process built.

#include "testbed.h"
#include "testenv.h"

#include <QProcess>

using sensortest::Testbed;

namespace {

enum Machine { BareGuest, DesktopWithoutSuperIo, LaptopWithoutFan };

const char *const kGuestCpuinfo =
    "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel name\t: QEMU Virtual CPU version 2.5+\n"
    "cpu MHz\t\t: 2096.013\nflags\t\t: fpu vme de pse tsc msr pae hypervisor lahf_lm\n\n"
    "processor\t: 1\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel name\t: QEMU Virtual CPU version 2.5+\n"
    "cpu MHz\t\t: 2096.013\nflags\t\t: fpu vme de pse tsc msr pae hypervisor lahf_lm\n\n";

const char *const kIntelCpuinfo =
    "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel name\t: Intel(R) Core(TM) i5-12400\n"
    "cpu MHz\t\t: 4000.000\nphysical id\t: 0\ncore id\t\t: 0\nflags\t\t: fpu vme de pse tsc msr pae\n\n";

void setDmi(Testbed &bed, const std::string &vendor, const std::string &product, int chassis)
{
    bed.writeFile("/sys/class/dmi/id/sys_vendor", vendor + "\n");
    bed.writeFile("/sys/class/dmi/id/product_name", product + "\n");
    bed.writeFile("/sys/class/dmi/id/chassis_type", std::to_string(chassis) + "\n");
}

void build(Testbed &bed, Machine machine)
{
    bed.writeProcStat(1000, 9000);
    if (machine == BareGuest) {
        // No hwmon chip at all, and the emulated standard VGA adapter.
        bed.writeFile("/proc/cpuinfo", kGuestCpuinfo);
        setDmi(bed, "QEMU", "Standard PC (Q35 + ICH9, 2009)", 1);
        const std::string vga = bed.addDevice("pci", "0000:00:01.0", "", {{"vendor", "0x1234"}, {"class", "0x030000"}});
        bed.link(vga + "/driver", "../../../bus/pci/drivers/bochs-drm");
        return;
    }
    bed.writeFile("/proc/cpuinfo", kIntelCpuinfo);
    const std::string coretemp = bed.addDevice("platform", "coretemp.0", "", {});
    bed.addHwmon("coretemp", coretemp, {{"temp1_input", "45000"}, {"temp1_label", "Package id 0"}});
    bed.addRaplZone("intel-rapl:0", "package-0", 1000000, 262143328850);
    if (machine == DesktopWithoutSuperIo) {
        // The board's fan chip has no driver: nothing but the CPU's own chip.
        setDmi(bed, "Micro-Star International Co., Ltd.", "MS-7D25", 3);
        return;
    }
    setDmi(bed, "LENOVO", "20XW0055GE", 10);
    bed.addHwmon("acpitz", "", {{"temp1_input", "47000"}});
}

struct Group {
    QString figures; // "CPU temperature, CPU power, CPU fan"
    QString text;    // the reason and remedy lines below it
};

// The groups of the "Figures without a source:" block that ends the output.
QList<Group> figuresWithoutSource(const QString &output)
{
    QList<Group> groups;
    const int block = output.indexOf("\nFigures without a source:\n");
    if (block < 0)
        return groups;
    const QStringList lines = output.mid(block + 1).split('\n', Qt::SkipEmptyParts).mid(1);
    for (const QString &line : lines) {
        if (line.startsWith("    ") && !groups.isEmpty())
            groups.last().text += line.trimmed() + ' ';
        else if (line.startsWith("  ") && line.endsWith(':'))
            groups.append({line.trimmed().chopped(1), QString()});
        else
            groups.append({QStringLiteral("unexpected line: ") + line, QString()});
    }
    return groups;
}

} // namespace

class TestSensorsTool : public QObject
{
    Q_OBJECT

private slots:
    void saysWhyFiguresHaveNoSource_data();
    void saysWhyFiguresHaveNoSource();
};

// One sample (--once): the emulated /proc/stat and energy counters stand still, so a second sample
// would measure nothing either; usage and energy-based power are then told to need two.
void TestSensorsTool::saysWhyFiguresHaveNoSource_data()
{
    QTest::addColumn<int>("machine");
    QTest::addColumn<QStringList>("groups");  // the figures of each group, in order
    QTest::addColumn<QStringList>("phrases"); // one phrase of each group's text

    const QString allGpu = QStringLiteral("GPU temperature, GPU usage, GPU clock, GPU power, GPU fan");
    const QString guest = QStringLiteral("This is a virtual machine (QEMU Standard PC (Q35 + ICH9, 2009))");
    QTest::newRow("bare virtual machine")
        << int(BareGuest) << QStringList{"CPU temperature, CPU power, CPU fan", "CPU usage", allGpu}
        << QStringList{guest
                           + ": the host does not pass its sensors to guests, so no temperature, fan or power "
                             "reading is to be had. Run Kestrun on the host",
                       "CPU usage is measured between two samples, and there was only one",
                       guest + ": a guest has no graphics card of its own"};
    QTest::newRow("desktop without Super I/O driver")
        << int(DesktopWithoutSuperIo) << QStringList{"CPU usage", "CPU power", "CPU fan", allGpu}
        << QStringList{"CPU usage is measured between two samples", "CPU power is measured between two samples",
                       "No chip reports a fan speed: the mainboard's Super I/O chip, which reads the fan headers, "
                       "has no driver loaded. Run sudo sensors-detect",
                       "No graphics card was found"};
    QTest::newRow("laptop without fan reading")
        << int(LaptopWithoutFan) << QStringList{"CPU usage", "CPU power", "CPU fan", allGpu}
        << QStringList{"between two samples", "between two samples", "a laptop's fan is run by its embedded controller",
                       "No graphics card was found"};
}

void TestSensorsTool::saysWhyFiguresHaveNoSource()
{
    QFETCH(int, machine);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, phrases);

    Testbed bed;
    build(bed, static_cast<Machine>(machine));
    QProcess tool;
    tool.start(QStringLiteral(KESTRUN_SENSORS_TOOL), {QStringLiteral("--once")});
    QVERIFY(tool.waitForFinished(60000));
    const QString output = QString::fromUtf8(tool.readAllStandardOutput());
    const QString errors = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0, qPrintable(errors));
    QVERIFY2(output.startsWith("Sensor 0: CPU: "), qPrintable(output));

    const QList<Group> found = figuresWithoutSource(output);
    QStringList foundFigures;
    for (const Group &group : found)
        foundFigures << group.figures;
    QCOMPARE(foundFigures, groups);
    for (int i = 0; i < found.size(); ++i)
        QVERIFY2(found[i].text.contains(phrases[i]), qPrintable(found[i].text));
}

KESTRUN_TEST_MAIN(TestSensorsTool)
#include "tst_sensorstool.moc"
