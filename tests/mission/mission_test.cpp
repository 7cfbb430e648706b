// The mission's file as a document: what a press asks before it drops
// anything, what each answer does to the file and the form, and what the
// status line says.
#include "mission/mission.h"
#include "testutil.h"

#include <gtest/gtest.h>

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
    std::int64_t version = 0;

    void write(const std::string &bytes)
    {
        file.committed = bytes;
        present = true;
        ++version;
    }
    Snapshot snapshot() const
    {
        Snapshot s;
        if (!present && file.committed.empty())
            return s;
        s.state = state;
        s.reason = "Permission denied";
        s.bytes = state == Snapshot::State::Read ? file.committed : "";
        s.size = file.committed.size();
        s.modified = version + static_cast<std::int64_t>(file.committed.size()); // a press changes the size here
        s.hash = std::hash<std::string>()(file.committed);
        return s;
    }
};

struct Answers final : Asker {
    std::vector<Answer> answers;
    std::vector<Question> asked;
    Answer ask(const Question &q) override
    {
        asked.push_back(q);
        return answers.at(asked.size() - 1);
    }
};

struct Folder {
    Disk disk;
    FormRecord form;
    Mission mission{"/missions/m1", [this](const std::string &) { return disk.snapshot(); },
                    [] { return std::string("12:04:31"); }};
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
    }
    EXPECT_EQ(wrote, c.written);
    if (wrote) {
        FormRecord copy = typed;
        EXPECT_EQ(s.disk.file.committed, test::press(copy));
        EXPECT_EQ(s.mission.status(), "/missions/m1: Wrote description.ext, " +
                                          std::to_string(s.disk.file.committed.size()) + " bytes, 12:04:31");
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

const std::string handAdded = ownFile() + "respawn = 3;\r\n";

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

TEST(Mission, QuestionNamesEveryLineInItsDetails)
{
    Folder s;
    openWith(s, "// mine\r\n" + ownFile() + "respawn = 3;\r\nclass Extra\r\n{\r\n};\r\n");
    const auto q = s.mission.questionBeforePress();
    ASSERT_TRUE(q);
    EXPECT_EQ(q->text, "description.ext has 5 lines the form cannot hold (lines 1, 35-38). Replace it and drop them?");
    EXPECT_EQ(q->details, "line 1: comment: // mine\n"
                          "line 35: not a key the form has: respawn = 3;\n"
                          "lines 36-38: class the form does not know: class Extra\n");
    EXPECT_EQ(s.mission.status(), "/missions/m1: Read description.ext: 2 items, 2 script names, 7 briefing options; "
                                  "5 lines the form cannot hold (lines 1, 35-38) will be dropped by the next press");
}

TEST(Mission, StatusAfterEachKindOfOpen)
{
    struct Case {
        std::string bytes; // "" with present false: no file
        bool present;
        Snapshot::State state;
        const char *status;
    } cases[] = {
        {"", false, Snapshot::State::Read, "No description.ext here yet"},
        {"a=1;\r\n}\r\n", true, Snapshot::State::Read,
         "description.ext could not be read (line 2: a '}' without its '{'); the next press replaces it"},
        {"x", true, Snapshot::State::Unreadable,
         "description.ext could not be read (Permission denied); the next press replaces it"},
        {"x", true, Snapshot::State::NotAFile,
         "description.ext here is not a file (a folder?); a press cannot replace it"},
        {"showMap=2\r\nclass Weapons { class UZI { count = 2; }; };\r\n", true, Snapshot::State::Read,
         "Read description.ext: 1 item, 0 script names, 1 briefing option; the next press writes the missing "
         "Magazines section"},
        {"class Magazines { class AK47 { count = 3; }; };\r\n", true, Snapshot::State::Read,
         "Read description.ext: 1 item, 0 script names, 0 briefing options; 1 guess (line 1); the next press "
         "writes the missing Weapons section"},
    };
    for (const Case &c : cases) {
        Folder s;
        s.disk.state = c.state;
        if (c.present)
            s.disk.write(c.bytes);
        s.mission.open(s.form);
        EXPECT_EQ(s.mission.status(), std::string("/missions/m1: ") + c.status);
    }
}

TEST(Mission, UnsavedValuesAreThoseNotYetWritten)
{
    Folder s;
    openWith(s, ownFile());
    EXPECT_FALSE(s.mission.hasUnsavedValues(s.form));
    s.form.setValue(wep(slotOf("PK")), ticked);
    EXPECT_TRUE(s.mission.hasUnsavedValues(s.form));
    EXPECT_TRUE(s.press());
    EXPECT_FALSE(s.mission.hasUnsavedValues(s.form));
    s.form.counts[slotOf("HK")] = "5";
    EXPECT_TRUE(s.mission.hasUnsavedValues(s.form));
}

// Every field of the form counts: each briefing option (the last one too),
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

TEST(Mission, WrittenSizeInGroupsOfThousands)
{
    Folder s;
    s.mission.open(s.form);
    // Nothing ticked: the size does not change with the catalogue.
    s.form.intro = std::string(1234567 - press(s.form).size(), 'x');
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.mission.status(), "/missions/m1: Wrote description.ext, 1,234,567 bytes, 12:04:31");
}

TEST(Mission, LineListsMergeTouchingRanges)
{
    const std::vector<Leftover> l = {{17, 17, ""}, {4, 4, ""}, {18, 18, ""}, {30, 33, ""}, {31, 31, ""}};
    EXPECT_EQ(lineList(l), "lines 4, 17-18, 30-33");
    EXPECT_EQ(lineCount(l), 7);
    EXPECT_EQ(lineList({{9, 9, ""}}), "line 9");
}

} // namespace
} // namespace qor
