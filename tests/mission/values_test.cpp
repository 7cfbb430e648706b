// What a press writes is what the user sees and the game reads: the shapes
// real files use are read and left byte for byte, a value typed is read back
// as typed, and where the file gets another value than the box shows, the
// user is told.
#include "mission/edit.h"
#include "mission/mission.h"
#include "testutil.h"

#include <gtest/gtest.h>

namespace qor
{
namespace
{

using namespace test;

const std::string header = crlf(headerLines("intro.sqs", "mission.sqs"));

// Shapes the game reads: each loads, presses back unchanged byte for byte,
// and gives the form what it holds.
TEST(Values, RealShapesAreReadAndKept)
{
    const struct {
        const char *name;
        std::string bytes;
        std::function<void(const Form &)> holds;
    } rows[] = {
        {"an array appended to", header + "allowedHTMLLoadURIs[] += {\"a.html\", \"b.html\"};\r\n", {}},
        {"a last statement without ';'", header + "class CfgDebriefing { class End1 { title = \"Won\"}; };\r\n", {}},
        {"a body a macro makes", header + "#define PARAM(x) {title = x;}\r\nclass Spacer0 PARAM(\"\");\r\n", {}},
        {"a top-level __EXEC", header + "__EXEC (_a = \"x\"; _c = 3)\r\nclass Params { __EXEC(_b = 2); };\r\n", {}},
        {"keywords in capitals", header + "CLASS Weapons\r\n{\r\nCLASS M16 { count = 3; };\r\n};\r\n",
         [](const Form &f) { EXPECT_EQ(f.counts[slotOf("M16")], "3"); }},
        {"a comment after a script name", "onloadintro=\"intro.sqs\" // see \"notes\"\r\n",
         [](const Form &f) { EXPECT_EQ(f.intro, "intro.sqs"); }},
        {"a script name the form cannot hold, then one it can",
         "onloadintro=\"" + std::string(longestScriptName + 1, 'x') + "\";\r\nonloadintro=\"a.sqs\";\r\n",
         [](const Form &f) { EXPECT_EQ(f.intro, "a.sqs") << "no repeat: the first is not counted as given"; }},
        {"a string reference in lower case", "onLoadMission = $str_raid;\r\n",
         [](const Form &f) { EXPECT_EQ(f.mission, "$str_raid"); }},
        {"a section wholly inside #ifdef",
         header + "#ifdef X\r\nclass Weapons\r\n{\r\nclass M16 { count = 3; };\r\n};\r\n#endif\r\n",
         [](const Form &f) { EXPECT_EQ(f.ticks[slotOf("M16")], 0); }},
        {"an entry inside #if 0",
         header + "class Weapons\r\n{\r\n#if 0\r\nclass M16 { count = 3; };\r\n#endif\r\n};\r\n",
         [](const Form &f) { EXPECT_EQ(f.ticks[slotOf("M16")], 0); }},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const Document document = readDocument(r.bytes);
        ASSERT_FALSE(document.loaded.report.refusal) << describe(*document.loaded.report.refusal);
        if (r.holds)
            r.holds(document.loaded.form);
        WindowFields fields;
        EXPECT_EQ(edit(document, document.loaded.form, fields).bytes, r.bytes);
    }
}

// A class whose "};" stands inside #ifdef ... #endif: what a press inserts
// goes before the #ifdef, a section left out leaves the condition whole, and
// the file read back is the form pressed.
TEST(Values, NothingLandsInsideAConditionalBlock)
{
    const std::string files[] = {
        // among the section's entries: what is added goes before the #ifdef
        header + "class Weapons\r\n{\r\nclass M16 { count = 4; };\r\n#ifdef HARD\r\n};\r\n"
                 "#define HARDER\r\n#endif\r\n",
        // inside an entry: the section stays as it stands, outside the form
        header + "class Weapons\r\n{\r\nclass M16\r\n{\r\ncount = 1;\r\n#ifdef HARD\r\n};\r\n};\r\n"
                 "#define HARDER\r\n#endif\r\n",
    };
    const struct {
        const char *name;
        std::function<void(FormRecord &)> change;
    } rows[] = {
        {"an entry added", [](FormRecord &f) { tick(f, "M60", "2"); }},
        {"a section added after it", [](FormRecord &f) { tick(f, "Mine", "3"); }},
        {"the section left out", [](FormRecord &f) { tick(f, "M60", "x"); }},
    };
    for (const std::string &bytes : files) {
        for (const auto &r : rows) {
            SCOPED_TRACE(r.name);
            const Document document = readDocument(bytes);
            ASSERT_FALSE(document.loaded.report.refusal) << describe(*document.loaded.report.refusal);
            FormRecord form(document.loaded.form);
            r.change(form);
            WindowFields fields;
            const Edit e = edit(document, form, fields);
            const Document back = readDocument(e.bytes);
            ASSERT_FALSE(back.loaded.report.refusal) << describe(*back.loaded.report.refusal) << "\n" << e.bytes;
            EXPECT_NE(e.bytes.find("#ifdef HARD\r\n"), std::string::npos);
            EXPECT_NE(e.bytes.find("#define HARDER\r\n#endif\r\n"), std::string::npos);
            if (e.failed.empty()) {
                WindowFields again;
                EXPECT_EQ(back.pressed.bytes, pressWhole(form, again).bytes) << e.bytes;
            } else { // left out: it stays as it stands, which a second press keeps
                WindowFields again;
                EXPECT_EQ(edit(back, back.loaded.form, again).bytes, e.bytes);
            }
        }
    }
}

// A class the file defines in a way the form can hold is taken; one it
// cannot is never defined a second time without a question naming its line.
TEST(Values, NoClassIsDefinedTwiceUnasked)
{
    const std::string weapons = header + "class Weapons : DefaultWeapons\r\n{\r\nclass M60 : M16 { count = 2; };\r\n";
    const struct {
        const char *name;
        std::string bytes;
        const char *ticked; // then ticked with a count of 3
        std::string asked;  // what the edit adds again; empty: nothing
        int line = 23;      // where the file defines it
    } rows[] = {
        {"an entry that inherits", weapons + "};\r\n", "M60", ""},
        {"a declaration", weapons + "class Glock;\r\n};\r\n", "Glock", "class Glock in Weapons"},
        {"a macro naming it", weapons + "ENTRY(Glock, 3)\r\n};\r\n", "Glock", "class Glock in Weapons"},
        {"a class a macro makes", weapons + "class Glock ENTRY(3);\r\n};\r\n", "Glock", "class Glock in Weapons"},
        {"a section declared", weapons + "};\r\nclass Magazines;\r\n", "Mine", "class Magazines", 24},
        {"an entry whose end stands in a condition",
         weapons + "class Glock {\r\ncount = 1;\r\n#ifdef X\r\n};\r\n#endif\r\n};\r\n", "Glock",
         "class Glock in Weapons"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const Document document = readDocument(r.bytes);
        ASSERT_FALSE(document.loaded.report.refusal) << describe(*document.loaded.report.refusal);
        EXPECT_EQ(document.loaded.form.counts[slotOf("M60")], "2") << "the inherited entry is the M60's";
        FormRecord form(document.loaded.form);
        tick(form, r.ticked, "3");
        WindowFields fields;
        const Edit e = edit(document, form, fields);
        if (r.asked.empty()) {
            EXPECT_TRUE(e.redefinitions.empty());
            EXPECT_NE(e.bytes.find("class M60 : M16 { count = 3; };"), std::string::npos) << e.bytes;
        } else {
            ASSERT_EQ(e.redefinitions.size(), 1u);
            EXPECT_EQ(e.redefinitions[0].what, r.asked);
            EXPECT_EQ(e.redefinitions[0].line, r.line);
        }
    }
}

// Two statements on a line without a ';' between them: the line stays as it
// stands, and a changed option is written on a line of its own after it.
TEST(Values, ALineThatRunsOnIsNeverHalfEdited)
{
    const std::string bytes = "showMap = 1 showGPS = 0;\r\nshowCompass = 1;\r\n";
    const Document document = readDocument(bytes);
    Form form = document.loaded.form;
    form.briefing[2] = 0; // Show Map off
    WindowFields fields;
    const Edit e = edit(document, form, fields);
    EXPECT_EQ(e.bytes, "showMap = 1 showGPS = 0;\r\nshowMap=0\r\nshowCompass = 1;\r\n");
    EXPECT_EQ(readDocument(e.bytes).loaded.form.briefing[2], 0);
}

// A quote typed in a script name is the game's escape in every file, and
// reads back as typed; a comment after the name stays when it changes.
TEST(Values, ScriptNamesComeBackAsTyped)
{
    const std::string typed = "Operation \"Night\"";
    FormRecord own;
    own.mission = "Raid";
    const struct {
        const char *name;
        std::string bytes;
        std::string expected;
    } rows[] = {
        {"a new file", "", crlf(headerLines("", typed))},
        {"the press's own", test::press(own), crlf(headerLines("", typed))},
        {"a hand-written one", "onLoadMission = \"Raid\"; // loading\r\n",
         "onLoadMission = \"Operation \"\"Night\"\"\"; // loading\r\n"},
        {"a name as earlier versions wrote it", "onLoadMission=\"Raid \"x\"\"\r\n",
         "onLoadMission=\"Operation \"\"Night\"\"\"\r\n"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const Document document = readDocument(r.bytes);
        Form form = document.loaded.form;
        form.mission = typed;
        WindowFields fields;
        const std::string written =
            r.bytes.empty() ? pressWhole(form, fields).bytes : edit(document, form, fields).bytes;
        EXPECT_EQ(written.substr(0, r.expected.size()), r.expected);
        EXPECT_EQ(readDocument(written).loaded.form.mission, typed);
    }
}

// description.ext in memory for a mission: read, pressed, asked.
struct Desk final : Asker {
    MemoryFile file;
    std::vector<Question> asked;
    Answer answer = Answer::Cancel;
    Mission mission{"m",
                    [this](const std::string &, Reading) {
                        Snapshot s;
                        s.state = Snapshot::State::Read;
                        s.bytes = file.committed;
                        s.size = file.committed.size();
                        return s;
                    },
                    [] { return std::string("12:00:00"); }, [](const std::string &) { return true; }};
    FormRecord form;
    WindowFields fields;

    Answer ask(const Question &q) override
    {
        asked.push_back(q);
        return answer;
    }
    bool press() { return mission.press(form, file, fields, *this); }
};

// The box keeps what was typed; the status says what the file holds.
TEST(Values, CountsWrittenOtherwiseThanTypedAreNamed)
{
    Desk d;
    d.file.committed = header;
    d.mission.open(d.form);
    tick(d.form, "M16", "4x");
    tick(d.form, "M60", "-3");
    tick(d.form, "AK74", "12");
    ASSERT_TRUE(d.press());
    EXPECT_NE(d.mission.status().find("M 16: \"4x\" written as 4; M 60: \"-3\" is not above 0, not written"),
              std::string::npos)
        << d.mission.status();
    EXPECT_EQ(d.mission.status().find("AK"), std::string::npos) << "a count written as typed is not named";
}

// A count given twice in an entry contradicts the one the form shows: asked
// about, and dropped with the press that writes the entry.
TEST(Values, ACountGivenTwiceIsARepeat)
{
    const std::string bytes = header + "class Weapons\r\n{\r\nclass M16 { count = 4; count = 5; };\r\n};\r\n";
    const Document document = readDocument(bytes);
    EXPECT_EQ(document.loaded.form.counts[slotOf("M16")], "4");
    Form form = document.loaded.form;
    form.counts[slotOf("M16")] = "6";
    WindowFields fields;
    const Edit e = edit(document, form, fields);
    EXPECT_EQ(e.repeatCount, 1u);
    EXPECT_NE(e.bytes.find("class M16 { count = 6; };"), std::string::npos) << e.bytes;
}

// Asked before the write, and Cancel writes nothing: a character the code
// page lacks, which would be written as "?"; a class the file defines in a
// way the form cannot hold, which would be defined again.
TEST(Values, WhatTheFileCannotTakeAsTypedIsAskedAbout)
{
    const struct {
        const char *name;
        std::string file;
        std::function<void(FormRecord &)> change;
        const char *details;
    } rows[] = {
        {"a character the code page lacks", header,
         [](FormRecord &f) { f.mission = "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C"; }, // Ночь
         "would be written as \"????\""},
        {"a class defined again", header + "class Weapons\r\n{\r\nclass Glock;\r\n};\r\n",
         [](FormRecord &f) { tick(f, "Glock", "1"); }, "line 22: class Glock in Weapons"},
    };
    for (const auto &r : rows) {
        for (const Answer answer : {Answer::Cancel, Answer::Replace}) {
            SCOPED_TRACE(r.name);
            Desk d;
            d.file.committed = r.file;
            d.mission.open(d.form);
            r.change(d.form);
            d.answer = answer;
            EXPECT_EQ(d.press(), answer == Answer::Replace);
            ASSERT_EQ(d.asked.size(), 1u);
            EXPECT_NE(d.asked[0].details.find(r.details), std::string::npos) << d.asked[0].details;
            EXPECT_EQ(d.file.committed == r.file, answer == Answer::Cancel);
        }
    }
}

} // namespace
} // namespace qor
