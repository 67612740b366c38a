#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrun::test {

// What a running process has used so far and what it holds, read from /proc/<pid>.
struct ProcessSample {
    // utime + stime of all its threads, also of the ones that ended, in clock ticks.
    double cpuSeconds = 0;
    qint64 rssKb = 0;     // VmRSS
    qint64 peakRssKb = 0; // VmHWM
    // What each open descriptor points at, sorted; sockets and pipes by kind only, as a reopened
    // one gets a new inode number.
    QStringList descriptors;
    QStringList threads; // the name of each thread, sorted
    // Each live thread's run time in nanoseconds (schedstat), by thread id, for finer differences
    // than clock ticks show.
    QMap<qint64, qint64> runNs;
};

// Nothing when the process is gone.
std::optional<ProcessSample> sampleProcess(qint64 pid);

// Whether both hold the same descriptors and threads (memory moves with every allocation).
bool sameHoldings(const ProcessSample &a, const ProcessSample &b);

// The descriptors and threads one has and the other has not, for failure messages.
QString holdingsDifference(const ProcessSample &before, const ProcessSample &after);

// Run time between two samples in seconds, from the threads' schedstat. Threads that ended in
// between are counted in endedThreads and their time is missing.
double runSecondsBetween(const ProcessSample &from, const ProcessSample &to, int *endedThreads);

} // namespace kestrun::test
