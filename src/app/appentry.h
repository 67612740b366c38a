#pragma once

// The program from start to end: the command line's --help and --version, single instance, crash
// restart, configuration, the main window and the event loop. Returns the exit code: 0 after
// --help or --version; -1 when another copy of the user's runs (after asking it for its window) or
// the single-instance mark cannot be made; else the loop's result (the tray's Exit and the end of
// the session end the process with 0 from inside the loop).
int runApplication(int argc, char *argv[]);

// Whether the main window shows at start: never after a start by the logon task, otherwise only
// when the branding's ShowMainPageUI is exactly 1.
bool showWindowAtStart(bool startedByTask, int showMainPageUi);

// The window scales with the desktop's setting. Only honoured before the application object exists.
void prepareDesktopScaling();
