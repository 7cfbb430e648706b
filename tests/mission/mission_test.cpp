// The mission's file as a document: what a press asks before it drops
// anything, what each answer does to the file and the form, and what the
// status line says.
#include "mission/mission.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace qor
{
namespace
{

using namespace test;

// description.ext in memory: what a press commits lands here, and another
// program can change it in between.
struct Disk {
    MemoryFile file;
    bool present = false;
    Snapshot::State state = Snapshot::State::Read;
    Snapshot::Kind kind = Snapshot::Kind::File;
    std::int64_t version = 0;
    std::uint64_t identity = 1;     // which file: another renamed over it is another
    std::string folder, linkTarget; // as the system names them now
    bool outsideFolder = false;
    std::vector<Reading> readings;

    // The sink finds on disk what a reader would, without counting as a read.
    Disk()
    {
        file.onDisk = [this] {
            Snapshot s = snapshot(Reading::Version);
            readings.pop_back();
            return s;
        };
    }
    Disk(const Disk &) = delete;

    void write(const std::string &bytes)
    {
        file.committed = bytes;
        present = true;
        ++version;
    }
    Snapshot snapshot(Reading reading = Reading::Whole)
    {
        readings.push_back(reading);
        Snapshot s;
        s.folder = folder;
        s.linkTarget = linkTarget;
        s.outsideFolder = outsideFolder;
        if (!present && file.committed.empty())
            return s;
        s.state = state;
        s.kind = kind;
        s.device = 1;
        s.file = identity;
        s.reason = "Permission denied";
        s.bytes = state == Snapshot::State::Read && reading == Reading::Whole ? file.committed : "";
        s.size = file.committed.size();
        s.modified = version + static_cast<std::int64_t>(file.committed.size()); // a press changes the size here
        s.hashed = reading != Reading::Identity; // as on disk: an identity read reads no byte
        s.hash = s.hashed ? std::hash<std::string>()(file.committed) : 0;
        return s;
    }
};

struct Answers final : Asker {
    std::vector<Answer> answers;
    std::vector<Question> asked;
    std::function<void()> whileOpen; // another program, while the question shows
    Answer ask(const Question &q) override
    {
        asked.push_back(q);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        return answers.at(asked.size() - 1);
    }
};

struct Folder {
    Disk disk;
    std::vector<std::string> scripts{"intro.sqs", "mission.sqs"}; // files beside description.ext
    FormRecord form;
    Mission mission{
        "/missions/m1", [this](const std::string &, Reading r) { return disk.snapshot(r); },
        [] { return std::string("12:04:31"); },
        [this](const std::string &name) { return std::find(scripts.begin(), scripts.end(), name) != scripts.end(); }};
    Answers asker;
    WindowFields fields;

    bool press() { return mission.press(form, disk.file, fields, asker); }
};

std::string ownFile()
{
    FormRecord f;
    tick(f, "M16", "4");
    f.counts[ammoBoxOf("M16")] = "10";
    return test::press(f);
}

struct PressCase {
    const char *name;
    std::function<void(Folder &)> before; // the disk before open, and open
    std::function<void(Folder &)> change; // between open and the press
    std::vector<Answer> answers;          // one per question expected
    bool offerLoad;
    bool written;
};

void PrintTo(const PressCase &c, std::ostream *os)
{
    *os << c.name;
}

class PressAsks : public ::testing::TestWithParam<PressCase>
{
};

TEST_P(PressAsks, OnlyWhenSomethingWouldBeDropped)
{
    const auto &c = GetParam();
    Folder s;
    c.before(s);
    if (c.change)
        c.change(s);
    s.asker.answers = c.answers;
    const std::string onDisk = s.disk.file.committed;
    const FormRecord typed = s.form;
    const bool wrote = s.press();

    ASSERT_EQ(s.asker.asked.size(), c.answers.size());
    if (!c.answers.empty()) {
        EXPECT_EQ(s.asker.asked[0].offerLoad, c.offerLoad);
        EXPECT_FALSE(s.asker.asked[0].details.empty());
        EXPECT_NE(s.asker.asked[0].details, s.asker.asked[0].text);
    }
    EXPECT_EQ(wrote, c.written);
    if (wrote) {
        FormRecord copy = typed;
        EXPECT_EQ(s.disk.file.committed, test::press(copy));
        EXPECT_TRUE(s.mission.status().starts_with("/missions/m1: Wrote description.ext, " +
                                                   std::to_string(s.disk.file.committed.size()) + " bytes, 12:04:31"))
            << s.mission.status();
        // The file is the form's own now: the next press asks nothing.
        s.asker.answers.clear();
        s.asker.asked.clear();
        EXPECT_TRUE(s.press());
        EXPECT_TRUE(s.asker.asked.empty());
    } else {
        EXPECT_EQ(s.disk.file.committed, onDisk) << "nothing written";
        if (c.answers.back() == Answer::Cancel) {
            EXPECT_EQ(s.form.counts, typed.counts) << "every value typed kept";
            EXPECT_TRUE(s.form.messages.empty());
        }
    }
}

void openWith(Folder &s, const std::string &bytes)
{
    s.disk.write(bytes);
    s.mission.open(s.form);
}

// A key the header writes given again: keeping it would contradict the form.
const std::string handAdded = ownFile() + "showMap=0;\r\n";

INSTANTIATE_TEST_SUITE_P(
    Mission, PressAsks,
    ::testing::Values(
        PressCase{"own_file", [](Folder &s) { openWith(s, ownFile()); }, {}, {}, false, true},
        PressCase{"no_file", [](Folder &s) { s.mission.open(s.form); }, {}, {}, false, true},
        // The question comes before any count message: Cancel shows none.
        PressCase{"leftovers_cancel",
                  [](Folder &s) {
                      openWith(s, handAdded);
                      s.form.counts[slotOf("M16")] = "abc";
                  },
                  {},
                  {Answer::Cancel},
                  false,
                  false},
        PressCase{"leftovers_replace", [](Folder &s) { openWith(s, handAdded); }, {}, {Answer::Replace}, false, true},
        PressCase{
            "refused_replace", [](Folder &s) { openWith(s, "class A {\r\n"); }, {}, {Answer::Replace}, false, true},
        PressCase{"unreadable_cancel",
                  [](Folder &s) {
                      s.disk.state = Snapshot::State::Unreadable;
                      openWith(s, "x");
                  },
                  {},
                  {Answer::Cancel},
                  false,
                  false},
        PressCase{"blank_start_over_a_file",
                  [](Folder &s) {
                      s.disk.write(ownFile());
                      s.mission.openBlank(s.form);
                  },
                  {},
                  {Answer::Replace},
                  false,
                  true},
        PressCase{"changed_elsewhere_load",
                  [](Folder &s) { openWith(s, ownFile()); },
                  [](Folder &s) { s.disk.write(handAdded); },
                  {Answer::Load},
                  true,
                  false},
        PressCase{"changed_elsewhere_same_size_and_time",
                  [](Folder &s) { openWith(s, ownFile()); },
                  [](Folder &s) {
                      s.disk.write(ownFile().replace(0, 5, "CLASS"));
                      --s.disk.version;
                  },
                  {Answer::Cancel},
                  true,
                  false},
        PressCase{"created_elsewhere_replace",
                  [](Folder &s) { s.mission.open(s.form); },
                  [](Folder &s) { s.disk.write(handAdded); },
                  {Answer::Replace},
                  true,
                  true},
        PressCase{"changed_elsewhere_after_a_press",
                  [](Folder &s) {
                      openWith(s, ownFile());
                      s.press();
                  },
                  [](Folder &s) { s.disk.write(ownFile() + "\r\n"); },
                  {Answer::Cancel},
                  true,
                  false}));

TEST(Mission, LoadAnswerReadsTheChangedFileIntoTheForm)
{
    Folder s;
    openWith(s, ownFile());
    FormRecord other;
    tick(other, "UZI", "7");
    s.disk.write(test::press(other));
    s.asker.answers = {Answer::Load};
    EXPECT_FALSE(s.press());
    EXPECT_EQ(s.form.counts, other.counts);
    EXPECT_EQ(s.form.ticks, other.ticks);
    EXPECT_FALSE(s.mission.hasUnsavedValues(s.form));
}

TEST(Mission, AReplaceAcceptsOnlyTheVersionAskedAbout)
{
    Folder s;
    openWith(s, handAdded);
    const std::string other = "// another program's\r\n" + handAdded;
    s.asker.whileOpen = [&] { s.disk.write(other); };
    s.asker.answers = {Answer::Replace, Answer::Cancel};
    EXPECT_FALSE(s.press());
    ASSERT_EQ(s.asker.asked.size(), 2u);
    EXPECT_TRUE(s.asker.asked[1].offerLoad);
    EXPECT_EQ(s.disk.file.committed, other) << "the version nobody was asked about stays";

    s.asker = {};
    s.asker.answers = {Answer::Replace, Answer::Replace};
    EXPECT_TRUE(s.press()) << "asked once more, about the file as it is";
    EXPECT_TRUE(s.asker.asked[1].aboutRepeats)
        << "and about the lines it drops, which no Replace of this press covered";
}

// A file changed once while the first question was open is asked about
// once more; two Replaces write it.
TEST(Mission, AReplaceOfTheVersionAskedAgainWrites)
{
    Folder s;
    openWith(s, handAdded);
    const std::string other = "// another program's\r\n" + handAdded;
    s.asker.whileOpen = [&] { s.disk.write(other); };
    s.asker.answers = {Answer::Replace, Answer::Replace};
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.asker.asked.size(), 2u);
    EXPECT_EQ(s.disk.file.committed, ownFile());
}

// Between the edit and the write the user reads messages and answers
// questions: whatever another program does meanwhile is asked about before
// the write, never overwritten unseen.
TEST(Mission, AChangeWhileAMessageOrQuestionIsOpenIsAskedAbout)
{
    enum class During { Message, SectionQuestion };
    const struct {
        const char *name;
        During during;
        std::function<void(Folder &)> change;
        const char *question;
    } rows[] = {
        {"changed_during_the_message", During::Message, [](Folder &s) { s.disk.write(handAdded + "// x\r\n"); },
         "changed by another program while a message was open"},
        {"changed_during_the_section_question", During::SectionQuestion,
         [](Folder &s) { s.disk.write(handAdded + "// x\r\n"); },
         "changed by another program while a message was open"},
        {"a_link_out_of_the_folder_during_the_message", During::Message,
         [](Folder &s) {
             s.disk.linkTarget = "/home/u/victim";
             s.disk.outsideFolder = true;
         },
         "description.ext links to /home/u/victim"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Folder s;
        openWith(s, ownFile());
        tick(s.form, "M16", "abc");
        bool changed = false;
        s.form.onMessage = [&] {
            if (row.during == During::Message && !changed) {
                changed = true;
                row.change(s);
            }
        };
        s.asker.whileOpen = [&] {
            if (row.during == During::SectionQuestion)
                row.change(s);
        };
        s.asker.answers = {Answer::Replace, Answer::Cancel};
        EXPECT_FALSE(s.press());
        ASSERT_EQ(s.asker.asked.size(), 2u);
        EXPECT_NE(s.asker.asked[1].text.find(row.question), std::string::npos) << s.asker.asked[1].text;
        EXPECT_NE(s.disk.file.committed.find("class Weapons"), std::string::npos) << "nothing written";
    }
}

// "Load it into the form" on a file that can no longer be read leaves every
// typed value and says why.
TEST(Mission, LoadingAFileThatCannotBeReadKeepsTheForm)
{
    Folder s;
    openWith(s, ownFile());
    tick(s.form, "UZI", "3");
    const FormRecord typed = s.form;
    s.disk.write("class A {\r\n");
    s.asker.answers = {Answer::Load};
    EXPECT_FALSE(s.press());
    EXPECT_EQ(s.form.counts, typed.counts);
    EXPECT_EQ(s.form.ticks, typed.ticks);
    EXPECT_TRUE(s.mission.status().ends_with("description.ext was not loaded (line 1: a '{' without its '}'); the "
                                             "form keeps its values"))
        << s.mission.status();
}

// The close question names what would be lost.
TEST(Mission, TheCloseQuestionNamesTheControlsThatDiffer)
{
    Folder s;
    openWith(s, ownFile());
    tick(s.form, "UZI", "3");
    s.form.briefing[4] = 1;
    EXPECT_TRUE(
        s.mission.closingQuestion(s.form).details.starts_with("Changed: showWatch, UZI (ticked), UZI (count).\n"))
        << s.mission.closingQuestion(s.form).details;
}

TEST(Mission, StartValuesReadNoByteAndStillAsk)
{
    Folder s;
    s.disk.write(ownFile());
    s.mission.openBlank(s.form);
    EXPECT_EQ(s.disk.readings, std::vector<Reading>{Reading::Identity});
    s.asker.answers = {Answer::Cancel};
    EXPECT_FALSE(s.press());
    EXPECT_EQ(s.asker.asked.size(), 1u);
}

TEST(Mission, ALinkOutOfTheFolderIsNamedAndAskedAboutOnce)
{
    Folder s;
    s.disk.linkTarget = "/home/u/victim";
    s.disk.outsideFolder = true;
    openWith(s, ownFile());
    EXPECT_EQ(s.mission.status(), "/missions/m1: Read description.ext: 2 items, 2 script names, 7 briefing options; "
                                  "description.ext links to /home/u/victim");
    s.asker.answers = {Answer::Replace};
    EXPECT_TRUE(s.press());
    ASSERT_EQ(s.asker.asked.size(), 1u);
    EXPECT_EQ(s.asker.asked[0].text, "description.ext links to /home/u/victim, a file outside this folder. Replace "
                                     "that file with the form's file?");
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.asker.asked.size(), 1u);
}

TEST(Mission, StatusNamesTheFolderTheFileWentTo)
{
    Folder s;
    openWith(s, ownFile());
    s.disk.folder = "/missions/renamed";
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.mission.status().substr(0, 19), "/missions/renamed: ");
}

