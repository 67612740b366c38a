#include "hardware/getpcinfothread.h"

#include "hardware/sensorcycle.h"
#include "platform/crashrelaunch.h"
#include "platform/sensorsdk.h"
#include "platform/standardoutput.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <chrono>
#include <utility>

namespace {
constexpr int kCyclePauseMs = 1000;
constexpr int kStopWaitMs = 1000;
// After the wait for the cycle, how long the release waits for a read to leave the library.
constexpr std::chrono::milliseconds kReleaseWait{500};
constexpr int kSdkMissing = -111;
constexpr int kSdkNotReady = -88;
} // namespace

getPcInfoThread::getPcInfoThread(QObject *parent)
    : QThread(parent)
{
}

getPcInfoThread::~getPcInfoThread()
{
    requestStop();
    if (startThread.joinable())
        startThread.join();
    wait();
    // QThread::wait synchronises through primitives that race detectors cannot see; this acquire
    // pairs with the release at the end of run() and makes the ordering explicit.
    (void)loopEnded.load(std::memory_order_acquire);
}

void getPcInfoThread::onStartInitSdkLater()
{
    // A program that is ending has no use for the SDK, nor anyone to tell.
    if (!running)
        return;
    const kestrun::platform::SensorSdkApi *sdk = kestrun::platform::sensorSdk();
    if (!sdk) {
        emit sigTheSdkInitStatus(false, kSdkMissing);
        printWithoutBlocking(StandardStream::Output, "CANNOT LOAD DLL\n");
        return;
    }
    const int result = sdk->init(SENSORSDK_INIT_ARGUMENT);
    if (!running)
        return;
    if (result != 0) {
        firstCycleLog = false;
        sdkReady = false;
        emit sigTheSdkInitStatus(false, result);
        printWithoutBlocking(StandardStream::Output, "SDK HWiNFO -> INIT FAILED %d\n", result);
    } else {
        firstCycleLog = true;
        sdkReady = true;
        emit sigTheSdkInitStatus(true, 0);
        printWithoutBlocking(StandardStream::Output, "SDK HWiNFO -> INIT OK\n");
    }
}

void getPcInfoThread::startSdkInit()
{
    std::lock_guard<std::mutex> lock(startMutex);
    if (startBegun)
        return;
    startBegun = true;
    startRunning = true;
    startThread = std::thread([this] {
        prepareThreadForCrashes();
        onStartInitSdkLater();
        {
            std::lock_guard<std::mutex> ended(startMutex);
            startRunning = false;
        }
        startEnded.notify_all();
    });
}

getPcInfoThread::ThreadsLeft getPcInfoThread::endThreads(std::chrono::steady_clock::time_point deadline)
{
    requestStop();
    ThreadsLeft left;
    {
        std::unique_lock<std::mutex> lock(startMutex);
        left.sdkStart = !startEnded.wait_until(lock, deadline, [this] { return !startRunning; });
    }
    // Joined only once it has ended; one left behind stays joinable, so it is never detached from
    // the object it uses.
    if (!left.sdkStart && startThread.joinable())
        startThread.join();
    left.readLoop = !wait(QDeadlineTimer(deadline));
    if (!left.readLoop)
        (void)loopEnded.load(std::memory_order_acquire); // see the destructor
    return left;
}

void getPcInfoThread::run()
{
    prepareThreadForCrashes();
    while (running) {
        sleepUnlessStopped(kCyclePauseMs);
        {
            std::lock_guard<std::mutex> sdkLock(sdkMutex);
            // Checked under the lock: once stopAndUninit has released the SDK no cycle may start.
            if (!running)
                break;
            if (!sdkReady)
                continue;
            walking = true;
        }
        getSensorInfo();
        {
            std::lock_guard<std::mutex> sdkLock(sdkMutex);
            walking = false;
        }
        walkEnded.notify_all();
    }
    loopEnded.store(true, std::memory_order_release);
}

void getPcInfoThread::requestStop()
{
    {
        std::lock_guard<std::mutex> pause(pauseMutex);
        running = false;
    }
    pauseWake.notify_all();
}

void getPcInfoThread::sleepUnlessStopped(int milliseconds)
{
    std::unique_lock<std::mutex> pause(pauseMutex);
    pauseWake.wait_for(pause, std::chrono::milliseconds(milliseconds), [this] { return !running; });
}

void getPcInfoThread::getSensorInfo()
{
    cycleDone = false;
    const bool firstCycle = firstCycleLog;
    SensorSourceSeen seen;
    const std::optional<SensorSnapshot> values =
        readSensorCycle(*kestrun::platform::sensorSdk(), firstCycle, running, &seen);
    if (values) {
        {
            std::lock_guard<std::mutex> lock(snapshotMutex);
            snapshot = *values;
            sources = seen;
        }
        firstCycleLog = false;
        if (firstCycle)
            logFiguresWithoutSource(seen);
        std::lock_guard<std::mutex> lock(sinkMutex);
        if (cycleSink)
            cycleSink(CycleRecord{*values, seen});
    }
    cycleDone = true;
    if (values)
        emit sigGetPcInfoOk();
}

int getPcInfoThread::stopAndUninit()
{
    requestStop();
    waitTimer.start();
    while (waitTimer.elapsed() < kStopWaitMs && !cycleDone) {
        QCoreApplication::processEvents();
        QThread::msleep(1); // no busy spin while waiting
    }

    // Waits for a cycle that is still walking; it gives up at its next reading index, unless that
    // read does not come back: then the SDK stays as it is.
    std::unique_lock<std::mutex> sdkLock(sdkMutex);
    if (!walkEnded.wait_for(sdkLock, kReleaseWait, [this] { return !walking; }))
        return kSdkStillBusy;
    if (!sdkReady)
        return kSdkNotReady;
    sdkReady = false;
    return kestrun::platform::sensorSdk()->uninit();
}

SensorSnapshot getPcInfoThread::copySnapshot() const
{
    std::lock_guard<std::mutex> lock(snapshotMutex);
    return snapshot;
}

void getPcInfoThread::setCycleSink(CycleSink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex);
    cycleSink = std::move(sink);
}

getPcInfoThread::CycleRecord getPcInfoThread::copyLastCycle() const
{
    std::lock_guard<std::mutex> lock(snapshotMutex);
    return {snapshot, sources};
}
