#pragma once

// What the process sets before the application object exists: the system's own settings that make
// a small tray program lighter, and a standard output whose reader left harmless. Settings given in
// the environment are left as they are.
void prepareProcess();