TEST(Mission, TextsFromOutsideShowEveryCharacter)
{
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        std::string line;
        std::string shown;
    } cases[] = {
        {bom + "// a\xE2\x80\xA8line 9: forged", "// a\\u2028line 9: forged"},
        {bom + "// harmless \xE2\x80\xAEtxt.exe\x7F\xC2\x85\xC2\x9B",
         "// harmless \\u202Etxt.exe\\u007F\\u0085\\u009B"},
        {bom + "// " + std::string(76, 'x') + "\xC3\xA9\xC3\xA9",
         "// " + std::string(76, 'x') + "\xC3\xA9\xE2\x80\xA6"},
#ifdef _WIN32
        // Windows' table gives 0x81 as the C1 control U+0081, shown by its number.
        {"// byte \x81 undefined, \xE9 defined", "// byte \\u0081 undefined, \xC3\xA9 defined"},
#else
        {"// byte \x81 undefined, \xE9 defined", "// byte \xEF\xBF\xBD undefined, \xC3\xA9 defined"},
#endif
    };
    for (const auto &c : cases) {
        Folder s;
        s.disk.folder = "/m/\xE2\x80\xAEtxt.exe";
        s.disk.linkTarget = "/elsewhere"; // a question that lists the lines the form does not hold
        s.disk.outsideFolder = true;
        openWith(s, c.line + "\r\n");
        const auto q = s.mission.questionBeforePress(s.form);
        ASSERT_TRUE(q);
        EXPECT_TRUE(q->details.ends_with("\nline 1: comment: " + c.shown + "\n")) << q->details;
        EXPECT_EQ(s.mission.status().substr(0, 20), "/m/\\u202Etxt.exe: Re");
    }
}

