// A press as an edit of the mission's file: a hand-written file changes only
// where the form changed, the press's own file edits into a fresh press, and
// what the user did not change is removed only after a question.
#include "format/countformat.h"
#include "handedits.h"
#include "mission/edit.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <functional>

namespace qor
{
namespace
{

using namespace test;

// A press of a copy: the record keeps what it showed.
std::string pressOf(FormRecord form)
{
    return test::press(form);
}

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// As a mission maker writes one: LF, the header scattered with blanks and
// comments, one-line entries out of catalogue order, an add-on entry, no
// Magazines section, no debriefing.
const std::string handWritten = "// Raid on the airfield\n"
                                "onLoadMission = \"Raid\"; // shown while loading\n"
                                "\n"
                                "showMap = 1;\n"
                                "respawn = 3;\n"
                                "showCompass=0; showGPS=1;\n"
                                "class Weapons {\n"
                                "    class M60 { count = 2; };\n"
                                "    class M16 { count = 4; }; // rifles\n"
                                "    class Addon_Gun { count = 5; };\n"
                                "};\n"
                                "showNotepad = 1;\n";

TEST(Edit, AHandWrittenFileChangesOnlyWhereTheFormDoes)
{
    const struct {
        const char *name;
        std::function<void(FormRecord &)> change;
        std::function<std::string(const std::string &)> expected;
        std::vector<std::string> inserted = {};
    } rows[] = {
        {"unchanged", [](FormRecord &) {}, [](const std::string &f) { return f; }},
        {"one_count", [](FormRecord &f) { f.counts[slotOf("M16")] = "6"; },
         [](const std::string &f) { return replaced(f, "M16 { count = 4; }", "M16 { count = 6; }"); }},
        {"a_count_written_otherwise_is_the_same_value", [](FormRecord &f) { f.counts[slotOf("M16")] = "4.0"; },
         [](const std::string &f) { return f; }},
        {"unticked", [](FormRecord &f) { f.ticks[slotOf("M60")] = unticked; },
         [](const std::string &f) { return replaced(f, "    class M60 { count = 2; };\n", ""); }},
        {"a_key_set_on_a_shared_line", [](FormRecord &f) { f.briefing[1] = 0; },
         [](const std::string &f) { return replaced(f, "showGPS=1;", "showGPS=0;"); }},
        {"a_script_name_beside_its_comment", [](FormRecord &f) { f.mission = "Raid \"2\""; },
         [](const std::string &f) { return replaced(f, "\"Raid\";", "\"Raid \"\"2\"\"\";"); }},
        {"a_key_the_file_leaves_unset",
         [](FormRecord &f) { f.briefing[4] = 1; },
         [](const std::string &f) { return f + "showWatch=1\n"; },
         {"showWatch"}},
        {"the_first_key_unset",
         [](FormRecord &f) { f.intro = "intro.sqs"; },
         [](const std::string &f) { return replaced(f, "onLoadMission", "onloadintro=\"intro.sqs\"\nonLoadMission"); },
         {"onloadintro"}},
        {"an_entry_before_the_next_listed", [](FormRecord &f) { tick(f, "M4", "3"); },
         [](const std::string &f) {
             return replaced(f, "    class M16", "class M4\n{\n         count = 3;\n};\n    class M16");
         }},
        {"an_entry_after_every_listed", [](FormRecord &f) { tick(f, "Beretta", "1"); },
         [](const std::string &f) {
             return replaced(f, "};\nshowNotepad", "class Beretta\n{\n         count = 1;\n};\n};\nshowNotepad");
         }},
        {"a_section_the_file_lacks",
         [](FormRecord &f) { tick(f, "HandGrenade", "5"); },
         [](const std::string &f) {
             return replaced(f, "};\nshowNotepad",
                             "};\nclass Magazines\n{\nclass HandGrenade\n{\n         count = 5;\n};\n};\nshowNotepad");
         },
         {"class Magazines"}},
    };
    const Document document = readDocument(handWritten);
    ASSERT_FALSE(document.own);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FormRecord form(document.loaded.form);
        row.change(form);
        const Edit e = editInto(document, form);
        EXPECT_EQ(e.bytes, row.expected(handWritten));
        EXPECT_EQ(e.inserted, row.inserted);
        EXPECT_EQ(e.repeatCount, 0u);
        EXPECT_TRUE(e.sections.empty());
        // Read back, the file holds the form; pressed again, it stays.
        const Editing again = pressLoaded(e.bytes);
        EXPECT_EQ(again.edit.bytes, e.bytes);
        EXPECT_EQ(pressOf(again.form), pressOf(form));
    }
}

// Each write is its own round: a press's own file of one form edits into
// exactly the bytes a fresh press of another form writes, a section left out
// for a bad count included. A file the form cannot show whole (the Kozlice's
// shells listed while the Weapons section was left out) keeps what the form
// does not show: an unchanged press must not change it.
TEST(Edit, TheOwnFileOfOneFormEditsIntoAFreshPressOfAnother)
{
    std::mt19937 rng(20261208);
    int shownWhole = 0;
    for (int round = 0; round < 400; ++round) {
        FormRecord a = randomForm(rng), b = randomForm(rng);
        const std::string file = test::press(a);
        const Document document = readDocument(file);
        ASSERT_TRUE(document.own) << round;
        // The press of the form as read, less the sections the file lacks.
        std::string shown = document.pressed.bytes;
        for (auto s = document.pressed.sections.rbegin(); s != document.pressed.sections.rend(); ++s)
            if (!document.loaded.places.sections[s->title == "Weapons" ? 0 : 1].found)
                shown.erase(s->whole.begin, s->whole.end - s->whole.begin);
        if (shown != file)
            continue;
        ++shownWhole;
        EXPECT_EQ(editInto(document, b).bytes, test::press(b)) << round;
    }
    EXPECT_GT(shownWhole, 300);
}

// A hand-written file that says nothing twice, pressed with the form as
// read, stays byte for byte; edited into another form it reads back to
// what that form presses and a second press leaves it.
TEST(Edit, HandEditsStayAndEditsAreFixedPoints)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        FormRecord a = randomForm(rng);
        const std::string file =
            withLineEnds(spliceHandEdits(reshape(test::press(a), rng), rng, static_cast<int>(rng() % 10)), rng);
        const Editing loaded = pressLoaded(file);
        ASSERT_FALSE(loaded.document.loaded.report.refusal) << file;
        EXPECT_EQ(loaded.edit.bytes, file);
        EXPECT_EQ(loaded.edit.repeatCount, 0u);

