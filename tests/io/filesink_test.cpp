// The real sink on this machine's file system, one row per situation a press
// can meet. Each row presses in a forked child from its own working folder,
// as root or as an ordinary user (uid 65534, member of group 100), so that
// rows about permissions mean the same when the suite runs as root.
#include "io/filesink.h"
#include "io/filesink_posix.h"
#include "press/checks.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <linux/fs.h>
#include <map>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace qor
{
namespace
{

using namespace test;

constexpr uid_t user = 65534;
constexpr gid_t userGroup = 65534;
constexpr gid_t sharedGroup = 100;
// Another ordinary user, who plants links and owns groups the presser is not in.
constexpr uid_t attacker = 65533;
constexpr gid_t attackerGroup = 65533;
const std::string old = "the previous press\r\n";

void write(const std::string &path, const std::string &bytes, mode_t mode = 0644)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0); // past the umask
}

struct stat status(const std::string &path)
{
    struct stat st {
    };
    ::lstat(path.c_str(), &st);
    return st;
}

std::map<std::string, std::string> attributes(const std::string &path)
{
    std::map<std::string, std::string> out;
    char names[4096];
    const ssize_t size = ::llistxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t n = ::lgetxattr(path.c_str(), names + at, value, sizeof value);
        out[names + at] = n < 0 ? "<unreadable>" : std::string(value, static_cast<std::size_t>(n));
    }
    return out;
}

// An ACL with read and write for `named`, as the kernel stores it.
std::string aclFor(uid_t named)
{
    std::string acl;
    const auto add = [&](std::uint32_t value, int bytes) {
        for (int n = 0; n < bytes; ++n)
            acl += static_cast<char>(value >> (8 * n) & 0xFF);
    };
    add(2, 4); // version
    const std::uint32_t none = 0xFFFFFFFF;
    const std::uint32_t entries[][3] = {
        {0x01, 6, none}, {0x02, 6, named}, {0x04, 6, none}, {0x10, 6, none}, {0x20, 4, none}};
    for (const auto &e : entries) {
        add(e[0], 2);
        add(e[1], 2);
        add(e[2], 4);
    }
    return acl;
}

// Calls every path below `folder` (depth first, children before their
// folder) through descriptors, so that paths beyond PATH_MAX work too.
void walk(int at, const std::string &name, const std::function<void(int at, const std::string &, bool)> &visit)
{
    const int fd = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
        visit(at, name, false);
        return;
    }
    DIR *dir = ::fdopendir(fd);
    std::vector<std::string> entries;
    while (const dirent *e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            entries.emplace_back(e->d_name);
    for (const std::string &entry : entries)
        walk(::dirfd(dir), entry, visit);
    ::closedir(dir);
    visit(at, name, true);
}

// The folder a row works in: `root`, with the working folder "work" in it.
struct Scratch {
    Scratch()
    {
        char name[] = "/tmp/qorsink-XXXXXX";
        root = ::mkdtemp(name);
        ::chmod(root.c_str(), 0755); // the ordinary user must reach into it
        ::mkdir((root + "/work").c_str(), 0777);
        ::chmod((root + "/work").c_str(), 0777);
    }
    ~Scratch()
    {
        walk(AT_FDCWD, root, [](int at, const std::string &name, bool folder) {
            ::unlinkat(at, name.c_str(), folder ? AT_REMOVEDIR : 0);
        });
    }
    std::string operator/(const std::string &rel) const { return root + "/" + rel; }
    std::string root;
};

// Leftover temporaries anywhere in the scratch tree.
std::vector<std::string> temporaries(const Scratch &s)
{
    std::vector<std::string> found;
    walk(AT_FDCWD, s.root, [&](int, const std::string &name, bool) {
        if (name.rfind(".description.ext.", 0) == 0 || name.rfind(".real.ext.", 0) == 0)
            found.push_back(name);
    });
    return found;
}

const SystemCalls syncFails = {::write, [](int) { return errno = EIO, -1; }, ::fsync};