TEST(Mission, AQuestionAboutMillionsOfLinesStaysShort)
{
    Folder s;
    std::string bytes;
    for (int n = 0; n < 100'000; ++n)
        bytes += "showMap=1;\r\n\r\n";
    openWith(s, bytes);
    const auto q = s.mission.questionBeforePress(s.form);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->text, "description.ext has 99,999 lines that would contradict what the form writes (lines 3, 5, 7 "
                       "and 99,996 more). Replace it and drop them?");
    EXPECT_EQ(std::count(q->details.begin(), q->details.end(), '\n'), Leftovers::keptLimit + 1);
}

// A press edits a file of any size the reader takes, keeping everything it
// does not change; the status says so from the start.
TEST(Mission, ALargeFileIsEditedInPlace)
{
    Folder s;
    const std::string comment = "// " + std::string(5u << 20, 'x') + "\r\n";
    openWith(s, comment + ownFile());
    EXPECT_TRUE(s.mission.status().ends_with("; 1 line the form does not hold (line 1), which a press leaves as it "
                                             "stands"))
        << s.mission.status();
    EXPECT_FALSE(s.mission.questionBeforePress(s.form));
    s.form.counts[slotOf("M16")] = "5";
    EXPECT_TRUE(s.press());
    FormRecord changed;
    tick(changed, "M16", "5");
    changed.counts[ammoBoxOf("M16")] = "10";
    EXPECT_EQ(s.disk.file.committed, comment + test::press(changed));
    EXPECT_TRUE(s.asker.asked.empty());
}

