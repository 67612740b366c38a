#include "crashrelaunch.h"

#include <atomic>
#include <chrono>

namespace {
// Read from a signal handler: a lock-free atomic keeps that well defined.
std::atomic<int> g_startStamp{0};
static_assert(std::atomic<int>::is_always_lock_free, "the start stamp is read in a signal handler");
} // namespace

int stampFromMSecs(long long msSinceEpoch)
{
    constexpr long long kEightDigits = 100000000;
    if (msSinceEpoch >= 0)
        return static_cast<int>(msSinceEpoch % kEightDigits);
    // Before the epoch the decimal text carries a sign: its last 8 characters are the sign and
    // seven digits while the value is short enough, otherwise eight digits without the sign.
    if (msSinceEpoch > -10000000)
        return static_cast<int>(msSinceEpoch);
    return static_cast<int>(-(msSinceEpoch % kEightDigits));
}

int currentStamp()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return stampFromMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

bool shouldRelaunch(int nowStamp, int startStamp, int thresholdMs)
{
    // Both stamps lie within ±99 999 999, so the difference cannot overflow.
    return startStamp != 0 && nowStamp - startStamp >= thresholdMs;
}

int startStamp()
{
    return g_startStamp.load(std::memory_order_relaxed);
}

void setStartStamp(int stamp)
{
    g_startStamp.store(stamp, std::memory_order_relaxed);
}
