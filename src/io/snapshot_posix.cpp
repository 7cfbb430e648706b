#include "io/openedfile.h"
#include "io/readwhole.h"
#include "io/snapshot.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qor
{

namespace
{

// Keeps where the file was looked for and where its link points.
Snapshot unreadable(Snapshot s, int error)
{
    s.state = Snapshot::State::Unreadable;
    s.reason = std::strerror(error);
    s.bytes.clear();
    return s;
}

Snapshot::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return Snapshot::Kind::File;
    if (S_ISDIR(mode))
        return Snapshot::Kind::Folder;
    if (S_ISFIFO(mode))
        return Snapshot::Kind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Snapshot::Kind::Device;
    if (S_ISSOCK(mode))
        return Snapshot::Kind::Socket;
    return Snapshot::Kind::Other;
}

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::string resolved(const char *path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path, nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// Where a link named `name` in the working folder points, and whether the
// file it leads to lies in another folder.
void followLink(const std::string &name, Snapshot &s)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
    if (n < 0)
        return;
    target.resize(static_cast<std::size_t>(n));
    s.linkTarget = target;
    const std::string file = resolved(name.c_str());
    const std::size_t slash = file.rfind('/');
    s.outsideFolder = file.empty() || file.substr(0, slash ? slash : 1) != s.folder;
}

} // namespace

Snapshot readSnapshot(const std::string &name, Reading reading)
{
    Snapshot s;
    // The folder as the system names it now: renamed while the window was
    // open, it has its new name.
    const std::size_t slash = name.rfind('/');
    s.folder = resolved(slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash).c_str());
    struct stat st = {};
    if (::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        followLink(name, s);
    // What stands there is looked at before it is opened: opening a device
    // or a FIFO can block or change it.
    if (::stat(name.c_str(), &st) != 0) {
        return errno == ENOENT && s.linkTarget.empty() ? s : unreadable(s, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        s.kind = kindOf(st.st_mode);
        s.device = static_cast<std::uint64_t>(st.st_dev);
        s.file = static_cast<std::uint64_t>(st.st_ino);
        s.state = Snapshot::State::NotAFile;
        return s;
    }
    // Non-blocking, so that a FIFO put there meanwhile is refused instead of
    // waiting for a writer.
    const Descriptor file{::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0)
        return unreadable(s, errno);
    Snapshot opened = detail::snapshotOfOpen(file.fd, reading);
    // Where it was looked for stays the path's: the rest is the file's own.
    return placed(std::move(opened), s);
}

Snapshot detail::snapshotOfOpen(int fd, Reading reading)
{
    Snapshot s;
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        return unreadable(std::move(s), errno);
    s.kind = kindOf(st.st_mode);
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.file = static_cast<std::uint64_t>(st.st_ino);
    if (s.kind != Snapshot::Kind::File) {
        s.state = Snapshot::State::NotAFile;
        return s;
    }
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    if (s.size > maxFileSize) {
        s.state = Snapshot::State::TooLarge;
        return s;
    }
    int error = 0;
    const bool read = detail::readWhole(s, reading, [&](char *buffer, std::size_t room) -> long long {
        ssize_t n;
        do
            n = ::read(fd, buffer, room);
        while (n < 0 && errno == EINTR);
        error = errno;
        return n;
    });
    if (!read)
        return unreadable(std::move(s), error);
    return s;
}

std::int64_t secondsSince1970(std::int64_t modified)
{
    return modified / 1'000'000'000; // nanoseconds since 1970
}

} // namespace qor