TEST(Mission, LeavesWhatTheFormDoesNotHoldAndAsksOnlyForContradictions)
{
    Folder s;
    openWith(s, "// mine\r\n" + ownFile() + "respawn = 3;\r\nshowMap=0;\r\nclass Extra\r\n{\r\n};\r\n");
    EXPECT_EQ(s.mission.status(),
              "/missions/m1: Read description.ext: 2 items, 2 script names, 7 briefing options; "
              "6 lines the form does not hold (lines 1, 35-39), which a press leaves as they "
              "stand; the next press asks before it drops 1 line that would contradict what the form "
              "writes (line 36)");
    const auto q = s.mission.questionBeforePress(s.form);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->details, "line 36: showMap again, which the press writes once: showMap=0;\n");
    s.asker.answers = {Answer::Replace};
    EXPECT_TRUE(s.press());
    const std::string written = "// mine\r\n" + ownFile() + "respawn = 3;\r\nclass Extra\r\n{\r\n};\r\n";
    EXPECT_EQ(s.disk.file.committed, written);
    EXPECT_EQ(s.mission.status(), "/missions/m1: Wrote description.ext, 314 bytes, 12:04:31; dropped 1 line that "
                                  "contradicted the form (line 36)");
    // The written bytes are what the next press edits: nothing is asked,
    // nothing lost.
    s.asker.asked.clear();
    EXPECT_TRUE(s.press());
    EXPECT_TRUE(s.asker.asked.empty());
    EXPECT_EQ(s.disk.file.committed, written);
    s.form.counts[slotOf("M16")] = "6";
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.disk.file.committed.find("respawn = 3;\r\nclass Extra"), written.find("respawn = 3;\r\nclass Extra"));
    EXPECT_NE(s.disk.file.committed.find("count = 6;"), std::string::npos);
}

