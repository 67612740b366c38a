#include "sensorsconfig.h"

#include <algorithm>

namespace sensorsdk {

namespace {

bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9');
}

} // namespace

std::vector<std::string> computedFeatures(std::string_view configuration)
{
    std::vector<std::string> features;
    bool afterCompute = false; // the previous token was the word compute
    std::size_t at = 0;
    const std::size_t size = configuration.size();
    while (at < size) {
        const char c = configuration[at];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++at;
        } else if (c == '\\' && at + 1 < size && configuration[at + 1] == '\n') {
            at += 2; // a continued line
        } else if (c == '#') {
            while (at < size && configuration[at] != '\n')
                ++at;
        } else if (c == '"') {
            // A quoted text ends at its closing quote or, unterminated, at the end of the line.
            for (++at; at < size && configuration[at] != '"' && configuration[at] != '\n'; ++at) {
                if (configuration[at] == '\\' && at + 1 < size && configuration[at + 1] != '\n')
                    ++at;
            }
            if (at < size && configuration[at] == '"')
                ++at;
            afterCompute = false;
        } else if (isNameStart(c)) {
            const std::size_t start = at;
            while (at < size && isNameChar(configuration[at]))
                ++at;
            const std::string_view word = configuration.substr(start, at - start);
            if (afterCompute && std::find(features.begin(), features.end(), word) == features.end())
                features.emplace_back(word);
            afterCompute = word == "compute";
        } else {
            ++at;
            afterCompute = false;
        }
    }
    return features;
}

} // namespace sensorsdk
