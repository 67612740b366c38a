#include "parse/asoundcards.h"

#include <utility>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Skips the characters of text that pass test from position at; returns how many it skipped.
template <typename Test>
std::size_t skip(std::string_view text, std::size_t &at, Test test)
{
    const std::size_t start = at;
    while (at < text.size() && test(text[at]))
        ++at;
    return at - start;
}

// The card name of a header line "<blanks><number><blanks>[<id>]:<anything> - <name>", or
// nothing when the line is no header.
bool cardName(std::string_view line, std::string &name)
{
    std::size_t at = 0;
    skip(line, at, isBlank);
    if (skip(line, at, isDigit) == 0 || skip(line, at, isBlank) == 0)
        return false;
    if (at >= line.size() || line[at] != '[')
        return false;
    const std::size_t close = line.find(']', at);
    if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != ':')
        return false;
    const std::size_t dash = line.find(" - ", close + 2);
    if (dash == std::string_view::npos)
        return false;
    name = std::string(trimmed(line.substr(dash + 3)));
    return true;
}

} // namespace

std::vector<std::string> parseAsoundCardNames(std::string_view text)
{
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        std::string name;
        if (cardName(line, name))
            names.push_back(std::move(name));
    }
    return names;
}
