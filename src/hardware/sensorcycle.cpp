#include "hardware/sensorcycle.h"

#include "hardware/figurereasons.h"
#include "hardware/sensormatch.h"
#include "platform/machinefacts.h"
#include "platform/sensorsdk.h"
#include "platform/standardoutput.h"

#include <QDebug>
#include <QString>

using kestrun::platform::SensorSdkApi;

namespace {

constexpr int kLabelSize = SENSORSDK_LABEL_SIZE;

struct ReadingFormat {
    const char *printed; // printf format: label, value
    const char *logged;  // debug line: %1 label, %2 value
};

ReadingFormat formatOf(ReadingKind kind)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return {"Temperature ===> %s = %.1f C\n", "Temperature ===> %1 = %2 \u2103"};
    case ReadingKind::Fan:
        return {"Fan ===> %s = %.0f RPM\n", "Fan ===> %1 = %2 RPM"};
    case ReadingKind::Power:
        return {"Power ===> %s = %.3f W\n", "Power ===> %1 = %2 W"};
    case ReadingKind::Clock:
        return {"Clock ===> %s = %.1f MHz\n", "Clock ===> %1 = %2 MHz"};
    case ReadingKind::Usage:
        break;
    }
    return {"Usage ===> %s = %.1f%%\n", "Usage ===> %1 = %2 %"};
}

double readValue(const SensorSdkApi &sdk, ReadingKind kind, int sensor, int reading, char *label)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return sdk.readTemperature(sensor, reading, label, kLabelSize);
    case ReadingKind::Fan:
        return static_cast<double>(sdk.readFan(sensor, reading, label, kLabelSize));
    case ReadingKind::Power:
        return sdk.readPower(sensor, reading, label, kLabelSize);
    case ReadingKind::Clock:
        return sdk.readClock(sensor, reading, label, kLabelSize);
    case ReadingKind::Usage:
        break;
    }
    return sdk.readUsage(sensor, reading, label, kLabelSize);
}

void logReading(ReadingKind kind, const char *label, double value)
{
    const ReadingFormat format = formatOf(kind);
    printWithoutBlocking(StandardStream::Output, format.printed, label, value);
    // Both markers are filled in one pass, so a label that itself holds "%2" stays as it is.
    const QString valueText = QStringLiteral("%1").arg(value);
    qDebug().noquote() << QString::fromUtf8(format.logged).arg(QString::fromLocal8Bit(label), valueText);
}

} // namespace

std::optional<SensorSnapshot> readSensorCycle(const SensorSdkApi &sdk, bool logDetails,
                                              const std::atomic<bool> &keepGoing, SensorSourceSeen *sources)
{
    if (logDetails)
        qDebug() << "---------------------------- *** Hardware info get [Start] *** ----------------------------";

    SensorMatcher matcher;
    char label[kLabelSize];
    const int sensors = sdk.sensorCount();
    for (int sensor = 0; sensor < sensors; ++sensor) {
        sdk.prepareSensor(sensor);
        label[0] = '\0';
        sdk.sensorName(sensor, label, kLabelSize);
        // The library is not trusted to terminate the text.
        label[kLabelSize - 1] = '\0';
        if (logDetails) {
            printWithoutBlocking(StandardStream::Output, "======== %s ========\n", label);
            qDebug().noquote() << QStringLiteral("======== %1 ========").arg(QString::fromLocal8Bit(label));
        }
        for (int reading = 0; reading < SENSORSDK_READINGS_PER_SENSOR; ++reading) {
            if (!keepGoing.load(std::memory_order_relaxed))
                return std::nullopt;
            for (ReadingKind kind : kReadingKindsInWalkOrder) {
                label[0] = '\0';
                const double value = readValue(sdk, kind, sensor, reading, label);
                label[kLabelSize - 1] = '\0';
                if (sources)
                    sources->see(kind, label);
                if (!readingPresent(label, value))
                    continue;
                if (logDetails)
                    logReading(kind, label, value);
                matcher.offer(kind, label, value);
            }
        }
        writeWithoutBlocking(StandardStream::Output, "\n", 1);
    }

    if (logDetails)
        qDebug() << "---------------------------- *** Hardware info get [Over] *** ----------------------------";
    return matcher.snapshot();
}

void logFiguresWithoutSource(const SensorSourceSeen &sources)
{
    const std::vector<Figure> missing = figuresWithoutSource(sources);
    if (missing.empty())
        return;
    // The first cycle is the first sample: figures measured between two are not missing.
    const bool oneSample = true;
    for (const FigureReason &reason :
         explainMissingFigures(missing, kestrun::platform::probeMachineFacts(), 0, oneSample)) {
        if (reason.pending)
            continue;
        qDebug().noquote() << QStringLiteral("No source for %1: %2")
                                  .arg(QString::fromUtf8(figureName(reason.figure)),
                                       QString::fromStdString(reasonText(reason)));
    }
}
