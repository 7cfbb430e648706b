#include "io/readwhole.h"
#include "io/snapshot.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qor
{

namespace
{

Snapshot unreadable(int error)
{
    Snapshot s;
    s.state = Snapshot::State::Unreadable;
    s.reason = std::strerror(error);
    return s;
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

} // namespace

Snapshot readSnapshot(const std::string &name)
{
    // Non-blocking, so that a FIFO by that name is refused instead of
    // waiting for a writer.
    const Descriptor file{::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0)
        return errno == ENOENT ? Snapshot{} : unreadable(errno);
    struct stat st = {};
    if (::fstat(file.fd, &st) != 0)
        return unreadable(errno);
    Snapshot s;
    if (!S_ISREG(st.st_mode)) {
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
    const bool read = detail::readWhole(s, [&](char *buffer, std::size_t room) -> long long {
        ssize_t n;
        do
            n = ::read(file.fd, buffer, room);
        while (n < 0 && errno == EINTR);
        error = errno;
        return n;
    });
    return read ? s : unreadable(error);
}

} // namespace qor
