#include "hardware/getpcinfothread.h"

#include "hardware/sensorcycle.h"
#include "platform/sensorsdk.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

namespace {
constexpr int kCyclePauseMs = 1000;
constexpr int kStopWaitMs = 1000;
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
    wait();
    // QThread::wait synchronises through primitives that race detectors cannot see; this acquire
    // pairs with the release at the end of run() and makes the ordering explicit.
    (void)m_loopEnded.load(std::memory_order_acquire);
}

void getPcInfoThread::onStartInitSdkLater()
{
    const kestrun::platform::SensorSdkApi *sdk = kestrun::platform::sensorSdk();
    if (!sdk) {
        emit sigTheSdkInitStatus(false, kSdkMissing);
        std::printf("CANNOT LOAD DLL\n");
        std::fflush(stdout);
        return;
    }
    const int result = sdk->init(SENSORSDK_INIT_ARGUMENT);
    if (result != 0) {
        firstCycleLog = false;
        sdkReady = false;
        emit sigTheSdkInitStatus(false, result);
        std::printf("SDK HWiNFO -> INIT FAILED %d\n", result);
    } else {
        firstCycleLog = true;
        sdkReady = true;
        emit sigTheSdkInitStatus(true, 0);
        std::printf("SDK HWiNFO -> INIT OK\n");
    }
    std::fflush(stdout);
}

void getPcInfoThread::run()
{
    while (running) {
        sleepUnlessStopped(kCyclePauseMs);
        std::lock_guard<std::mutex> sdkLock(m_sdkMutex);
        // Checked under the lock: once stopAndUninit has released the SDK no cycle may start.
        if (!running)
            break;
        if (sdkReady)
            getSensorInfo();
    }
    m_loopEnded.store(true, std::memory_order_release);
}

void getPcInfoThread::requestStop()
{
    {
        std::lock_guard<std::mutex> pause(m_pauseMutex);
        running = false;
    }
    m_pauseWake.notify_all();
}

void getPcInfoThread::sleepUnlessStopped(int milliseconds)
{
    std::unique_lock<std::mutex> pause(m_pauseMutex);
    m_pauseWake.wait_for(pause, std::chrono::milliseconds(milliseconds), [this] { return !running; });
}

void getPcInfoThread::getSensorInfo()
{
    cycleDone = false;
    const bool firstCycle = firstCycleLog;
    SensorSourceSeen sources;
    const std::optional<SensorSnapshot> values = readSensorCycle(*kestrun::platform::sensorSdk(), firstCycle,
                                                                 running, firstCycle ? &sources : nullptr);
    if (values) {
        {
            std::lock_guard<std::mutex> lock(m_snapshotMutex);
            m_snapshot = *values;
        }
        firstCycleLog = false;
        if (firstCycle)
            logFiguresWithoutSource(sources);
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

    // Waits for a cycle that is still walking; it gives up at its next reading index.
    std::lock_guard<std::mutex> sdkLock(m_sdkMutex);
    if (!sdkReady)
        return kSdkNotReady;
    sdkReady = false;
    return kestrun::platform::sensorSdk()->uninit();
}

SensorSnapshot getPcInfoThread::copySnapshot() const
{
    std::lock_guard<std::mutex> lock(m_snapshotMutex);
    return m_snapshot;
}
