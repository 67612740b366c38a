#include "hardware/sensormatch.h"
#include "hardware/sensorsnapshot.h"

#include "sensortestsupport.h"
#include "testenv.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Offer {
    ReadingKind kind;
    QByteArray label;
    double value;
};
using Offers = std::vector<Offer>;

} // namespace

using kestrun::test::FieldValues;

Q_DECLARE_METATYPE(Offers)
Q_DECLARE_METATYPE(FieldValues)

class TestSensorMatch : public QObject
{
    Q_OBJECT

private slots:
    void everyListedTextFillsItsField_data();
    void everyListedTextFillsItsField();
    void matching_data();
    void matching();
    void snapshotToInt_data();
    void snapshotToInt();
};

// Each text of the table, alone in a cycle, fills exactly its field.
void TestSensorMatch::everyListedTextFillsItsField_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<FieldValues>("expected");

    const struct {
        ReadingKind kind;
        const char *name;
        float SensorSnapshot::*field;
        std::vector<const char *> labels;
    } groups[] = {
        {ReadingKind::Temperature,
         "cpuTemperature",
         &SensorSnapshot::cpuTemperature,
         {"CPU", "CPU Temperature", "CPU Package", "CPU (Tctl/Tdie)"}},
        {ReadingKind::Temperature,
         "gpuTemperature",
         &SensorSnapshot::gpuTemperature,
         {"GPU Temperature", "GPU Thermal Diode", "GPU TS0 (DispIO)"}},
        {ReadingKind::Temperature,
         "boardTemperature",
         &SensorSnapshot::boardTemperature,
         {"Motherboard", "PCH Temperature", "Chipset 1 (xHCI)"}},
        {ReadingKind::Fan, "cpuFan", &SensorSnapshot::cpuFan, {"CPU", "CPU Fan", "SYSFANIN", "CPUFANIN0"}},
        {ReadingKind::Fan, "gpuFan", &SensorSnapshot::gpuFan, {"GPU Fan", "GPU Fan1", "GPU Fan2", "Radeon GPU Fan 3"}},
        {ReadingKind::Power, "cpuPower", &SensorSnapshot::cpuPower, {"CPU Package Power"}},
        {ReadingKind::Power,
         "gpuPower",
         &SensorSnapshot::gpuPower,
         {"GPU Power (Total)", "GPU ASIC Power", "Total Graphics Power (TGP)", "GPU Core Power (VDDCR_GFX)",
          "GPU SoC Power (VDDCR_SOC)", "IGPU Power"}},
        {ReadingKind::Clock,
         "cpuClock",
         &SensorSnapshot::cpuClock,
         {"Core 0 Clock", "P-core 0 Clock", "E-core 0 Clock", "Core 0 Clock (perf #1)"}},
        {ReadingKind::Clock, "gpuClock", &SensorSnapshot::gpuClock, {"GPU Clock"}},
        {ReadingKind::Clock, "memoryClock", &SensorSnapshot::memoryClock, {"Memory Clock"}},
        {ReadingKind::Usage, "cpuUsage", &SensorSnapshot::cpuUsage, {"Total CPU Usage"}},
        {ReadingKind::Usage, "gpuUsage", &SensorSnapshot::gpuUsage, {"GPU Core Load", "GPU D3D Usage"}},
    };
    for (const auto &group : groups)
        for (const char *label : group.labels)
            QTest::addRow("%s <- %s", group.name, label)
                << static_cast<int>(group.kind) << QByteArray(label) << FieldValues{{group.field, 42.5f}};
}

