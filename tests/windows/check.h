#pragma once

// Checks for the Qt-free Windows test programs: each failed check is reported on standard error
// and counted; the program returns checkResult(), 0 or 1 (wine wraps exit codes above 255).

#include <cstdio>

namespace kestrun::test {
inline int &checkFailures()
{
    static int failures = 0;
    return failures;
}
inline int checkResult()
{
    std::fprintf(stderr, "%d failed check(s)\n", checkFailures());
    return checkFailures() == 0 ? 0 : 1;
}
} // namespace kestrun::test

#define CHECK(cond)                                                                                                    \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                              \
            ++kestrun::test::checkFailures();                                                                          \
        }                                                                                                              \
    } while (0)
