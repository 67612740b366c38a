#include "scenario.h"

#include <QDate>
#include <QTime>

#include <cstdlib>

namespace kestrun::e2e {

namespace {

enum class Kind { Temperature, Fan, Power, Clock, Usage };

struct Reading {
    Kind kind;
    const char *label;
    double first; // value in the first cycle
    double step;  // added per cycle
};

struct Sensor {
    const char *name;
    std::array<Reading, 5> readings;
    int count;
};

// Reading indices follow the list order, so the first cycle logs them in this order.
const std::array<Sensor, 3> kSensors{{
    {"CPU [#0]: E2E Processor",
     {{{Kind::Temperature, "CPU Package", 45.9, 1},
       {Kind::Usage, "Total CPU Usage", 12.4, 1},
       {Kind::Clock, "Core 0 Clock", 4700.6, 10},
       {Kind::Power, "CPU Package Power", 65.3, 1}}},
     4},
    {"Mainboard: E2E Board", {{{Kind::Temperature, "Motherboard", 38, 0}, {Kind::Fan, "CPU Fan", 1234, 1}}}, 2},
    {"GPU [#0]: E2E Graphics",
     {{{Kind::Temperature, "GPU Temperature", 52, 1},
       {Kind::Usage, "GPU Core Load", 3, 1},
       {Kind::Clock, "GPU Clock", 1410, 10},
       {Kind::Power, "GPU ASIC Power", 20.7, 1},
       {Kind::Fan, "GPU Fan", 900, 1}}},
     5},
}};

const char *kindWord(Kind kind)
{
    switch (kind) {
    case Kind::Temperature:
        return "temperature";
    case Kind::Fan:
        return "fan";
    case Kind::Power:
        return "power";
    case Kind::Clock:
        return "clock";
    case Kind::Usage:
        break;
    }
    return "usage";
}

// The value as the scenario file states it, one decimal.
QString valueText(const Reading &reading, int cycle)
{
    return QString::number(reading.first + reading.step * cycle, 'f', 1);
}

QString logLine(const Reading &reading)
{
    const QString value = QString::number(valueText(reading, 0).toDouble());
    switch (reading.kind) {
    case Kind::Temperature:
        return QStringLiteral("Temperature ===> %1 = %2 \u2103").arg(reading.label, value);
    case Kind::Fan:
        return QStringLiteral("Fan ===> %1 = %2 RPM").arg(reading.label, value);
    case Kind::Power:
        return QStringLiteral("Power ===> %1 = %2 W").arg(reading.label, value);
    case Kind::Clock:
        return QStringLiteral("Clock ===> %1 = %2 MHz").arg(reading.label, value);
    case Kind::Usage:
        break;
    }
    return QStringLiteral("Usage ===> %1 = %2 %").arg(reading.label, value);
}

// The whole-number figure a report carries for a reading in a cycle (truncated toward zero).
int figure(const char *label, int cycle)
{
    for (const Sensor &sensor : kSensors)
        for (int i = 0; i < sensor.count; ++i)
            if (QLatin1String(sensor.readings[i].label) == QLatin1String(label))
                return int(valueText(sensor.readings[i], cycle).toDouble());
    std::abort();
}

struct Field {
    const char *name;
    int index;
    int width; // 1 or 2 (high byte first)
    int expected;
};

int fieldValue(const std::array<unsigned char, 65> &report, const Field &field)
{
    return field.width == 1 ? report[field.index] : report[field.index] << 8 | report[field.index + 1];
}

int wrapped(const Field &field)
{
    return field.expected & (field.width == 1 ? 0xFF : 0xFFFF);
}

} // namespace

namespace scenario {

QString fileText()
{
    QString text = QStringLiteral("uninit_result %1\n").arg(kUninitResult);
    for (const Sensor &sensor : kSensors) {
        text += QStringLiteral("sensor %1\n").arg(sensor.name);
        for (int i = 0; i < sensor.count; ++i) {
            const Reading &reading = sensor.readings[i];
            text += QStringLiteral("%1 %2 %3 =").arg(kindWord(reading.kind)).arg(i).arg(reading.label);
            for (int cycle = 0; cycle < kCycles; ++cycle)
                text += ' ' + valueText(reading, cycle);
            text += '\n';
        }
    }
    return text;
}

QStringList firstCycleLogLines()
{
    QStringList lines;
    for (const Sensor &sensor : kSensors) {
        lines << QStringLiteral("======== %1 ========").arg(sensor.name);
        for (int i = 0; i < sensor.count; ++i)
            lines << logLine(sensor.readings[i]);
    }
    return lines;
}

std::optional<int> cycleOf(const std::array<unsigned char, 65> &report)
{
    const int cycle = (report[2] & 0x7F) - figure("CPU Package", 0);
    if (cycle < 0 || cycle >= kCycles)
        return std::nullopt;
    return cycle;
}

} // namespace scenario

QString reportMismatch(const std::array<unsigned char, 65> &report, const ReportContext &context)
{
    const std::optional<int> cycle = scenario::cycleOf(report);
    if (!cycle)
        return QStringLiteral("CPU temperature byte 0x%1 is no cycle of the scenario").arg(report[2], 2, 16);
    const int k = *cycle;
    const int unitBit = context.fahrenheit ? 0x80 : 0;

    QStringList wrong;
    const Field fields[] = {
        {"report ID", 0, 1, 0},
        {"start mark", 1, 1, 0x40},
        {"CPU temperature", 2, 1, figure("CPU Package", k) | unitBit},
        {"CPU usage", 3, 1, figure("Total CPU Usage", k)},
        {"CPU clock", 4, 2, figure("Core 0 Clock", k)},
        {"CPU fan", 6, 2, figure("CPU Fan", k)},
        {"CPU power", 8, 2, figure("CPU Package Power", k)},
        {"GPU temperature", 10, 1, figure("GPU Temperature", k) | unitBit},
        {"GPU usage", 11, 1, figure("GPU Core Load", k)},
        {"GPU clock", 12, 2, figure("GPU Clock", k)},
        {"GPU fan", 14, 2, figure("GPU Fan", k)},
        {"GPU power", 16, 2, figure("GPU ASIC Power", k)},
        {"memory load", 18, 1, context.memoryLoad},
        {"memory MiB", 19, 2, context.memoryMiB},
        {"drive GiB", 22, 2, context.driveGiB},
    };
    for (const Field &field : fields)
        if (fieldValue(report, field) != wrapped(field))
            wrong
                << QStringLiteral("%1 %2 (want %3)").arg(field.name).arg(fieldValue(report, field)).arg(wrapped(field));

    if (std::abs(report[21] - context.drivePercent) > 1)
        wrong << QStringLiteral("drive usage %1% (want %2% +-1)").arg(report[21]).arg(context.drivePercent);

    const QDateTime sent(QDate(report[24] << 8 | report[25], report[26], report[27]), QTime(report[28], report[29]));
    const qint64 lag = sent.isValid() ? sent.secsTo(context.received) : -1;
    if (lag < 0 || lag > 120)
        wrong << QStringLiteral("date and time %1 (received %2)")
                     .arg(sent.toString(Qt::ISODate), context.received.toString(Qt::ISODate));

    unsigned char sum = 0;
    for (int i = 1; i <= 29; ++i)
        sum = static_cast<unsigned char>(sum + report[i]);
    if (report[30] != sum)
        wrong << QStringLiteral("checksum 0x%1 (want 0x%2)").arg(report[30], 2, 16).arg(sum, 2, 16);
    for (int i = 31; i < 65; ++i)
        if (report[i] != 0)
            wrong << QStringLiteral("padding byte %1 is 0x%2").arg(i).arg(report[i], 2, 16);
    return wrong.join(QStringLiteral("; "));
}

} // namespace kestrun::e2e
