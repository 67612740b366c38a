#pragma once

#include <QString>

// The folder of this user's session where the single-instance lock and the call socket live:
// $XDG_RUNTIME_DIR, or without it a folder of the user's own in the temporary folder. Either must
// be a real folder owned by the user that nobody else may enter. Empty when there is none, with
// the reason in problem.
QString userRuntimeFolder(QString *problem);