        const FormRecord b = randomForm(rng);
        const Edit into = editInto(loaded.document, b);
        const Editing again = pressLoaded(into.bytes);
        EXPECT_EQ(again.edit.bytes, into.bytes);
        if (into.failed.empty()) {
            EXPECT_EQ(pressOf(again.form), pressOf(b));
        }
    }
}

// One control changed: only its bytes change. A count's digits in place, a
// briefing key's value on its own line.
TEST(Edit, OneControlChangesOnlyItsOwnBytes)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        FormRecord a = randomForm(rng);
        a.counts[slotOf("M16")] = "7";
        a.ticks[slotOf("M16")] = ticked;
        const std::string file = withLineEnds(reshape(test::press(a), rng), rng);
        const Document document = readDocument(file);
        FormRecord b(document.loaded.form);
        const bool count = round % 2;
        if (count)
            b.counts[slotOf("M16")] = "1234";
        else
            b.briefing[2] = b.briefing[2] == 1 ? 0 : 1;
        const std::string edited = editInto(document, b).bytes;
        // What differs between the two is one run, within one line.
        std::size_t first = 0;
        while (first < file.size() && first < edited.size() && file[first] == edited[first])
            ++first;
        std::size_t last = 0;
        while (last < file.size() - first && last < edited.size() - first &&
               file[file.size() - 1 - last] == edited[edited.size() - 1 - last])
            ++last;
        const std::string was = file.substr(first, file.size() - first - last);
        const std::string now = edited.substr(first, edited.size() - first - last);
        EXPECT_EQ(was.find_first_of("\r\n"), std::string::npos) << was;
        EXPECT_EQ(now.find_first_of("\r\n"), std::string::npos) << now;
        if (count) {
            EXPECT_EQ(now.find_first_not_of("0123456789"), std::string::npos) << now;
        }
    }
}

