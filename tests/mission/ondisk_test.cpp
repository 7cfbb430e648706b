// A press through the real disk while another program writes the same file.
// At each moment another program can act, its bytes survive or the user is
// asked, and nothing is written unasked: before the read, while a message
// or a question is open, between the last check and the replace, right after
// the replace, and before the next press. The last two moments are met
// inside the sink's own system calls, so that each row acts at exactly its
// instant; the race test then acts at the instant inotify reports the
// press's own file operations, as another program would.
#include "io/filesink.h"
#include "io/filesink_posix.h"
#include "mission/mission.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace qor
{
namespace
{

namespace fs = std::filesystem;
using namespace test;

const std::string theirs = "// another program's line\r\n";
// A repeated key, so that every press asks a question of its own first.
const std::string handWritten = crlf(headerLines("intro.sqs", "mission.sqs")) + "showMap=0;\r\n";

// The working folder moved to a fresh one for as long as this lives.
struct Folder {
    fs::path dir, previous = fs::current_path();
    Folder()
    {
        char name[] = "/tmp/qorondisk-XXXXXX";
        dir = ::mkdtemp(name);
        fs::current_path(dir);
    }
    ~Folder()
    {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    Folder(const Folder &) = delete;
};

std::string onDisk()
{
    return readFile(fileName);
}

// The other program: a line added to the file in place, or a version of its
// own renamed over it, as editors and version control save.
void appendTheirs()
{
    const int fd = ::open(fileName, O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, theirs.data(), theirs.size()), static_cast<ssize_t>(theirs.size()));
    ::close(fd);
}
// Opened before the replace, written a moment later: an editor's autosave
// caught between its open and its write.
std::thread late;
void appendTheirsLate()
{
    const int fd = ::open(fileName, O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    late = std::thread([fd] {
        ::usleep(20'000);
        EXPECT_EQ(::write(fd, theirs.data(), theirs.size()), static_cast<ssize_t>(theirs.size()));
        ::close(fd);
    });
}
void renameTheirs()
{
    ASSERT_TRUE(writeFile("theirs.tmp", onDisk() + theirs));
    ASSERT_EQ(::rename("theirs.tmp", fileName), 0);
}

// What the other program does, at the instant the sink reaches a call.
std::function<void()> beforeReplace, afterReplace;
void act(std::function<void()> &then)
{
    if (then)
        std::exchange(then, nullptr)();
}
int syncThenAct(int fd) // the new file written, not yet in place
{
    act(beforeReplace);
    return ::fdatasync(fd);
}
int actThenSyncFolder(int fd) // the new file in place
{
    act(afterReplace);
    return ::fsync(fd);
}
const SystemCalls actingCalls = {::write, syncThenAct, actThenSyncFolder};

// Replaces what drops the press's own repeats or a section; cancels a
// question about another program's change, so that its file must stay.
struct Asked final : Asker {
    int aboutTheirs = 0;
    std::function<void()> whileOpen;
    Answer ask(const Question &q) override
    {
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        aboutTheirs += q.offerLoad;
        return q.offerLoad ? Answer::Cancel : Answer::Replace;
    }
};

struct Press {
    Mission mission{"here"};
    FormRecord form;
    WindowFields fields;
    Asked asker;

    bool operator()()
    {
        FileSink sink(fileName, &actingCalls);
        return mission.press(form, sink, fields, asker);
    }
};

enum class When { BeforeRead, WhileMessage, WhileQuestion, BeforeReplace, AfterReplace, BeforeNextPress };

TEST(OnDisk, AnotherProgramsWriteSurvivesOrIsAskedAbout)
{
    const struct Row {
        const char *name;
        When when;
        void (*theirWrite)();
        int questions; // about the other program's change
    } rows[] = {
        {"before the read", When::BeforeRead, appendTheirs, 0},
        {"while a message is open", When::WhileMessage, appendTheirs, 1},
        {"while a question is open", When::WhileQuestion, renameTheirs, 1},
        {"between the last check and the replace, in place", When::BeforeReplace, appendTheirs, 1},
        {"between the last check and the replace, renamed", When::BeforeReplace, renameTheirs, 1},
        {"opened before the replace, written after it", When::BeforeReplace, appendTheirsLate, 1},
        {"right after the replace", When::AfterReplace, renameTheirs, 1},
        {"before the next press", When::BeforeNextPress, appendTheirs, 1},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const Folder folder;
        ASSERT_TRUE(writeFile(fileName, handWritten));
        std::string left; // the file as the other program left it
        const auto theyWrite = [&] {
            r.theirWrite();
            left = onDisk();
        };
        if (r.when == When::BeforeRead)
            theyWrite();
        Press press;
        press.mission.open(press.form);
        tick(press.form, "M16", "x"); // a count message
        if (r.when == When::WhileMessage)
            press.form.onMessage = theyWrite;
        if (r.when == When::WhileQuestion)
            press.asker.whileOpen = theyWrite;
        (r.when == When::BeforeReplace ? beforeReplace : afterReplace) = theyWrite;
        if (r.when != When::BeforeReplace && r.when != When::AfterReplace)
            afterReplace = nullptr;
        const bool written = press();
        beforeReplace = afterReplace = nullptr;
        if (late.joinable()) {
            late.join();
            left = handWritten + theirs;
        }
        if (r.when == When::AfterReplace || r.when == When::BeforeNextPress) {
            ASSERT_TRUE(written);
            if (r.when == When::BeforeNextPress)
                theyWrite();
            EXPECT_FALSE(press()) << "the next press asks about it";
        }
        EXPECT_EQ(press.asker.aboutTheirs, r.questions);
        EXPECT_NE(onDisk().find(theirs), std::string::npos);
        if (r.questions) { // and Cancel wrote nothing
            EXPECT_EQ(onDisk(), left);
        }
    }
}

// At the instant inotify reports the press's own step: the temporary file
// made (the other program then writes into the file the press is about to
// replace), or the new file renamed into place (the other program then
// renames its own version over it, and the next press must ask).
TEST(OnDisk, RacesAtThePressesOwnStepsLoseNothing)
{
    constexpr int rounds = 100;
    const struct Race {
        const char *name;
        std::uint32_t event;
        bool ours; // the event's name is the press's temporary, else the file
        void (*theirWrite)();
    } races[] = {
        {"a write into the file as the temporary is made", IN_CREATE, true, appendTheirs},
        {"a rename over the file as the press renamed it", IN_MOVED_TO, false, renameTheirs},
    };
    for (const Race &race : races) {
        int lost = 0, asked = 0;
        for (int round = 0; round < rounds; ++round) {
            const Folder folder;
            ASSERT_TRUE(writeFile(fileName, handWritten));
            Press press;
            press.mission.open(press.form);
            tick(press.form, "M16", std::to_string(round + 1));

            const int watch = ::inotify_init1(IN_CLOEXEC);
            ASSERT_GE(::inotify_add_watch(watch, ".", race.event), 0);
            std::atomic<bool> done = false;
            std::thread other([&] {
                alignas(inotify_event) char buffer[4096];
                pollfd wait{watch, POLLIN, 0};
                while (!done && ::poll(&wait, 1, 2000) > 0) {
                    const ssize_t n = ::read(watch, buffer, sizeof buffer);
                    for (ssize_t at = 0; at < n;) {
                        const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
                        const std::string name = e->len ? e->name : "";
                        at += static_cast<ssize_t>(sizeof *e + e->len);
                        if (race.ours ? name.starts_with(".description.ext.") : name == fileName) {
                            race.theirWrite();
                            done = true;
                            return;
                        }
                    }
                }
            });
            press();
            other.join();
            ::close(watch);
            if (!race.ours)
                press(); // the next press, after the other program's rename
            asked += press.asker.aboutTheirs;
            lost += onDisk().find(theirs) == std::string::npos;
        }
        std::printf("%s: %d rounds, %d asked, %d lost\n", race.name, rounds, asked, lost);
        EXPECT_EQ(lost, 0) << race.name;
    }
}

// The file a press would write is read back by this program: a press that
// would pass the reader's limit writes nothing and says why.
TEST(OnDisk, APressNeverWritesWhatTheReaderRefuses)
{
    const Folder folder;
    const std::string header = crlf(headerLines("intro.sqs", "mission.sqs"));
    const std::string near = header + "// " + std::string(maxFileSize - header.size() - 5, 'x') + "\r\n";
    ASSERT_EQ(near.size(), maxFileSize);
    ASSERT_TRUE(writeFile(fileName, near));
    Press press;
    press.mission.open(press.form);
    tick(press.form, "M16", "1"); // a section more
    EXPECT_FALSE(press());
    EXPECT_EQ(onDisk().size(), maxFileSize);
    ASSERT_EQ(press.form.messages.size(), 1u);
    EXPECT_NE(press.form.messages[0].find("larger than the 64 MB this program reads"), std::string::npos)
        << press.form.messages[0];
}

// What stands in the file's place, and what the next press does with it.
TEST(OnDisk, LinksAndEmptyFiles)
{
    {
        const Folder folder;
        fs::create_symlink("gone.ext", fileName);
        Press press;
        press.mission.open(press.form);
        EXPECT_NE(press.mission.status().find("could not be read (No such file or directory)"), std::string::npos)
            << press.mission.status();
        EXPECT_NE(press.mission.status().find("links to gone.ext"), std::string::npos);
    }
    {
        const Folder folder;
        ASSERT_TRUE(writeFile("mine.ext", handWritten));
        fs::create_symlink("mine.ext", fileName);
        Press press;
        press.mission.open(press.form);
        EXPECT_TRUE(press());
        EXPECT_EQ(press.asker.aboutTheirs, 0) << "a link inside the folder is asked nothing";
        EXPECT_TRUE(fs::is_symlink(fileName));
    }
    {
        const Folder folder;
        ASSERT_TRUE(writeFile(fileName, ""));
        Press press;
        press.mission.open(press.form);
        EXPECT_TRUE(press());
        FormRecord fresh;
        EXPECT_EQ(onDisk(), test::press(fresh)) << "an empty file gets the whole press";
    }
}

// Changed during the count message and put back as it was read: the user was
// asked about the change, and about the repeated line, never a third time.
TEST(OnDisk, AChangeUndoneIsNotAskedAboutAgain)
{
    const Folder folder;
    ASSERT_TRUE(writeFile(fileName, handWritten));
    Press press;
    press.mission.open(press.form);
    tick(press.form, "M16", "x");
    fs::rename(fileName, "kept.ext"); // the version read, kept aside whole
    ASSERT_TRUE(writeFile(fileName, handWritten + theirs));
    struct Counting final : Asker {
        std::vector<Question> asked;
        Answer ask(const Question &q) override
        {
            asked.push_back(q);
            return Answer::Replace;
        }
    } asker;
    press.form.onMessage = [] { fs::rename("kept.ext", fileName); };
    FileSink sink(fileName);
    EXPECT_TRUE(press.mission.press(press.form, sink, press.fields, asker));
    ASSERT_EQ(asker.asked.size(), 2u);
    EXPECT_TRUE(asker.asked[0].offerLoad);
    EXPECT_TRUE(asker.asked[1].aboutRepeats);
}

} // namespace
} // namespace qor
