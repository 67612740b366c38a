#include "processsetup.h"

// Nothing to set: the Windows platform loads no OpenGL at start and its heap has no arenas to cap.
void prepareProcess()
{
}
