#include "io/temporary_posix.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace qor::detail
{

namespace
{

constexpr std::size_t randomTail = 10;
constexpr char tailDigits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// What every temporary for base starts with: the target's name, hidden.
std::string temporaryPrefix(std::string_view base)
{
    return "." + std::string(base.substr(0, 200)) + ".";
}

// A name nobody else picks: the prefix with a random tail.
std::string temporaryName(std::string_view base)
{
    static std::uint64_t state = std::random_device{}();
    state += 0x9E3779B97F4A7C15u;
    // Mixed with the process id, so that programs forked from one parent part.
    std::uint64_t z = state ^ (static_cast<std::uint64_t>(::getpid()) << 20);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    std::string name = temporaryPrefix(base);
    for (std::size_t n = 0; n < randomTail; ++n, z /= 62)
        name += tailDigits[z % 62];
    return name;
}

// A press takes milliseconds, a slow network share seconds; an hour leaves
// room for clocks that differ between a share and this machine, so a
// temporary this old belongs to a press that was killed, never to one that
// still runs.
constexpr std::time_t staleAfterSeconds = 60 * 60;

} // namespace

void removeStale(int folder, std::string_view base)
{
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *list = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!list) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    const std::string prefix = temporaryPrefix(base);
    const std::time_t now = std::time(nullptr);
    while (const dirent *entry = ::readdir(list)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + randomTail || !name.starts_with(prefix) ||
            name.substr(prefix.size()).find_first_not_of(tailDigits) != std::string_view::npos)
            continue;
        struct stat st {
        };
        if (::fstatat(::dirfd(list), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && now - st.st_mtime >= staleAfterSeconds)
            ::unlinkat(::dirfd(list), entry->d_name, 0);
    }
    ::closedir(list);
}

Fd createTemporary(int folder, std::string_view base, mode_t mode, std::string &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(base);
        Fd file(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode));
        if (file.valid() || errno != EEXIST)
            return file;
    }
    errno = EEXIST;
    return Fd();
}

} // namespace qor::detail
