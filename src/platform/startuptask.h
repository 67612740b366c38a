#pragma once

#include <QString>

// Argument that marks a start by the logon task; the program then starts with its window hidden.
inline QString taskStartMarker()
{
    return QStringLiteral("---StartupByTaskMinWindow");
}

// True when one of argv[1] .. argv[argc - 1] is exactly the marker (case matters).
bool hasTaskStartMarker(int argc, const char *const argv[]);

// Name of the logon task: the application name, "StartupTaskOKver---", the branding's AppID.
// Different AppIDs register different tasks.
QString startupTaskName(const QString &applicationName, const QString &appId);

struct StartupTaskResult {
    bool handedOver = false; // the request reached the system
    int errorCode = 0;       // the system's error code when it did not
};

// Registers a task that runs programPath with the marker argument at every logon of the user.
// Windows: schtasks, elevated through ShellExecuteW "runas" (only the hand-over is known).
// Linux: an XDG autostart entry <task name>.desktop, written atomically.
StartupTaskResult registerStartupTask(const QString &taskName, const QString &programPath);
