// The real file on this system's disk: replaced whole or not at all.
#include "savefile.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#define QOR_POSIX 1
#endif

namespace qor
{
namespace
{

using namespace test;

class RealFile : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString target() const { return dir.filePath("description.ext"); }
    std::string targetFile() const { return QFile::encodeName(target()).toStdString(); }
    QTemporaryDir dir;
};

TEST_F(RealFile, PressWritesAndReplacesTheFile)
{
    ASSERT_TRUE(writeFile(targetFile(), std::string(5000, 'x')));
    FormRecord form;
    SaveFile file(target());
    WindowFields fields;
    ASSERT_TRUE(cmd_Click(form, file, fields));
    EXPECT_EQ(readFile(targetFile()), crlf(concat({headerLines(), section("Weapons", {}), section("Magazines", {})})));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"description.ext"}) << "no temporary left";
}

TEST_F(RealFile, TargetBeingAFolderIsReportedAndNothingIsLost)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("description.ext"));
    FormRecord form;
    form.intro = "kept";
    tick(form, 1, "x");
    SaveFile file(target());
    WindowFields fields;
    EXPECT_FALSE(cmd_Click(form, file, fields));
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.messages[0].rfind("Cannot write " + target().toStdString() + ": ", 0), 0u) << form.messages[0];
    EXPECT_GT(form.messages[0].size(), ("Cannot write " + target().toStdString() + ": ").size()) << "a reason";
    EXPECT_EQ(form.intro, "kept");
    EXPECT_EQ(form.cantText[1], "x") << "the press stopped before any check";
    EXPECT_TRUE(QFileInfo(target()).isDir());
}

#ifdef QOR_POSIX
// A user who may not write the folder: POSIX permissions.
TEST_F(RealFile, ReadOnlyFolderWithWritableFileIsWrittenInPlace)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes everywhere";
    ASSERT_TRUE(writeFile(targetFile(), "old"));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    FormRecord form;
    SaveFile file(target());
    WindowFields fields;
    EXPECT_TRUE(cmd_Click(form, file, fields));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(readFile(targetFile()).substr(0, 2), "\r\n");
}

#endif

} // namespace
} // namespace qor
