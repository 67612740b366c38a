// The `sensors` text parser on the variants real outputs show.

#include "sensorstext.h"
#include "testenv.h"

using namespace sensortext;

namespace {

const Reading *find(const Chip &chip, const std::string &label, int nth = 0)
{
    for (const Reading &reading : chip.readings) {
        if (reading.label == label && nth-- == 0)
            return &reading;
    }
    return nullptr;
}

long long limit(const Reading &reading, const std::string &attribute)
{
    for (const Limit &limit : reading.limits) {
        if (limit.attribute == attribute)
            return limit.value;
    }
    return LLONG_MIN;
}

} // namespace

class TestSensorsText : public QObject
{
    Q_OBJECT

private slots:
    void chipTitlesAndBuses_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("bus");
        QTest::addColumn<int>("busNumber");
        QTest::addColumn<int>("address");
        QTest::newRow("isa") << "nct6779-isa-0290"
                             << "nct6779" << int(Bus::Isa) << 0 << 0x290;
        QTest::newRow("pci") << "k10temp-pci-00c3"
                             << "k10temp" << int(Bus::Pci) << 0 << 0xc3;
        QTest::newRow("acpi") << "acpitz-acpi-0"
                              << "acpitz" << int(Bus::Acpi) << 0 << 0;
        QTest::newRow("virtual") << "iwlwifi_1-virtual-0"
                                 << "iwlwifi_1" << int(Bus::Virtual) << 0 << 0;
        QTest::newRow("i2c") << "jc42-i2c-0-1b"
                             << "jc42" << int(Bus::I2c) << 0 << 0x1b;
        QTest::newRow("i2c bus 20") << "ucsi_source_psy_20_00081-i2c-20-08"
                                    << "ucsi_source_psy_20_00081" << int(Bus::I2c) << 20 << 8;
        QTest::newRow("scsi") << "drivetemp-scsi-4-0"
                              << "drivetemp" << int(Bus::Scsi) << 4 << 0;
        QTest::newRow("hid") << "hidpp_battery_0-hid-3-2"
                             << "hidpp_battery_0" << int(Bus::Hid) << 3 << 2;
        QTest::newRow("colon in name") << "ucsi_source_psy_USBC000:001-isa-0000"
                                       << "ucsi_source_psy_USBC000:001" << int(Bus::Isa) << 0 << 0;
    }

    void chipTitlesAndBuses()
    {
        QFETCH(QString, title);
        QFETCH(QString, prefix);
        QFETCH(int, bus);
        QFETCH(int, busNumber);
        QFETCH(int, address);
        const Parsed parsed = parse(title.toStdString() + "\nAdapter: Some adapter\ntemp1:  +1.0 C\n");
        QVERIFY(parsed.errors.empty());
        QCOMPARE(parsed.chips.size(), std::size_t(1));
        const Chip &chip = parsed.chips[0];
        QCOMPARE(QString::fromStdString(chip.prefix), prefix);
        QCOMPARE(int(chip.bus), bus);
        QCOMPARE(chip.busNumber, busNumber);
        QCOMPARE(chip.address, long(address));
        QCOMPARE(chip.adapter, std::string("Some adapter"));
    }

    // Readings as printed by different releases and drivers: glyphs, signs, prefixed units,
    // special values, flags, continuation lines and awkward labels.
    void readings()
    {
        const std::string text = "nct6779-isa-0290\n"
                                 "Adapter: ISA adapter\n"
                                 "Vcore:          1.14 V  (min =  +0.00 V, max =  +1.74 V)\n"
                                 "in1:          +1.02 V  (min =  +0.00 V, max =  +0.00 V)  ALARM\n"
                                 " +3.3 Voltage:  725.00 mV\n"
                                 "fan2:         1059 RPM  (min =    0 RPM, div = 8)\n"
                                 "fan5:            0 RPM\n"
                                 "CPUTIN:        +27.5 C  (high = +80.0 C, hyst = +75.0 C)  sensor = thermistor\n"
                                 "PECI Agent 0: +53.5\xc2\xb0"
                                 "C  (high = +95.0\xc2\xb0"
                                 "C, hyst = +92.0\xc2\xb0"
                                 "C)\n"
                                 "                       (crit = +100.0\xc2\xb0"
                                 "C, hyst = +95.0\xc2\xb0"
                                 "C)\n"
                                 "ODD :          +40.0*C  (low  = -10.5*C, high = -0.0*C)  ALARM (HIGH, CRIT)\n"
                                 "System battery (front left, charging circuit):  +26.0 C\n"
                                 "temp6:            N/A\n"
                                 "Core0 Temp:   +30.0 C\n"
                                 "Core0 Temp:   +31.0 C\n"
                                 "temp9:        FAULT  (high = +70.0 C, hyst = +68.0 C)\n"
                                 "GPU core:         N/A  (min =  +0.60 V, max =  +1.20 V)\n"
                                 "power1:       27.26 W  (crit = 216.00 mW)\n"
                                 "PPT:         1000.00 uW  (interval =   0.01 s, cap =   4.29 MW)\n"
                                 "Ecore000:    203.08 J\n"
                                 "Esocket0:      1.50 kJ\n"
                                 "curr1:       1000.00 uA  (avg =  +0.00 A)\n"
                                 "Icore:        33.00 A\n"
                                 "cpu0_vid:    +1.550 V\n"
                                 "intrusion0:  ALARM\n"
                                 "beep_enable: disabled\n"
                                 "\n"
                                 "amdgpu-pci-0300\n"
                                 "Adapter: PCI adapter\n"
                                 "vddgfx:           N/A  \n"
                                 "vddnb:            N/A  \n"
                                 "edge:         +73.0 C  \n";
        const Parsed parsed = parse(text);
        for (const ParseError &error : parsed.errors)
            qWarning("%d: %s", error.line, error.message.c_str());
        QVERIFY(parsed.errors.empty());
        QCOMPARE(parsed.chips.size(), std::size_t(2));
        const Chip &chip = parsed.chips[0];

        struct Expected {
            const char *label;
            int nth;
            Type type;
            int number;
            bool labelled;
            State state;
            long long value;
        };
        const Expected expected[] = {
            {"Vcore", 0, Type::In, 0, true, State::Value, 1140},
            {"in1", 0, Type::In, 1, false, State::Value, 1020},
            {" +3.3 Voltage", 0, Type::In, 2, true, State::Value, 725},
            {"fan2", 0, Type::Fan, 2, false, State::Value, 1059},
            {"fan5", 0, Type::Fan, 5, false, State::Value, 0},
            {"CPUTIN", 0, Type::Temp, 1, true, State::Value, 27500},
            {"PECI Agent 0", 0, Type::Temp, 2, true, State::Value, 53500},
            {"ODD ", 0, Type::Temp, 3, true, State::Value, 40000},
            {"System battery (front left, charging circuit)", 0, Type::Temp, 4, true, State::Value, 26000},
            {"temp6", 0, Type::Temp, 6, false, State::NotAvailable, 0},
            {"Core0 Temp", 0, Type::Temp, 7, true, State::Value, 30000},
            {"Core0 Temp", 1, Type::Temp, 8, true, State::Value, 31000},
            {"temp9", 0, Type::Temp, 9, false, State::Fault, 0},
            {"GPU core", 0, Type::In, 3, true, State::NotAvailable, 0},
            {"power1", 0, Type::Power, 1, false, State::Value, 27260000},
            {"PPT", 0, Type::Power, 2, true, State::Value, 1000},
            {"Ecore000", 0, Type::Energy, 1, true, State::Value, 203080000},
            {"Esocket0", 0, Type::Energy, 2, true, State::Value, 1500000000},
            {"curr1", 0, Type::Curr, 1, false, State::Value, 1},
            {"Icore", 0, Type::Curr, 2, true, State::Value, 33000},
            {"cpu0_vid", 0, Type::Vid, 0, false, State::Value, 1550},
            {"intrusion0", 0, Type::Intrusion, 0, false, State::Value, 1},
            {"beep_enable", 0, Type::Beep, 0, false, State::Value, 0},
        };
        QCOMPARE(chip.readings.size(), std::size(expected));
        for (const Expected &e : expected) {
            const Reading *reading = find(chip, e.label, e.nth);
            QVERIFY2(reading, e.label);
            QCOMPARE(int(reading->type), int(e.type));
            QCOMPARE(reading->number, e.number);
            QCOMPARE(reading->labelled, e.labelled);
            QCOMPARE(int(reading->state), int(e.state));
            QCOMPARE(reading->value, e.value);
        }

        const Reading &in1 = *find(chip, "in1");
        QCOMPARE(limit(in1, "min"), 0LL);
        QCOMPARE(limit(in1, "max"), 0LL);
        QCOMPARE(in1.alarms, std::vector<std::string>{"alarm"});
        QCOMPARE(limit(*find(chip, "fan2"), "div"), 8LL);
        const Reading &cputin = *find(chip, "CPUTIN");
        QCOMPARE(limit(cputin, "max"), 80000LL);
        QCOMPARE(limit(cputin, "max_hyst"), 75000LL);
        QCOMPARE(cputin.sensorType, std::optional<int>(4));
        // The continuation line belongs to the reading above; its hyst to its crit.
        const Reading &peci = *find(chip, "PECI Agent 0");
        QCOMPARE(limit(peci, "max_hyst"), 92000LL);
        QCOMPARE(limit(peci, "crit"), 100000LL);
        QCOMPARE(limit(peci, "crit_hyst"), 95000LL);
        const Reading &odd = *find(chip, "ODD ");
        QCOMPARE(limit(odd, "min"), -10500LL);
        QCOMPARE(limit(odd, "max"), -1LL); // "-0.0": just below zero
        QCOMPARE(odd.alarms, (std::vector<std::string>{"max_alarm", "crit_alarm"}));
        QCOMPARE(limit(*find(chip, "temp9"), "max"), 70000LL);
        QCOMPARE(limit(*find(chip, "GPU core"), "max"), 1200LL);
        QCOMPARE(limit(*find(chip, "power1"), "crit"), 216000LL);
        const Reading &ppt = *find(chip, "PPT");
        QCOMPARE(limit(ppt, "average_interval"), 10LL);
        QCOMPARE(limit(ppt, "cap"), 4290000000000LL);
        QCOMPARE(limit(*find(chip, "curr1"), "average"), 0LL);
        QCOMPARE(find(chip, "cpu0_vid")->inputName(), std::string("cpu0_vid"));
        QCOMPARE(find(chip, "intrusion0")->inputName(), std::string("intrusion0_alarm"));
        QCOMPARE(find(chip, "beep_enable")->inputName(), std::string("beep_enable"));

        // Unit-less readings at the top of a chip are its first voltages.
        const Chip &gpu = parsed.chips[1];
        QCOMPARE(gpu.readings.size(), std::size_t(3));
        QCOMPARE(gpu.readings[0].inputName(), std::string("in0_input"));
        QCOMPARE(gpu.readings[1].inputName(), std::string("in1_input"));
        QCOMPARE(gpu.readings[2].inputName(), std::string("temp1_input"));
    }

    void errorsAreReportedAndTheRestIsRead()
    {
        const Parsed parsed = parse("not a chip\n\ncoretemp-isa-0000\nAdapter: ISA adapter\n"
                                    "Core 0:  lukewarm\nCore 1:  +40.0 C  (high = hot)\nCore 2:  +41.0 C\n");
        QCOMPARE(parsed.errors.size(), std::size_t(3));
        QCOMPARE(parsed.errors[0].line, 1);
        QCOMPARE(parsed.errors[1].line, 5);
        QCOMPARE(parsed.errors[2].line, 6);
        QCOMPARE(parsed.chips.size(), std::size_t(1));
        QCOMPARE(parsed.chips[0].readings.size(), std::size_t(1));
        QCOMPARE(parsed.chips[0].readings[0].value, 41000LL);
    }
};

KESTRUN_TEST_MAIN(TestSensorsText)
#include "tst_sensorstext.moc"
