// The library used as the program uses it: sdkInit on one thread, read cycles on another, sdkUninit
// on a third, here deliberately overlapping. Runs on this machine's own /proc and /sys.

#include "platform/sensorsdk_abi.h"
#include "testenv.h"

#include <atomic>
#include <cstring>
#include <thread>

class TestSensorThreads : public QObject
{
    Q_OBJECT

private slots:
    void overlappingInitReadsAndUninit()
    {
        std::atomic<bool> stop{false};
        std::atomic<int> cycles{0};
        std::atomic<int> labelsWithoutTerminator{0};
        std::thread reader([&] {
            char label[SENSORSDK_LABEL_SIZE];
            while (!stop) {
                const int count = sdkSensorCount();
                for (int sensor = 0; sensor < count; ++sensor) {
                    sdkPrepareSensor(sensor);
                    sdkSensorName(sensor, label, sizeof label);
                    for (int reading = 0; reading < SENSORSDK_READINGS_PER_SENSOR; ++reading) {
                        label[0] = '\0';
                        sdkReadClock(sensor, reading, label, sizeof label);
                        label[0] = '\0';
                        sdkReadUsage(sensor, reading, label, sizeof label);
                        if (!std::memchr(label, '\0', sizeof label))
                            ++labelsWithoutTerminator;
                    }
                }
                ++cycles;
            }
        });
        // Stops the reader on every way out, a failed comparison included.
        struct Joiner {
            std::atomic<bool> &stop;
            std::thread &thread;
            ~Joiner()
            {
                stop = true;
                if (thread.joinable())
                    thread.join();
            }
        } joiner{stop, reader};
        for (int round = 0; round < 20; ++round) {
            int status = -1;
            std::thread starter([&status] { status = sdkInit(SENSORSDK_INIT_ARGUMENT); });
            starter.join();
            QCOMPARE(status, 0);
            QVERIFY(sdkSensorCount() >= 1);
            QThread::msleep(5);
            std::thread stopper([&status] { status = sdkUninit(); });
            stopper.join();
            QCOMPARE(status, 0);
        }
        stop = true;
        reader.join();
        QVERIFY(cycles > 0);
        QCOMPARE(labelsWithoutTerminator.load(), 0);
        QCOMPARE(sdkSensorCount(), 0);
    }
};

KESTRUN_TEST_MAIN(TestSensorThreads)
#include "tst_sensorthreads.moc"
