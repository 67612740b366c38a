#pragma once

#include <cstddef>

// Standard output and error that never hold the program up: what the reader (a terminal, a pipe,
// a file) cannot take at once is dropped. Nobody may be reading at all, or the reader may have
// gone (the end of the pipe closed).
enum class StandardStream { Output, Error };

// Writes the text, or drops it when the stream cannot take it without waiting; a text longer than
// the stream takes in one piece may be cut after a piece. False when anything was dropped.
bool writeWithoutBlocking(StandardStream stream, const char *text, std::size_t size);

// printf to the stream, written as writeWithoutBlocking does.
bool printWithoutBlocking(StandardStream stream, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