TEST(Mission, LeavingOutASectionTheFileHasAsksAfterTheMessage)
{
    for (const Answer answer : {Answer::Cancel, Answer::Replace}) {
        Folder s;
        openWith(s, ownFile() + "// kept\r\n");
        s.form.counts[1] = "abc";
        s.asker.answers = {answer};
        EXPECT_EQ(s.press(), answer == Answer::Replace);
        ASSERT_EQ(s.asker.asked.size(), 1u);
        EXPECT_EQ(s.asker.asked[0].text, "description.ext has a Weapons section with 1 entry; this press leaves it out "
                                         "because a count is not a number. Write without it?");
        EXPECT_EQ(s.form.messages.size(), 1u) << "the count's message comes first";
        EXPECT_EQ(s.disk.file.committed.find("class Weapons") != std::string::npos, answer == Answer::Cancel);
        EXPECT_TRUE(s.disk.file.committed.ends_with("};\r\n// kept\r\n"));
        if (answer == Answer::Replace) {
            EXPECT_TRUE(
                s.mission.status().ends_with("; the Weapons section is left out because a count is not a number"))
                << s.mission.status();
        }
    }
}

TEST(Mission, ScriptNotInTheFolderIsSaidAtStartAndAfterEachPress)
{
    Folder s;
    s.scripts = {"mission.sqs"};
    s.form.intro = "intro.sqs";
    openWith(s, test::press(s.form));
    EXPECT_TRUE(s.mission.status().ends_with("briefing options; intro.sqs is not in this folder"));
    EXPECT_TRUE(s.press());
    EXPECT_TRUE(s.mission.status().ends_with("12:04:31; intro.sqs is not in this folder"));
    s.scripts.push_back("intro.sqs");
    EXPECT_TRUE(s.press());
    EXPECT_TRUE(s.mission.status().ends_with("12:04:31"));
}

