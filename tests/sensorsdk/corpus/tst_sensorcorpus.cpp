// Every layout of the corpus rebuilt in a testbed and read by the real libsensorsdk.so through its
// ten entry points, as the sensor thread walks them; every reading goes to the program's own
// SensorMatcher. The figures it takes are judged against expected.tsv: the test fails on a wrong
// reading and on a CPU temperature a person names but the program does not show. The table of
// outcomes is printed always; KESTRUN_CORPUS_VERBOSE=1 adds each layout's figures
// (scripts/sensor-corpus.sh). Each machine is read a second time with /sys/class/hwmon listed the
// other way round, as another file system or a real sysfs lists it: the figures must not change.

#include "corpus.h"
#include "expected.h"
#include "hardware/sensormatch.h"
#include "platform/sensorsdk_abi.h"
#include "testenv.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using sensorcorpus::Judged;
using sensorcorpus::Shown;

struct Cycle {
    std::map<std::string, Shown> shown; // the figures the matcher takes, with the reading of each
    std::vector<std::string> walked;    // every sensor and reading offered, in walk order
};

// One cycle as the sensor thread makes it: per sensor one prepare and the name, then readings
// 0..511 in the five kinds.
Cycle walk()
{
    SensorMatcher matcher;
    Cycle cycle;
    char name[256];
    char label[256];
    const int count = sdkSensorCount();
    for (int sensor = 0; sensor < count; ++sensor) {
        sdkPrepareSensor(sensor);
        sdkSensorName(sensor, name, sizeof name);
        cycle.walked.push_back(std::string("sensor ") + name);
        for (int index = 0; index < 512; ++index) {
            for (ReadingKind kind : kReadingKindsInWalkOrder) {
                label[0] = '\0';
                double value = 0;
                switch (kind) {
                case ReadingKind::Temperature:
                    value = sdkReadTemperature(sensor, index, label, sizeof label);
                    break;
                case ReadingKind::Fan:
                    value = sdkReadFan(sensor, index, label, sizeof label);
                    break;
                case ReadingKind::Power:
                    value = sdkReadPower(sensor, index, label, sizeof label);
                    break;
                case ReadingKind::Clock:
                    value = sdkReadClock(sensor, index, label, sizeof label);
                    break;
                case ReadingKind::Usage:
                    value = sdkReadUsage(sensor, index, label, sizeof label);
                    break;
                }
                if (label[0] != '\0') {
                    char line[400];
                    std::snprintf(line, sizeof line, "  %d %d \"%s\" %.17g", static_cast<int>(kind), index, label,
                                  value);
                    cycle.walked.push_back(line);
                }
                const SensorSnapshot before = matcher.snapshot();
                if (!matcher.offer(kind, label, value))
                    continue;
                for (const SensorSnapshotField &field : kSensorSnapshotFields) {
                    if (before.*field.member != matcher.snapshot().*field.member)
                        cycle.shown[field.name] = Shown{matcher.snapshot().*field.member, label, name};
                }
            }
        }
    }
    return cycle;
}

// The first line where two walks differ, or empty.
std::string firstDifference(const std::vector<std::string> &one, const std::vector<std::string> &other)
{
    const auto [a, b] = std::mismatch(one.begin(), one.end(), other.begin(), other.end());
    if (a == one.end() && b == other.end())
        return {};
    return "one way: " + (a == one.end() ? std::string("(end)") : *a)
           + ", the other: " + (b == other.end() ? std::string("(end)") : *b);
}

std::string readFile(const std::string &path, bool &found)
{
    std::ifstream file(path, std::ios::binary);
    found = bool(file);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

class TestSensorCorpus : public QObject
{
    Q_OBJECT

    bool inMemory = false;

private slots:
    void initTestCase() { inMemory = sensorcorpus::useMemoryForTestbeds(); }

    void corpus()
    {
        bool haveExpected = false;
        const sensorcorpus::ExpectedFile expected =
            sensorcorpus::parseExpected(readFile(KESTRUN_CORPUS_EXPECTED, haveExpected));
        for (const std::string &error : expected.errors)
            qWarning("expected.tsv %s", error.c_str());
        QVERIFY(expected.errors.empty());
        if (!haveExpected)
            qInfo("%s is not there: every figure is unjudged", KESTRUN_CORPUS_EXPECTED);

        const auto layouts = sensorcorpus::layouts(KESTRUN_CORPUS_LAYOUTS);
        QCOMPARE(layouts.size(), std::size_t(123));
        std::vector<Judged> judged;
        for (const sensorcorpus::Layout &layout : layouts) {
            sensortest::Testbed bed;
            QVERIFY2(sensorcorpus::buildMachine(bed, layout).empty(), layout.file.c_str());

            QCOMPARE(sdkInit(64), 0);
            const Cycle cycle = walk();
            QCOMPARE(sdkUninit(), 0);

            // A tmpfs lists the chips in the order they were made or in the reverse: both orders
            // are read there, and the library must offer the same sensors and readings in both.
            const bool reversed = bed.reverseListing("/sys/class/hwmon");
            if (inMemory && bed.listing("/sys/class/hwmon").size() > 1)
                QVERIFY2(reversed, layout.file.c_str());
            QCOMPARE(sdkInit(64), 0);
            const Cycle again = walk();
            QCOMPARE(sdkUninit(), 0);
            const std::string difference = firstDifference(cycle.walked, again.walked);
            QVERIFY2(difference.empty(), (layout.file + ": " + difference).c_str());
            const std::map<std::string, Shown> &shown = cycle.shown;

            for (const char *figure : sensorcorpus::kFigures) {
                const auto line = expected.lines.find({layout.id, figure});
                const Shown value = shown.count(figure) ? shown.at(figure) : Shown{};
                const auto *expectation = line == expected.lines.end() ? nullptr : &line->second;
                judged.push_back(
                    Judged{layout.id, figure, expectation, value, sensorcorpus::judge(expectation, value.value)});
            }
        }

        std::printf("\n%s", sensorcorpus::table(judged).c_str());
        if (qEnvironmentVariableIntValue("KESTRUN_CORPUS_VERBOSE"))
            std::printf("\n%s", sensorcorpus::details(judged).c_str());
        std::fflush(stdout);

        int failures = 0;
        for (const Judged &one : judged) {
            if (!sensorcorpus::failing(one))
                continue;
            ++failures;
            qWarning("%s", sensorcorpus::details({one}).c_str());
        }
        QCOMPARE(failures, 0);
    }
};

KESTRUN_TEST_MAIN(TestSensorCorpus)
#include "tst_sensorcorpus.moc"
