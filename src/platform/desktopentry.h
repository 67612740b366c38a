#pragma once

#include <QString>
#include <QStringList>

// Writing the Exec key of a Desktop Entry file so that the launcher runs exactly the given argv,
// whatever characters the program path holds, and reading what a user's desktop has set in one.

// One argument as the Exec key's quoting rules want it: unchanged when it holds no reserved
// character, otherwise in double quotes with ", `, $ and \ escaped by a backslash.
QString desktopExecArgument(const QString &argument);

// The whole Exec value for argv: arguments joined by blanks, literal % doubled, then escaped as a
// string value (backslash, newline, tab, carriage return).
QString desktopExecValue(const QStringList &argv);

// Escapes a string or localestring value (backslash, newline, tab, carriage return).
QString desktopStringValue(const QString &text);

// True when the [Desktop Entry] group of an autostart entry says Hidden=true or
// X-GNOME-Autostart-enabled=false: the user's desktop has switched the entry off.
bool autostartSwitchedOff(const QByteArray &entryText);
