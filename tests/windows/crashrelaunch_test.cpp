// The crash restart on Windows, with real processes:
//   crashrelaunch_test               the copy a restart starts: writes the marker and ends
//   crashrelaunch_test crash <case>  arms the restart with the case's start stamp and crashes
//   crashrelaunch_test run           the test: crashes a child per case and waits for a marker
// The marker path travels in the environment, which the restarted copy inherits.
#include "check.h"
#include "platform/crashrelaunch.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <windows.h>

namespace {

constexpr wchar_t kMarkerVariable[] = L"KESTRUN_CRASH_MARKER";
constexpr DWORD kCrashCode = 0xE0C0FFEE;

std::wstring markerPath()
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(kMarkerVariable, buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

int writeMarker(int argc)
{
    const std::wstring path = markerPath();
    if (path.empty())
        return 1;
    FILE *file = _wfopen(path.c_str(), L"w");
    if (!file)
        return 1;
    std::fprintf(file, "restarted with %d argument(s)", argc - 1);
    std::fclose(file);
    return 0;
}

int crash(const std::string &which)
{
    // "late": started 61 s ago; "early": started just now; "off": no start stamp.
    if (which == "late")
        setStartStamp(currentStamp() - 61000);
    else if (which == "early")
        setStartStamp(currentStamp());
    else
        setStartStamp(0);
    if (!installCrashRelaunch())
        return 1;
    RaiseException(kCrashCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 1;
}

std::string readMarker(const std::wstring &path)
{
    FILE *file = _wfopen(path.c_str(), L"r");
    if (!file)
        return {};
    char text[128] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    return std::string(text, n);
}

// Runs "<self> crash <which>" to its end; returns its exit code.
DWORD runCrashingChild(const char *which)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" crash ";
    for (const char *c = which; *c; ++c)
        commandLine += static_cast<wchar_t>(*c);
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Polls for the marker for up to waitMs.
std::string waitForMarker(const std::wstring &path, DWORD waitMs)
{
    for (DWORD waited = 0;; waited += 100) {
        const std::string text = readMarker(path);
        if (!text.empty() || waited >= waitMs)
            return text;
        Sleep(100);
    }
}

int run()
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring marker = std::wstring(folder) + L"kestrun-crash-marker-"
        + std::to_wstring(GetCurrentProcessId()) + L".txt";
    SetEnvironmentVariableW(kMarkerVariable, marker.c_str());

    const struct {
        const char *which;
        bool restarts;
    } cases[] = {{"early", false}, {"off", false}, {"late", true}};
    for (const auto &c : cases) {
        DeleteFileW(marker.c_str());
        const DWORD code = runCrashingChild(c.which);
        std::fprintf(stderr, "case %s: crashed copy ended with 0x%lx\n", c.which,
                     static_cast<unsigned long>(code));
        CHECK(code != 0 && code != STILL_ACTIVE);
        if (c.restarts) {
            CHECK(code == kCrashCode);
            CHECK(waitForMarker(marker, 20000) == "restarted with 0 argument(s)");
        } else {
            CHECK(waitForMarker(marker, 2000).empty());
        }
    }
    DeleteFileW(marker.c_str());
    return kestrun::test::checkResult();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 1)
        return writeMarker(argc);
    if (argc == 3 && std::strcmp(argv[1], "crash") == 0)
        return crash(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "run") == 0)
        return run();
    return 1;
}
