#pragma once

#include <QApplication>
#include <QtTest>

namespace kestrun::test {

// Points HOME and the XDG folders at a fresh temporary folder, removed at exit,
// so no test ever reads or writes the real user's settings, logs or autostart entries.
void isolateHome();

// The temporary home made by isolateHome().
QString homePath();

// How long a test waits for a started copy of the program to come up (its SDK ready, its first
// report). Under the sanitizers on a busy two-core machine a start has taken over 15 s; the waits
// end as soon as the program is there, so a generous bound costs nothing when it is quick.
constexpr int kProgramStartMs = 60000;

} // namespace kestrun::test

// A QtTest main that isolates the home folder and runs on the offscreen platform.
#define KESTRUN_TEST_MAIN(TestObject)                                                                                  \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        kestrun::test::isolateHome();                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QApplication app(argc, argv);                                                                                  \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv) == 0 ? 0 : 1;                                                             \
    }
