#include "standardoutput.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

bool printWithoutBlocking(StandardStream stream, const char *format, ...)
{
    char small[512];
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    bool written = false;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof small) {
        written = writeWithoutBlocking(stream, small, static_cast<std::size_t>(length));
    } else if (length >= 0) {
        std::vector<char> large(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(large.data(), large.size(), format, again);
        written = writeWithoutBlocking(stream, large.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    return written;
}
