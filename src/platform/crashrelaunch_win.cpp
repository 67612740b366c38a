#include "crashrelaunch.h"

#include <cstdio>

#include <windows.h>

namespace {

int g_thresholdMs = kCrashRelaunchThresholdMs;
constexpr ULONG kHandlerStackGuarantee = 64 * 1024;

// Room for the longest path Windows allows, so the program's own path is never cut short
// (a cut path would start the wrong file or nothing).
constexpr DWORD kPathCapacity = 32768;
wchar_t g_exePath[kPathCapacity];

LONG WINAPI crashRelaunchFilter(EXCEPTION_POINTERS *)
{
    if (!shouldRelaunch(currentStamp(), startStamp(), g_thresholdMs))
        return EXCEPTION_CONTINUE_SEARCH;
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof(process));
    const DWORD length = GetModuleFileNameW(nullptr, g_exePath, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        std::printf("CreateProcess failed (%d).\n", static_cast<int>(GetLastError()));
    } else if (!CreateProcessW(g_exePath, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process)) {
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
    SetUnhandledExceptionFilter(crashRelaunchFilter);
    prepareThreadForCrashes();
    return true;
}
