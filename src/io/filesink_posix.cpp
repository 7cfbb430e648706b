#include "io/filesink.h"

#include "io/filesink_posix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
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

// The working folder's path as the system names it now. A deleted folder
// has no name left for getcwd(); Linux still shows its last one.
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
    std::string shown() const
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
};

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

// Removes the temporaries that killed presses of this user left for base,
// matched by their exact name pattern. A folder this process may not list
// keeps them.
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

// The old file's owner, group, mode and ACL on the new file, and no more:
// the entries the folder's default ACL put on it go, and where the group
// cannot be kept its rights are cleared rather than handed to the presser's
// group. Returns an errno, or 0.
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

// Whether the folder takes no new names and keeps every old one (chattr +a):
// a temporary made there could never be renamed or removed.
bool appendOnly([[maybe_unused]] int folder)
{
#if defined(__linux__) && defined(STATX_ATTR_APPEND)
    struct statx st {
    };
    return ::statx(folder, "", AT_EMPTY_PATH, 0, &st) == 0 && (st.stx_attributes_mask & STATX_ATTR_APPEND) &&
           (st.stx_attributes & STATX_ATTR_APPEND);
#else
    return false;
#endif
}

// One name in a folder, looked at without following it: its status and,
// for a link, the link's text, both of the same file.
struct Node {
    Fd fd; // Linux: the name itself, opened as a path only
    struct stat st {
    };
    std::string text;
};

