#include "io/systemreason.h"
#include "io/workfolder.h"

#include <windows.h>

namespace qor
{

std::string enterFolder(const std::string &folder)
{
    if (SetCurrentDirectoryW(wideOf(folder).c_str()))
        return {};
    return systemReason(GetLastError());
}

std::string workingFolder()
{
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return utf8Of(folder);
}

bool sameFolder(const std::string &a, const std::string &b)
{
    const std::wstring wa = wideOf(a), wb = wideOf(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

} // namespace qor
