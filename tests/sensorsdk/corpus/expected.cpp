#include "expected.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace sensorcorpus {

namespace {

std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        result.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return result;
        start = tab + 1;
    }
}

bool isFigure(const std::string &name)
{
    for (const char *figure : kFigures) {
        if (name == figure)
            return true;
    }
    return false;
}

bool number(const std::string &text, double &value)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value) && value >= 0;
}

bool readExpected(const std::string &text, Expectation &expectation)
{
    expectation.text = text;
    if (text == "none") {
        expectation.kind = Expectation::Kind::None;
        return true;
    }
    if (text == "?") {
        expectation.kind = Expectation::Kind::Unknown;
        return true;
    }
    expectation.kind = Expectation::Kind::Values;
    std::istringstream alternatives(text);
    for (std::string item; std::getline(alternatives, item, '|');) {
        double value = 0;
        if (!number(item, value))
            return false;
        expectation.values.push_back(value);
    }
    return !expectation.values.empty() && text.back() != '|';
}

} // namespace

ExpectedFile parseExpected(const std::string &text)
{
    ExpectedFile file;
    std::istringstream stream(text);
    int lineNumber = 0;
    for (std::string line; std::getline(stream, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> columns = fields(line);
        if (columns[0] == "layout")
            continue;
        auto error = [&](const std::string &why) {
            file.errors.push_back("line " + std::to_string(lineNumber) + ": " + why + ": " + line);
        };
        Expectation expectation;
        if (columns.size() < 3) {
            error("fewer than three fields");
            continue;
        }
        if (columns[0].size() != 3 || columns[0].find_first_not_of("0123456789") != std::string::npos) {
            error("not a layout number");
            continue;
        }
        if (!isFigure(columns[1])) {
            error("not a figure");
            continue;
        }
        if (!readExpected(columns[2], expectation)) {
            error("not a value, none or ?");
            continue;
        }
        if (columns.size() > 3)
            expectation.note = columns[3];
        if (!file.lines.emplace(std::make_pair(columns[0], columns[1]), expectation).second)
            error("figure given twice");
    }
    return file;
}

const char *outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Named:
        return "named";
    case Outcome::Nothing:
        return "nothing";
    case Outcome::Other:
        return "other";
    case Outcome::NoneRight:
        return "none right";
    case Outcome::Unjudged:
        return "unjudged";
    }
    return "";
}

Outcome judge(const Expectation *expectation, double value)
{
    if (!expectation || expectation->kind == Expectation::Kind::Unknown)
        return Outcome::Unjudged;
    const bool shown = value != 0;
    if (expectation->kind == Expectation::Kind::None)
        return shown ? Outcome::Other : Outcome::NoneRight;
    bool belowOne = false;
    for (double expected : expectation->values) {
        if (expected < 1.0) {
            // The sensor thread ignores readings below 1.0: nothing is the right answer.
            belowOne = true;
        } else if (shown && std::fabs(value - expected) <= 0.05 + 1e-9) {
            return Outcome::Named;
        }
    }
    if (shown)
        return Outcome::Other;
    return belowOne ? Outcome::NoneRight : Outcome::Nothing;
}

bool failing(const Judged &judged)
{
    return judged.outcome == Outcome::Other
           || (judged.outcome == Outcome::Nothing && judged.figure == "cpuTemperature");
}

std::string table(const std::vector<Judged> &judged)
{
    std::map<std::string, std::array<int, kOutcomeCount>> counts;
    for (const Judged &one : judged)
        ++counts[one.figure][static_cast<int>(one.outcome)];
    std::string text;
    char line[160];
    std::snprintf(line, sizeof line, "%-18s %7s %7s %7s %10s %8s\n", "figure", "named", "nothing", "other",
                  "none right", "unjudged");
    text += line;
    for (const char *figure : kFigures) {
        const auto &c = counts[figure];
        std::snprintf(line, sizeof line, "%-18s %7d %7d %7d %10d %8d\n", figure, c[0], c[1], c[2], c[3], c[4]);
        text += line;
    }
    return text;
}

std::string details(const std::vector<Judged> &judged)
{
    std::string text;
    char value[32];
    for (const Judged &one : judged) {
        const std::string expected = one.expectation ? one.expectation->text : std::string("(no line)");
        std::string shown = "nothing";
        if (one.shown.value != 0) {
            std::snprintf(value, sizeof value, "%.2f", one.shown.value);
            shown = std::string(value) + " from \"" + one.shown.label + "\" of \"" + one.shown.sensor + "\"";
        }
        text += one.layout + "  " + one.figure + "  expected " + expected + "  shown " + shown + "  -> "
                + outcomeName(one.outcome);
        if (one.expectation && !one.expectation->note.empty())
            text += "  (" + one.expectation->note + ")";
        text += "\n";
    }
    return text;
}

} // namespace sensorcorpus
