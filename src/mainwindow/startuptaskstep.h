#pragma once

#include <QString>

// The logon-task step of the main window: registers the task for this program (its application
// name and file path) and the given AppID. On failure prints "Error: <code>" to standard output
// and shows the modal "Tip" box "ShellExecute error: <code>". Returns the hand-over result.
bool createStartupTask(const QString &appId);
