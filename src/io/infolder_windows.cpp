#include "io/infolder.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace qor
{

// The file system compares names without case already; only a name that
// leaves the folder needs refusing.
bool isInFolder(const std::string &relative)
{
    if (relative.empty() || relative.size() > 4096)
        return false;
    std::size_t at = 0;
    while (at <= relative.size()) {
        const std::size_t end = std::min(relative.find_first_of("/\\:", at), relative.size());
        const std::string_view part = std::string_view(relative).substr(at, end - at);
        if (part.empty() || part == "." || part == ".." || (end < relative.size() && relative[end] == ':'))
            return false;
        at = end + 1;
    }
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, relative.data(), static_cast<int>(relative.size()),
                                      nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring name(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, relative.data(), static_cast<int>(relative.size()), name.data(),
                        n);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace qor