TEST(Mission, StatusAfterEachKindOfOpen)
{
    struct Case {
        std::string bytes; // "" with present false: no file
        bool present;
        Snapshot::State state;
        const char *status;
        Snapshot::Kind kind = Snapshot::Kind::File;
    } cases[] = {
        {"", false, Snapshot::State::Read, "No description.ext here yet"},
        {"a=1;\r\n}\r\n", true, Snapshot::State::Read,
         "description.ext could not be read (line 2: a '}' without its '{'); the next press replaces it"},
        {"x", true, Snapshot::State::Unreadable,
         "description.ext could not be read (Permission denied); the next press replaces it"},
        {"x", true, Snapshot::State::NotAFile, "description.ext here is a folder; a press cannot replace it",
         Snapshot::Kind::Folder},
        {"x", true, Snapshot::State::NotAFile, "description.ext here is a FIFO (named pipe); a press cannot replace it",
         Snapshot::Kind::Fifo},
        {"x", true, Snapshot::State::NotAFile, "description.ext here is a socket; a press cannot replace it",
         Snapshot::Kind::Socket},
        {"showMap=2\r\nclass Weapons { class UZI { count = 2; }; };\r\n", true, Snapshot::State::Read,
         "Read description.ext: 1 item, 0 script names, 1 briefing option; showCompass, showGPS, showNotepad, "
         "showWatch, debriefing, showRadio are not set: the game's default until changed here"},
        {"class Magazines { class AK47 { count = 3; }; };\r\n", true, Snapshot::State::Read,
         "Read description.ext: 1 item, 0 script names, 0 briefing options; showCompass, showGPS, showMap, "
         "showNotepad, showWatch, debriefing, showRadio are not set: the game's default until changed here; 1 guess "
         "(line 1)"},
    };
    for (const Case &c : cases) {
        Folder s;
        s.disk.state = c.state;
        s.disk.kind = c.kind;
        if (c.present)
            s.disk.write(c.bytes);
        s.mission.open(s.form);
        EXPECT_EQ(s.mission.status(), std::string("/missions/m1: ") + c.status);
    }
}

