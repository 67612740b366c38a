#pragma once

#include <QDate>
#include <QTime>
#include <QtGlobal>

#include <functional>
#include <limits>

// The local date and time for the device report. Asking the C library for local time checks the
// zone file on every call; the offset from UTC changes only at whole minutes, so it is looked up
// once per minute and the local time is the UTC time moved by it. A change of the system's zone
// shows from the next minute on.
class ReportClock
{
public:
    struct Stamp {
        QDate date;
        QTime time;
    };

    // Seconds east of UTC that local time has at the given UTC instant (seconds since the epoch).
    using OffsetLookup = std::function<int(qint64 utcSeconds)>;

    explicit ReportClock(OffsetLookup lookup = systemOffset);

    // Local date and time at the UTC instant given in milliseconds since the epoch.
    Stamp localAt(qint64 utcMSecs);
    Stamp now();

    // The system zone's offset, as QDateTime's local time has it.
    static int systemOffset(qint64 utcSeconds);

private:
    OffsetLookup lookup;
    qint64 offsetMinute = std::numeric_limits<qint64>::min();
    int offsetSeconds = 0;
};