// Every other write is interrupted, the rest take at most 7 bytes.
const SystemCalls shortWrites = {[](int fd, const void *bytes, std::size_t size) -> ssize_t {
                                     static int calls = 0;
                                     if (++calls % 2 == 1)
                                         return errno = EINTR, -1;
                                     return ::write(fd, bytes, std::min<std::size_t>(size, 7));
                                 },
                                 ::fdatasync, ::fsync};

enum class Outcome { Written, WrittenWithNotice, RefusedAtOpen, RefusedAtCommit, KilledBeforeCommit };
enum class Presser { Anyone, User, Root }; // User and Root need root to arrange

struct Situation {
    const char *name;
    std::function<void(const Scratch &)> arrange; // as root, before the child starts
    std::string folder = "work";                  // the child's working folder below root
    Presser presser = Presser::Anyone;
    std::function<void()> inChild = [] {};   // in the working folder, just before the press
    std::function<void()> meanwhile = [] {}; // in the child, while a message shows
    const SystemCalls *calls = nullptr;
    Outcome outcome = Outcome::Written;
    // After "Cannot write ", or the whole notice; "%" stands for the root.
    std::string message = "";
    std::function<void(const Scratch &, const std::string &written)> check = [](const Scratch &, const std::string &) {
    };
};

void chdirEach(const std::string &path)
{
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        if (::chdir(path.substr(at, end - at).c_str()) != 0)
            _exit(3);
        at = end + 1;
    }
}

// Presses in a child; returns its messages, or a line saying how it ended.
std::vector<std::string> pressInChild(const Situation &s, const Scratch &scratch, const FormRecord &start)
{
    int report[2];
    if (::pipe(report) != 0)
        return {"<no pipe>"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        ::alarm(30); // a press that blocks (on a FIFO, say) ends here
        ::signal(SIGXFSZ, SIG_DFL);
        ::umask(022);
        if (::chdir(scratch.root.c_str()) != 0)
            _exit(3);
        chdirEach(s.folder);
        const gid_t groups[] = {sharedGroup};
        if (s.presser == Presser::User &&
            (::setgroups(1, groups) != 0 || ::setgid(userGroup) != 0 || ::setuid(user) != 0))
            _exit(4);
        s.inChild();
        FormRecord form = start;
        WindowFields fields;
        FileSink sink("description.ext", s.calls);
        // What happens while the count message is open: after open(),
        // before commit().
        struct Meanwhile final : OutputFile {
            FileSink &sink;
            const std::function<void()> &meanwhile;
            Meanwhile(FileSink &s, const std::function<void()> &m) : sink(s), meanwhile(m) {}
            bool open() override { return sink.open(); }
            bool commit(std::string_view bytes) override
            {
                meanwhile();
                return sink.commit(bytes);
            }
            std::string path() const override { return sink.path(); }
            std::string errorString() const override { return sink.errorString(); }
            std::string notice() const override { return sink.notice(); }
            void expect(const Snapshot &version) override { sink.expect(version); }
            bool changed() const override { return sink.changed(); }
            Snapshot written() const override { return sink.written(); }
        } file(sink, s.meanwhile);
        cmd_Click(form, file, fields);
        for (const std::string &m : form.messages)
            [[maybe_unused]] const auto sent = ::write(report[1], m.c_str(), m.size() + 1);
        _exit(0);
    }
    ::close(report[1]);
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(report[0]);
    int how = 0;
    ::waitpid(child, &how, 0);
    if (WIFSIGNALED(how))
        return {"<killed by signal " + std::to_string(WTERMSIG(how)) + ">"};
    if (!WIFEXITED(how) || WEXITSTATUS(how) != 0)
        return {"<child ended: status " + std::to_string(how) + ">"};
    std::vector<std::string> messages;
    for (std::size_t at = 0; at < bytes.size(); at = bytes.find('\0', at) + 1)
        messages.push_back(bytes.substr(at, bytes.find('\0', at) - at));
    return messages;
}

