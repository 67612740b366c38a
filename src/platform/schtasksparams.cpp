#include "schtasksparams.h"

std::wstring schtasksParameters(const std::wstring &taskName, const std::wstring &programPath,
                                const std::wstring &marker)
{
    static const std::wstring kTemplate = L"/create /tn \"%1\" /tr \"\\\"%2\\\" %3\" /sc onlogon /rl highest";
    const std::wstring *const values[] = {&taskName, &programPath, &marker};
    // One pass over the template: a value that itself contains "%2" or "%3" stays as it is
    // instead of being filled in by a later placeholder.
    std::wstring filled;
    for (size_t i = 0; i < kTemplate.size(); ++i) {
        const wchar_t next = i + 1 < kTemplate.size() ? kTemplate[i + 1] : L'\0';
        if (kTemplate[i] == L'%' && next >= L'1' && next <= L'3') {
            filled += *values[next - L'1'];
            ++i;
        } else {
            filled += kTemplate[i];
        }
    }
    return filled;
}
