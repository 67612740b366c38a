#include "windowscommandline.h"

std::wstring quoteWindowsArgument(const std::wstring &argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::wstring::size_type backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quotation mark follows them.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring windowsCommandLine(const std::wstring &programPath, const std::vector<std::wstring> &arguments)
{
    std::wstring line = L"\"" + programPath + L"\"";
    for (const std::wstring &argument : arguments)
        line += L" " + quoteWindowsArgument(argument);
    return line;
}