std::string withRoot(std::string text, const std::string &root)
{
    for (auto at = text.find('%'); at != std::string::npos; at = text.find('%', at + root.size()))
        text.replace(at, 1, root);
    return text;
}

void expectOld(const Scratch &s, const std::string &)
{
    EXPECT_EQ(readFile(s / "work/description.ext"), old);
}

void expectWritten(const Scratch &s, const std::string &written)
{
    EXPECT_EQ(readFile(s / "work/description.ext"), written);
}

// The previous press's file, owned as given.
void oldFile(const Scratch &s, mode_t mode, uid_t owner, gid_t group)
{
    write(s / "work/description.ext", old, mode);
    ASSERT_EQ(::chown((s / "work/description.ext").c_str(), owner, group), 0);
}

// The new file's owner, group and mode.
void expectWrittenAs(const Scratch &s, const std::string &written, uid_t owner, gid_t group, mode_t mode)
{
    expectWritten(s, written);
    const struct stat st = status(s / "work/description.ext");
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(st.st_mode & 07777, mode);
}

// A link in the working folder, owned by `owner`.
void link(const Scratch &s, const char *target, uid_t owner)
{
    ASSERT_EQ(::symlink(target, (s / "work/description.ext").c_str()), 0);
    ASSERT_EQ(::lchown((s / "work/description.ext").c_str(), owner, owner), 0);
}

// A file of the ordinary user's in a folder of theirs, "other", that a link
// can point to; the working folder is shared and sticky, as /tmp is.
void userFileAndStickyFolder(const Scratch &s)
{
    ::mkdir((s / "other").c_str(), 0755);
    ::chown((s / "other").c_str(), user, userGroup);
    write(s / "other/real.ext", old, 0644);
    ::chown((s / "other/real.ext").c_str(), user, userGroup);
    ::chmod((s / "work").c_str(), 01777);
}

void expectOtherOld(const Scratch &s, const std::string &)
{
    EXPECT_EQ(readFile(s / "other/real.ext"), old);
}

void setFolderFlags(const std::string &path, bool appendOnly)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    ASSERT_EQ(::ioctl(fd, FS_IOC_GETFLAGS, &flags), 0) << std::strerror(errno);
    flags = appendOnly ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
    EXPECT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0)
        << "append-only flag on " << path << ": " << std::strerror(errno);
    ::close(fd);
}

