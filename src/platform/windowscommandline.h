#pragma once

#include <string>
#include <vector>

// Windows hands a program one command line, which the program splits into arguments by the rules
// of CommandLineToArgvW. These build a command line that splits back into exactly the given
// arguments. Kept free of Qt and of Windows headers, so the crash handler can use it and any
// system can test it.

// One argument as it must appear after the program name: unchanged when it has no blank, tab,
// line end or quotation mark and is not empty; otherwise in quotation marks, with each quotation
// mark escaped by a backslash and the backslashes before a quotation mark (or before the closing
// one) doubled.
std::wstring quoteWindowsArgument(const std::wstring &argument);

// The program path in quotation marks (a path holds none of its own; the program name is split
// without escapes), then each argument quoted as above, one blank between.
std::wstring windowsCommandLine(const std::wstring &programPath, const std::vector<std::wstring> &arguments);
