#include "datapath/reportclock.h"

#include <QDateTime>

#include <utility>

namespace {

qint64 floorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

} // namespace

ReportClock::ReportClock(OffsetLookup lookup)
    : lookup(std::move(lookup))
{
}

ReportClock::Stamp ReportClock::localAt(qint64 utcMSecs)
{
    const qint64 minute = floorDiv(utcMSecs, 60000);
    if (minute != offsetMinute) {
        offsetSeconds = lookup(minute * 60);
        offsetMinute = minute;
    }
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(utcMSecs + qint64(offsetSeconds) * 1000, Qt::UTC);
    return Stamp{local.date(), local.time()};
}

ReportClock::Stamp ReportClock::now()
{
    return localAt(QDateTime::currentMSecsSinceEpoch());
}

int ReportClock::systemOffset(qint64 utcSeconds)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::LocalTime).offsetFromUtc();
}
