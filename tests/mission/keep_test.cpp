// Keeping what the form does not hold: where each kind of hand-added line
// goes, what cannot be kept and why, and the property that a press of the
// loaded form writes a file that reads back the same and presses to itself.
#include "format/countformat.h"
#include "handedits.h"
#include "mission/keep.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qor
{
namespace
{

using namespace test;
using Added = std::vector<std::pair<int, Lines>>; // before line n of the form's own file

// The form's own file: header 1-19, Weapons 20-26 (M16 at 22), Magazines 27-33.
Lines own()
{
    FormRecord f;
    tick(f, 1, "4");
    f.counts[53] = "10";
    const std::string bytes = test::press(f);
    Lines lines;
    for (std::size_t at = 0; at < bytes.size(); at = bytes.find("\r\n", at) + 2)
        lines.push_back(bytes.substr(at, bytes.find("\r\n", at) - at));
    return lines;
}

std::string with(const Added &added, Lines lines = own())
{
    for (auto a = added.rbegin(); a != added.rend(); ++a)
        lines.insert(lines.begin() + a->first - 1, a->second.begin(), a->second.end());
    return crlf(lines);
}

struct KeepCase {
    const char *name;
    Added added;
    Added expected = {};                          // where they end up; {} where they stay
    std::vector<std::pair<int, int>> unkept = {}; // lines of the file that cannot be kept
};

void PrintTo(const KeepCase &c, std::ostream *os)
{
    *os << c.name;
}

class Keeps : public ::testing::TestWithParam<KeepCase>
{
};

TEST_P(Keeps, WhereTheyStood)
{
    const KeepCase &c = GetParam();
    const Keeping p = pressLoaded(with(c.added));
    std::vector<std::pair<int, int>> unkept;
    for (const Leftover &l : p.kept.unkept)
        unkept.emplace_back(l.firstLine, l.lastLine);
    EXPECT_EQ(unkept, c.unkept);
    EXPECT_EQ(p.kept.bytes, c.unkept.empty() ? with(c.expected.empty() ? c.added : c.expected) : with(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Keep, Keeps,
    ::testing::Values(
        KeepCase{"top_before_the_header", {{1, {"// mine", "respawn = 3;"}}}},
        KeepCase{"between_header_and_weapons", {{20, {"#include \"x.hpp\"", "", "class Extra { a = 1; };"}}}},
        KeepCase{"after_magazines", {{34, {"class CfgSounds", "{", "", "  sounds[] = {};", "};"}}}},
        KeepCase{"between_the_sections", {{27, {"/* a", "   b */"}}}},
        KeepCase{"add_on_entries_in_their_section",
                 {{22, {"class Addon_Gun { count = 5; };"}}, {33, {"// add-on", "class Addon_Mag { count = 2; };"}}}},
        KeepCase{"a_count_not_a_number_in_weapons", {{26, {"class UZI { count = 1O; };"}}}},
        KeepCase{"kozlice_ammunition_alone", {{33, {"class Kozliceball", "{", "  count = 3;", "};"}}}},
        // Between header keys: before the header, the first thing after it.
        KeepCase{"key_among_the_header_keys", {{10, {"respawn = 3;"}}}, {{1, {"respawn = 3;"}}}},
        KeepCase{"comment_inside_an_entry_follows_it", {{25, {"// four"}}}, {{26, {"// four"}}}},
        KeepCase{"header_key_again", {{20, {"showMap=0;"}}}, {}, {{20, 20}}},
        KeepCase{"second_weapons_section", {{27, {"class Weapons { };"}}}, {}, {{27, 27}}},
        KeepCase{"entry_listed_again", {{26, {"class M16 { count = 2; };"}}}, {}, {{26, 26}}},
        KeepCase{"key_inside_an_entry", {{25, {"rank = 1;"}}}, {}, {{25, 25}}}));

// Lines shared with what the form writes. A comment closing such a line
// follows what it was written after; anything else on it, or a comment in
// front, is asked about. The reader takes an item's first listing, so a later
// one kept without it would tick the item on the next read: it goes too.
TEST(Keep, LinesSharedWithWhatTheFormWrites)
{
    using Edit = std::vector<std::pair<int, std::string>>; // line n becomes the text; "" removes it
    const struct {
        const char *name;
        Edit file, pressed;           // pressed: {} where the press writes the form's own file
        std::vector<int> unkept = {}; // first lines of what is asked about
    } rows[] = {
        {"header_key", {{10, "showMap=1; // map on"}}, {{10, "showMap=1 // map on"}}},
        {"no_blank_before", {{8, "showGPS=0;//off"}}, {{8, "showGPS=0 //off"}}},
        {"section_brace", {{21, "{\t/* guns */"}}, {{21, "{\t/* guns */"}}},
        {"entry_count", {{24, "count = 4; // four"}}, {{24, "         count = 4; // four"}}},
        {"entry_on_one_line",
         {{22, "class M16 { count = 4; }; // rifles"}, {23, ""}, {24, ""}, {25, ""}},
         {{25, "}; // rifles"}}},
        {"before_the_key", {{10, "/* x */ showMap=1;"}}, {}, {10}},
        {"after_a_script_name", {{2, "onloadintro=\"\"; // x"}}, {}, {2}},
        {"key_after_a_header_key", {{10, "showMap=1; respawn = 3;"}}, {}, {10}},
        {"listing_again_after_one_not_kept", {{25, "}; class UZI { };\r\nclass UZI { count = 2; };"}}, {}, {25, 26}},
    };
    const auto edited = [](const Edit &edit) {
        Lines lines = own();
        for (auto e = edit.rbegin(); e != edit.rend(); ++e)
            if (e->second.empty())
                lines.erase(lines.begin() + e->first - 1);
            else
                lines[static_cast<std::size_t>(e->first - 1)] = e->second;
        return crlf(lines);
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Keeping p = pressLoaded(edited(row.file));
        std::vector<int> unkept;
        for (const Leftover &l : p.kept.unkept)
            unkept.push_back(l.firstLine);
        EXPECT_EQ(unkept, row.unkept);
        EXPECT_EQ(p.kept.bytes, edited(row.pressed));
        EXPECT_EQ(pressLoaded(p.kept.bytes).kept.bytes, p.kept.bytes);
    }
}

TEST(Keep, UnicodeOnlyWhereAKeptLineNeedsIt)
{
    const std::string bom = "\xEF\xBB\xBF";
    const Keeping latin = pressLoaded(bom + with({{1, {"// caf\xC3\xA9"}}}));
    EXPECT_EQ(latin.kept.bytes, with({{1, {"// caf\xE9"}}})) << "the code page holds it";
    const Keeping snow = pressLoaded(bom + with({{1, {"// \xE2\x98\x83"}}}));
    EXPECT_TRUE(snow.kept.utf8);
    EXPECT_EQ(snow.kept.bytes, bom + with({{1, {"// \xE2\x98\x83"}}}));
}

std::vector<std::string> keptTexts(const std::string &bytes)
{
    const ReadFile file = readDescription(bytes);
    const auto starts = lineStarts(bytes, file.utf8);
    std::vector<std::string> texts;
    for (const Leftover &l : loadForm(file).report.leftovers) {
        const std::size_t end =
            static_cast<std::size_t>(l.lastLine) < starts.size() ? starts[l.lastLine] : bytes.size();
        texts.push_back(bytes.substr(starts[l.firstLine - 1], end - starts[l.firstLine - 1]));
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Random forms, random hand edits: the press keeps every edit, reads back to
// the same form and presses to the same bytes.
TEST(Keep, RandomHandEditsAreAFixedPoint)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        FormRecord form = randomForm(rng);
        const std::string edited = spliceHandEdits(test::press(form), rng, static_cast<int>(rng() % 8));
        ASSERT_FALSE(readDescription(edited).refusal) << edited;
        const Keeping once = pressLoaded(edited);
        ASSERT_TRUE(once.kept.unkept.empty()) << once.kept.unkept[0].reason;
        if (once.kept.dropped.empty()) {
            EXPECT_EQ(keptTexts(once.kept.bytes), keptTexts(edited));
        }
        const Keeping twice = pressLoaded(once.kept.bytes);
        ASSERT_EQ(twice.kept.bytes, once.kept.bytes);
        EXPECT_EQ(twice.form.counts, once.form.counts);
        EXPECT_EQ(twice.form.ticks, once.form.ticks);
    }
}

} // namespace
} // namespace qor
