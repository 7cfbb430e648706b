// Reading description.ext: which files are refused and at which line, what
// the statements of an accepted file are, and which form each file loads as.
#include "format/reader.h"
#include "loadinto.h"
#include "mission/loader.h"
#include "testutil.h"

#include <gtest/gtest.h>

namespace qor
{
namespace
{

using namespace test;

struct RefusalCase {
    const char *name;
    std::string bytes;
    int line;
    const char *reason;
};

void PrintTo(const RefusalCase &c, std::ostream *os)
{
    *os << c.name;
}

class Refused : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(Refused, NamesTheLine)
{
    const auto &c = GetParam();
    const ReadFile file = readDescription(c.bytes);
    ASSERT_TRUE(file.refusal.has_value());
    EXPECT_EQ(describe(*file.refusal), "line " + std::to_string(c.line) + ": " + c.reason);

    FormRecord form = fullestForm();
    FormRecord start;
    const LoadReport report = loadInto(file, form);
    EXPECT_EQ(press(form), press(start)) << "a refused file leaves the start values";
    EXPECT_TRUE(report.leftovers.empty());
}

// One entry as the writer lays it out, key and indent varied.
std::string laidOut(const std::string &name, const std::string &value, const std::string &key = "count",
                    const std::string &indent = "         ")
{
    return "class " + name + "\r\n{\r\n" + indent + key + " = " + value + ";\r\n};\r\n";
}

std::string nested(int depth)
{
    std::string s;
    for (int n = 0; n < depth; ++n)
        s += "class A" + std::to_string(n) + " {\n";
    for (int n = 0; n < depth; ++n)
        s += "};\n";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Reader, Refused,
    ::testing::Values(RefusalCase{"closing_brace_alone", "a = 1;\n}\n", 2, "a '}' without its '{'"},
                      RefusalCase{"class_never_closed", "x=1;\nclass A\n{\nb=2;\n", 3, "a '{' without its '}'"},
                      RefusalCase{"array_never_closed", "x[] = {1, {2}\n;", 1, "a '{' without its '}'"},
                      RefusalCase{"comment_never_closed", "x=1;\n/* to the end\n\n", 2, "a '/*' without its '*/'"},
                      RefusalCase{"nul_byte", std::string("x=1;\r\ny=\0;", 10), 2, "a NUL byte: this is no text file"},
                      RefusalCase{"string_across_lines", "x = \"abc\ndef\";", 1, "a string without its closing quote"},
                      RefusalCase{"script_string_never_closed", "onloadintro=\"\r\nclass Weapons\r\n{\r\n};\r\n", 1,
                                  "a string without its closing quote"},
                      RefusalCase{"too_deep", nested(maxNesting + 1), maxNesting + 1, "braces nested deeper than 32"},
                      RefusalCase{"no_equals", "foo bar;\n", 1, "cannot read \"foo bar;\""},
                      RefusalCase{"cr_line_ends", "a=1;\r\r}\r", 3, "a '}' without its '{'"},
                      RefusalCase{"brace_in_word", "a=1}\n", 1, "cannot read \"a=1}\""},
                      RefusalCase{"entry_too_deep",
                                  nested(maxNesting).substr(0, nested(maxNesting).find("};")) + laidOut("E", "1"),
                                  maxNesting + 2, "braces nested deeper than 32"},
                      RefusalCase{"entry_key_class", laidOut("E", "1", "class"), 3, "cannot read \"class = 1;\""},
                      RefusalCase{"entry_closed_twice", laidOut("E", "1") + "};\r\n", 5, "a '}' without its '{'"}));

// The shapes mission makers write, one row each: read, with each
// statement's kind, name, value, lines and its text cut from the bytes by
// its span; or refused at a line.
struct Expected {
    StatementKind kind;
    std::string span; // bytes.substr(begin, end - begin)
    std::string name = "";
    std::string value = "";
    ValueShape shape = ValueShape::Word;
    int firstLine = 1;
    int lastLine = 1;
    bool conditional = false;
};

struct ShapeCase {
    const char *name;
    std::string bytes;
    std::vector<Expected> statements; // read: these, in order
    int line = 0;                     // refused: at this line, for this reason
    const char *reason = "";
};

void PrintTo(const ShapeCase &c, std::ostream *os)
{
    *os << c.name;
}

class Shapes : public ::testing::TestWithParam<ShapeCase>
{
};

TEST_P(Shapes, ReadOrRefused)
{
    const auto &c = GetParam();
    const ReadFile file = readDescription(c.bytes);
    if (c.line) {
        ASSERT_TRUE(file.refusal.has_value());
        EXPECT_EQ(describe(*file.refusal), "line " + std::to_string(c.line) + ": " + c.reason);
        return;
    }
    ASSERT_FALSE(file.refusal) << describe(*file.refusal);
    ASSERT_EQ(file.statements.size(), c.statements.size());
    for (std::size_t n = 0; n < c.statements.size(); ++n) {
        const Statement &s = file.statements[n];
        const Expected &e = c.statements[n];
        SCOPED_TRACE("statement " + std::to_string(n) + ": " + e.span);
        EXPECT_EQ(s.kind, e.kind);
        ASSERT_LE(s.begin, s.end);
        EXPECT_EQ(c.bytes.substr(s.begin, s.end - s.begin), e.span);
        EXPECT_EQ(s.name, e.name);
        EXPECT_EQ(s.value, e.value);
        EXPECT_EQ(s.shape, e.shape);
        EXPECT_EQ(s.firstLine, e.firstLine);
        EXPECT_EQ(s.lastLine, e.lastLine);
        EXPECT_EQ(s.conditional, e.conditional);
    }
}

using K = StatementKind;
using V = ValueShape;

INSTANTIATE_TEST_SUITE_P(
    Reader, Shapes,
    ::testing::Values(
        ShapeCase{"define",
                  "#define MODULES_DIRECTORY node_modules\r\nx = 1;\r\n",
                  {{K::Directive, "#define MODULES_DIRECTORY node_modules", "define", "MODULES_DIRECTORY node_modules"},
                   {K::Assignment, "x = 1;", "x", "1", V::Word, 2, 2}}},
        ShapeCase{
            "define_continued",
            "  # define LIST(a) \\\n  a, \\ \n  a\nclass A {};\n",
            {{K::Directive, "# define LIST(a) \\\n  a, \\ \n  a", "define", "LIST(a) \\\n  a, \\ \n  a", V::Word, 1, 3},
             {K::ClassBegin, "class A {", "A", "", V::Word, 4, 4},
             {K::ClassEnd, "};", "", "", V::Word, 4, 4}}},
        ShapeCase{
            "define_continued_into_an_empty_line",
            "#define A 1 \\\r\n\r\nb=1;",
            {{K::Directive, "#define A 1 \\", "define", "A 1 \\"}, {K::Assignment, "b=1;", "b", "1", V::Word, 3, 3}}},
        ShapeCase{"include_and_comment_on_its_line",
                  "#include \"x.hpp\" // why\n#undef X",
                  {{K::Directive, "#include \"x.hpp\" // why", "include", "\"x.hpp\" // why"},
                   {K::Directive, "#undef X", "undef", "X", V::Word, 2, 2}}},
        ShapeCase{"define_with_a_block_comment_over_lines",
                  "#define A 1 /* two\nlines */ 2\nb=1;",
                  {{K::Directive, "#define A 1 /* two\nlines */ 2", "define", "A 1 /* two\nlines */ 2", V::Word, 1, 2},
                   {K::Assignment, "b=1;", "b", "1", V::Word, 3, 3}}},
        ShapeCase{"conditionals_nested",
                  "#ifdef X\na = 1;\n#if Y\nb = 2;\n#endif\n#else\nc = 3;\n#endif\nd = 4;\n#endif\n",
                  {{K::Directive, "#ifdef X", "ifdef", "X", V::Word, 1, 1, false},
                   {K::Assignment, "a = 1;", "a", "1", V::Word, 2, 2, true},
                   {K::Directive, "#if Y", "if", "Y", V::Word, 3, 3, true},
                   {K::Assignment, "b = 2;", "b", "2", V::Word, 4, 4, true},
                   {K::Directive, "#endif", "endif", "", V::Word, 5, 5, true},
                   {K::Directive, "#else", "else", "", V::Word, 6, 6, true},
                   {K::Assignment, "c = 3;", "c", "3", V::Word, 7, 7, true},
                   {K::Directive, "#endif", "endif", "", V::Word, 8, 8, false},
                   {K::Assignment, "d = 4;", "d", "4", V::Word, 9, 9, false},
                   {K::Directive, "#endif", "endif", "", V::Word, 10, 10, false}}},
        // The writer's own entry shape, read on its fast path, is marked too.
        ShapeCase{"conditional_to_the_end",
                  "  #if 0\r\nclass Ak\r\n{\r\n         count = 5;\r\n};",
                  {},
                  1,
                  "an #if without its #endif"},
        ShapeCase{"conditional_closed",
                  "  #if 0\r\nclass Ak\r\n{\r\n         count = 5;\r\n};\r\n#endif",
                  {{K::Directive, "#if 0", "if", "0"},
                   {K::ClassBegin, "class Ak\r\n{", "Ak", "", V::Word, 2, 3, true},
                   {K::Assignment, "count = 5;", "count", "5", V::Word, 4, 4, true},
                   {K::ClassEnd, "};", "", "", V::Word, 5, 5, true},
                   {K::Directive, "#endif", "endif", "", V::Word, 6, 6}}},
        ShapeCase{"array_brace_on_the_next_line",
                  "sounds[] =\n{\n \"a\", // a \"quote\n \"b\" /* } */\n};\n",
                  {{K::Assignment, "sounds[] =\n{\n \"a\", // a \"quote\n \"b\" /* } */\n};", "sounds",
                    "{\n \"a\", // a \"quote\n \"b\" /* } */\n}", V::Array, 1, 5}}},
        ShapeCase{"class_brace_on_the_next_line_after_a_comment",
                  "class Hunter // used by the respawn inventory\n{\n};\n",
                  {{K::ClassBegin, "class Hunter // used by the respawn inventory\n{", "Hunter", "", V::Word, 1, 2},
                   {K::ClassEnd, "};", "", "", V::Word, 3, 3}}},
        ShapeCase{"comments_between_every_symbol",
                  "class /* a */ A /* b */ :\n B // c\n{\nkey // d\n[] /* e */ = /* f */ 1 /* g */ ; // h\n} // i\n;",
                  {{K::ClassBegin, "class /* a */ A /* b */ :\n B // c\n{", "A", "", V::Word, 1, 3},
                   {K::Assignment, "key // d\n[] /* e */ = /* f */ 1 /* g */ ;", "key", "1", V::Word, 4, 5},
                   {K::Comment, "// h", "", "// h", V::Word, 5, 5},
                   {K::ClassEnd, "} // i\n;", "", "", V::Word, 6, 7}}},
        ShapeCase{"class_end_without_semicolon_keeps_its_comment_apart",
                  "class A {\n} // i\nb = 1;",
                  {{K::ClassBegin, "class A {", "A"},
                   {K::ClassEnd, "}", "", "", V::Word, 2, 2},
                   {K::Comment, "// i", "", "// i", V::Word, 2, 2},
                   {K::Assignment, "b = 1;", "b", "1", V::Word, 3, 3}}},
        ShapeCase{"empty_values",
                  "lost = ;\nwon =\nclass A {};\ndraw = // nothing\nx[] =\n;",
                  {{K::Assignment, "lost = ;", "lost"},
                   {K::Assignment, "won =", "won", "", V::Word, 2, 2},
                   {K::ClassBegin, "class A {", "A", "", V::Word, 3, 3},
                   {K::ClassEnd, "};", "", "", V::Word, 3, 3},
                   {K::Assignment, "draw =", "draw", "", V::Word, 4, 4},
                   {K::Comment, "// nothing", "", "// nothing", V::Word, 4, 4},
                   {K::Assignment, "x[] =\n;", "x", "", V::Word, 5, 6}}},
        ShapeCase{"value_on_the_next_line",
                  "delay =\n  5;\nwait =\n  b = 1;",
                  {{K::Assignment, "delay =\n  5;", "delay", "5", V::Word, 1, 2},
                   {K::Assignment, "wait =", "wait", "", V::Word, 3, 3},
                   {K::Assignment, "b = 1;", "b", "1", V::Word, 4, 4}}},
        ShapeCase{"a_key_whose_equals_sign_is_on_the_next_line_after_an_empty_value",
                  "wait =\n\nb\r= 1;",
                  {{K::Assignment, "wait =", "wait", "", V::Word, 1, 1},
                   {K::Assignment, "b\r= 1;", "b", "1", V::Word, 3, 4}}},
        ShapeCase{
            "expressions",
            "onStart = call load \"start.sqs\"; // x\ntitle = \"a\" + \"b\"\nrespawnDelay = __EVAL(5 * (60 + "
            "\";\"));\nspeed = fast slow\ncount = 1.5e+3;",
            {{K::Assignment, "onStart = call load \"start.sqs\";", "onStart", "call load \"start.sqs\"", V::Expression},
             {K::Comment, "// x", "", "// x"},
             {K::Assignment, "title = \"a\" + \"b\"", "title", "\"a\" + \"b\"", V::Expression, 2, 2},
             {K::Assignment, "respawnDelay = __EVAL(5 * (60 + \";\"));", "respawnDelay", "__EVAL(5 * (60 + \";\"))",
              V::Expression, 3, 3},
             {K::Assignment, "speed = fast slow", "speed", "fast slow", V::Expression, 4, 4},
             {K::Assignment, "count = 1.5e+3;", "count", "1.5e+3", V::Word, 5, 5}}},
        ShapeCase{"call_over_lines",
                  "x = __EVAL(1 +\n 2) ;\n",
                  {{K::Assignment, "x = __EVAL(1 +\n 2) ;", "x", "__EVAL(1 +\n 2)", V::Expression, 1, 2}}},
        ShapeCase{"macro_statements",
                  "__EXEC(a = 1)\nSOME_MACRO(x, \")\");\nclass A {\n  GVAR(y)\n};",
                  {{K::Macro, "__EXEC(a = 1)", "__EXEC", "__EXEC(a = 1)"},
                   {K::Macro, "SOME_MACRO(x, \")\");", "SOME_MACRO", "SOME_MACRO(x, \")\")", V::Word, 2, 2},
                   {K::ClassBegin, "class A {", "A", "", V::Word, 3, 3},
                   {K::Macro, "GVAR(y)", "GVAR", "GVAR(y)", V::Word, 4, 4},
                   {K::ClassEnd, "};", "", "", V::Word, 5, 5}}},
        ShapeCase{"macro_class_names",
                  "class GVAR(params) {\n};\nclass B : QUOTE(base(1)) {};\nclass DOUBLES(a,b);",
                  {{K::ClassBegin, "class GVAR(params) {", "GVAR(params)"},
                   {K::ClassEnd, "};", "", "", V::Word, 2, 2},
                   {K::ClassBegin, "class B : QUOTE(base(1)) {", "B", "", V::Word, 3, 3},
                   {K::ClassEnd, "};", "", "", V::Word, 3, 3},
                   {K::ClassDeclaration, "class DOUBLES(a,b);", "DOUBLES(a,b)", "", V::Word, 4, 4}}},
        ShapeCase{"imports",
                  "import BaseDialog;\nimport\n  Other // the rest\nimport = 2;",
                  {{K::Import, "import BaseDialog;", "BaseDialog"},
                   {K::Import, "import\n  Other", "Other", "", V::Word, 2, 3},
                   {K::Comment, "// the rest", "", "// the rest", V::Word, 3, 3},
                   {K::Assignment, "import = 2;", "import", "2", V::Word, 4, 4}}},
        ShapeCase{"stray_class_end", "a = 1;\n};\n", {}, 2, "a '}' without its '{'"},
        ShapeCase{
            "brace_on_the_next_line_never_closed", "x = 1;\nclass A\n{\nb = 1;\n", {}, 3, "a '{' without its '}'"},
        ShapeCase{"string_in_an_expression_never_closed",
                  "a = 1;\nb = call \"x;\n",
                  {},
                  2,
                  "a string without its closing quote"},
        ShapeCase{"define_with_escaped_quotes",
                  "#define S \"a\\\"b /*\" // \"\n",
                  {{K::Directive, "#define S \"a\\\"b /*\" // \"", "define", "S \"a\\\"b /*\" // \""}}},
        ShapeCase{"string_in_an_include_never_closed",
                  "#include \"x.h\nclass A {};",
                  {},
                  1,
                  "a string without its closing quote"},
        ShapeCase{"comment_in_a_define_never_closed", "\n#define A /* x\n\n", {}, 2, "a '/*' without its '*/'"},
        ShapeCase{"nul_in_a_define", std::string("#define A \\\n\0", 13), {}, 2, "a NUL byte: this is no text file"},
        ShapeCase{"call_never_closed", "class A {\nx = __EVAL(1 +\n};\n", {}, 2, "a '(' without its ')'"},
        ShapeCase{"class_name_call_never_closed", "class GVAR(x {\n};\n", {}, 1, "a '(' without its ')'"},
        ShapeCase{"directive_not_first_on_its_line", "a = 1; #define X\n", {}, 1, "cannot read \"a = 1; #define X\""},
        ShapeCase{"closing_parenthesis_alone", "a = 1);\n", {}, 1, "cannot read \"a = 1);\""},
        ShapeCase{"key_alone_then_a_statement", "NAME\nb = 1;\n", {}, 1, "cannot read \"NAME\""}));

// Entries in the writer's CR LF shape read to the same statements as the
// same entries with LF line ends.
TEST(Reader, WriterEntriesReadAsTheirLfTwins)
{
    for (const std::string &crlfBytes :
         {laidOut("Ak", "5") + laidOut("Rpg", "-1.5e+3") + "x=1;\r\n" + laidOut("B", "abc", "Count", "\t"),
          "class Weapons\r\n{\r\n" + laidOut("Ak", "0") + "};\r\n;;\r\n" + laidOut("B", "1"),
          std::string("class C\r\n{\r\ncount = 2;\r\n}; // no line end after the entry\r\n"
                      "class D\r\n{\r\n         count = 3;\r\n};")}) {
        std::string lfBytes;
        for (char c : crlfBytes)
            if (c != '\r')
                lfBytes += c;
        const ReadFile crlfFile = readDescription(crlfBytes);
        const ReadFile lfFile = readDescription(lfBytes);
        ASSERT_FALSE(crlfFile.refusal) << describe(*crlfFile.refusal);
        ASSERT_FALSE(lfFile.refusal) << describe(*lfFile.refusal);
        EXPECT_EQ(crlfFile.lineCount, lfFile.lineCount);
        ASSERT_EQ(crlfFile.statements.size(), lfFile.statements.size()) << crlfBytes;
        for (std::size_t n = 0; n < crlfFile.statements.size(); ++n) {
            const Statement &a = crlfFile.statements[n];
            const Statement &b = lfFile.statements[n];
            EXPECT_TRUE(a.kind == b.kind && a.firstLine == b.firstLine && a.lastLine == b.lastLine &&
                        a.name == b.name && a.value == b.value && a.shape == b.shape && a.isArray == b.isArray)
                << crlfBytes << " statement " << n;
        }
    }
}

TEST(Reader, BracesAndQuotesInsideCommentsAndStringsAreNotRead)
{
    const ReadFile file = readDescription("// class X { \"\r\n"
                                          "s = \"a \"\"b\"\" {\"; /* } \r\n }; */ t = 2\r\n"
                                          "onloadintro=\"a\"b\"  \r\n"
                                          "class A: B {\n};\nclass C;\n#include \"x.h\"\n"
                                          "arr[] = {\"}\", {1, 2}};\n");
    ASSERT_FALSE(file.refusal) << describe(*file.refusal);
    using K = StatementKind;
    struct Expected {
        K kind;
        int first, last;
        std::string name, value;
    };
    const std::vector<Expected> expected = {
        {K::Comment, 1, 1, "", "// class X { \""},
        {K::Assignment, 2, 2, "s", "a \"b\" {"},
        {K::Comment, 2, 3, "", "/* } \r\n }; */"},
        {K::Assignment, 3, 3, "t", "2"},
        {K::Assignment, 4, 4, "onloadintro", "a\"b"},
        {K::ClassBegin, 5, 5, "A", ""},
        {K::ClassEnd, 6, 6, "", ""},
        {K::ClassDeclaration, 7, 7, "C", ""},
        {K::Directive, 8, 8, "include", "\"x.h\""},
        {K::Assignment, 9, 9, "arr", "{\"}\", {1, 2}}"},
    };
    ASSERT_EQ(file.statements.size(), expected.size());
    for (std::size_t n = 0; n < expected.size(); ++n) {
        const Statement &s = file.statements[n];
        SCOPED_TRACE("statement " + std::to_string(n));
        EXPECT_EQ(s.kind, expected[n].kind);
        EXPECT_EQ(s.firstLine, expected[n].first);
        EXPECT_EQ(s.lastLine, expected[n].last);
        EXPECT_EQ(s.name, expected[n].name);
        EXPECT_EQ(unquoted(s), expected[n].value);
    }
    EXPECT_EQ(file.statements[5].base, "B");
    EXPECT_TRUE(file.statements[9].isArray);
}

// What a file loads as: the controls that differ from the start values, the
// leftover line ranges and the number of guesses.
struct LoadCase {
    const char *name;
    Lines lines;                                         // the file, CR LF after each
    std::vector<std::pair<int, std::string>> ticks = {}; // slot ticked, its count box ("" keeps "0")
    std::vector<std::pair<int, std::string>> boxes = {}; // other count boxes
    std::vector<std::pair<int, int>> leftovers = {};     // line ranges
    std::size_t guesses = 0;
};

void PrintTo(const LoadCase &c, std::ostream *os)
{
    *os << c.name;
}

class Loads : public ::testing::TestWithParam<LoadCase>
{
};

TEST_P(Loads, FormIsExactlyAsExpected)
{
    const auto &c = GetParam();
    FormRecord expected;
    for (const auto &[slot, count] : c.ticks) {
        expected.setValue(wep(slot), ticked);
        if (!count.empty())
            expected.counts[static_cast<std::size_t>(slot)] = count;
    }
    for (const auto &[slot, count] : c.boxes)
        expected.counts[static_cast<std::size_t>(slot)] = count;

    FormRecord form = fullestForm();
    const std::string bytes = crlf(c.lines);
    const LoadReport listed = loadInto(readDescription(bytes), form);
    EXPECT_EQ(form.ticks, expected.ticks);
    EXPECT_EQ(form.counts, expected.counts);
    // Straight from the bytes, where a writer's entry takes its own path.
    const Loaded direct = loadDescription(bytes);
    EXPECT_TRUE(direct.form == static_cast<const Form &>(form));
    for (const LoadReport *report : {&listed, &direct.report}) {
        std::vector<std::pair<int, int>> ranges;
        for (const Leftover &l : report->leftovers)
            ranges.emplace_back(l.firstLine, l.lastLine);
        EXPECT_EQ(ranges, c.leftovers);
        EXPECT_EQ(report->guesses.size(), c.guesses);
    }
}

// Header lines 1..19, then the sections from line 20.
Lines file(const std::vector<Lines> &weapons, const std::vector<Lines> &magazines)
{
    return concat({headerLines(), section("Weapons", weapons), section("Magazines", magazines)});
}

INSTANTIATE_TEST_SUITE_P(
    Loader, Loads,
    ::testing::Values(
        LoadCase{"weapon_count_as_written",
                 file({entry("M16", "2.5"), entry("CZ75", "1E+15")}, {}),
                 {{slotOf("M16"), "2.5"}, {slotOf("CZ75"), "1E+15"}}},
        LoadCase{"count_not_a_number_stays_aside",
                 file({entry("M16", "1O"), entry("UZI", "3")}, {}),
                 {{slotOf("UZI"), "3"}},
                 {},
                 {{22, 25}}},
        LoadCase{"weapon_count_zero_stays_aside", file({entry("M16", "0")}, {}), {}, {}, {{22, 25}}},
        LoadCase{"weapon_count_negative_stays_aside", file({entry("M16", "-5")}, {}), {}, {}, {{22, 25}}},
        LoadCase{"briefing_value_outside_the_table", {"showGPS=3;"}, {}, {}, {{1, 1}}},
        // The game's class names do not depend on case; a magazine is no weapon.
        LoadCase{"class_names_in_any_case",
                 file({entry("m16", "4"), entry("FALMag", "3")}, {}),
                 {{slotOf("M16"), "4"}},
                 {},
                 {{26, 29}}},
        LoadCase{"magazine_ticks_its_weapon",
                 file({}, {entry("FALMag", "7"), entry("HandGrenade", "5")}),
                 {{slotOf("FAL"), ""}, {slotOf("HandGrenade"), "5"}},
                 {{ammoBoxOf("FAL"), "7"}}},
        LoadCase{"magazine_of_a_listed_weapon",
                 file({entry("FAL", "2")}, {entry("FALMag", "7")}),
                 {{slotOf("FAL"), "2"}},
                 {{ammoBoxOf("FAL"), "7"}}},
        LoadCase{"shared_to_the_listed_weapon",
                 file({entry("XMS", "2")}, {entry("M4", "9")}),
                 {{slotOf("XMS"), "2"}},
                 {{ammoBoxOf("XMS"), "9"}}},
        LoadCase{"shared_without_a_weapon_is_a_guess",
                 file({}, {entry("GrenadeLauncher", "6")}),
                 {{slotOf("M16GrenadeLauncher"), ""}},
                 {{ammoBoxOf("M16GrenadeLauncher"), "6"}},
                 {},
                 1},
        LoadCase{"shared_with_two_weapons_is_a_guess",
                 file({entry("AK74Su", "1"), entry("AK74", "1")}, {entry("AK74", "8")}),
                 {{slotOf("AK74Su"), "1"}, {slotOf("AK74"), "1"}},
                 {{ammoBoxOf("AK74Su"), "8"}},
                 {},
                 1},
        LoadCase{"shared_negative_total_split",
                 file({entry("M4", "1")}, {entry("M4", "-2")}),
                 {{slotOf("M4"), "1"}},
                 {{ammoBoxOf("M4"), "1"}, {ammoBoxOf("XMS"), "-3"}},
                 {},
                 1},
        LoadCase{"shared_zero_total_split",
                 file({}, {entry("AK47", "0")}),
                 {{slotOf("AK47"), ""}},
                 {{ammoBoxOf("AK47"), "1"}, {ammoBoxOf("AK47CZ"), "-1"}},
                 {},
                 2},
        // Ticking the Kozlice would make a press add it: the entry is kept as it stands.
        LoadCase{"kozlice_ammunition_alone_ticks_nothing", file({}, {entry("Kozliceball", "3")}), {}, {}, {{25, 28}}},
        LoadCase{"kozlice_listed",
                 file({entry("Kozlice", "2")}, {entry("Kozliceshell", "4")}),
                 {{slotOf("Kozlice"), "2"}, {slotOf("Kozliceshell"), "4"}}},
        LoadCase{
            "listed_twice", file({entry("UZI", "3"), entry("UZI", "4")}, {}), {{slotOf("UZI"), "3"}}, {}, {{26, 29}}},
        LoadCase{"hand_added_lines",
                 concat({{"respawn = 3;", "// mine"},
                         headerLines(),
                         {"class Weapons", "{", "class UZI", "{", "  count = 3; // three", "  rank = 1;", "};",
                          "class Other { count = 1; };", "};", "class Header { x = 1; };"}}),
                 {{slotOf("UZI"), "3"}},
                 {},
                 {{1, 1}, {2, 2}, {26, 26}, {27, 27}, {29, 29}, {31, 31}}},
        LoadCase{
            "sections_case_and_order",
            {"class MAGAZINES", "{", "class M16 {count=5;};", "};", "class weapons {", "class M16 {count=2;};", "};"},
            {{slotOf("M16"), "2"}},
            {{ammoBoxOf("M16"), "5"}}}));

// Hostile shapes a few megabytes long are read in one pass; a reader that
// went back over the line for each statement would not finish.
TEST(Reader, LongLinesAndDeepFilesStayLinear)
{
    std::string oneLine;
    while (oneLine.size() < (4u << 20))
        oneLine += "onloadintro=\"a\"; ";
    const ReadFile line = readDescription(oneLine);
    ASSERT_FALSE(line.refusal);
    EXPECT_EQ(line.statements.size(), oneLine.size() / 17);

    const std::string deep = "x[] = " + std::string(4u << 20, '{');
    const ReadFile refused = readDescription(deep);
    ASSERT_TRUE(refused.refusal);
    EXPECT_EQ(describe(*refused.refusal), "line 1: braces nested deeper than 32");

    // Continuations, parentheses and look aheads past a line's end.
    std::string continued = "#define X \\";
    for (int n = 0; n < 1'000'000; ++n)
        continued += "\n\\";
    const ReadFile define = readDescription(continued);
    ASSERT_FALSE(define.refusal);
    ASSERT_EQ(define.statements.size(), 1u);
    EXPECT_EQ(define.statements[0].lastLine, 1'000'001);

    const std::string calls = "x = f" + std::string(2u << 20, '(') + std::string(2u << 20, ')') + ";";
    const ReadFile call = readDescription(calls);
    ASSERT_FALSE(call.refusal);
    EXPECT_EQ(call.statements.size(), 1u);
    const ReadFile unclosed = readDescription("x = " + std::string(4u << 20, '('));
    ASSERT_TRUE(unclosed.refusal);
    EXPECT_EQ(describe(*unclosed.refusal), "line 1: a '(' without its ')'");

    std::string empties;
    while (empties.size() < (4u << 20))
        empties += "a =\n/* gap */\n";
    const ReadFile empty = readDescription(empties);
    ASSERT_FALSE(empty.refusal);
    EXPECT_EQ(empty.statements.size(), empties.size() / 14 * 2);
}

TEST(Loader, HeaderKeysInAnyCaseAndBriefingValues)
{
    const Lines lines = {"ONLOADINTRO=\"intro \"\"x\"\" \"",
                         "onLoadMission = \"m \"\"q\"\"\";",
                         "SHOWGPS=1",
                         "showMap=2",
                         "showRadio=5",
                         "showGPS=0",
                         "showWatch = \"1\""};
    FormRecord form;
    const std::string bytes = crlf(lines);
    const LoadReport report = loadInto(readDescription(bytes), form);
    EXPECT_EQ(form.intro, "intro \"x\" ") << "the writer's shape: doubled quotes undone";
    EXPECT_EQ(form.mission, "m \"q\"") << "a string of the file format: doubled quotes undone";
    EXPECT_EQ(form.value(chki(2)), ticked);
    EXPECT_EQ(form.value(chki(3)), greyed);
    EXPECT_EQ(form.value(chki(5)), unticked);
    EXPECT_EQ(form.value(chki(7)), unticked);
    ASSERT_EQ(report.leftovers.size(), 3u);
    EXPECT_EQ(report.leftovers[0].reason, "briefing value is not 0, 1 or 2");
    EXPECT_EQ(report.leftovers[1].reason, "given again after line 3");
    EXPECT_EQ(report.scripts, 2);
    EXPECT_EQ(report.briefing, 2);
    EXPECT_FALSE(report.hasWeapons);
}

TEST(Loader, ScriptNamesAreDecodedFromTheirCodePage)
{
    struct Case {
        std::string bytes;
        std::string intro;
        const char *leftover; // nullptr: none
    } cases[] = {
        {"onloadintro=\"caf\xE9\"", "caf\u00e9", nullptr},
#ifdef _WIN32
        // Windows' own table gives the five bytes Windows-1252 leaves
        // undefined the C1 controls of the same number; toAnsi maps them back.
        {"onloadintro=\"\x81\"", "\u0081", nullptr},
#else
        {"onloadintro=\"\x81\"", "", "a byte the code page does not define"},
#endif
        {"\xEF\xBB\xBFonloadintro=\"caf\xC3\xA9\"", "caf\u00e9", nullptr},
        {"\xEF\xBB\xBFonloadintro=\"\xE9\"", "", "bytes that are not UTF-8"},
        {"\xEF\xBB\xBFonloadintro=\"\xE0\x80\xAF\xF0\x80\x80\xAF\"", "", "bytes that are not UTF-8"}, // overlong
        {"\xEF\xBB\xBFonloadintro=\"\xED\xA0\x80\"", "", "bytes that are not UTF-8"},                 // surrogate
        {"\xEF\xBB\xBFonloadintro=\"\xF4\x90\x80\x80\"", "", "bytes that are not UTF-8"},             // > U+10FFFF
        {"onloadintro=\"" + std::string(longestScriptName, 'x') + "\"", std::string(longestScriptName, 'x'), nullptr},
        {"onloadintro=\"" + std::string(longestScriptName + 1, 'x') + "\"", "", "script name longer than 32,767 bytes"},
        // UTF-8, with its mark or without, stays UTF-8: nothing is lost.
        {"\xEF\xBB\xBFonloadintro=\"\xD0\x9F\"", "\u041f", nullptr},
        {"onloadintro=\"\xD0\x9F\"", "\u041f", nullptr},
    };
    for (const Case &c : cases) {
        FormRecord form;
        const LoadReport report = loadDescription(c.bytes).report;
        form = FormRecord(loadDescription(c.bytes).form);
        EXPECT_EQ(form.intro, c.intro) << c.bytes;
        if (c.leftover) {
            ASSERT_EQ(report.leftovers.size(), 1u) << c.bytes;
            EXPECT_EQ(report.leftovers[0].reason, c.leftover);
        } else {
            EXPECT_TRUE(report.leftovers.empty()) << c.bytes;
        }
    }
}

} // namespace
} // namespace qor
