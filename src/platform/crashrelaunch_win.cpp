#include "crashrelaunch.h"
#include "windowscommandline.h"

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

namespace {

int g_thresholdMs = kCrashRelaunchThresholdMs;
constexpr ULONG kHandlerStackGuarantee = 64 * 1024;

// Room for the longest path Windows allows, so the program's own path is never cut short
// (a cut path would start the wrong file or nothing).
constexpr DWORD kPathCapacity = 32768;
wchar_t g_exePath[kPathCapacity];
// The new copy's command line, NUL-terminated and writable (CreateProcessW may write into it),
// made when the handler is armed: the quoted path (a bare one with blanks would split into a stray
// argument) and this run's own arguments, so a copy started by the logon task stays one. Empty
// when the program's path could not be had.
std::vector<wchar_t> g_commandLine;

// This run's arguments after the program name, as Windows splits them.
std::vector<std::wstring> ownArguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

LONG WINAPI crashRelaunchFilter(EXCEPTION_POINTERS *)
{
    if (!shouldRelaunch(currentStamp(), startStamp(), g_thresholdMs))
        return EXCEPTION_CONTINUE_SEARCH;
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof(process));
    if (g_commandLine.empty()) {
        std::printf("CreateProcess failed (%d).\n", static_cast<int>(ERROR_BAD_PATHNAME));
    } else if (!CreateProcessW(g_exePath, g_commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process)) {
        std::printf("CreateProcess failed (%d).\n", static_cast<int>(GetLastError()));
    } else {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    std::fflush(stdout);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void prepareThreadForCrashes()
{
    // After a stack overflow the filter runs on what is left of the thread's stack: keep enough
    // of it for starting the new copy.
    ULONG guarantee = kHandlerStackGuarantee;
    SetThreadStackGuarantee(&guarantee);
}

bool installCrashRelaunch(int thresholdMs)
{
    g_thresholdMs = thresholdMs;
    g_commandLine.clear();
    const DWORD length = GetModuleFileNameW(nullptr, g_exePath, kPathCapacity);
    if (length > 0 && length < kPathCapacity) {
        const std::wstring line = windowsCommandLine(std::wstring(g_exePath, length), ownArguments());
        g_commandLine.assign(line.c_str(), line.c_str() + line.size() + 1);
    }
    SetUnhandledExceptionFilter(crashRelaunchFilter);
    prepareThreadForCrashes();
    return true;
}