void TestSensorMatch::everyListedTextFillsItsField()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, label);
    QFETCH(FieldValues, expected);

    SensorMatcher matcher;
    QVERIFY(matcher.offer(static_cast<ReadingKind>(kind), label.constData(), 42.5));
    const QString mismatch = kestrun::test::snapshotMismatch(matcher.snapshot(), expected);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void TestSensorMatch::matching_data()
{
    QTest::addColumn<Offers>("offers");
    QTest::addColumn<FieldValues>("expected"); // fields not listed must be 0

    using K = ReadingKind;
    QTest::newRow("nothing offered") << Offers{} << FieldValues{};
    QTest::newRow("first match wins, later ones change nothing")
        << Offers{{K::Temperature, "CPU Package", 45}, {K::Temperature, "CPU Package", 60}}
        << FieldValues{{&SensorSnapshot::cpuTemperature, 45}};
    QTest::newRow("order inside a group does not matter")
        << Offers{{K::Temperature, "CPU (Tctl/Tdie)", 50}, {K::Temperature, "CPU", 40}}
        << FieldValues{{&SensorSnapshot::cpuTemperature, 50}};
    QTest::newRow("each field taken once, others still open")
        << Offers{{K::Fan, "CPU Fan", 1200}, {K::Fan, "CPU", 900}, {K::Fan, "GPU Fan2", 800}, {K::Fan, "GPU Fan", 700}}
        << FieldValues{{&SensorSnapshot::cpuFan, 1200}, {&SensorSnapshot::gpuFan, 800}};
    QTest::newRow("comparison is case-sensitive and exact") << Offers{{K::Temperature, "cpu package", 45},
                                                                      {K::Temperature, "CPU Package ", 46},
                                                                      {K::Usage, "Total CPU usage", 10},
                                                                      {K::Clock, "GPU Clock (Effective)", 1500},
                                                                      {K::Clock, "CORE 0 CLOCK", 4000}}
                                                            << FieldValues{};
    QTest::newRow("a label counts only for its own kind")
        << Offers{{K::Clock, "CPU Package", 45}, {K::Usage, "GPU Clock", 1500}, {K::Power, "CPU", 65}} << FieldValues{};
    QTest::newRow("core 10 is not core 0")
        << Offers{{K::Clock, "Core 10 Clock", 3000}, {K::Clock, "P-core 0 Clock", 4700.6}}
        << FieldValues{{&SensorSnapshot::cpuClock, 4700.6f}};
    QTest::newRow("values below 1.0 are no reading") << Offers{{K::Usage, "GPU Core Load", 0.6},
                                                               {K::Usage, "Total CPU Usage", 0},
                                                               {K::Temperature, "CPU", -5},
                                                               {K::Usage, "Total CPU Usage", 1.0}}
                                                     << FieldValues{{&SensorSnapshot::cpuUsage, 1.0f}};
    QTest::newRow("NaN is no reading") << Offers{{K::Temperature, "CPU", std::nan("")},
                                                 {K::Temperature, "CPU Package", 47}}
                                       << FieldValues{{&SensorSnapshot::cpuTemperature, 47}};
    QTest::newRow("an empty label is no reading") << Offers{{K::Clock, "", 4000}, {K::Clock, "Memory Clock", 1600}}
                                                  << FieldValues{{&SensorSnapshot::memoryClock, 1600}};
    QTest::newRow("values past float's range become infinity")
        << Offers{{K::Power, "CPU Package Power", 1e300}}
        << FieldValues{{&SensorSnapshot::cpuPower, std::numeric_limits<float>::infinity()}};
}

void TestSensorMatch::matching()
{
    QFETCH(Offers, offers);
    QFETCH(FieldValues, expected);

    SensorMatcher matcher;
    for (const Offer &offer : offers)
        matcher.offer(offer.kind, offer.label.constData(), offer.value);
    const QString mismatch = kestrun::test::snapshotMismatch(matcher.snapshot(), expected);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void TestSensorMatch::snapshotToInt_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("expected");

    constexpr int max = std::numeric_limits<int>::max();
    constexpr int min = std::numeric_limits<int>::min();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("fraction dropped") << 45.9f << 45;
    QTest::newRow("toward zero when negative") << -5.5f << -5;
    QTest::newRow("below one") << 0.99f << 0;
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << 0;
    QTest::newRow("infinity") << inf << max;
    QTest::newRow("minus infinity") << -inf << min;
    QTest::newRow("just past the top") << 2147483648.0f << max;
    QTest::newRow("largest float below the top") << 2147483520.0f << 2147483520;
    QTest::newRow("bottom itself") << -2147483648.0f << min;
    QTest::newRow("far below") << -3e9f << min;
    QTest::newRow("largest float") << std::numeric_limits<float>::max() << max;
}

void TestSensorMatch::snapshotToInt()
{
    QFETCH(float, value);
    QFETCH(int, expected);
    QCOMPARE(::snapshotToInt(value), expected);
}

KESTRUN_TEST_MAIN(TestSensorMatch)
#include "tst_sensormatch.moc"
