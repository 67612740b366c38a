// Every layout of the corpus rebuilt in a testbed and printed again by the real `sensors`, run as
// a child under the same umockdev preload: its output must be the original text.
//
// Compared after normalising only what the format or the lm-sensors release prints differently:
// - the unit glyph: "°C" and "*C" are " C";
// - voltages: older releases print "+1.15 V" where 3.6 prints "1.15 V", and "+0.88 V" where 3.6
//   prints "880.00 mV": signs go, millivolts are volts with two decimals;
// - column padding: runs of blanks are one blank, blanks at the end of a line go;
// - the order of the blocks: libsensors lists chips in the directory order of /sys/class/hwmon,
//   which neither the machine nor the testbed fixes, so both sides' blocks are sorted.
// Chip titles, adapter lines, labels, values, limits and flags are compared as printed.

#include "corpus.h"
#include "testenv.h"

#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string normalisedLine(std::string line)
{
    static const std::regex glyph("(\xc2\xb0|\\*)C");
    static const std::regex voltageSign(R"(\+([0-9]+\.[0-9]+ m?V\b))");
    static const std::regex blanks(" +");
    static const std::regex millivolts(R"(([+-]?[0-9]+\.[0-9]+) mV\b)");
    line = std::regex_replace(line, glyph, " C");
    std::smatch match;
    while (std::regex_search(line, match, millivolts)) {
        char volts[32];
        std::snprintf(volts, sizeof volts, "%.2f V", std::strtod(match[1].str().c_str(), nullptr) / 1000);
        line = match.prefix().str() + volts + match.suffix().str();
    }
    line = std::regex_replace(line, voltageSign, "$1");
    line = std::regex_replace(line, blanks, " ");
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// The blocks of a `sensors` text, each normalised, sorted.
std::vector<std::string> blocks(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    std::string block;
    for (std::string line; std::getline(stream, line);) {
        line = normalisedLine(line);
        if (line.empty()) {
            if (!block.empty())
                result.push_back(block);
            block.clear();
            continue;
        }
        block += line + "\n";
    }
    if (!block.empty())
        result.push_back(block);
    std::sort(result.begin(), result.end());
    return result;
}

// The blocks only one side has, for the failure message.
std::string difference(const std::vector<std::string> &expected, const std::vector<std::string> &actual)
{
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    std::string text;
    for (const std::string &block : missing)
        text += "--- in the layout only:\n" + block;
    for (const std::string &block : extra)
        text += "+++ printed only:\n" + block;
    return text;
}

} // namespace

class TestSensorsRoundTrip : public QObject
{
    Q_OBJECT

    QString sensors;

private slots:
    void initTestCase()
    {
        sensorcorpus::useMemoryForTestbeds();
        sensors = QStandardPaths::findExecutable("sensors");
        QVERIFY2(!sensors.isEmpty(), "lm-sensors' `sensors` is not installed (scripts/deps.sh test)");
        QVERIFY(qEnvironmentVariable("LD_PRELOAD").contains("umockdev"));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("text");
        const auto all = sensorcorpus::layouts(KESTRUN_CORPUS_LAYOUTS);
        QCOMPARE(all.size(), std::size_t(123));
        for (const sensorcorpus::Layout &layout : all)
            QTest::newRow(layout.id.c_str()) << QString::fromStdString(layout.file) << QByteArray::fromStdString(layout.text);
    }

    void layout()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        const sensortext::Parsed parsed = sensortext::parse(text.toStdString());
        for (const sensortext::ParseError &error : parsed.errors)
            qWarning("%s:%d: %s", qPrintable(file), error.line, error.message.c_str());
        QVERIFY(parsed.errors.empty());

        sensortest::Testbed bed;
        const std::string configuration =
            sensortest::addChips(bed, parsed.chips, sensorcorpus::machineOptions(file.left(3).toStdString()));
        const std::string configFile = bed.root() + "/roundtrip.conf";
        std::ofstream(configFile, std::ios::trunc) << configuration;

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");
        process.setProcessEnvironment(environment);
        process.start(sensors, {"-c", QString::fromStdString(configFile)});
        QVERIFY(process.waitForFinished(60000));
        const QByteArray errors = process.readAllStandardError();
        QVERIFY2(errors.isEmpty(), errors.constData());
        QCOMPARE(process.exitCode(), 0);

        const auto expected = blocks(text.toStdString());
        const auto printed = blocks(process.readAllStandardOutput().toStdString());
        if (expected != printed)
            qWarning("%s", difference(expected, printed).c_str());
        QVERIFY(expected == printed);
    }
};

KESTRUN_TEST_MAIN(TestSensorsRoundTrip)
#include "tst_sensorsroundtrip.moc"