// Values not yet written: every field of the form counts, each briefing option (the last one too),
// both script names, a tick and a count, each changed alone.
TEST(Mission, EveryFieldChangedAloneIsUnsaved)
{
    std::vector<std::pair<std::string, std::function<void(FormRecord &)>>> changes = {
        {"txti1", [](FormRecord &f) { f.setText(txti1, "intro.sqs"); }},
        {"txti2", [](FormRecord &f) { f.setText(txti2, "mission.sqs"); }},
        {"wep", [](FormRecord &f) { f.setValue(wep(checkBoxCount - 1), greyed); }},
        {"cant", [](FormRecord &f) { f.setText(cant(slotCount - 1), "x"); }},
    };
    for (int n = 1; n <= briefingCount; ++n)
        changes.emplace_back("chki" + std::to_string(n), [n](FormRecord &f) {
            f.setValue(chki(n), f.value(chki(n)) == ticked ? unticked : ticked);
        });
    for (const auto &[name, change] : changes) {
        Folder s;
        openWith(s, ownFile());
        EXPECT_FALSE(s.mission.hasUnsavedValues(s.form)) << name << ": as read";
        change(s.form);
        EXPECT_TRUE(s.mission.hasUnsavedValues(s.form)) << name;
        EXPECT_TRUE(s.press()) << name;
        EXPECT_FALSE(s.mission.hasUnsavedValues(s.form)) << name << ": written";
    }
}

TEST(Mission, AFailedWriteKeepsTheAnswerAndSaysWhy)
{
    Folder s;
    openWith(s, handAdded);
    s.asker.answers = {Answer::Replace};
    s.disk.file.failAt = 2; // the commit
    EXPECT_FALSE(s.press());
    EXPECT_EQ(s.mission.status(), "/missions/m1: description.ext was not written: No space left on device");
    s.disk.file.failAt = 0;
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.asker.asked.size(), 1u) << "the same file is not asked about again";
}

// Another program's change, as the window's watcher reports it: a form as
// read takes a file it can read, and only then; nothing else is news.
TEST(Mission, AChangeOnDiskIsLoadedOnlyIntoAFormAsRead)
{
    const struct {
        const char *name;
        std::function<void(Folder &)> change;
        const char *status; // the end of the status; empty: no news
        bool loaded;
    } rows[] = {
        {"nothing changed", [](Folder &) {}, "", false},
        {"the press's own write", [](Folder &s) { ASSERT_TRUE(s.press()); }, "", false},
        {"another version",
         [](Folder &s) {
             std::string file = s.disk.file.committed;
             s.disk.write(file.replace(file.find("showGPS=0"), 9, "showGPS=1"));
         },
         ": description.ext changed on disk: loaded (showGPS changed)", true},
        {"a comment added", [](Folder &s) { s.disk.write(s.disk.file.committed + "// hi\r\n"); },
         ": description.ext changed on disk: loaded (no value of the form changed)", true},
        {"removed",
         [](Folder &s) {
             s.disk.present = false;
             s.disk.file.committed.clear();
         },
         "it was removed; the form keeps its values, and the next press writes it again", false},
        {"unreadable",
         [](Folder &s) {
             s.disk.write("x");
             s.disk.state = Snapshot::State::Unreadable;
         },
         "it cannot be read (Permission denied); the form keeps its values", false},
        {"refused", [](Folder &s) { s.disk.write("class A {\r\n"); },
         "it cannot be read (line 1: a '{' without its '}'); the form keeps its values", false},
        {"a link out of the folder",
         [](Folder &s) {
             s.disk.outsideFolder = true;
             s.disk.linkTarget = "/elsewhere/d.ext";
         },
         "it now links to /elsewhere/d.ext, a file outside this folder, and was not loaded; the form keeps its values",
         false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        for (const bool typed : {false, true}) {
            Folder s;
            s.disk.write(ownFile());
            s.mission.open(s.form);
            r.change(s);
            if (typed)
                s.form.intro = "typed.sqs";
            const bool news = s.mission.diskChanged(s.form);
            EXPECT_EQ(news, *r.status != 0);
            EXPECT_FALSE(s.mission.diskChanged(s.form)) << "told once";
            if (!news)
                continue;
            EXPECT_EQ(s.form.intro, typed ? "typed.sqs" : "") << "a form with the user's changes is never loaded";
            EXPECT_EQ(s.form.briefing[1], r.loaded && !typed && std::string(r.name) == "another version" ? 1 : 0);
            if (typed)
                EXPECT_NE(s.mission.status().find("the form keeps the values you changed"), std::string::npos);
            else
                EXPECT_TRUE(s.mission.status().ends_with(r.status)) << s.mission.status();
        }
    }
}

// The status wraps in its band: a long one is shown whole, its last notes
// (the scripts the folder lacks) included.
TEST(Mission, ALongStatusIsNotCut)
{
    Disk disk;
    FormRecord f;
    f.intro = "intro.sqs";
    disk.write(test::press(f));
    const std::string folder = "/missions/" + std::string(2000, 'f');
    Mission mission(
        folder, [&](const std::string &, Reading r) { return disk.snapshot(r); }, {},
        [](const std::string &) { return false; });
    FormRecord form;
    mission.open(form);
    const std::string status = mission.status();
    EXPECT_TRUE(status.starts_with(folder + ": Read description.ext"));
    EXPECT_TRUE(status.ends_with("; intro.sqs is not in this folder")) << status.substr(status.size() - 80);
}

// Each message carries its kind, which the window shows as its icon.
TEST(Mission, EachMessageSaysWhetherItWarnsOrTells)
{
    struct Row {
        const char *name;
        const char *count; // of a ticked rifle
        int failAt;        // the file's operation that fails; 0: none
        const char *notice;
        std::vector<MessageKind> kinds;
    };
    const Row rows[] = {
        {"written", "1", 0, "", {}},
        {"a count that is no number", "x", 0, "", {MessageKind::warning}},
        {"a folder that refuses the file", "1", 1, "", {MessageKind::warning}},
        {"a disk that refuses the bytes", "x", 2, "", {MessageKind::warning, MessageKind::warning}},
        {"written with a notice", "1", 0, "kept the old owner", {MessageKind::notice}},
        {"a count and a notice", "x", 0, "kept the old owner", {MessageKind::warning, MessageKind::notice}},
    };
    for (const Row &r : rows) {
        Folder s;
        s.mission.openBlank(s.form);
        tick(s.form, "M16", r.count);
        s.disk.file.failAt = r.failAt;
        s.disk.file.noticeText = r.notice;
        s.press();
        EXPECT_EQ(s.form.kinds, r.kinds) << r.name;
        EXPECT_EQ(s.form.messages.size(), r.kinds.size()) << r.name;
    }
}

TEST(Mission, WrittenSizeInGroupsOfThousands)
{
    Folder s;
    s.mission.open(s.form);
    // Nothing ticked: the size does not change with the catalogue.
    s.form.intro = std::string(1234567 - press(s.form).size(), 'x');
    s.scripts.push_back(s.form.intro);
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.mission.status(), "/missions/m1: Wrote description.ext, 1,234,567 bytes, 12:04:31");
}

