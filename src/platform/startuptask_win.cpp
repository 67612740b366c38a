#include "startuptask.h"

#include "schtasksparams.h"

#include <windows.h>
#include <shellapi.h>

namespace {

std::wstring toWide(const QString &text)
{
    return std::wstring(reinterpret_cast<const wchar_t *>(text.utf16()), static_cast<size_t>(text.size()));
}

} // namespace

StartupTaskResult registerStartupTask(const QString &taskName, const QString &programPath)
{
    const std::wstring parameters =
        schtasksParameters(toWide(taskName), toWide(programPath), toWide(taskStartMarker()));
    const HINSTANCE handed = ShellExecuteW(nullptr, L"runas", L"schtasks", parameters.c_str(), nullptr, SW_HIDE);
    StartupTaskResult result;
    // A value above 32 means the request was handed over.
    if (reinterpret_cast<INT_PTR>(handed) > 32) {
        result.handedOver = true;
    } else {
        result.errorCode = static_cast<int>(GetLastError());
    }
    return result;
}
