#include "io/shownpath_posix.h"

#include "format/plaintext.h"

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace qor::detail
{

namespace
{

// A path as a message shows it: each byte that is not part of a well-formed
// UTF-8 character becomes U+FFFD.
std::string showable(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const std::size_t n = utf8Character(bytes.substr(at), code);
        out += n > 0 ? bytes.substr(at, n) : "\xEF\xBF\xBD";
        at += std::max<std::size_t>(n, 1);
    }
    return out;
}

} // namespace

std::string workingFolderPath()
{
    std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    if (path)
        return path.get();
    std::string last(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/cwd", last.data(), last.size());
    if (n <= 0 || last[0] != '/')
        return {};
    last.resize(static_cast<std::size_t>(n));
    static constexpr std::string_view deleted = " (deleted)";
    if (last.ends_with(deleted))
        last.resize(last.size() - deleted.size());
    return last;
}

std::string Path::shown() const
{
    Path full;
    full.absolute = absolute;
    if (!absolute)
        full.enter(workingFolderPath());
    for (const std::string &name : names)
        full.enter(name);
    std::string text;
    for (const std::string &name : full.names)
        text += (full.absolute || !text.empty() ? "/" : "") + name;
    return showable(text.empty() ? "/" : text);
}

} // namespace qor::detail
