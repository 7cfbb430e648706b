#include "testutil.h"

#include <gtest/gtest.h>

namespace qor
{
namespace
{

using namespace test;

TEST(Press, WindowAsItOpensGivesTheEmptyFile)
{
    FormRecord form;
    const auto expected = concat({headerLines(), section("Weapons", {}), section("Magazines", {})});
    ASSERT_EQ(expected.size(), 25u);
    EXPECT_EQ(press(form), crlf(expected));
    EXPECT_TRUE(form.messages.empty());
}

TEST(Press, OneRifleWithMagazinesGivesItsLines)
{
    FormRecord form;
    form.intro = "introscript";
    form.mission = "missionscript";
    tick(form, "M16", "2");
    form.counts[ammoBoxOf("M16")] = "10";
    const auto expected = concat({headerLines("introscript", "missionscript"), section("Weapons", {entry("M16", "2")}),
                                  section("Magazines", {entry("M16", "10")})});
    ASSERT_EQ(expected.size(), 33u);
    EXPECT_EQ(press(form), crlf(expected));
}

TEST(Press, BriefingFlagsWriteTheirValue)
{
    for (std::int16_t v : {unticked, ticked, greyed}) {
        FormRecord form;
        for (int n = 1; n <= briefingCount; ++n)
            form.setValue(chki(n), v);
        const auto lines = headerLines("", "", std::vector<int>(briefingCount, v));
        EXPECT_EQ(press(form).substr(0, crlf(lines).size()), crlf(lines)) << v;
    }
}

TEST(Press, EachBriefingBoxFeedsItsOwnKey)
{
    // One box at a time, so a swapped pair of keys cannot hide.
    for (int n = 1; n <= briefingCount; ++n) {
        FormRecord form;
        form.briefing.fill(unticked);
        form.setValue(chki(n), greyed);
        std::vector<int> flags(briefingCount, 0);
        flags[static_cast<std::size_t>(n - 1)] = 2;
        EXPECT_EQ(press(form).substr(0, crlf(headerLines("", "", flags)).size()), crlf(headerLines("", "", flags)));
    }
}

struct ScriptCase {
    const char *typed; // UTF-8, as the window hands it over
    const char *bytes; // what the file holds between the quotes
};

void PrintTo(const ScriptCase &c, std::ostream *os)
{
    *os << ::testing::PrintToString(std::string(c.typed));
}

class ScriptNames : public ::testing::TestWithParam<ScriptCase>
{
};

TEST_P(ScriptNames, AreWrittenInTheAnsiCodePageTheirQuotesDoubled)
{
    FormRecord form;
    form.intro = GetParam().typed;
    form.mission = GetParam().typed;
    const std::string file = press(form);
    const std::string quoted = std::string("\"") + GetParam().bytes + "\"\r\n";
    EXPECT_EQ(file.substr(0, 2 + 12 + quoted.size()), "\r\nonloadintro=" + quoted);
    EXPECT_NE(file.find("\r\nonLoadMission=" + quoted), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, ScriptNames,
                         ::testing::Values(ScriptCase{"", ""}, ScriptCase{"intro.sqs", "intro.sqs"},
                                           ScriptCase{"say \"hi\"", "say \"\"hi\"\""},
                                           ScriptCase{" padded ", " padded "},
                                           ScriptCase{"caf\xC3\xA9", "caf\xE9"}, // é is in Windows-1252
                                           ScriptCase{"\xE2\x82\xAC"
                                                      "5",
                                                      "\x80"
                                                      "5"}, // so is the euro sign
                                           ScriptCase{"\xC5\xA1"
                                                      "x",
                                                      "\x9Ax"}, // and š
                                           ScriptCase{"\xC5\x9B"
                                                      "x",
                                                      "?x"}, // ś is not
                                           ScriptCase{"\xD0\x96"
                                                      "a",
                                                      "?a"},                      // Cyrillic Ж is not
                                           ScriptCase{"\xF0\x9F\x98\x80!", "?!"}, // nor an emoji
                                           ScriptCase{"\xFF"
                                                      "a\xC3",
                                                      "?a?"}, // broken UTF-8 costs a "?" each
                                           ScriptCase{"\xE2\x82"
                                                      "A",
                                                      "?A"}, // a cut sequence keeps what follows
                                           ScriptCase{"tab\there", "tab\there"}));

TEST(Press, TheQuoteComesFromTheQuoteHolder)
{
    FormRecord form;
    form.quote = "'";
    form.intro = "a";
    EXPECT_EQ(press(form).substr(0, 19), "\r\nonloadintro='a'\r\n");
}

} // namespace
} // namespace qor
