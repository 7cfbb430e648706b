#include "io/infolder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace qor
{

namespace
{

bool sameLetters(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t n = 0; n < a.size(); ++n)
        if (lower(a[n]) != lower(b[n]))
            return false;
    return true;
}

// The entry of `folder` that is `name` in any case, or nothing.
std::string findEntry(const std::string &folder, std::string_view name)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return {};
    while (const dirent *entry = readdir(dir.get())) {
        if (sameLetters(entry->d_name, name))
            return entry->d_name;
    }
    return {};
}

} // namespace

bool isInFolder(const std::string &relative)
{
    std::string path = ".";
    std::size_t at = 0;
    while (at <= relative.size()) {
        const std::size_t end = std::min(relative.find_first_of("/\\", at), relative.size());
        const std::string_view part = std::string_view(relative).substr(at, end - at);
        at = end + 1;
        // Nothing above the folder, and nothing absolute.
        if (part.empty() || part == "." || part == "..")
            return false;
        const std::string found = findEntry(path, part);
        if (found.empty())
            return false;
        path += "/" + found;
    }
    struct stat info {
    };
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace qor