TEST(Mission, LineListsMergeTouchingRangesAndStayShort)
{
    const auto leftovers = [](std::initializer_list<std::pair<int, int>> ranges) {
        Leftovers l;
        for (const auto &[first, last] : ranges)
            l.add(first, last, "");
        return l;
    };
    Leftovers scattered; // every other line of 2,500,000
    for (int line = 1; line < 2'500'000; line += 2)
        scattered.add(line, line, "not a key the form has");
    const struct {
        Leftovers leftovers;
        const char *list;
        std::uint64_t lines;
    } cases[] = {
        {leftovers({{17, 17}, {4, 4}, {18, 18}, {30, 33}, {31, 31}}), "lines 4, 17-18, 30-33", 7},
        {leftovers({{9, 9}}), "line 9", 1},
        {leftovers({{9, 9}, {20, 20}, {64, 65}, {129, 129}}), "lines 9, 20, 64-65 and 1 more", 5},
        {scattered, "lines 1, 3, 5 and 1,249,997 more", 1'250'000},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(lineList(c.leftovers), c.list);
        EXPECT_EQ(c.leftovers.lineCount(), c.lines) << c.list;
        EXPECT_LE(c.leftovers.size(), Leftovers::keptLimit);
    }
    EXPECT_EQ(scattered.kept().back().firstLine, static_cast<int>(2 * Leftovers::keptLimit - 1)) << "the first kept";
}

} // namespace
} // namespace qor