bool lookAt(int folder, const std::string &name, Node &node)
{
#if defined(O_PATH)
    node.fd = Fd(::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!node.fd.valid() || ::fstat(node.fd.get(), &node.st) != 0)
        return false;
    const int at = node.fd.get();
    const char *const path = "";
#else
    if (::fstatat(folder, name.c_str(), &node.st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    const int at = folder;
    const char *const path = name.c_str();
#endif
    if (!S_ISLNK(node.st.st_mode))
        return true;
    std::vector<char> text(static_cast<std::size_t>(std::max<off_t>(node.st.st_size, 255)) + 1);
    ssize_t n;
    while ((n = ::readlinkat(at, path, text.data(), text.size())) == static_cast<ssize_t>(text.size()))
        text.resize(text.size() * 2);
    if (n < 0)
        return false;
    node.text.assign(text.data(), static_cast<std::size_t>(n));
    return true;
}

// The kernel's rule for links in a sticky, world-writable folder (such as
// /tmp), fs.protected_symlinks: only a link owned by the follower or by the
// folder's owner is followed. Checked here too, since the setting may be off
// and the rule is what keeps another user from pointing a press elsewhere.
bool mayFollow(int folder, const struct stat &link)
{
    struct stat st {
    };
    if (::fstat(folder, &st) != 0)
        return false;
    const bool shared = (st.st_mode & S_ISVTX) && (st.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == st.st_uid;
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
    std::string notice;
    Fd workingFolder; // the folder the name is relative to, held from open()
    // What a failure names, where that is not the name itself (the folder or
    // the file a link leads to).
    std::optional<Path> failedAt;

    // Where the bytes go once links are followed: a name in a folder.
    struct Target {
        Fd folder;
        std::string base;
        Path path; // as messages name it
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
    template <typename Reason> bool failAt(const Path &path, Reason reason)
    {
        failedAt = path;
        return fail(std::move(reason));
    }

    bool workingFolderGone();
    bool resolve(Target &target);
    bool mayReplace(const Target &target);
    bool replace(Target &target, std::string_view bytes);
    bool writeAll(int fd, std::string_view bytes);
};

bool FileSink::Impl::workingFolderGone()
{
    struct stat folder {
    };
    if (::fstat(workingFolder.get(), &folder) != 0)
        return !fail(errno);
    return folder.st_nlink == 0 && !fail("The working folder no longer exists");
}

// Walks the name one folder at a time from the held working folder, the
// kernel opening each step without following links; links are followed here,
// each in its own folder and under the kernel's rule for shared folders, so
// that nothing that is not a regular file or a folder is ever opened.
bool FileSink::Impl::resolve(Target &target)
{
    Fd at(::fcntl(workingFolder.get(), F_DUPFD_CLOEXEC, 0));
    if (!at.valid())
        return fail(errno);
    Path where;               // of `at`
    std::optional<Path> link; // the last link followed
    std::string rest = name;
    bool fromRoot = rest.starts_with('/'); // the name, or a link's text, is absolute
    for (int links = 0;;) {
        if (fromRoot) {
            at = openFolder(AT_FDCWD, "/");
            if (!at.valid())
                return fail(errno);
            where.enter("/");
            fromRoot = false;
        }
        rest.erase(0, std::min(rest.find_first_not_of('/'), rest.size()));
        const std::string part = rest.substr(0, rest.find('/'));
        rest.erase(0, part.size());
        const bool last = rest.find_first_not_of('/') == std::string::npos;
        if (last && !rest.empty())
            return fail(EISDIR); // a trailing slash asks for a folder
        if ((part.empty() || part == ".") && !last)
            continue;
        if (part.empty() || part == ".") // the name ends in a folder
            return link ? failAt(*link, where.shown() + " is not a regular file") : fail(EISDIR);
        const Path here = where / part;
        Node node;
        if (!lookAt(at.get(), part, node)) {
            if (errno != ENOENT || !last)
                return failAt(here, errno);
            if (link) // never a new file where someone else's link points
                return failAt(*link, "it links to " + here.shown() + ", which does not exist");
            target.exists = false;
            target.base = part;
            target.path = here;
            break;
        }
        if (S_ISLNK(node.st.st_mode)) {
            if (++links > 40)
                return failAt(here, ELOOP);
            if (!mayFollow(at.get(), node.st))
                return failAt(here, "it links to " + (where / node.text).shown() +
                                        ", but the link was made by another user in a shared folder");
            rest = node.text + rest; // rest, if any, starts with its slash
            fromRoot = node.text.starts_with('/');
            link = here;
            continue;
        }
        if (S_ISDIR(node.st.st_mode) && !last) {
#if defined(O_PATH)
            at = std::move(node.fd);
#else
            at = openFolder(at.get(), part.c_str());
            if (!at.valid())
                return failAt(here, errno);
#endif
            where = here;
            continue;
        }
        if (!last)
            return failAt(here, ENOTDIR);
        if (!S_ISREG(node.st.st_mode)) {
            if (link)
                return failAt(*link, here.shown() + " is not a regular file");
            return S_ISDIR(node.st.st_mode) ? fail(EISDIR) : fail("Not a regular file");
        }
        target.exists = true;
        target.old = node.st;
        target.base = part;
        target.path = here;
        break;
    }
    target.folder = openFolder(at.get(), ".");
    if (!target.folder.valid())
        return failAt(where, errno);
    return true;
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

// Asked at open() and again at the replace itself, since a message box may
// stay open in between while the folder or the file change.
bool FileSink::Impl::mayReplace(const Target &target)
{
    failedAt = target.path;
    if (::faccessat(target.folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return fail(errno);
    if (appendOnly(target.folder.get()))
        return fail("The folder is append-only: a file in it cannot be replaced");
    // A file its owner made read-only stays as it is, as it would if it were
    // opened for writing.
    if (target.exists && ::faccessat(target.folder.get(), target.base.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(errno);
    return true;
}

bool FileSink::Impl::replace(Target &target, std::string_view bytes)
{
    if (!mayReplace(target))
        return false;
    const int folder = target.folder.get();
    removeStale(folder, target.base);
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

    int failure = target.exists ? keepAccess(old.get(), file.get(), target.old) : 0;
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
    // folders (EINVAL) has nothing more to offer. A failure here comes after
    // the new file is in place: it is no failure to write, and is said as
    // what it is.
    if (calls.syncFolder(folder) != 0 && errno != EBADF && errno != EINVAL)
        notice = target.path.shown() +
                 " was written, but the folder could not be synced, so it may not survive a power cut: " +
                 std::strerror(errno);
    return true;
}

FileSink::FileSink(std::string name, const SystemCalls *calls)
    : impl_(new Impl{std::move(name), calls ? *calls : systemCalls(), {}, {}, {}, {}})
{
}

FileSink::~FileSink() = default;

bool FileSink::open()
{
    Impl &d = *impl_;
    d.error.clear();
    d.failedAt.reset();
    // A file-size limit then fails the write with "File too large" instead of
    // killing the program and everything typed into it. main() does this
    // first thing too; a sink used elsewhere must not rely on it.
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, nullptr);

    d.workingFolder = openFolder(AT_FDCWD, ".");
    if (!d.workingFolder.valid())
        return d.fail(errno);
    if (d.workingFolderGone())
        return false;

    // The file is created only at commit; here the target's folder is asked
    // whether it would take a new file, so that no half-made temporary stays
    // behind if the program is ended while a message is shown.
    Impl::Target target;
    return d.resolve(target) && d.mayReplace(target);
}

bool FileSink::commit(std::string_view bytes)
{
    Impl &d = *impl_;
    d.failedAt.reset();
    d.notice.clear();
    if (!d.workingFolder.valid())
        return d.fail(EBADF);
    if (d.workingFolderGone())
        return false;
    // Looked up again: links or files may have changed while messages showed.
    Impl::Target target;
    return d.resolve(target) && d.replace(target, bytes);
}

std::string FileSink::path() const
{
    // Asked only after a failure: the working folder as it is named now, with
    // the bytes of the name as they are.
    return (impl_->failedAt ? *impl_->failedAt : Path().enter(impl_->name)).shown();
}

std::string FileSink::errorString() const
{
    return impl_->error;
}

std::string FileSink::notice() const
{
    return impl_->notice;
}

} // namespace qor
