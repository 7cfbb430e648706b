// description.ext as a snapshot finds it on this machine's disk: each kind
// of file, and a change by another program. The unreadable file is read in a
// forked child as an ordinary user (uid 65534), since root reads anything.
#include "io/snapshot.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qor
{
namespace
{

namespace fs = std::filesystem;

class Snapshots : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char name[] = "/tmp/qorsnapshot-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir_ = name;
        ::chmod(name, 0755);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file() const { return (dir_ / "description.ext").string(); }

    fs::path dir_;
};

TEST_F(Snapshots, EachKindOfFile)
{
    EXPECT_EQ(snapshotOf(file()).state, Snapshot::State::Missing);

    fs::create_directory(file());
    EXPECT_EQ(snapshotOf(file()).state, Snapshot::State::NotAFile);
    fs::remove(file());

    ASSERT_TRUE(test::writeFile(file(), "showMap=1\r\n"));
    const Snapshot read = snapshotOf(file());
    EXPECT_EQ(read.state, Snapshot::State::Read);
    EXPECT_EQ(read.bytes, "showMap=1\r\n");
    EXPECT_TRUE(read.sameVersion(snapshotOf(file())));

    // Same size, same second: the bytes still tell the versions apart.
    ASSERT_TRUE(test::writeFile(file(), "showMap=0\r\n"));
    EXPECT_FALSE(read.sameVersion(snapshotOf(file())));

    fs::resize_file(file(), maxFileSize + 1);
    EXPECT_EQ(snapshotOf(file()).state, Snapshot::State::TooLarge);
}

TEST_F(Snapshots, WhatStandsInTheFilesPlaceIsNamed)
{
    const std::string outside = (dir_ / "victim").string();
    ASSERT_TRUE(test::writeFile(outside, "x=1;\r\n"));
    const fs::path sub = dir_ / "m";
    fs::create_directory(sub);
    const std::string name = (sub / "description.ext").string();
    const struct {
        const char *what;
        std::function<void()> make;
        Snapshot::State state;
        Snapshot::Kind kind;
        bool outsideFolder;
    } cases[] = {
        {"fifo", [&] { ::mkfifo(name.c_str(), 0644); }, Snapshot::State::NotAFile, Snapshot::Kind::Fifo, false},
        {"device", [&] { fs::create_symlink("/dev/null", name); }, Snapshot::State::NotAFile, Snapshot::Kind::Device,
         true},
        {"socket",
         [&] {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             name.copy(address.sun_path, sizeof address.sun_path - 1);
             ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
             ::close(fd);
         },
         Snapshot::State::NotAFile, Snapshot::Kind::Socket, false},
        {"link_out", [&] { fs::create_symlink(outside, name); }, Snapshot::State::Read, Snapshot::Kind::File, true},
        {"link_in",
         [&] {
             ASSERT_TRUE(test::writeFile((sub / "other.ext").string(), "x=1;\r\n"));
             fs::create_symlink("other.ext", name);
         },
         Snapshot::State::Read, Snapshot::Kind::File, false},
    };
    for (const auto &c : cases) {
        c.make();
        const Snapshot s = snapshotOf(name);
        EXPECT_EQ(s.state, c.state) << c.what;
        EXPECT_EQ(s.kind, c.kind) << c.what;
        EXPECT_EQ(s.outsideFolder, c.outsideFolder) << c.what;
        EXPECT_EQ(s.folder, fs::canonical(sub).string()) << c.what;
        fs::remove(name);
    }
}

TEST_F(Snapshots, EachReadingTellsTheSameVersions)
{
    ASSERT_TRUE(test::writeFile(file(), std::string(100'003, ';')));
    const Snapshot whole = snapshotOf(file(), Reading::Whole);
    const Snapshot hashed = snapshotOf(file(), Reading::Version);
    const Snapshot identity = snapshotOf(file(), Reading::Identity);
    EXPECT_EQ(whole.bytes.size(), 100'003u);
    EXPECT_TRUE(hashed.bytes.empty() && identity.bytes.empty());
    EXPECT_EQ(hashed.hash, whole.hash);
    EXPECT_FALSE(identity.hashed);
    // From either side: a version read whole after a start that read only the
    // identity is the same file.
    for (const Snapshot *read : {&whole, &hashed, &identity})
        EXPECT_TRUE(read->sameVersion(whole) && read->sameVersion(hashed) && read->sameVersion(identity));
}

// Another program saves by writing a file beside it and renaming that over
// it: same size, same time, and when only the identity was read, nothing but
// which file it is tells the versions apart.
TEST_F(Snapshots, AFileRenamedOverItIsANewVersion)
{
    for (const Reading reading : {Reading::Whole, Reading::Version, Reading::Identity}) {
        ASSERT_TRUE(test::writeFile(file(), "showMap=1\r\n"));
        const Snapshot before = snapshotOf(file(), reading);
        const std::string other = (dir_ / "other.ext").string();
        ASSERT_TRUE(test::writeFile(other, "showMap=0\r\n"));
        struct stat st = {};
        ASSERT_EQ(::stat(file().c_str(), &st), 0);
        const timespec times[] = {st.st_atim, st.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
        ASSERT_EQ(::rename(other.c_str(), file().c_str()), 0);
        const Snapshot after = snapshotOf(file(), reading);
        ASSERT_EQ(after.size, before.size);
        ASSERT_EQ(after.modified, before.modified);
        EXPECT_FALSE(before.sameVersion(after)) << static_cast<int>(reading);
        EXPECT_FALSE(after.sameVersion(before)) << static_cast<int>(reading);
    }
}

// Another program's write into the file itself, same inode and size: the
// time to the nanosecond tells it where only the identity was read, and the
// hash to the last byte where the time was put back.
TEST_F(Snapshots, AWriteInPlaceIsANewVersion)
{
    const auto rewrite = [&](const std::string &bytes, timespec modified) {
        const int fd = ::open(file().c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
        const timespec times[] = {{0, UTIME_OMIT}, modified};
        ASSERT_EQ(::utimensat(AT_FDCWD, file().c_str(), times, 0), 0);
    };
    for (std::size_t size = 10; size <= 18; ++size) { // every tail a hash word can leave
        const std::string one = std::string(size - 10, ' ') + "showMap=1;";
        const std::string zero = std::string(size - 10, ' ') + "showMap=0;";
        ASSERT_TRUE(test::writeFile(file(), one));
        const timespec read = {1'700'000'000, 500};
        rewrite(one, read);
        const Snapshot identity = snapshotOf(file(), Reading::Identity);
        const Snapshot version = snapshotOf(file(), Reading::Version);
        rewrite(zero, {read.tv_sec, read.tv_nsec + 100});
        EXPECT_FALSE(identity.sameVersion(snapshotOf(file(), Reading::Identity))) << "100 ns later, size " << size;
        rewrite(zero, read);
        EXPECT_FALSE(version.sameVersion(snapshotOf(file(), Reading::Version))) << "the last byte, size " << size;
    }
}

TEST_F(Snapshots, ARenamedFolderIsNamedAsItIsNow)
{
    fs::create_directory(dir_ / "before");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool moved = ::chdir((dir_ / "before").c_str()) == 0 &&
                           ::rename((dir_ / "before").c_str(), (dir_ / "after").c_str()) == 0;
        std::_Exit(moved && snapshotOf("description.ext").folder == fs::canonical(dir_ / "after").string() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(Snapshots, UnreadableFileGivesTheSystemsReason)
{
    ASSERT_TRUE(test::writeFile(file(), "x=1;\r\n"));
    ASSERT_EQ(::chmod(file().c_str(), 0600), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t groups[] = {65534};
        if (::setgroups(1, groups) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            std::_Exit(3);
        const Snapshot s = snapshotOf(file());
        std::_Exit(s.state == Snapshot::State::Unreadable && s.reason == "Permission denied" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not become an ordinary user";
}

} // namespace
} // namespace qor
