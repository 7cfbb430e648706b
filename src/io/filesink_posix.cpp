// The POSIX file sink: the name walked to its target and the replace itself.
// Beside it, each its own job: paths as messages name them (shownpath), the
// temporary file's life (temporary), the old file's access carried over
// (access).
#include "io/filesink.h"

#include "io/access_posix.h"
#include "io/descriptor_posix.h"
#include "io/filesink_posix.h"
#include "io/openedfile.h"
#include "io/shownpath_posix.h"
#include "io/temporary_posix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace qor
{

using detail::Fd;
using detail::openFolder;
using detail::Path;

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
    Versions &versions;
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
    bool putInPlace(const Target &target, const std::string &temporary);
    bool anotherVersion(int folder, const std::string &name, Fd &held);
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
    detail::removeStale(folder, target.base);
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

    // Private until its owner and mode are set; a new file gets the umask's
    // mode and the folder's default ACL.
    std::string temporary;
    Fd file = detail::createTemporary(folder, target.base, target.exists ? 0600 : 0666, temporary);
    if (!file.valid())
        return fail(errno);

    int failure = target.exists ? detail::keepAccess(old.get(), file.get(), target.old) : 0;
    if (failure == 0 && !writeAll(file.get(), bytes))
        failure = -1;
    if (failure == 0 && calls.syncData(file.get()) != 0)
        failure = errno;
    // The version of these bytes is the written file's own, taken before it
    // has the name another program could put something else under.
    if (failure == 0)
        versions.written = writtenVersion(detail::snapshotOfOpen(file.get(), Reading::Identity), bytes);
    if (failure == 0 && file.reset() != 0)
        failure = errno;
    if (failure != 0) {
        if (failure > 0)
            fail(failure);
        ::unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    if (!putInPlace(target, temporary))
        return false;
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

// Waits, for a moment at most, until no program holds the file open for
// writing, and keeps others from opening it to write until `file` is
// closed: the kernel refuses a read lease while a writer has the file open,
// and breaks it when one opens it. A program that opened the file before
// the swap and has yet to write is then waited for, and its write seen.
// Where leases are not to be had (another owner, a network file system),
// nothing is waited for.
void holdAgainstWriters([[maybe_unused]] int file)
{
#if defined(F_SETLEASE)
    for (int tries = 0; tries < 100; ++tries) {
        if (::fcntl(file, F_SETLEASE, F_RDLCK) == 0 || errno != EAGAIN)
            return;
        ::usleep(1000);
    }
#endif
}

// Whether what stands under `name` now is not the version the press may
// replace (a file that is gone is nothing to lose). `held` keeps it open,
// and where the system allows, closed to writers, until the caller is done.
bool FileSink::Impl::anotherVersion(int folder, const std::string &name, Fd &held)
{
    if (!versions.expected)
        return false;
    held = Fd(::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    Snapshot now;
    if (held.valid()) {
        holdAgainstWriters(held.get());
        now = detail::snapshotOfOpen(held.get(), Reading::Version);
    } else if (errno != ENOENT) {
        now.state = Snapshot::State::Unreadable;
    }
    versions.changed = !stillReplaceable(now, *versions.expected);
    // A program that held the file open may have written while it was read:
    // its time then tells, up to this instant.
    struct stat after {
    };
    if (!versions.changed && held.valid())
        versions.changed =
            ::fstat(held.get(), &after) != 0 || static_cast<std::uint64_t>(after.st_size) != now.size ||
            static_cast<std::int64_t>(after.st_mtim.tv_sec) * 1'000'000'000 + after.st_mtim.tv_nsec != now.modified;
    return versions.changed;
}

// The written temporary takes the target's name. Where there is no file, it
// takes the name only while nobody else has; where there is one, the two
// swap names in one step, so that whatever another program put there up to
// the last instant is what the check after the swap sees, and is swapped
// back. Without the swap (another system, or a file system that lacks it),
// the check comes right before the rename.
bool FileSink::Impl::putInPlace(const Target &target, const std::string &temporary)
{
    const int folder = target.folder.get();
    const char *const from = temporary.c_str();
    const char *const to = target.base.c_str();
    auto giveUp = [&](int failure) {
        ::unlinkat(folder, from, 0);
        return failure ? fail(failure) : fail("Another program changed it while it was written");
    };
#if defined(RENAME_EXCHANGE) && defined(RENAME_NOREPLACE)
    if (versions.expected) {
        if (::renameat2(folder, from, folder, to, RENAME_EXCHANGE) == 0) {
            Fd old;
            if (!anotherVersion(folder, temporary, old)) {
                ::unlinkat(folder, from, 0); // the old file, as the press asked
                return true;
            }
            old.reset();
            if (::renameat2(folder, from, folder, to, RENAME_EXCHANGE) == 0)
                return giveUp(0);
            // Never removed: the other program's file stays, under the
            // temporary's name, and the message says where.
            return fail("Another program changed it while it was written; its version is kept as " +
                        (target.path / ".." / temporary).shown() + " (" + std::strerror(errno) + ")");
        }
        if (errno == ENOENT) {
            // No file to swap with: the name is taken only while still free.
            if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0)
                return true;
            versions.changed = errno == EEXIST;
            if (versions.changed)
                return giveUp(0);
        }
        // EINVAL or ENOSYS: the file system swaps no names; checked below.
        if (errno != EINVAL && errno != ENOSYS)
            return giveUp(errno);
    }
#endif
    Fd old;
    if (anotherVersion(folder, target.base, old))
        return giveUp(0);
    if (::renameat(folder, from, folder, to) != 0)
        return giveUp(errno);
    return true;
}

FileSink::FileSink(std::string name, const SystemCalls *calls)
    : impl_(new Impl{std::move(name), calls ? *calls : systemCalls(), versions_, {}, {}, {}, {}})
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
    d.versions.changed = false;
    d.versions.written = {};
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
