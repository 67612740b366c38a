#pragma once

#include "hardware/sensormatch.h"
#include "hardware/sensorsnapshot.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Reads the live sensor values through the sensor SDK once a second and keeps the latest complete
// set. The SDK is loaded and initialised by onStartInitSdkLater (on the SDK start thread of
// startSdkInit, or a thread of the caller's choosing); the read loop idles until then.
// stopAndUninit ends the loop and releases the SDK; endThreads ends what still runs.
class getPcInfoThread : public QThread
{
    Q_OBJECT

public:
    // What stopAndUninit returns when a read is still inside the library after its wait: the SDK
    // is then left as it is (never released), and no further call is made into it.
    static constexpr int kSdkStillBusy = -89;

    // The threads endThreads could not see end: each is still inside the library.
    struct ThreadsLeft {
        bool sdkStart = false;
        bool readLoop = false;
        bool any() const { return sdkStart || readLoop; }
    };

    explicit getPcInfoThread(QObject *parent = nullptr);
    // Ends the loop and joins both threads, however long the library keeps them; the SDK is
    // released only by stopAndUninit.
    ~getPcInfoThread() override;

    // Clears the run flag, waits up to 1000 ms (processing events) for a running cycle to end, then
    // up to 500 ms more for it to leave the library, and releases the SDK: the SDK's result, -88
    // when the SDK was never ready (or already released), kSdkStillBusy when the read did not return.
    int stopAndUninit();

    // Starts the SDK start thread, which runs onStartInitSdkLater once and ends. Only the first
    // call starts it.
    void startSdkInit();

    // Stops the read loop and waits, until the deadline at most, for it and the SDK start thread to
    // end. A thread left still uses this object: it must then outlive the process.
    ThreadsLeft endThreads(std::chrono::steady_clock::time_point deadline);

    // The values of the last completed cycle (all 0 before the first).
    SensorSnapshot copySnapshot() const;

    // The last completed cycle whole: its values and the labels its walk saw (none before the first).
    struct CycleRecord {
        SensorSnapshot values;
        SensorSourceSeen sources;
    };
    CycleRecord copyLastCycle() const;

    // Called on the sensor thread with each completed cycle, before sigGetPcInfoOk: what needs
    // every cycle (the device's report) need not wait for another thread. Setting a sink waits for
    // a call in progress, so once an empty one is set no call runs or follows. A sink must not
    // block, nor wait for the thread that sets it.
    using CycleSink = std::function<void(const CycleRecord &)>;
    void setCycleSink(CycleSink sink);

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

    // A cycle marks itself as walking under this lock, and the release of the SDK happens under it
    // once no cycle walks, so no SDK call follows sdkUninit. The release waits for a walk to end
    // a bounded time only: a read that never returns must not keep it waiting for ever.
    std::mutex sdkMutex;
    std::condition_variable walkEnded;
    bool walking = false; // guarded by sdkMutex
    // Guards the published snapshot; a cycle fills a local record and publishes it whole.
    mutable std::mutex snapshotMutex;
    SensorSnapshot snapshot;
    SensorSourceSeen sources;
    std::mutex sinkMutex;
    CycleSink cycleSink; // guarded by sinkMutex
    // Lets a stop cut the one-second pause short.
    std::mutex pauseMutex;
    std::condition_variable pauseWake;
    // Set as the last act of run(); see the destructor.
    std::atomic<bool> loopEnded{false};

    // The SDK start thread; started, and joined, on the thread that owns this object.
    std::thread startThread;
    std::mutex startMutex;
    std::condition_variable startEnded;
    bool startBegun = false; // both guarded by startMutex
    bool startRunning = false;
};
