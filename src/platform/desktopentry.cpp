#include "desktopentry.h"

#include <algorithm>

namespace {

bool isReserved(QChar c)
{
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return kReserved.contains(c);
}

} // namespace

QString desktopExecArgument(const QString &argument)
{
    const bool needsQuotes =
        argument.isEmpty() || std::any_of(argument.begin(), argument.end(), isReserved);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
            || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString desktopExecValue(const QStringList &argv)
{
    QStringList arguments;
    for (const QString &argument : argv)
        arguments << desktopExecArgument(argument);
    QString line = arguments.join(QLatin1Char(' '));
    line.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return desktopStringValue(line);
}

QString desktopStringValue(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}
