#pragma once

#include "hardware/sensorsnapshot.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

// Reads the live sensor values through the sensor SDK once a second and keeps the latest complete
// set. The SDK is loaded and initialised by onStartInitSdkLater (on a thread of the caller's
// choosing); the read loop idles until then. stopAndUninit ends the loop and releases the SDK.
class getPcInfoThread : public QThread
{
    Q_OBJECT

public:
    explicit getPcInfoThread(QObject *parent = nullptr);
    // Ends the loop and joins the thread; the SDK is released only by stopAndUninit.
    ~getPcInfoThread() override;

    // Clears the run flag, waits up to 1000 ms (processing events) for a running cycle to end, then
    // releases the SDK: the SDK's result, or -88 when the SDK was never ready (or already released).
    int stopAndUninit();

    // The values of the last completed cycle (all 0 before the first).
    SensorSnapshot copySnapshot() const;

signals:
    void sigTheSdkInitStatus(bool isOK, int errorCode);
    void sigGetPcInfoOk();

public slots:
    void onStartInitSdkLater();

protected:
    void run() override;

private:
    void getSensorInfo();
    void requestStop();
    void sleepUnlessStopped(int milliseconds);

    std::atomic<bool> running{true};
    std::atomic<bool> cycleDone{false};
    std::atomic<bool> sdkReady{false};
    std::atomic<bool> firstCycleLog{true};
    QElapsedTimer waitTimer;

    // Held for a whole read cycle and for the release of the SDK, so no SDK call follows sdkUninit.
    std::mutex m_sdkMutex;
    // Guards the published snapshot; a cycle fills a local record and publishes it whole.
    mutable std::mutex m_snapshotMutex;
    SensorSnapshot m_snapshot;
    // Lets a stop cut the one-second pause short.
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
    // Set as the last act of run(); see the destructor.
    std::atomic<bool> m_loopEnded{false};
};
