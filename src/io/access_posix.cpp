#include "io/access_posix.h"

#include <cerrno>
#include <cstring>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

#if defined(__linux__) || defined(__APPLE__)
#include <sys/xattr.h>
#endif

namespace qor::detail
{

namespace
{

bool ignorable(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP || error == EPERM;
}

#if defined(__linux__)
ssize_t listAttributes(int fd, char *names, std::size_t size)
{
    return ::flistxattr(fd, names, size);
}
ssize_t getAttribute(int fd, const char *name, void *value, std::size_t size)
{
    return ::fgetxattr(fd, name, value, size);
}
int setAttribute(int fd, const char *name, const void *value, std::size_t size)
{
    return ::fsetxattr(fd, name, value, size, 0);
}
#elif defined(__APPLE__)
ssize_t listAttributes(int fd, char *names, std::size_t size)
{
    return ::flistxattr(fd, names, size, 0);
}
ssize_t getAttribute(int fd, const char *name, void *value, std::size_t size)
{
    return ::fgetxattr(fd, name, value, size, 0, 0);
}
int setAttribute(int fd, const char *name, const void *value, std::size_t size)
{
    return ::fsetxattr(fd, name, value, size, 0, 0);
}
#endif

#if defined(__linux__) || defined(__APPLE__)
// Reads a list or a value whose size may change between asking and reading.
template <typename Read> bool readGrowing(std::vector<char> &buffer, Read read)
{
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return false;
        buffer.clear();
        if (size == 0)
            return true;
        buffer.resize(static_cast<std::size_t>(size));
        const ssize_t got = read(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}
#endif

constexpr const char *accessAcl = "system.posix_acl_access";

// Extended attributes, which carry POSIX ACLs on Linux. A file system without
// them, or an attribute this process may not set, is no failure; returns the
// errno of any other. aclKept tells whether the old file's ACL was set.
int copyAttributes([[maybe_unused]] int from, [[maybe_unused]] int to, bool &aclKept)
{
    aclKept = false;
#if defined(__linux__) || defined(__APPLE__)
    std::vector<char> names;
    if (from < 0 || !readGrowing(names, [&](char *b, std::size_t n) { return listAttributes(from, b, n); }))
        return from < 0 || ignorable(errno) ? 0 : errno;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char *name = names.data() + at;
        if (!readGrowing(value, [&](char *b, std::size_t n) { return getAttribute(from, name, b, n); })) {
            if (errno == ENODATA || ignorable(errno)) // removed meanwhile, or hidden from us
                continue;
            return errno;
        }
        if (setAttribute(to, name, value.data(), value.size()) == 0)
            aclKept = aclKept || std::strcmp(name, accessAcl) == 0;
        else if (!ignorable(errno))
            return errno;
    }
#endif
    return 0;
}

} // namespace

int keepAccess(int old, int file, const struct stat &was)
{
    // Owner where this process may set it (root); else the group alone, which
    // a member of the group may set. Both before the mode: a change of owner
    // clears setgid.
    if (::fchown(file, was.st_uid, was.st_gid) != 0) {
        if (errno != EPERM)
            return errno;
        if (::fchown(file, static_cast<uid_t>(-1), was.st_gid) != 0 && errno != EPERM)
            return errno;
    }
    struct stat now {
    };
    if (::fstat(file, &now) != 0)
        return errno;
    mode_t mode = was.st_mode & 07777;
    if (now.st_gid != was.st_gid)
        mode &= ~(S_ISGID | S_IRWXG);
    bool aclKept = false;
    if (const int failure = copyAttributes(old, file, aclKept))
        return failure;
#if defined(__linux__)
    if (!aclKept && ::fremovexattr(file, accessAcl) != 0 && errno != ENODATA && !ignorable(errno))
        return errno;
#endif
    // With an ACL, the group bits are its mask: cleared, they also clear
    // what the named entries grant.
    return ::fchmod(file, mode) == 0 ? 0 : errno;
}

} // namespace qor::detail
