#pragma once

#include <QByteArray>
#include <QString>

// The XDG autostart entry that stands for the logon task on Linux.

// Linux: the autostart entry's file for a task name, in $XDG_CONFIG_HOME/autostart (default
// ~/.config/autostart). A "/" in the name becomes "_" so the file stays inside that folder.
QString autostartEntryPath(const QString &taskName);

// Linux: the text of the autostart entry that runs programPath with the logon marker. The entry is
// named after the product, whatever the task's file is called.
QByteArray autostartEntryText(const QString &programPath);
