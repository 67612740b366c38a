// The crash restart on Windows, with real processes:
//   crashrelaunch_test crash <case> [arguments]  arms the restart with the case's start stamp and
//                                                crashes
//   crashrelaunch_test run                       the test: copies itself into a folder with blanks
//                                                in its name, crashes a copy per case and waits
//                                                for a marker
// The marker path travels in the environment, which the restarted copy inherits; so does the
// mark of a crashed run, which makes the restarted copy (given the same arguments) write the
// marker instead of crashing again.
#include "check.h"
#include "platform/crashrelaunch.h"
#include "platform/windowscommandline.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kMarkerVariable[] = L"KESTRUN_CRASH_MARKER";
constexpr wchar_t kCrashedVariable[] = L"KESTRUN_CRASHED";
constexpr DWORD kCrashCode = 0xE0C0FFEE;

// Arguments that need each rule of the quoting, passed on to the restarted copy.
const std::vector<std::wstring> kPassedArguments = {
    L"---StartupByTaskMinWindow", L"two words", L"", L"say \"hi\"", L"C:\\trailing\\", L"a\\\\\"b"};

// The arguments of a command line after the program name, as Windows splits them.
std::vector<std::wstring> splitArguments(const std::wstring &commandLine)
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR *argv = CommandLineToArgvW(commandLine.c_str(), &count);
    if (!argv)
        return arguments;
    for (int i = 0; i < count; ++i)
        arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

bool hasVariable(const wchar_t *name)
{
    return GetEnvironmentVariableW(name, nullptr, 0) > 0;
}

std::wstring markerPath()
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(kMarkerVariable, buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// The restarted copy: its program path and arguments as it received them, one per line.
int writeMarker()
{
    const std::wstring path = markerPath();
    if (path.empty())
        return 1;
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return 1;
    std::wstring text;
    for (const std::wstring &argument : splitArguments(GetCommandLineW()))
        text += argument + L"\n";
    // As UTF-16 as it is, which the test reads back the same way.
    std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
    std::fclose(file);
    return 0;
}

int crash(const std::string &which)
{
    SetEnvironmentVariableW(kCrashedVariable, L"1");
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

std::wstring readMarker(const std::wstring &path)
{
    FILE *file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return {};
    wchar_t text[1024] = {};
    const size_t n = std::fread(text, sizeof(wchar_t), sizeof text / sizeof(wchar_t) - 1, file);
    std::fclose(file);
    return std::wstring(text, n);
}

std::wstring widened(const char *text)
{
    std::wstring wide;
    for (const char *c = text; *c; ++c)
        wide += static_cast<wchar_t>(*c);
    return wide;
}

// Runs "<program> crash <which> <passed arguments>" to its end; returns its exit code.
DWORD runCrashingChild(const std::wstring &program, const char *which)
{
    std::vector<std::wstring> arguments = {L"crash", widened(which)};
    arguments.insert(arguments.end(), kPassedArguments.begin(), kPassedArguments.end());
    std::wstring commandLine = windowsCommandLine(program, arguments);
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
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
std::wstring waitForMarker(const std::wstring &path, DWORD waitMs)
{
    for (DWORD waited = 0;; waited += 100) {
        std::wstring text = readMarker(path);
        if (!text.empty() || waited >= waitMs)
            return text;
        Sleep(100);
    }
}

// Command lines split back into what they were made of, whatever the arguments hold.
void checkRoundTrips()
{
    const std::wstring program = L"C:\\Program Files\\Kestrun\\kestrun.exe";
    const std::vector<std::vector<std::wstring>> cases = {
        {},
        {L"---StartupByTaskMinWindow"},
        kPassedArguments,
        {L"\\\\server\\share\\", L"\\\"", L"\t", L"a b\\ c", L"\"\""},
    };
    for (const auto &arguments : cases) {
        std::vector<std::wstring> expected = {program};
        expected.insert(expected.end(), arguments.begin(), arguments.end());
        CHECK(splitArguments(windowsCommandLine(program, arguments)) == expected);
    }
}

int run()
{
    checkRoundTrips();

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring id = std::to_wstring(GetCurrentProcessId());
    const std::wstring marker = std::wstring(folder) + L"kestrun-crash-marker-" + id + L".txt";
    SetEnvironmentVariableW(kMarkerVariable, marker.c_str());

    // The copy that crashes lives where an installed program does: in a folder with blanks.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copyFolder = std::wstring(folder) + L"Kestrun crash " + id;
    const std::wstring program = copyFolder + L"\\crash relaunch.exe";
    CreateDirectoryW(copyFolder.c_str(), nullptr);
    CHECK(CopyFileW(self, program.c_str(), FALSE));
    std::wstring expected = program + L"\n";
    for (const std::wstring &argument : {std::wstring(L"crash"), std::wstring(L"late")})
        expected += argument + L"\n";
    for (const std::wstring &argument : kPassedArguments)
        expected += argument + L"\n";

    const struct {
        const char *which;
        bool restarts;
    } cases[] = {{"early", false}, {"off", false}, {"late", true}};
    for (const auto &c : cases) {
        DeleteFileW(marker.c_str());
        const DWORD code = runCrashingChild(program, c.which);
        std::fprintf(stderr, "case %s: crashed copy ended with 0x%lx\n", c.which, static_cast<unsigned long>(code));
        CHECK(code != 0 && code != STILL_ACTIVE);
        if (c.restarts) {
            CHECK(code == kCrashCode);
            const std::wstring received = waitForMarker(marker, 20000);
            std::fwprintf(stderr, L"restarted copy received:\n%ls", received.c_str());
            CHECK(received == expected);
        } else {
            CHECK(waitForMarker(marker, 2000).empty());
        }
    }
    DeleteFileW(marker.c_str());
    // The restarted copy may still be on its way out.
    for (int tries = 0; !DeleteFileW(program.c_str()) && tries < 50; ++tries)
        Sleep(100);
    RemoveDirectoryW(copyFolder.c_str());
    return kestrun::test::checkResult();
}

} // namespace

int main(int argc, char *argv[])
{
    if (hasVariable(kCrashedVariable))
        return writeMarker();
    if (argc >= 3 && std::strcmp(argv[1], "crash") == 0)
        return crash(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "run") == 0)
        return run();
    return 1;
}
