#pragma once
// Paths as the POSIX file sink's messages name them. Only for showing:
// system calls get the bytes themselves.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace qor::detail
{

// The working folder's path as the system names it now. A deleted folder
// has no name left for getcwd(); Linux still shows its last one.
std::string workingFolderPath();

// A path as a message names it: the real folders it passes through, with
// links spliced in and ".." taking off the last name, so that it is the path
// the file really has. A relative one starts at the working folder.
struct Path {
    bool absolute = false;
    std::vector<std::string> names;

    Path &enter(std::string_view path)
    {
        if (path.starts_with('/')) {
            absolute = true;
            names.clear();
        }
        for (std::size_t at = 0; at <= path.size();) {
            const std::size_t end = std::min(path.find('/', at), path.size());
            const std::string_view name = path.substr(at, end - at);
            if (name == ".." && !names.empty() && names.back() != "..")
                names.pop_back();
            else if (!name.empty() && name != "." && !(name == ".." && absolute))
                names.emplace_back(name);
            at = end + 1;
        }
        return *this;
    }
    Path operator/(std::string_view path) const
    {
        Path out = *this;
        return out.enter(path);
    }
    // The path with the working folder before a relative one, each byte that
    // is not UTF-8 shown as U+FFFD.
    std::string shown() const;
};

} // namespace qor::detail
