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
#include <sstream>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isWordChar(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// The end of "<digits>.<digits> <unit>" at at, the unit ending a word; npos where there is none.
std::size_t voltageEnd(const std::string &line, std::size_t at, const char *unit)
{
    const std::size_t start = at;
    while (at < line.size() && isDigit(line[at]))
        ++at;
    if (at == start || at + 1 >= line.size() || line[at] != '.' || !isDigit(line[at + 1]))
        return std::string::npos;
    for (++at; at < line.size() && isDigit(line[at]);)
        ++at;
    const std::string tail = std::string(" ") + unit;
    if (line.compare(at, tail.size(), tail) != 0)
        return std::string::npos;
    at += tail.size();
    return at < line.size() && isWordChar(line[at]) ? std::string::npos : at;
}

// A printed line with what differs between sensors releases and locales evened out: the degree
// glyph, millivolts as volts, a voltage's plus sign and runs of blanks.
std::string normalisedLine(const std::string &text)
{
    std::string line;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, 3,
                         "\xc2\xb0"
                         "C")
                == 0
            || text.compare(at, 2, "*C") == 0) {
            line += " C";
            at += text[at] == '*' ? 2 : 3;
        } else {
            line += text[at++];
        }
    }
    std::string volts;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t digits = line[at] == '+' || line[at] == '-' ? at + 1 : at;
        const std::size_t end = voltageEnd(line, digits, "mV");
        if (end == std::string::npos) {
            volts += line[at++];
            continue;
        }
        char value[32];
        std::snprintf(value, sizeof value, "%.2f V", std::strtod(line.substr(at, end - at).c_str(), nullptr) / 1000);
        volts += value;
        at = end;
    }
    std::string withoutSigns;
    for (std::size_t at = 0; at < volts.size(); ++at) {
        const bool sign = volts[at] == '+'
                          && (voltageEnd(volts, at + 1, "V") != std::string::npos
                              || voltageEnd(volts, at + 1, "mV") != std::string::npos);
        if (!sign)
            withoutSigns += volts[at];
    }
    std::string result;
    for (char c : withoutSigns) {
        if (c != ' ' || result.empty() || result.back() != ' ')
            result += c;
    }
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
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
            QTest::newRow(layout.id.c_str())
                << QString::fromStdString(layout.file) << QByteArray::fromStdString(layout.text);
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
