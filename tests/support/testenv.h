#pragma once

#include <QApplication>
#include <QtTest>

namespace kestrun::test {

// Points HOME and the XDG folders at a fresh temporary folder, removed at exit,
// so no test ever reads or writes the real user's settings, logs or autostart entries.
void isolateHome();

// The temporary home made by isolateHome().
QString homePath();

} // namespace kestrun::test

// A QtTest main that isolates the home folder and runs on the offscreen platform.
#define KESTRUN_TEST_MAIN(TestObject)                                       \
    int main(int argc, char *argv[])                                        \
    {                                                                       \
        kestrun::test::isolateHome();                                       \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                 \
            qputenv("QT_QPA_PLATFORM", "offscreen");                        \
        QApplication app(argc, argv);                                       \
        TestObject tc;                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                          \
        return QTest::qExec(&tc, argc, argv) == 0 ? 0 : 1;                  \
    }
