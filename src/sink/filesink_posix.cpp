#include "filesink.h"

#include "filesink_posix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#if defined(__linux__) || defined(__APPLE__)
#include <sys/xattr.h>
#endif

namespace qor
{

namespace
{

int syncData(int fd)
{
#if defined(__APPLE__)
    return ::fsync(fd); // no fdatasync in the SDK
#else
    return ::fdatasync(fd);
#endif
}

// Owns one file descriptor.
class Fd
{
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd &operator=(Fd &&other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes and returns close()'s own result, which a network file system
    // may use to report a failed write.
    int reset()
    {
        const int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

  private:
    int fd_ = -1;
};

// A folder to create, rename and unlink in. Read access is needed only to
// sync it; a folder that grants search and write but not read is still used.
Fd openFolder(int at, const char *path)
{
    Fd folder(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
#ifdef O_PATH
    if (!folder.valid() && errno == EACCES)
        folder = Fd(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC));
#endif
    return folder;
}

// Length of the valid UTF-8 character at the start of s, or 0.
std::size_t validSequence(std::string_view s)
{
    const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(s[n]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || s.size() < length)
        return 0;
    for (std::size_t n = 1; n < length; ++n)
        if ((byte(n) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, UTF-16 surrogates and values beyond U+10FFFF.
    const unsigned char second = byte(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

// A path as a message shows it: each byte that is not part of valid UTF-8
// becomes U+FFFD. Only for showing; system calls get the bytes themselves.
std::string showable(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = validSequence(bytes.substr(at));
        out += n > 0 ? bytes.substr(at, n) : "\xEF\xBF\xBD";
        at += std::max<std::size_t>(n, 1);
    }
    return out;
}

std::string workingFolderPath()
{
    std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    return path ? std::string(path.get()) : std::string();
}

std::string joined(std::string folder, std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + std::string(name);
}

// A name nobody else picks: the target's name, hidden, with a random tail.
std::string temporaryName(std::string_view base)
{
    static std::uint64_t state = std::random_device{}();
    state += 0x9E3779B97F4A7C15u;
    // Mixed with the process id, so that programs forked from one parent part.
    std::uint64_t z = state ^ (static_cast<std::uint64_t>(::getpid()) << 20);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string name(1, '.');
    name.append(base.substr(0, 200)).push_back('.');
    for (int n = 0; n < 10; ++n, z /= 62)
        name += digits[z % 62];
    return name;
}

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

// Extended attributes, which carry POSIX ACLs on Linux. A file system without
// them, or an attribute this process may not set, is no failure; returns the
// errno of any other.
int copyAttributes([[maybe_unused]] int from, [[maybe_unused]] int to)
{
#if defined(__linux__) || defined(__APPLE__)
    std::vector<char> names;
    if (!readGrowing(names, [&](char *b, std::size_t n) { return listAttributes(from, b, n); }))
        return ignorable(errno) ? 0 : errno;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char *name = names.data() + at;
        if (!readGrowing(value, [&](char *b, std::size_t n) { return getAttribute(from, name, b, n); })) {
            if (errno == ENODATA || ignorable(errno)) // removed meanwhile, or hidden from us
                continue;
            return errno;
        }
        if (setAttribute(to, name, value.data(), value.size()) != 0 && !ignorable(errno))
            return errno;
    }
#endif
    return 0;
}

} // namespace

const SystemCalls &systemCalls()
{
    static constexpr SystemCalls calls = {::write, syncData, ::fsync};
    return calls;
}

struct FileSink::Impl {
    std::string name;
    const SystemCalls &calls;
    std::string error;
    Fd workingFolder; // the folder the name is relative to, held from open()

    // Where the bytes go once links are followed: a name in a folder.
    struct Target {
        Fd folder;
        std::string base;
        bool exists = false;
        struct stat old {
        };
    };

    bool fail(int errorNumber)
    {
        error = std::strerror(errorNumber);
        return false;
    }
    bool fail(std::string reason)
    {
        error = std::move(reason);
        return false;
    }

    bool resolve(Target &target);
    bool replace(Target &target, std::string_view bytes);
    bool writeAll(int fd, std::string_view bytes);
};

// Follows symbolic links by hand, relative to the held folder, so that each
// link's target is found in the link's own folder and nothing that is not a
// regular file is ever opened.
bool FileSink::Impl::resolve(Target &target)
{
    target.folder = Fd(::fcntl(workingFolder.get(), F_DUPFD_CLOEXEC, 0));
    if (!target.folder.valid())
        return fail(errno);
    std::string leaf = name;
    std::string shown = name; // the link's target, as a message names it
    bool viaLink = false;
    for (int links = 0;; ++links) {
        const std::size_t slash = leaf.rfind('/');
        if (slash != std::string::npos) {
            const std::string folder = slash == 0 ? "/" : leaf.substr(0, slash);
            target.folder = openFolder(target.folder.get(), folder.c_str());
            if (!target.folder.valid())
                return fail(errno);
            leaf.erase(0, slash + 1);
        }
        if (leaf.empty())
            return fail(EISDIR);
        target.base = leaf;
        if (::fstatat(target.folder.get(), leaf.c_str(), &target.old, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return fail(errno);
            target.exists = false; // a new file (also for a link that points nowhere yet)
            return true;
        }
        if (S_ISREG(target.old.st_mode)) {
            target.exists = true;
            return true;
        }
        if (!S_ISLNK(target.old.st_mode)) {
            if (viaLink)
                return fail(showable(joined(workingFolderPath(), shown)) + " is not a regular file");
            return S_ISDIR(target.old.st_mode) ? fail(EISDIR) : fail("Not a regular file");
        }
        if (links == 40)
            return fail(ELOOP);
        std::vector<char> text(static_cast<std::size_t>(std::max<off_t>(target.old.st_size, 255)) + 1);
        ssize_t n;
        while ((n = ::readlinkat(target.folder.get(), leaf.c_str(), text.data(), text.size())) ==
               static_cast<ssize_t>(text.size()))
            text.resize(text.size() * 2);
        if (n < 0)
            return fail(errno);
        leaf.assign(text.data(), static_cast<std::size_t>(n));
        const std::size_t cut = shown.rfind('/');
        shown = cut == std::string::npos ? leaf : joined(shown.substr(0, std::max<std::size_t>(cut, 1)), leaf);
        viaLink = true;
    }
}

bool FileSink::Impl::writeAll(int fd, std::string_view bytes)
{
    // Short writes (a signal, a size limit) are retried; the next write then
    // either goes on or fails with the system's reason.
    while (!bytes.empty()) {
        const ssize_t n = calls.write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        if (n == 0)
            return fail(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileSink::Impl::replace(Target &target, std::string_view bytes)
{
    const int folder = target.folder.get();
    Fd old;
    if (target.exists) {
        // Only to read its extended attributes; O_NONBLOCK in case it was
        // swapped for a FIFO since it was looked at.
        old = Fd(::openat(folder, target.base.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        struct stat now {
        };
        if (old.valid() && ::fstat(old.get(), &now) == 0) {
            if (!S_ISREG(now.st_mode))
                return fail("Not a regular file");
            target.old = now; // another program may have replaced it meanwhile
        } else if (errno == ENOENT) {
            target.exists = false;
        }
    }

    std::string temporary;
    Fd file;
    for (int attempt = 0; !file.valid() && attempt < 100; ++attempt) {
        temporary = temporaryName(target.base);
        // Private until its owner and mode are set; a new file gets the
        // umask's mode and the folder's default ACL.
        file = Fd(::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                           target.exists ? 0600 : 0666));
        if (!file.valid() && errno != EEXIST)
            return fail(errno);
    }
    if (!file.valid())
        return fail(EEXIST);

    int failure = 0;
    if (target.exists) {
        // Owner where this process may set it (root); else the group alone,
        // which a member of the group may set. Both before the mode: a change
        // of owner clears setgid.
        if (::fchown(file.get(), target.old.st_uid, target.old.st_gid) != 0) {
            if (errno != EPERM)
                failure = errno;
            else if (::fchown(file.get(), static_cast<uid_t>(-1), target.old.st_gid) != 0 && errno != EPERM)
                failure = errno;
        }
        if (failure == 0 && old.valid())
            failure = copyAttributes(old.get(), file.get());
        if (failure == 0 && ::fchmod(file.get(), target.old.st_mode & 07777) != 0)
            failure = errno;
    }
    if (failure == 0 && !writeAll(file.get(), bytes))
        failure = -1;
    if (failure == 0 && calls.syncData(file.get()) != 0)
        failure = errno;
    if (failure == 0 && file.reset() != 0)
        failure = errno;
    if (failure == 0 && ::renameat(folder, temporary.c_str(), folder, target.base.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        if (failure > 0)
            fail(failure);
        ::unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    // The rename itself reaches the disk with the folder. A folder that could
    // only be opened for search (EBADF) or a file system that cannot sync
    // folders (EINVAL) has nothing more to offer.
    if (calls.syncFolder(folder) != 0 && errno != EBADF && errno != EINVAL)
        return fail(errno);
    return true;
}

FileSink::FileSink(std::string name, const SystemCalls *calls)
    : impl_(new Impl{std::move(name), calls ? *calls : systemCalls(), {}, {}})
{
}

FileSink::~FileSink() = default;

bool FileSink::open()
{
    Impl &d = *impl_;
    d.error.clear();
    // A file-size limit then fails the write with "File too large" instead of
    // killing the program and everything typed into it.
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, nullptr);

    d.workingFolder = openFolder(AT_FDCWD, ".");
    if (!d.workingFolder.valid())
        return d.fail(errno);
    struct stat folder {
    };
    if (::fstat(d.workingFolder.get(), &folder) != 0)
        return d.fail(errno);
    if (folder.st_nlink == 0)
        return d.fail("The working folder no longer exists");

    // The file is created only at commit; here the target's folder is asked
    // whether it would take a new file, so that no half-made temporary stays
    // behind if the program is ended while a message is shown.
    Impl::Target target;
    if (!d.resolve(target))
        return false;
    if (::faccessat(target.folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return d.fail(errno);
    // A file its owner made read-only stays as it is, as it would if it were
    // opened for writing.
    if (target.exists && ::faccessat(target.folder.get(), target.base.c_str(), W_OK, AT_EACCESS) != 0)
        return d.fail(errno);
    return true;
}

bool FileSink::commit(std::string_view bytes)
{
    Impl &d = *impl_;
    if (!d.workingFolder.valid())
        return d.fail(EBADF);
    // Looked up again: links or files may have changed while messages showed.
    Impl::Target target;
    return d.resolve(target) && d.replace(target, bytes);
}

std::string FileSink::path() const
{
    // Asked only after a failure: the working folder as it is named now (a
    // deleted one has no name left), with the bytes of the name as they are.
    return showable(joined(workingFolderPath(), impl_->name));
}

std::string FileSink::errorString() const
{
    return impl_->error;
}

} // namespace qor
