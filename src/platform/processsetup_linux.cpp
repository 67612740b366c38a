#include "processsetup.h"

#include <QByteArray>
#include <QtGlobal>

#include <csignal>

#include <malloc.h>

void prepareProcess()
{
    // The window draws with the raster engine only. Qt's X11 platform otherwise loads the OpenGL
    // integration at start, and with it Mesa and its LLVM, some 50 MB resident for nothing.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    // A handful of threads that allocate little: one arena besides the main one instead of one per
    // thread, each of which keeps its own free memory resident.
    if (!qEnvironmentVariableIsSet("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 2);
    // A reader of standard output that goes away (`kestrun | head`) must not end the program:
    // the write fails instead, and what was to be printed is dropped.
    std::signal(SIGPIPE, SIG_IGN);
}
