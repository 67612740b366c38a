#pragma once

#include "emulateddisplay.h"
#include "scenario.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <functional>
#include <utility>
#include <vector>

namespace kestrun::e2e {

// Notes when each report reaches the display while the test waits.
class ReportWatch
{
public:
    explicit ReportWatch(const EmulatedDisplay &display);

    void wait(int ms);
    // Runs the test's event loop until done() holds; false when timeoutMs pass first.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    bool waitForReports(std::size_t count, int timeoutMs);
    std::size_t count();

    // Every report with the local time it was seen.
    QString mismatches(ReportContext context);

    // Milliseconds between the reports [first, last).
    std::vector<qint64> intervals(std::size_t first, std::size_t last) const;

private:
    void poll();

    const EmulatedDisplay &display;
    QElapsedTimer clock;
    std::vector<std::pair<qint64, QDateTime>> arrivals;
};

} // namespace kestrun::e2e
