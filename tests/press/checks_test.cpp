// Count checks: which boxes are reported, emptied and focused, and which
// sections survive.
#include "press/checks.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <functional>

namespace qor
{
namespace
{

using namespace test;

struct CheckCase {
    const char *name;
    std::function<void(FormRecord &)> setup;
    std::vector<int> failed; // boxes reported, in order
    bool weapons;            // Weapons section written
    bool magazines;          // Magazines section written
};

void PrintTo(const CheckCase &c, std::ostream *os)
{
    *os << c.name;
}

class Checks : public ::testing::TestWithParam<CheckCase>
{
};

TEST_P(Checks, ReportEmptyFocusAndDropTheirSection)
{
    const auto &c = GetParam();
    FormRecord form;
    c.setup(form);
    const FormRecord before = form;
    const std::string file = press(form);

    EXPECT_EQ(form.messages, std::vector<std::string>(c.failed.size(), "error; not a number"));
    std::vector<ControlId> focus;
    for (int box : c.failed)
        focus.push_back(cant(box));
    EXPECT_EQ(form.focusMoves, focus);
    for (int slot = 0; slot < slotCount; ++slot) {
        const bool emptied = std::find(c.failed.begin(), c.failed.end(), slot) != c.failed.end();
        const auto s = static_cast<std::size_t>(slot);
        EXPECT_EQ(form.counts[s], emptied ? "" : before.counts[s]) << "box " << slot;
    }
    EXPECT_EQ(form.ticks, before.ticks);
    EXPECT_EQ(file.find("class Weapons\r\n") != std::string::npos, c.weapons);
    EXPECT_EQ(file.find("class Magazines\r\n") != std::string::npos, c.magazines);
    EXPECT_EQ(file.substr(0, crlf(headerLines()).size()), crlf(headerLines()));
}

const CheckCase checkCases[] = {
    {"EmptyBoxOfTickedItemFails", [](FormRecord &f) { tick(f, 1, ""); }, {1}, false, true},
    {"ZeroPasses", [](FormRecord &f) { tick(f, 1, "0"); }, {}, true, true},
    {"DoubleZeroFails", [](FormRecord &f) { tick(f, 1, "00"); }, {1}, false, true},
    {"ZeroPointZeroFails", [](FormRecord &f) { tick(f, 1, "0.0"); }, {1}, false, true},
    {"BlankZeroFails", [](FormRecord &f) { tick(f, 1, " 0"); }, {1}, false, true},
    {"MinusZeroFails", [](FormRecord &f) { tick(f, 1, "-0"); }, {1}, false, true},
    {"ZeroXFails", [](FormRecord &f) { tick(f, 1, "0x"); }, {1}, false, true},
    {"LettersFail", [](FormRecord &f) { tick(f, 1, "abc"); }, {1}, false, true},
    {"LeadingNumberPasses", [](FormRecord &f) { tick(f, 1, "3abc"); }, {}, true, true},
    {"NegativePasses", [](FormRecord &f) { tick(f, 1, "-3"); }, {}, true, true},
    {"FractionPasses", [](FormRecord &f) { tick(f, 1, "0.5"); }, {}, true, true},
    {"OutOfRangeIsNotANumber", [](FormRecord &f) { tick(f, 1, "1e999"); }, {1}, false, true},
    {"UntickedNeverReported", [](FormRecord &f) { f.counts[1] = "abc"; }, {}, true, true},
    {"GreyedCountsAsUnticked",
     [](FormRecord &f) {
         f.setValue(wep(1), greyed);
         f.counts[1] = "abc";
     },
     {},
     true,
     true},
    {"LoopGroupStopsAtItsFirstFailure",
     [](FormRecord &f) {
         tick(f, 3, "x");
         tick(f, 7, "x");
     },
     {3},
     false,
     true},
    {"EachFirstPassGroupReports",
     [](FormRecord &f) {
         tick(f, 5, "x");
         tick(f, 45, "x");
         tick(f, 51, "x");
     },
     {5, 45, 51},
     false,
     true},
    {"AmmoBoxJudgedByItsWeapon",
     [](FormRecord &f) {
         tick(f, 8, "1");
         f.counts[60] = "x";
     },
     {60},
     true,
     false},
    {"AmmoBoxOfUntickedWeaponNotReported", [](FormRecord &f) { f.counts[60] = "x"; }, {}, true, true},
    {"SingleChecksDoNotStopEachOther",
     [](FormRecord &f) {
         tick(f, 48, "x");
         tick(f, 49, "x");
     },
     {48, 49},
     true,
     false},
    {"CzAmmoBoxesJudgedByTheirOwnWeapons",
     [](FormRecord &f) {
         tick(f, 50, "1");
         tick(f, 51, "1");
         f.counts[84] = "";
         f.counts[85] = "";
     },
     {84, 85},
     true,
     false},
    {"NineGroupsNineMessagesInGroupOrder",
     [](FormRecord &f) {
         for (int slot : {0, 1, 44, 46, 50, 51, 32, 33, 48, 49})
             tick(f, slot, "x");
         f.counts[52] = "x";
         f.counts[53] = "x";
         f.counts[84] = "x";
         f.counts[85] = "x";
     },
     {0, 44, 50, 32, 52, 48, 49, 84, 85},
     false,
     false},
};

INSTANTIATE_TEST_SUITE_P(Table, Checks, ::testing::ValuesIn(checkCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Checks, FocusRestsOnTheLastFailure)
{
    FormRecord form;
    tick(form, 5, "x");
    tick(form, 32, "x");
    press(form);
    EXPECT_EQ(form.focus, cant(32));
}

TEST(Checks, AnEmptiedBoxFailsAgainUntilANumberIsTyped)
{
    FormRecord form;
    tick(form, 12, "many");
    press(form);
    EXPECT_EQ(form.counts[12], "");
    press(form);
    EXPECT_EQ(form.messages.size(), 2u);
    form.counts[12] = "2";
    const std::string file = press(form);
    EXPECT_EQ(form.messages.size(), 2u);
    EXPECT_NE(file.find("class LAWLauncher\r\n{\r\n         count = 2;\r\n"), std::string::npos);
}

TEST(Checks, ValidEndsEachPassAsItsOutcome)
{
    FormRecord form;
    WindowFields fields;
    fields.valid = validTrue;
    tick(form, 1, "x");
    std::vector<int> failed;
    firstCheckPass(form, fields, failed);
    EXPECT_EQ(fields.valid, validFalse);
    fields.valid = validTrue;
    secondCheckPass(form, fields, failed);
    EXPECT_EQ(fields.valid, validTrue);
}

} // namespace
} // namespace qor
