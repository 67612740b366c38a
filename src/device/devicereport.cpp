#include "device/devicereport.h"

DeviceReport encodeDeviceReport(const ReportFigures &figures)
{
    // An invalid date or time would read as -1; it is sent as zeros instead.
    std::optional<ReportDate> date;
    if (figures.date.isValid())
        date = ReportDate{figures.date.year(), figures.date.month(), figures.date.day()};
    std::optional<ReportTimeOfDay> time;
    if (figures.time.isValid())
        time = ReportTimeOfDay{figures.time.hour(), figures.time.minute()};
    return encodeReport(figures, date, time);
}
