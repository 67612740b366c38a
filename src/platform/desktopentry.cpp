#include "desktopentry.h"

#include <algorithm>

#include <QByteArrayList>

namespace {

bool isReserved(QChar c)
{
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return kReserved.contains(c);
}

} // namespace

QString desktopExecArgument(const QString &argument)
{
    const bool needsQuotes = argument.isEmpty() || std::any_of(argument.begin(), argument.end(), isReserved);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
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
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool autostartSwitchedOff(const QByteArray &entryText)
{
    bool inMainGroup = false;
    for (const QByteArray &rawLine : entryText.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const int equals = line.indexOf('=');
        if (!inMainGroup || equals < 0)
            continue;
        // Blanks around the equals sign are allowed; a localized key ("Hidden[de]") is another key.
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return true;
    }
    return false;
}
