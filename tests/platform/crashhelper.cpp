// Stand-in for the program in the crash-restart tests. Every start appends a line to
// $KESTRUN_CRASH_DIR/starts. When $KESTRUN_CRASH_DIR/request exists (text: "<signal> <delay ms>")
// it removes the file, waits, and crashes with that signal; a restarted copy finds no request and
// ends normally. Like the program, it first takes the single-instance segment named by
// $KESTRUN_CRASH_KEY; a copy that is refused writes "refused" instead.
#include "platform/crashrelaunch.h"
#include "platform/singleinstance.h"

#include <QSharedMemory>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

int main()
{
    const char *dir = std::getenv("KESTRUN_CRASH_DIR");
    const char *key = std::getenv("KESTRUN_CRASH_KEY");
    if (!dir || !key)
        return 3;
    const std::string folder = dir;
    QSharedMemory segment(QString::fromLocal8Bit(key));
    if (!claimSingleInstance(segment)) {
        std::ofstream(folder + "/starts", std::ios::app) << "refused " << getpid() << std::endl;
        return -1;
    }
    setStartStamp(currentStamp());
    const char *threshold = std::getenv("KESTRUN_CRASH_THRESHOLD_MS");
    if (!installCrashRelaunch(threshold ? std::atoi(threshold) : kCrashRelaunchThresholdMs))
        return 2;
    std::ofstream(folder + "/starts", std::ios::app) << "started " << getpid() << std::endl;

    int signalNumber = 0;
    int delayMs = 0;
    {
        std::ifstream request(folder + "/request");
        if (!(request >> signalNumber >> delayMs))
            return 0;
    }
    std::remove((folder + "/request").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    if (signalNumber == SIGABRT)
        std::abort();
    std::raise(signalNumber);
    return 4;
}
