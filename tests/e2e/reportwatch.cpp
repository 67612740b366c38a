#include "reportwatch.h"

#include <QStringList>
#include <QTest>

namespace kestrun::e2e {

ReportWatch::ReportWatch(const EmulatedDisplay &display)
    : display(display)
{
    clock.start();
}

void ReportWatch::wait(int ms)
{
    waitUntil([] { return false; }, ms);
}

bool ReportWatch::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const qint64 deadline = clock.elapsed() + timeoutMs;
    while (!done()) {
        if (clock.elapsed() >= deadline)
            return false;
        QTest::qWait(20);
        poll();
    }
    return true;
}

bool ReportWatch::waitForReports(std::size_t count, int timeoutMs)
{
    return waitUntil([&] { return display.reportCount() >= count; }, timeoutMs);
}

std::size_t ReportWatch::count()
{
    poll();
    return arrivals.size();
}

QString ReportWatch::mismatches(ReportContext context)
{
    poll();
    const std::vector<EmulatedDisplay::Report> reports = display.reports();
    QStringList wrong;
    for (std::size_t i = 0; i < reports.size() && i < arrivals.size(); ++i) {
        context.received = arrivals[i].second;
        const QString mismatch = reportMismatch(reports[i], context);
        if (!mismatch.isEmpty())
            wrong << QStringLiteral("report %1: %2").arg(i).arg(mismatch);
    }
    return wrong.join('\n');
}

std::vector<qint64> ReportWatch::intervals(std::size_t first, std::size_t last) const
{
    std::vector<qint64> gaps;
    for (std::size_t i = first + 1; i < last && i < arrivals.size(); ++i)
        gaps.push_back(arrivals[i].first - arrivals[i - 1].first);
    return gaps;
}

void ReportWatch::poll()
{
    const std::size_t seen = display.reportCount();
    while (arrivals.size() < seen)
        arrivals.emplace_back(clock.elapsed(), QDateTime::currentDateTime());
}

} // namespace kestrun::e2e
