#include "parse/meminfo.h"

#include <charconv>
#include <limits>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The next blank-separated word of text, removed from it.
std::string_view nextWord(std::string_view &text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    std::size_t end = start;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

// A "Name:   1234 kB" line gives 1234 × 1024 bytes; a value without unit is taken as bytes.
bool readField(std::string_view line, std::string_view name, unsigned long long *bytes)
{
    if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':')
        return false;
    std::string_view rest = line.substr(name.size() + 1);
    const std::string_view number = nextWord(rest);
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size())
        return false;
    const bool kibibytes = nextWord(rest) == "kB";
    if (kibibytes && value > std::numeric_limits<unsigned long long>::max() / 1024)
        return false;
    *bytes = kibibytes ? value * 1024 : value;
    return true;
}

// part × factor / whole, truncated, for part <= whole: exact for every 64-bit whole without a
// product wider than 64 bits (32-bit targets have no 128-bit integer). The product is built by
// doubling, as a quotient and a remainder by whole.
std::uint32_t scaledShare(std::uint64_t part, std::uint32_t factor, std::uint64_t whole)
{
    std::uint64_t quotient = 0;
    std::uint64_t remainder = 0;
    std::uint64_t termQuotient = part / whole; // of part × 2^k
    std::uint64_t termRemainder = part % whole;
    for (std::uint32_t bits = factor; bits != 0; bits >>= 1) {
        if (bits & 1) {
            const bool carry = remainder >= whole - termRemainder;
            quotient += termQuotient + (carry ? 1 : 0);
            remainder = carry ? remainder - (whole - termRemainder) : remainder + termRemainder;
        }
        const bool carry = termRemainder >= whole - termRemainder;
        termQuotient = 2 * termQuotient + (carry ? 1 : 0);
        termRemainder = carry ? termRemainder - (whole - termRemainder) : 2 * termRemainder;
    }
    return static_cast<std::uint32_t>(quotient);
}

} // namespace

MeminfoFigures parseMeminfoText(std::string_view text)
{
    MeminfoFigures figures;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (!readField(line, "MemTotal", &figures.totalBytes))
            readField(line, "MemAvailable", &figures.availBytes);
    }
    // A kernel never reports more available than total, but a broken file must not underflow.
    if (figures.availBytes > figures.totalBytes)
        figures.availBytes = figures.totalBytes;
    if (figures.totalBytes > 0) {
        figures.memoryLoad = scaledShare(figures.totalBytes - figures.availBytes, 100, figures.totalBytes);
    }
    return figures;
}
