// Stand-in for the program in the crash-restart tests. Every start appends a line to
// $KESTRUN_CRASH_DIR/starts. When $KESTRUN_CRASH_DIR/request exists it removes the file and
// crashes as the request says; a restarted copy finds no request and ends normally. Requests:
//   <signal> <delay ms>          waits, then raises the signal on the main thread
//   overflow <thread> <delay ms> waits, then starts the program's own threads, one of which
//                                overflows its stack: "sensor" and "sdkstart" are the sensor
//                                thread and its SDK start thread (the stand-in SDK, scripted
//                                through KESTRUN_SDK_SCENARIO, overflows in a read or in sdkInit),
//                                "writer" the display link's writer thread.
// Like the program, it first takes the single-instance segment named by $KESTRUN_CRASH_KEY; a
// copy that is refused writes "refused" instead.
#include "device/mainhidinterface.h"
#include "hardware/getpcinfothread.h"
#include "platform/crashrelaunch.h"
#include "platform/singleinstance.h"
#include "platform/threadcrashsetup.h"

#include <QCoreApplication>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

[[gnu::noinline]] int overflowStack(int depth)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (depth == INT_MAX)
        return 0;
    return overflowStack(depth + 1) + frame[0];
}

// Starts the named thread of the program so that it overflows; returns only if it did not.
int overflowOn(const std::string &thread)
{
    if (thread == "writer") {
        MainHidInterFace transport;
        prepareForCrashesAtEachStart(transport);
        QObject::connect(
            &transport, &QThread::started, &transport, [] { overflowStack(0); }, Qt::DirectConnection);
        transport.start();
        transport.wait();
        return 5;
    }
    if (thread != "sensor" && thread != "sdkstart")
        return 6;
    getPcInfoThread sensors;
    sensors.start();
    sensors.startSdkInit();
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return 5;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *dir = std::getenv("KESTRUN_CRASH_DIR");
    const char *key = std::getenv("KESTRUN_CRASH_KEY");
    if (!dir || !key)
        return 3;
    const std::string folder = dir;
    SingleInstanceGuard guard(QString::fromLocal8Bit(key));
    if (guard.claim() != SingleInstanceGuard::Claim::Taken) {
        std::ofstream(folder + "/starts", std::ios::app) << "refused " << getpid() << std::endl;
        return -1;
    }
    setStartStamp(currentStamp());
    const char *threshold = std::getenv("KESTRUN_CRASH_THRESHOLD_MS");
    if (!installCrashRelaunch(threshold ? std::atoi(threshold) : kCrashRelaunchThresholdMs))
        return 2;
    std::ofstream(folder + "/starts", std::ios::app) << "started " << getpid() << std::endl;

    std::string kind;
    std::string thread;
    int delayMs = 0;
    {
        std::ifstream request(folder + "/request");
        if (!(request >> kind))
            return 0;
        if (kind == "overflow" && !(request >> thread))
            return 0;
        if (!(request >> delayMs))
            return 0;
    }
    std::remove((folder + "/request").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    if (kind == "overflow") {
        QCoreApplication app(argc, argv);
        return overflowOn(thread);
    }
    const int signalNumber = std::atoi(kind.c_str());
    if (signalNumber == SIGABRT)
        std::abort();
    std::raise(signalNumber);
    return 4;
}
