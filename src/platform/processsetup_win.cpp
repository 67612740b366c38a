#include "processsetup.h"

#include <windows.h>

// Libraries loaded later by bare name come from the program's folder and the system's folders
// only, never from the working folder or PATH (the logon task starts the program elevated).
// The Windows platform loads no OpenGL at start and its heap has no arenas to cap.
void prepareProcess()
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}
