#include "hardwareinventory.h"

#include <algorithm>

namespace {

constexpr float kGibibyte = 1073741824.0f;

// Non-numeric text reads as 0.
double readNumber(const QString &text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    return ok ? static_cast<double>(value) : 0.0;
}

} // namespace

QString wmicTableText(const QStringList &columns, const QVector<QStringList> &rows)
{
    if (rows.isEmpty())
        return QString();
    QVector<int> order(columns.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&columns](int a, int b) {
        return columns.at(a).compare(columns.at(b), Qt::CaseInsensitive) < 0;
    });
    const auto cell = [](const QStringList &row, int column) {
        return column < row.size() ? row.at(column) : QString();
    };
    QVector<int> widths(columns.size());
    for (int column = 0; column < columns.size(); ++column) {
        widths[column] = columns.at(column).size();
        for (const QStringList &row : rows)
            widths[column] = std::max(widths[column], int(cell(row, column).size()));
    }
    const auto line = [&](const QStringList &row) {
        QString text;
        for (const int column : order)
            text += cell(row, column).leftJustified(widths.at(column) + 2, QLatin1Char(' '));
        return text + QStringLiteral("\r\r\n");
    };
    QString table = line(columns);
    for (const QStringList &row : rows)
        table += line(row);
    return table + QStringLiteral("\r\r\n");
}

QStringList wmicDataLines(const QString &output)
{
    const QStringList parts = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList lines;
    for (int i = 1; i < parts.size() - 1; ++i)
        lines << parts.at(i).trimmed();
    return lines;
}

QString wmicSingleLine(const QString &output, const QString &command)
{
    QString text = output;
    const QString header = command.split(QLatin1Char(' ')).constLast();
    if (!header.isEmpty())
        text.remove(header, Qt::CaseInsensitive);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.simplified();
}

QString gibibytesText(double bytes)
{
    const float size = static_cast<float>(bytes) / kGibibyte;
    return QString::number(size, 'f', 1);
}

QString parseBoardName(const QStringList &lines)
{
    QString maker;
    QString product;
    for (const QString &line : lines) {
        const int blank = line.indexOf(QLatin1Char(' '));
        maker = blank < 0 ? line : line.left(blank);
        product = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
    }
    return maker + QLatin1Char(' ') + product;
}

QStringList parseMemoryModules(const QStringList &lines)
{
    QStringList modules;
    for (const QString &line : lines) {
        // The maker sits between the first and the last blank, so a maker with blanks stays whole.
        const int first = line.indexOf(QLatin1Char(' '));
        const int afterLast = line.lastIndexOf(QLatin1Char(' ')) + 1;
        const QString capacity = first < 0 ? line : line.left(first);
        const QString maker = first < 0 ? QString() : line.mid(first, afterLast - 1 - first).trimmed();
        modules << maker + QLatin1Char(',') + gibibytesText(readNumber(capacity)) + QStringLiteral(" GB");
    }
    return modules;
}

QStringList parseDisks(const QStringList &lines)
{
    QStringList disks;
    for (const QString &line : lines) {
        const int afterLast = line.lastIndexOf(QLatin1Char(' ')) + 1;
        const QString model = line.left(afterLast).trimmed();
        disks << model + QLatin1Char(',') + gibibytesText(readNumber(line.mid(afterLast))) + QStringLiteral(" GB");
    }
    return disks;
}

QStringList parseGraphicsAdapters(const QStringList &lines)
{
    QStringList adapters;
    for (const QString &line : lines) {
        const int blank = line.indexOf(QLatin1Char(' '));
        const QString memoryText = blank < 0 ? line : line.left(blank);
        const float memory = static_cast<float>(readNumber(memoryText)) / kGibibyte;
        if (memory == 0.0f)
            continue;
        const QString name = blank < 0 ? QString() : line.mid(blank).trimmed();
        adapters << name + QLatin1Char(',') + QString::number(memory, 'f', 1) + QStringLiteral("GB");
    }
    return adapters;
}

QString chooseSoundDevice(const QStringList &names)
{
    QString fallback;
    for (const QString &name : names) {
        if (name.contains(QLatin1String("High Definition Audio")))
            return name;
        if (name.contains(QLatin1String("Audio")))
            fallback = name;
    }
    return fallback;
}

QString parseOsCaption(const QStringList &lines)
{
    return lines.isEmpty() ? QString() : lines.constLast();
}
