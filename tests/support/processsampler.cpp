#include "processsampler.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <climits>
#include <unistd.h>

namespace kestrun::test {

namespace {

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The link as the kernel states it ("socket:[123]", "/dev/null"), not resolved to a path.
QString linkTarget(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return length < 0 ? QString() : QString::fromLocal8Bit(target, int(length));
}

// Entries of the first list that the second lacks, each at most as often as it is missing.
QStringList missingFrom(QStringList all, const QStringList &some)
{
    for (const QString &entry : some)
        all.removeOne(entry);
    return all;
}

} // namespace

std::optional<ProcessSample> sampleProcess(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    const QString root = QStringLiteral("/proc/%1").arg(pid);
    // The command name may hold spaces and brackets; the fields start after its last ')'.
    const QByteArray stat = readProcFile(root + "/stat");
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return std::nullopt;
    ProcessSample sample;
    sample.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / double(::sysconf(_SC_CLK_TCK));

    // A process that has ended but is not yet reaped has no memory lines: it is gone.
    static const QRegularExpression memory(QStringLiteral("^(VmRSS|VmHWM):\\s+(\\d+) kB$"),
                                           QRegularExpression::MultilineOption);
    bool hasRss = false;
    for (auto match = memory.globalMatch(QString::fromLatin1(readProcFile(root + "/status"))); match.hasNext();) {
        const QRegularExpressionMatch line = match.next();
        const qint64 kb = line.captured(2).toLongLong();
        if (line.captured(1) == QLatin1String("VmRSS")) {
            sample.rssKb = kb;
            hasRss = true;
        } else {
            sample.peakRssKb = kb;
        }
    }
    if (!hasRss)
        return std::nullopt;

    const QDir::Filters entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    static const QRegularExpression inode(QStringLiteral("\\[\\d+\\]$"));
    for (const QString &fd : QDir(root + "/fd").entryList(entries))
        sample.descriptors << linkTarget(root + "/fd/" + fd).remove(inode);
    for (const QString &task : QDir(root + "/task").entryList(entries)) {
        const QString folder = root + "/task/" + task;
        sample.threads << QString::fromUtf8(readProcFile(folder + "/comm")).trimmed();
        const QByteArray schedstat = readProcFile(folder + "/schedstat");
        if (!schedstat.isEmpty())
            sample.runNs.insert(task.toLongLong(), schedstat.split(' ').value(0).toLongLong());
    }
    sample.descriptors.sort();
    sample.threads.sort();
    return sample;
}

bool sameHoldings(const ProcessSample &a, const ProcessSample &b)
{
    return a.descriptors == b.descriptors && a.threads == b.threads;
}

QString holdingsDifference(const ProcessSample &before, const ProcessSample &after)
{
    const auto listed = [](const QStringList &entries) {
        return entries.isEmpty() ? QStringLiteral("-") : entries.join(QStringLiteral(", "));
    };
    return QStringLiteral("descriptors %1 -> %2 (gone: %3; new: %4); threads %5 -> %6 (gone: %7; new: %8)")
        .arg(before.descriptors.size())
        .arg(after.descriptors.size())
        .arg(listed(missingFrom(before.descriptors, after.descriptors)),
             listed(missingFrom(after.descriptors, before.descriptors)))
        .arg(before.threads.size())
        .arg(after.threads.size())
        .arg(listed(missingFrom(before.threads, after.threads)), listed(missingFrom(after.threads, before.threads)));
}

double runSecondsBetween(const ProcessSample &from, const ProcessSample &to, int *endedThreads)
{
    qint64 total = 0;
    for (auto it = to.runNs.begin(); it != to.runNs.end(); ++it)
        total += it.value() - from.runNs.value(it.key(), 0);
    int ended = 0;
    for (auto it = from.runNs.begin(); it != from.runNs.end(); ++it)
        ended += to.runNs.contains(it.key()) ? 0 : 1;
    if (endedThreads)
        *endedThreads = ended;
    return double(total) / 1e9;
}

} // namespace kestrun::test
