#include "processfigures.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <climits>
#include <unistd.h>

namespace kestrun::e2e {

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

bool ProcessFigures::operator==(const ProcessFigures &other) const
{
    // Memory is not part of the comparison: it moves with every allocation.
    return descriptors == other.descriptors && threads == other.threads;
}

std::optional<ProcessFigures> readProcessFigures(qint64 pid)
{
    const QString root = QStringLiteral("/proc/%1").arg(pid);
    static const QRegularExpression rss(QStringLiteral("^VmRSS:\\s+(\\d+) kB$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = rss.match(QString::fromLatin1(readProcFile(root + "/status")));
    if (pid <= 0 || !match.hasMatch())
        return std::nullopt;
    ProcessFigures figures;
    figures.rssKb = match.captured(1).toLongLong();
    const QDir::Filters entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    // Sockets and pipes are told apart by kind only: a reopened one gets a new inode number.
    static const QRegularExpression inode(QStringLiteral("\\[\\d+\\]$"));
    for (const QString &fd : QDir(root + "/fd").entryList(entries))
        figures.descriptors << linkTarget(root + "/fd/" + fd).remove(inode);
    for (const QString &task : QDir(root + "/task").entryList(entries))
        figures.threads << QString::fromUtf8(readProcFile(root + "/task/" + task + "/comm")).trimmed();
    figures.descriptors.sort();
    figures.threads.sort();
    return figures;
}

QString figuresDifference(const ProcessFigures &before, const ProcessFigures &after)
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

} // namespace kestrun::e2e
