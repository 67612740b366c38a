#pragma once

// Restart after a crash: a copy that has run for at least a minute and then crashes starts a new
// copy of itself (on Linux without arguments, on Windows with this run's arguments). Kept free of Qt so it can run
// inside a signal handler or an exception filter.

// Minimum run time, in milliseconds, before a crash restarts the program.
constexpr int kCrashRelaunchThresholdMs = 60000;

// The last 8 decimal digits of a millisecond count since the epoch, as written in decimal.
int stampFromMSecs(long long msSinceEpoch);

// The stamp of the current wall-clock time.
int currentStamp();

// True when a crash at nowStamp should restart a run that started at startStamp. A start stamp of
// 0 switches the restart off; a stamp that wrapped below the start gives a negative difference.
bool shouldRelaunch(int nowStamp, int startStamp, int thresholdMs = kCrashRelaunchThresholdMs);

// The process-wide start stamp, 0 until set.
int startStamp();
void setStartStamp(int stamp);

// Arms the crash handler for this process. It uses startStamp() as it is at the time of the crash.
// Returns false when the handler could not be installed.
bool installCrashRelaunch(int thresholdMs = kCrashRelaunchThresholdMs);

// Gives the calling thread what the crash handler needs to run on it after the thread's stack has
// overflowed (on Linux a signal stack of its own, on Windows a stack guarantee). Every thread the
// program starts calls it first; the main thread gets it from installCrashRelaunch. Repeated calls
// do nothing; what it sets up goes with the thread.
void prepareThreadForCrashes();
