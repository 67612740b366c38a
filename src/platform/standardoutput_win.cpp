#include "standardoutput.h"

#include <cstdio>

// A Windows GUI program's standard streams are normally attached to nothing; where a caller gave
// it some, they go through the C runtime as they are.
bool writeWithoutBlocking(StandardStream stream, const char *text, std::size_t size)
{
    std::FILE *file = stream == StandardStream::Output ? stdout : stderr;
    const bool written = std::fwrite(text, 1, size, file) == size;
    std::fflush(file);
    return written;
}
