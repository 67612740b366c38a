#pragma once

#include "platform/crashrelaunch.h"

#include <QThread>

// For a thread whose run() does not call prepareThreadForCrashes itself: every start of the thread
// calls it on the thread, before run() begins.
inline void prepareForCrashesAtEachStart(QThread &thread)
{
    QObject::connect(&thread, &QThread::started, &thread, &prepareThreadForCrashes, Qt::DirectConnection);
}
