// The real sink under real trouble: the disk refusing at every position of
// the file, and two programs pressing in the same folder at once.
#include "io/filesink.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qor
{
namespace
{

using namespace test;

// The file a press writes, through the in-memory sink.
std::string expectedFile(FormRecord form)
{
    MemoryFile file;
    WindowFields fields;
    EXPECT_TRUE(cmd_Click(form, file, fields));
    return file.committed;
}

// Long script names make a file of some 40 KiB, so that the limit can fall
// at many places in it.
FormRecord bigForm(char fill, std::size_t introSize, std::size_t missionSize)
{
    FormRecord form;
    form.intro = std::string(introSize, fill);
    form.mission = std::string(missionSize, fill) + "\xC3\xA9";
    for (int slot = 0; slot < checkBoxCount; ++slot)
        tick(form, slot, std::to_string(slot + 1));
    for (int box = checkBoxCount; box < slotCount; ++box)
        form.counts[static_cast<std::size_t>(box)] = std::to_string(box * 3) + ".5";
    return form;
}

using Names = std::vector<std::string>;

// Each test presses in a fresh folder of its own, removed with all it holds.
class RealDisk : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char name[] = "/tmp/qorstress-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override
    {
        std::error_code ignored;
        if (!dir.empty())
            std::filesystem::remove_all(dir, ignored);
    }
    std::string path(const std::string &name) const { return dir + "/" + name; }
    std::string targetFile() const { return path("description.ext"); }
    // The names of the files in the folder, hidden ones included, sorted.
    Names files() const
    {
        Names names;
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            if (!entry.is_directory())
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string dir;
};

// One press with the process's file-size limit set to `limit` bytes.
bool pressWithLimit(FormRecord &form, const std::string &target, rlim_t limit)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
    bool ok = false;
    {
        FileSink file(target);
        WindowFields fields;
        ok = cmd_Click(form, file, fields);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    return ok;
}

// SIGXFSZ is left as it is: the sink itself must keep it from ending the
// test (and the program).
TEST_F(RealDisk, SizeLimitAtEveryPositionKeepsTheOldFile)
{
    const FormRecord start = bigForm('a', 20000, 18000);
    const std::string expected = expectedFile(start);
    const std::string old = "the previous press\r\n";

    std::vector<rlim_t> limits = {0,
                                  1,
                                  2,
                                  16383,
                                  16384,
                                  16385,
                                  20015,
                                  20016,
                                  expected.size() - 2,
                                  expected.size() - 1,
                                  expected.size(),
                                  expected.size() + 1};
    for (rlim_t at = 3; at < expected.size(); at += expected.size() / 97)
        limits.push_back(at);

    int refused = 0;
    for (const rlim_t limit : limits) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " of " + std::to_string(expected.size()) + " bytes");
        ASSERT_TRUE(writeFile(targetFile(), old));
        FormRecord form = start;
        const bool ok = pressWithLimit(form, targetFile(), limit);
        if (limit >= expected.size()) {
            EXPECT_TRUE(ok);
            EXPECT_TRUE(readFile(targetFile()) == expected);
            EXPECT_TRUE(form.messages.empty());
            continue;
        }
        ++refused;
        EXPECT_FALSE(ok);
        EXPECT_EQ(readFile(targetFile()), old);
        ASSERT_EQ(form.messages.size(), 1u);
        EXPECT_EQ(form.messages[0], "Cannot write " + targetFile() + ": File too large");
        EXPECT_EQ(form.intro, start.intro);
        EXPECT_EQ(form.counts, start.counts);
        EXPECT_EQ(files(), Names{"description.ext"}) << "no temporary left";

        FileSink file(targetFile());
        WindowFields fields;
        EXPECT_TRUE(cmd_Click(form, file, fields)) << "works once the fault is gone";
        EXPECT_TRUE(readFile(targetFile()) == expected);
    }
    std::cout << "file-size limits that refused a press: " << refused << " of " << limits.size() << "\n";
}

TEST_F(RealDisk, MissingFolderIsReportedAndTheWindowKept)
{
    FormRecord form = bigForm('m', 10, 10);
    const FormRecord start = form;
    const std::string target = path("gone/description.ext");
    FileSink file(target);
    WindowFields fields;
    EXPECT_FALSE(cmd_Click(form, file, fields));
    ASSERT_EQ(form.messages.size(), 1u);
    // The folder that is missing is the one named.
    EXPECT_EQ(form.messages[0], "Cannot write " + path("gone") + ": No such file or directory");
    EXPECT_EQ(form.counts, start.counts);
    EXPECT_FALSE(std::filesystem::exists(path("gone")));
}

// Presses `form` until `seconds` have passed, sends the number of presses
// down `report` and exits with the number that failed.
[[noreturn]] void pressRepeatedly(const FormRecord &form, const std::string &target, double seconds, int report)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int presses = 0, failures = 0;
    do {
        FormRecord f = form;
        FileSink file(target);
        WindowFields fields;
        failures += cmd_Click(f, file, fields) ? 0 : 1;
        ++presses;
    } while (std::chrono::steady_clock::now() < end);
    [[maybe_unused]] const auto sent = ::write(report, &presses, sizeof presses);
    _exit(failures > 100 ? 100 : failures);
}

TEST_F(RealDisk, TwoProgramsPressingAtOnceNeverMixTheirFiles)
{
    const FormRecord a = bigForm('a', 30000, 100);
    FormRecord b = bigForm('b', 10, 45000);
    b.setValue(chki(2), greyed);
    const std::string fileA = expectedFile(a);
    const std::string fileB = expectedFile(b);
    ASSERT_NE(fileA.size(), fileB.size());
    ASSERT_TRUE(writeFile(targetFile(), fileA));

    pid_t writers[2];
    int reports[2][2];
    for (int n = 0; n < 2; ++n) {
        ASSERT_EQ(pipe(reports[n]), 0);
        writers[n] = fork();
        ASSERT_GE(writers[n], 0);
        if (writers[n] == 0)
            pressRepeatedly(n == 0 ? a : b, targetFile(), 2.0, reports[n][1]);
        ::close(reports[n][1]);
    }

    int reads = 0, seenA = 0, seenB = 0, torn = 0, running = 2;
    int status[2] = {0, 0};
    while (running > 0) {
        const std::string now = readFile(targetFile());
        ++reads;
        seenA += now == fileA;
        seenB += now == fileB;
        torn += now != fileA && now != fileB;
        for (int n = 0; n < 2; ++n)
            if (writers[n] > 0 && waitpid(writers[n], &status[n], WNOHANG) == writers[n]) {
                writers[n] = 0;
                --running;
            }
    }
    int presses[2] = {0, 0};
    for (int n = 0; n < 2; ++n) {
        EXPECT_EQ(::read(reports[n][0], &presses[n], sizeof presses[n]), static_cast<ssize_t>(sizeof presses[n]));
        ::close(reports[n][0]);
        ASSERT_TRUE(WIFEXITED(status[n]));
        EXPECT_EQ(WEXITSTATUS(status[n]), 0) << "presses of writer " << n << " failed";
    }
    EXPECT_EQ(torn, 0) << "reads that were neither file, of " << reads;
    const std::string last = readFile(targetFile());
    EXPECT_TRUE(last == fileA || last == fileB);
    EXPECT_EQ(files(), Names{"description.ext"}) << "no temporary left";
    std::cout << "presses " << presses[0] << " + " << presses[1] << ", reads while both pressed: " << reads << " ("
              << seenA << " first file, " << seenB << " second, " << torn << " torn)\n";
}

} // namespace
} // namespace qor