// A file modified `age` seconds ago, owned by `owner`.
void aged(const std::string &path, uid_t owner, int age)
{
    write(path, "half a press");
    ::chown(path.c_str(), owner, owner);
    const timespec times[] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

const SystemCalls folderSyncFails = {::write, ::fdatasync, [](int) { return errno = EIO, -1; }};

// 250-byte names, 20 deep: a working folder longer than PATH_MAX.
const std::string deepFolder = [] {
    std::string path = "work";
    for (int n = 0; n < 20; ++n)
        path += "/" + std::string(250, static_cast<char>('a' + n));
    return path;
}();

const Situation situations[] = {
    {.name = "NewFileGetsTheUmasksMode",
     .arrange = [](const Scratch &) {},
     .check =
         [](const Scratch &s, const std::string &written) {
             expectWritten(s, written);
             EXPECT_EQ(status(s / "work/description.ext").st_mode & 07777, 0644u);
         }},
    {.name = "FolderTakesNoNewFileThoughTheFileIsWritable",
     .arrange =
         [](const Scratch &s) {
             write(s / "work/description.ext", old, 0666);
             ::chmod((s / "work").c_str(), 0555);
         },
     .presser = Presser::User,
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: Permission denied",
     .check = expectOld},
    {.name = "ReadOnlyFileInAWritableFolder",
     .arrange = [](const Scratch &s) { write(s / "work/description.ext", old, 0444); },
     .presser = Presser::User,
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: Permission denied",
     .check = expectOld},
    {.name = "TargetIsAFolder",
     .arrange = [](const Scratch &s) { ::mkdir((s / "work/description.ext").c_str(), 0755); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: Is a directory",
     .check = [](const Scratch &s,
                 const std::string &) { EXPECT_TRUE(S_ISDIR(status(s / "work/description.ext").st_mode)); }},
    {.name = "WorkingFolderDeleted",
     .arrange = [](const Scratch &) {},
     .inChild = [] { ::rmdir("../work"); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: The working folder no longer exists",
     .check =
         [](const Scratch &s, const std::string &) {
             EXPECT_EQ(status(s / "description.ext").st_mode, 0u);
             EXPECT_EQ(status("/description.ext").st_mode, 0u) << "nothing written at the root";
         }},
    {.name = "WorkingFolderRenamed",
     .arrange = [](const Scratch &) {},
     .inChild = [] { ::rename("../work", "../moved"); },
     .check = [](const Scratch &s,
                 const std::string &written) { EXPECT_EQ(readFile(s / "moved/description.ext"), written); }},
    {.name = "WorkingFolderLongerThanPathMax",
     .arrange =
         [](const Scratch &s) {
             int at = ::open(s.root.c_str(), O_RDONLY | O_DIRECTORY);
             for (std::size_t from = 0; from < deepFolder.size();) {
                 const std::size_t end = std::min(deepFolder.find('/', from), deepFolder.size());
                 const std::string name = deepFolder.substr(from, end - from);
                 ::mkdirat(at, name.c_str(), 0755);
                 const int next = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY);
                 ::close(at);
                 at = next;
                 from = end + 1;
             }
             ::close(at);
         },
     .folder = deepFolder,
     .check =
         [](const Scratch &s, const std::string &written) {
             std::string found;
             walk(AT_FDCWD, s.root, [&](int at, const std::string &name, bool) {
                 if (name == "description.ext") {
                     const int fd = ::openat(at, name.c_str(), O_RDONLY);
                     found.resize(written.size() + 1);
                     found.resize(static_cast<std::size_t>(::read(fd, found.data(), found.size())));
                     ::close(fd);
                 }
             });
             EXPECT_EQ(found, written);
         }},
    {.name = "Fifo",
     .arrange = [](const Scratch &s) { ::mkfifo((s / "work/description.ext").c_str(), 0666); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: Not a regular file",
     .check = [](const Scratch &s,
                 const std::string &) { EXPECT_TRUE(S_ISFIFO(status(s / "work/description.ext").st_mode)); }},
    {.name = "Socket",
     .arrange =
         [](const Scratch &s) {
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strncpy(address.sun_path, (s / "work/description.ext").c_str(), sizeof address.sun_path - 1);
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
             ::close(fd);
         },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: Not a regular file",
     .check = [](const Scratch &s,
                 const std::string &) { EXPECT_TRUE(S_ISSOCK(status(s / "work/description.ext").st_mode)); }},
    {.name = "LinkToADevice",
     .arrange = [](const Scratch &s) { ::symlink("/dev/null", (s / "work/description.ext").c_str()); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: /dev/null is not a regular file",
     .check =
         [](const Scratch &s, const std::string &) {
             EXPECT_TRUE(S_ISLNK(status(s / "work/description.ext").st_mode));
             EXPECT_TRUE(S_ISCHR(status("/dev/null").st_mode));
         }},
    {.name = "LinkToTheRootFolder",
     .arrange = [](const Scratch &s) { link(s, "/", ::geteuid()); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: / is not a regular file"},
    {.name = "LinkToARegularFileInAnotherFolder",
     .arrange =
         [](const Scratch &s) {
             ::mkdir((s / "other").c_str(), 0755);
             write(s / "other/real.ext", old, 0640);
             ::symlink("../other/real.ext", (s / "work/description.ext").c_str());
         },
     .check =
         [](const Scratch &s, const std::string &written) {
             char link[64] = {};
             EXPECT_EQ(::readlink((s / "work/description.ext").c_str(), link, sizeof link - 1), 17);
             EXPECT_STREQ(link, "../other/real.ext");
             EXPECT_EQ(readFile(s / "other/real.ext"), written);
             EXPECT_EQ(status(s / "other/real.ext").st_mode & 07777, 0640u);
         }},
    {.name = "KilledWhileAMessageShows",
     .arrange = [](const Scratch &s) { write(s / "work/description.ext", old); },
     .meanwhile = [] { ::raise(SIGKILL); },
     .outcome = Outcome::KilledBeforeCommit,
     .check = expectOld},
    {.name = "SyncFails",
     .arrange = [](const Scratch &s) { write(s / "work/description.ext", old); },
     .calls = &syncFails,
     .outcome = Outcome::RefusedAtCommit,
     .message = "%/work/description.ext: Input/output error",
     .check = expectOld},
    {.name = "ShortAndInterruptedWrites",
     .arrange = [](const Scratch &s) { write(s / "work/description.ext", old); },
     .calls = &shortWrites,
     .check = expectWritten},
    {.name = "FolderNameNotUtf8",
     .arrange =
         [](const Scratch &s) {
             ::mkdir((s / "caf\xE9").c_str(), 0777);
             ::mkdir((s / "caf\xEF\xBF\xBD").c_str(), 0777);
         },
     .folder = "caf\xE9",
     .check =
         [](const Scratch &s, const std::string &written) {
             EXPECT_EQ(readFile(s / "caf\xE9/description.ext"), written);
             EXPECT_EQ(readFile(s / "caf\xEF\xBF\xBD/description.ext"), "<missing>");
         }},
    {.name = "FolderNameNotUtf8IsShownReplaced",
     .arrange =
         [](const Scratch &s) {
             ::mkdir((s / "caf\xE9").c_str(), 0777);
             ::mkfifo((s / "caf\xE9/description.ext").c_str(), 0666);
         },
     .folder = "caf\xE9",
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/caf\xEF\xBF\xBD/description.ext: Not a regular file"},
    {.name = "FileSizeLimit",
     .arrange = [](const Scratch &s) { write(s / "work/description.ext", old); },
     .inChild =
         [] {
             const rlimit limit{100, RLIM_INFINITY};
             ::setrlimit(RLIMIT_FSIZE, &limit);
         },
     .outcome = Outcome::RefusedAtCommit,
     .message = "%/work/description.ext: File too large",
     .check = expectOld},
    {.name = "GroupSharedFileKeepsGroupAndMode",
     .arrange = [](const Scratch &s) { oldFile(s, 0664, 0, sharedGroup); },
     .presser = Presser::User,
     .check =
         // An ordinary user cannot give a file away: the owner is the presser.
     [](const Scratch &s, const std::string &written) { expectWrittenAs(s, written, user, sharedGroup, 0664); }},
    {.name = "RootKeepsTheUsersOwnerAndMode",
     .arrange = [](const Scratch &s) { oldFile(s, 0640, user, userGroup); },
     .presser = Presser::Root,
     .check = [](const Scratch &s, const std::string &written) { expectWrittenAs(s, written, user, userGroup, 0640); }},
    {.name = "SetgidAclAndAttributesKept",
     .arrange =
         [](const Scratch &s) {
             const std::string path = s / "work/description.ext";
             write(path, old, 0664);
             ::chown(path.c_str(), 0, sharedGroup);
             ::chmod(path.c_str(), 02664);
             const std::string acl = aclFor(user);
             ASSERT_EQ(::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
             ASSERT_EQ(::setxattr(path.c_str(), "user.origin", "editor", 6, 0), 0);
         },
     .presser = Presser::User,
     .check =
         [](const Scratch &s, const std::string &written) {
             expectWritten(s, written);
             const std::string path = s / "work/description.ext";
             EXPECT_EQ(status(path).st_mode & 07777, 02664u);
             const std::map<std::string, std::string> kept = {{"system.posix_acl_access", aclFor(user)},
                                                              {"user.origin", "editor"}};
             EXPECT_EQ(attributes(path), kept);
         }},
    {.name = "OthersLinkInStickyFolderRefusedToRoot",
     .arrange =
         [](const Scratch &s) {
             ::mkdir((s / "vault").c_str(), 0700);
             write(s / "vault/f", old, 0600);
             ::chmod((s / "work").c_str(), 01777);
             link(s, "../vault/f", attacker);
         },
     .presser = Presser::Root,
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: it links to %/vault/f, but the link was made by another user in a shared "
                "folder",
     .check = [](const Scratch &s, const std::string &) { EXPECT_EQ(readFile(s / "vault/f"), old); }},
    {.name = "OthersLinkInStickyFolderRefusedToUser",
     .arrange =
         [](const Scratch &s) {
             userFileAndStickyFolder(s);
             link(s, "../other/real.ext", attacker);
         },
     .presser = Presser::User,
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: it links to %/other/real.ext, but the link was made by another user in a "
                "shared folder",
     .check = expectOtherOld},
    {.name = "FolderOwnersLinkInStickyFolderFollowed",
     .arrange =
         [](const Scratch &s) {
             userFileAndStickyFolder(s);
             link(s, "..//other/./real.ext", 0); // doubled and "." steps are steps too
         },
     .presser = Presser::User,
     .check = [](const Scratch &s, const std::string &written) { EXPECT_EQ(readFile(s / "other/real.ext"), written); }},
    {.name = "DanglingLinkMakesNoFile",
     .arrange = [](const Scratch &s) { link(s, "../nowhere.ext", ::geteuid()); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: it links to %/nowhere.ext, which does not exist",
     .check = [](const Scratch &s, const std::string &) { EXPECT_EQ(readFile(s / "nowhere.ext"), "<missing>"); }},
    {.name = "LinkIntoMissingFolderNamesIt",
     .arrange = [](const Scratch &s) { link(s, "../missing/real.ext", ::geteuid()); },
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/missing: No such file or directory"},
    {.name = "LinkIntoReadOnlyFolderNamesTheTarget",
     .arrange =
         [](const Scratch &s) {
             ::mkdir((s / "other").c_str(), 0555);
             write(s / "other/real.ext", old, 0666);
             link(s, "../other/real.ext", 0);
         },
     .presser = Presser::User,
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/other/real.ext: Permission denied",
     .check = expectOtherOld},
    {.name = "FoldersDefaultAclNotAddedToTheOldFile",
     .arrange =
         [](const Scratch &s) {
             oldFile(s, 0640, user, userGroup);
             const std::string acl = aclFor(attacker);
             ASSERT_EQ(::setxattr((s / "work").c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0), 0);
         },
     .presser = Presser::User,
     .check =
         [](const Scratch &s, const std::string &written) {
             expectWrittenAs(s, written, user, userGroup, 0640);
             EXPECT_EQ(attributes(s / "work/description.ext"), (std::map<std::string, std::string>{}));
         }},
    {.name = "GroupThatCannotBeKeptLosesItsRights",
     .arrange = [](const Scratch &s) { oldFile(s, 0640, user, attackerGroup); },
     .presser = Presser::User,
     .check = [](const Scratch &s, const std::string &written) { expectWrittenAs(s, written, user, userGroup, 0600); }},
    {.name = "MadeReadOnlyWhileAMessageShows",
     .arrange = [](const Scratch &s) { oldFile(s, 0644, user, userGroup); },
     .presser = Presser::User,
     .meanwhile = [] { ::chmod("description.ext", 0444); },
     .outcome = Outcome::RefusedAtCommit,
     .message = "%/work/description.ext: Permission denied",
     .check = expectOld},
    {.name = "WorkingFolderDeletedWhileAMessageShows",
     .arrange = [](const Scratch &) {},
     .meanwhile = [] { ::rmdir("../work"); },
     .outcome = Outcome::RefusedAtCommit,
     .message = "%/work/description.ext: The working folder no longer exists"},
    {.name = "FolderSyncFailsAfterTheRename",
     .arrange = [](const Scratch &s) { write(s / "work/description.ext", old); },
     .calls = &folderSyncFails,
     .outcome = Outcome::WrittenWithNotice,
     .message = "%/work/description.ext was written, but the folder could not be synced, so it may not survive a "
                "power cut: Input/output error",
     .check = expectWritten},
    {.name = "AppendOnlyFolder",
     .arrange =
         [](const Scratch &s) {
             write(s / "work/description.ext", old);
             setFolderFlags(s / "work", true);
         },
     .presser = Presser::Root, // only root may set the flag
     .outcome = Outcome::RefusedAtOpen,
     .message = "%/work/description.ext: The folder is append-only: a file in it cannot be replaced",
     .check =
         [](const Scratch &s, const std::string &) {
             setFolderFlags(s / "work", false);
             expectOld(s, "");
         }},
    {.name = "StaleTemporaryOfThePresserRemoved",
     .arrange =
         [](const Scratch &s) {
             aged(s / "work/.description.ext.Stale01234", user, 2 * 60 * 60);
             aged(s / "work/.description.ext.Fresh01234", user, 60);
             aged(s / "work/.description.ext.Others1234", attacker, 2 * 60 * 60);
             aged(s / "work/.description.ext.Short", user, 2 * 60 * 60);
         },
     .presser = Presser::User,
     .check =
         [](const Scratch &s, const std::string &written) {
             expectWritten(s, written);
             std::vector<std::string> left = temporaries(s);
             std::sort(left.begin(), left.end());
             EXPECT_EQ(left, (std::vector<std::string>{".description.ext.Fresh01234", ".description.ext.Others1234",
                                                       ".description.ext.Short"}));
             for (const std::string &name : left)
                 ::unlink((s / "work/" + name).c_str());
         }},
    {.name = "HardLinkIsSplit",
     .arrange =
         [](const Scratch &s) {
             write(s / "work/description.ext", old);
             ::link((s / "work/description.ext").c_str(), (s / "copy.ext").c_str());
         },
     .check =
         [](const Scratch &s, const std::string &written) {
             expectWritten(s, written);
             EXPECT_EQ(readFile(s / "copy.ext"), old);
         }},
};

void PrintTo(const Situation &s, std::ostream *os)
{
    *os << s.name;
}

class RealFileSystem : public ::testing::TestWithParam<Situation>
{
};

TEST_P(RealFileSystem, PressKeepsItsPromise)
{
    const Situation &s = GetParam();
    if (s.presser != Presser::Anyone && ::geteuid() != 0)
        GTEST_SKIP() << "owners are arranged, and dropped, by root";
    Scratch scratch;
    ASSERT_FALSE(scratch.root.empty());
    s.arrange(scratch);
    if (::testing::Test::HasFatalFailure())
        return;

    // A bad weapon count: its message comes after a refusal at open, never
    // before, and the Weapons section is left out of the file.
    FormRecord form;
    form.intro = "kept";
    tick(form, 1, "x");
    FormRecord inMemory = form;
    const std::string written = press(inMemory);

    std::vector<std::string> expected;
    if (s.outcome == Outcome::KilledBeforeCommit)
        expected.push_back("<killed by signal " + std::to_string(SIGKILL) + ">");
    if (s.outcome != Outcome::RefusedAtOpen && s.outcome != Outcome::KilledBeforeCommit)
        expected.push_back(notANumber);
    if (s.outcome == Outcome::WrittenWithNotice)
        expected.push_back(withRoot(s.message, scratch.root));
    if (s.outcome == Outcome::RefusedAtOpen || s.outcome == Outcome::RefusedAtCommit)
        expected.push_back("Cannot write " + withRoot(s.message, scratch.root));
    EXPECT_EQ(pressInChild(s, scratch, form), expected);
    s.check(scratch, written);
    EXPECT_EQ(temporaries(scratch), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Situations, RealFileSystem, ::testing::ValuesIn(situations),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor
