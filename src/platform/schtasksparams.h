#pragma once

#include <string>

// The parameters handed to schtasks to register the logon task. Free of Qt so the exact text can
// be checked on its own.
//
// Template: /create /tn "%1" /tr "\"%2\" %3" /sc onlogon /rl highest
// %1 = task name, %2 = program path, %3 = marker argument. The escaped quotation marks keep a
// program path with blanks one argument inside the task's command.
std::wstring schtasksParameters(const std::wstring &taskName, const std::wstring &programPath,
                                const std::wstring &marker);
