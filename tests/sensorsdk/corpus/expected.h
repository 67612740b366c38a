#pragma once

// The figures a person reads in each layout (expected.tsv) and how the program's figures are
// judged against them. Pure.

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sensorcorpus {

// The snapshot fields a `sensors` text can show, in the order of the table.
constexpr std::array<const char *, 7> kFigures{"cpuTemperature", "cpuFan", "cpuPower", "boardTemperature",
                                               "gpuTemperature", "gpuFan", "gpuPower"};

struct Expectation {
    enum class Kind { Values, None, Unknown };
    Kind kind = Kind::Unknown;
    std::vector<double> values; // the acceptable values of a Values line
    std::string text;           // the expected column as written
    std::string note;
};

struct ExpectedFile {
    // (layout, figure) -> expectation
    std::map<std::pair<std::string, std::string>, Expectation> lines;
    std::vector<std::string> errors; // malformed or repeated lines, with their line numbers
};

// Tab-separated "layout figure expected note"; '#' starts a comment; a header line whose first
// field is "layout" is skipped.
ExpectedFile parseExpected(const std::string &text);

enum class Outcome { Named, Nothing, Other, NoneRight, Unjudged };
constexpr int kOutcomeCount = 5;
const char *outcomeName(Outcome outcome);

// The program showed value (0: nothing). No expectation (a missing line) is unjudged.
Outcome judge(const Expectation *expectation, double value);

// What the program showed for one figure of one layout.
struct Shown {
    double value = 0;
    std::string label;  // the reading that filled it
    std::string sensor; // and its sensor
};

struct Judged {
    std::string layout;
    std::string figure;
    const Expectation *expectation; // null: no line
    Shown shown;
    Outcome outcome;
};

// Per figure, how many layouts fall in each outcome.
std::string table(const std::vector<Judged> &judged);

// Per layout and figure: expected, shown, from which reading, outcome.
std::string details(const std::vector<Judged> &judged);

// The judgements that fail the corpus: any other reading, and a named CPU temperature not shown.
bool failing(const Judged &judged);

} // namespace sensorcorpus
