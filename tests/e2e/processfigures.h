#pragma once

#include <QStringList>

#include <optional>

namespace kestrun::e2e {

// What a running process holds, read from /proc/<pid>.
struct ProcessFigures
{
    qint64 rssKb = 0;
    QStringList descriptors; // what each open descriptor points at, sorted
    QStringList threads;     // the name of each thread, sorted

    bool operator==(const ProcessFigures &other) const;
    bool operator!=(const ProcessFigures &other) const { return !(*this == other); }
};

// Nothing when the process is gone.
std::optional<ProcessFigures> readProcessFigures(qint64 pid);

// The descriptors and threads one has and the other has not, for failure messages.
QString figuresDifference(const ProcessFigures &before, const ProcessFigures &after);

} // namespace kestrun::e2e