// What the user did not change is removed only with a question: a key given
// again, an entry listed again; the first is edited, the others named.
TEST(Edit, RepeatsOfWhatThePressWritesAreNamed)
{
    const struct {
        const char *name;
        std::string file;
        std::string expected;
        std::vector<std::pair<int, std::string>> named; // line, what
    } rows[] = {
        {"a_key_given_again", "showMap=1;\nshowGPS=1;\nshowMap=0;\n", "showMap=1;\nshowGPS=1;\n", {{3, "showMap"}}},
        {"a_key_given_again_in_another_case",
         "showMap=1;\r\nSHOWMAP = 0; // old\r\n",
         "showMap=1;\r\n// old\r\n",
         {{2, "showMap"}}},
        {"an_entry_listed_again",
         "class Weapons {\n  class M16 { count = 4; };\n  class m16 { count = 2; };\n};\n",
         "class Weapons {\n  class M16 { count = 4; };\n};\n",
         {{3, "class M16 in Weapons"}}},
        {"a_section_given_again",
         "class Weapons {\n  class M16 { count = 4; };\n};\nclass WEAPONS {\n  class M60 { count = 2; };\n};\n",
         "class Weapons {\n  class M16 { count = 4; };\n};\n",
         {{4, "class Weapons"}}},
        {"a_key_given_again_on_a_shared_line",
         "showMap=1;\nrespawn=3; showMap=0;\n",
         "showMap=1;\nrespawn=3;\n",
         {{2, "showMap"}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Editing e = pressLoaded(row.file);
        EXPECT_EQ(e.edit.bytes, row.expected);
        std::vector<std::pair<int, std::string>> named;
        for (const Removal &r : e.edit.repeats)
            named.emplace_back(r.firstLine, r.what);
        EXPECT_EQ(named, row.named);
        EXPECT_EQ(e.edit.repeatCount, row.named.size());
    }
}

// A section the press leaves out because a count is not a number is removed
// from every file that has it, the tool's own too, and named with what it
// holds; a second copy goes with it rather than take its place.
TEST(Edit, ASectionLeftOutIsNamedWithItsEntries)
{
    FormRecord own;
    tick(own, "M16", "4");
    tick(own, "M60", "2");
    const std::string hand = "class Weapons {\n  class M16 { count = 4; };\n  class Addon_Gun { count = 1; };\n};\n";
    const std::string twice = hand + "class Weapons { class M60 { count = 1; }; };\n";
    for (const std::string &file : {test::press(own), hand, twice}) {
        const Document document = readDocument(file);
        FormRecord form(document.loaded.form);
        tick(form, "M16", "abc");
        const Edit e = editInto(document, form);
        ASSERT_EQ(e.sections.size(), 1u);
        EXPECT_EQ(e.sections[0].title, "Weapons");
        EXPECT_EQ(e.bytes.find("class Weapons"), std::string::npos);
        EXPECT_EQ(e.failed, std::vector<int>{slotOf("M16")});
        EXPECT_NE(e.sections[0].names.find("M16"), std::string::npos);
    }
    EXPECT_EQ(readDocument(hand).own, false);
}

// A value goes into the file in the file's own encoding: UTF-8 with or
// without its mark stays UTF-8, the code page stays the code page.
TEST(Edit, ValuesTakeTheFilesEncoding)
{
    const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xB8"; // "При"
    const struct {
        const char *name;
        std::string file;
        std::string mission;  // typed
        std::string expected; // the file after the press
    } rows[] = {
        {"utf8_with_its_mark", "\xEF\xBB\xBFonLoadMission=\"" + cyrillic + "\"\r\n", "\xE2\x82\xAC",
         "\xEF\xBB\xBFonLoadMission=\"\xE2\x82\xAC\"\r\n"},
        {"utf8_without_its_mark", "// caf\xC3\xA9\nonLoadMission=\"a\"\n", cyrillic,
         "// caf\xC3\xA9\nonLoadMission=\"" + cyrillic + "\"\n"},
        {"the_code_page", "// caf\xE9\nonLoadMission=\"a\"\n", "\xE2\x82\xAC", "// caf\xE9\nonLoadMission=\"\x80\"\n"},
        {"the_code_page_lacks_it", "onLoadMission=\"a\"\n", cyrillic, "onLoadMission=\"???\"\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Editing unchanged = pressLoaded(row.file);
        EXPECT_EQ(unchanged.edit.bytes, row.file);
        FormRecord form = unchanged.form;
        form.mission = row.mission;
        EXPECT_EQ(editInto(unchanged.document, form).bytes, row.expected);
    }
}

} // namespace
} // namespace qor

namespace qor
{
namespace
{

// The shapes mission makers write, each read into the form and pressed
// unchanged: what the form shows, and the text left as it was. The last
// closes nothing and is refused, naming its line.
TEST(Edit, EveryShapeAMissionMakerWritesIsReadAndLeftAsItIs)
{
    const struct {
        const char *name;
        std::string text;
        int refusedAt = 0; // the line named, where refused
        std::function<void(Form &)> shows = [](Form &) {};
    } rows[] = {
        {"preprocessor_lines",
         "#define MODULES_DIRECTORY node_modules\n#define LONG a \\\n  b\n#include \"sounds.hpp\"\n#undef LONG\n"
         "showMap=0;\n",
         0, [](Form &f) { f.briefing[2] = 0; }},
        {"a_conditional_block_is_not_read",
         "#ifdef DEBUG\nshowMap = 0;\nclass Weapons { class M16 { count = 9; }; };\n#else\nshowGPS=1;\n#endif\n"},
        {"braces_on_the_next_line",
         "sounds[] =\n{\n  \"a\"\n};\nclass Weapons\n{\n  class M16\n  {\n    count = 4;\n  };\n};\n", 0,
         [](Form &f) {
             f.ticks[static_cast<std::size_t>(slotOf("M16"))] = ticked;
             f.counts[static_cast<std::size_t>(slotOf("M16"))] = "4";
         }},
        {"a_comment_between_a_class_name_and_its_brace",
         "class Hunter // used by the respawn inventory\n{\n  rank = 1;\n};\n"},
        {"an_empty_value", "lost = ;\nshowGPS = 1;\n", 0, [](Form &f) { f.briefing[1] = 1; }},
        {"a_value_of_several_words", "onStart = call load \"start.sqs\";\n"},
        {"evaluated_values", "respawnDelay = __EVAL(5 * 60);\n__EXEC(a = 1)\n"},
        {"a_macro_as_a_class_name", "class GVAR(params) {\n  x = 1;\n};\n"},
        {"an_import", "import BaseDialog;\n"},
        {"a_string_table_reference", "onLoadMission = $STR_MISSION_NAME;\n", 0,
         [](Form &f) { f.mission = "$STR_MISSION_NAME"; }},
        {"class_names_in_another_case", "class Magazines {\n  class handgrenade {count = 50;};\n};\n", 0,
         [](Form &f) {
             f.ticks[static_cast<std::size_t>(slotOf("HandGrenade"))] = ticked;
             f.counts[static_cast<std::size_t>(slotOf("HandGrenade"))] = "50";
         }},
        {"utf8_without_its_mark", "onLoadMission = \"\xD0\x9F\xD1\x80\xD0\xB8\";\n", 0,
         [](Form &f) { f.mission = "\xD0\x9F\xD1\x80\xD0\xB8"; }},
        {"a_key_inside_an_entry", "class Weapons { class M16 { count = 4; rank = 1; }; };\n", 0,
         [](Form &f) {
             f.ticks[static_cast<std::size_t>(slotOf("M16"))] = ticked;
             f.counts[static_cast<std::size_t>(slotOf("M16"))] = "4";
         }},
        {"a_brace_that_closes_nothing", "showMap = 1;\nclass A {};\n};\n", 3},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Document document = readDocument(row.text);
        const auto &refusal = document.loaded.report.refusal;
        EXPECT_EQ(refusal ? refusal->line : 0, row.refusedAt) << (refusal ? refusal->reason : "");
        if (refusal)
            continue;
        Form expected;
        row.shows(expected);
        EXPECT_TRUE(document.loaded.form == expected);
        const Edit unchanged = editInto(document, FormRecord(document.loaded.form));
        EXPECT_EQ(unchanged.bytes, row.text);
        EXPECT_EQ(unchanged.repeatCount, 0u);
    }
}

// A value the form could not read (an array, a string) gets the form's
// number in its place, still apart from what follows it where no ';' ended
// it, and the file reads back to what the form presses.
TEST(Edit, AValueTheFormCouldNotReadIsReplacedApartFromWhatFollows)
{
    const auto gps = [](FormRecord &f) { f.briefing[1] = 2; };
    const auto compass = [](FormRecord &f) { f.briefing[0] = 2; };
    const auto map = [](FormRecord &f) { f.briefing[2] = 2; };
    const auto m16 = [](FormRecord &f) { tick(f, "M16", "7"); };
    const struct {
        const char *name;
        std::string file;
        std::function<void(FormRecord &)> change;
        std::string expected;
    } rows[] = {
        {"an_array_and_the_next_key_on_its_heels", "showGPS={1,2}showMap=1;\n", gps, "showGPS=2;showMap=1;\n"},
        {"a_string_and_a_comment_on_its_heels", "showCompass=\"x\"//c\n", compass, "showCompass=2;//c\n"},
        {"a_string_that_ends_its_line", "showMap = \"on\"\r\n", map, "showMap = 2\r\n"},
        {"an_array_with_its_semicolon", "showGPS = {1}; // on\n", gps, "showGPS = 2; // on\n"},
        {"a_count_array_and_the_entrys_brace", "class Weapons { class M16 { count = {1}}; };\n", m16,
         "class Weapons { class M16 { count = 7;}; };\n"},
        {"a_count_array_and_a_key_on_its_heels", "class Weapons { class M16 { count = {1}rank=1; }; };\n", m16,
         "class Weapons { class M16 { count = 7;rank=1; }; };\n"},
        {"an_array_and_a_key_after_a_blank", "showGPS={1} showMap=1;\n", gps, "showGPS=2; showMap=1;\n"},
        {"an_array_and_a_key_split_over_lines", "showGPS={1} wGPS=\r0;\n", gps, "showGPS=2; wGPS=\r0;\n"},
        {"an_array_and_a_block_comment", "showGPS={1} /* a */ showMap=1;\n", gps, "showGPS=2; /* a */ showMap=1;\n"},
        {"an_array_and_a_line_comment", "showGPS={1} // a\n", gps, "showGPS=2 // a\n"},
        {"an_array_and_a_key_after_a_tab", "showGPS={1}\tshowMap=1;\n", gps, "showGPS=2;\tshowMap=1;\n"},
        {"a_count_array_and_the_entrys_brace_after_a_blank", "class Weapons { class M16 { count = {1} }; };\n", m16,
         "class Weapons { class M16 { count = 7; }; };\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Document document = readDocument(row.file);
        ASSERT_FALSE(document.loaded.report.refusal);
        FormRecord form(document.loaded.form);
        row.change(form);
        const Edit e = editInto(document, form);
        EXPECT_EQ(e.bytes, row.expected);
        const Document back = readDocument(e.bytes);
        ASSERT_FALSE(back.loaded.report.refusal);
        EXPECT_EQ(pressOf(FormRecord(back.loaded.form)), pressOf(form));
    }
}

// A key or section between #if and #endif stays as it stands; once the form
// writes that key or section, the copy is asked about as a key given again.
TEST(Edit, ACopyInAConditionalBlockIsAskedAboutOnceTheFormWritesIt)
{
    const std::string file = "#ifdef DEBUG\nshowMap = 0;\n#endif\nshowGPS = 1;\n";
    const Document document = readDocument(file);
    FormRecord form(document.loaded.form);
    EXPECT_EQ(editInto(document, form).bytes, file);
    form.briefing[2] = 0;
    const Edit e = editInto(document, form);
    EXPECT_EQ(e.bytes, "#ifdef DEBUG\n#endif\nshowGPS = 1;\nshowMap=0\n");
    ASSERT_EQ(e.repeats.size(), 1u);
    EXPECT_EQ(e.repeats[0].firstLine, 2);
    EXPECT_EQ(e.repeats[0].what, "showMap");
}

} // namespace
} // namespace qor
