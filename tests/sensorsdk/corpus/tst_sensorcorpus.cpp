// Every layout of the corpus rebuilt in a testbed and read by the real libsensorsdk.so through its
// ten entry points, as the sensor thread walks them; every reading goes to the program's own
// SensorMatcher. The figures it takes are judged against expected.tsv: the test fails on a wrong
// reading and on a CPU temperature a person names but the program does not show. The table of
// outcomes is printed always; KESTRUN_CORPUS_VERBOSE=1 adds each layout's figures
// (scripts/sensor-corpus.sh).

#include "corpus.h"
#include "expected.h"
#include "hardware/sensormatch.h"
#include "platform/sensorsdk_abi.h"
#include "testenv.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using sensorcorpus::Judged;
using sensorcorpus::Shown;

// One cycle as the sensor thread makes it: per sensor one prepare and the name, then readings
// 0..511 in the five kinds; the figures the matcher takes, with the reading each came from.
std::map<std::string, Shown> walk()
{
    SensorMatcher matcher;
    std::map<std::string, Shown> shown;
    char name[256];
    char label[256];
    const int count = sdkSensorCount();
    for (int sensor = 0; sensor < count; ++sensor) {
        sdkPrepareSensor(sensor);
        sdkSensorName(sensor, name, sizeof name);
        for (int index = 0; index < 512; ++index) {
            for (ReadingKind kind : kReadingKindsInWalkOrder) {
                label[0] = '\0';
                double value = 0;
                switch (kind) {
                case ReadingKind::Temperature: value = sdkReadTemperature(sensor, index, label, sizeof label); break;
                case ReadingKind::Fan: value = sdkReadFan(sensor, index, label, sizeof label); break;
                case ReadingKind::Power: value = sdkReadPower(sensor, index, label, sizeof label); break;
                case ReadingKind::Clock: value = sdkReadClock(sensor, index, label, sizeof label); break;
                case ReadingKind::Usage: value = sdkReadUsage(sensor, index, label, sizeof label); break;
                }
                const SensorSnapshot before = matcher.snapshot();
                if (!matcher.offer(kind, label, value))
                    continue;
                for (const SensorSnapshotField &field : kSensorSnapshotFields) {
                    if (before.*field.member != matcher.snapshot().*field.member)
                        shown[field.name] = Shown{matcher.snapshot().*field.member, label, name};
                }
            }
        }
    }
    return shown;
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

private slots:
    void initTestCase()
    {
        sensorcorpus::useMemoryForTestbeds();
    }

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
            const std::map<std::string, Shown> shown = walk();
            QCOMPARE(sdkUninit(), 0);

            for (const char *figure : sensorcorpus::kFigures) {
                const auto line = expected.lines.find({layout.id, figure});
                const Shown value = shown.count(figure) ? shown.at(figure) : Shown{};
                const auto *expectation = line == expected.lines.end() ? nullptr : &line->second;
                judged.push_back(Judged{layout.id, figure, expectation, value,
                                        sensorcorpus::judge(expectation, value.value)});
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
