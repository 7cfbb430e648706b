// description.ext as the mission finds it on this machine's disk: each kind
// of file, and a change by another program. The unreadable file is read in a
// forked child as an ordinary user (uid 65534), since root reads anything.
#include "mission/mission.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <grp.h>
#include <sys/stat.h>
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
