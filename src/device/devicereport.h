#pragma once

#include "parse/reportencoding.h"

#include <QDate>
#include <QTime>

// Everything one report carries, with the local date and time as Qt gives them.
struct ReportFigures : ReportValues {
    QDate date; // local date
    QTime time; // local time
};

// Builds the report byte for byte. Pure: the same figures always give the same bytes.
DeviceReport encodeDeviceReport(const ReportFigures &figures);
