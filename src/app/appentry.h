#pragma once

// The program from start to end: single instance, crash restart, configuration, the main window
// and the event loop. Returns the exit code: -1 when another copy runs, else the loop's result
// (the tray's Exit and the end of the session end the process with 0 from inside the loop).
int runApplication(int argc, char *argv[]);

// Whether the main window shows at start: never after a start by the logon task, otherwise only
// when the branding's ShowMainPageUI is exactly 1.
bool showWindowAtStart(bool startedByTask, int showMainPageUi);
