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
    {"EmptyBoxOfTickedItemFails", [](FormRecord &f) { tick(f, "M16", ""); }, {slotOf("M16")}, false, true},
    {"ZeroPasses", [](FormRecord &f) { tick(f, "M16", "0"); }, {}, true, true},
    {"DoubleZeroFails", [](FormRecord &f) { tick(f, "M16", "00"); }, {slotOf("M16")}, false, true},
    {"ZeroPointZeroFails", [](FormRecord &f) { tick(f, "M16", "0.0"); }, {slotOf("M16")}, false, true},
    {"BlankZeroFails", [](FormRecord &f) { tick(f, "M16", " 0"); }, {slotOf("M16")}, false, true},
    {"MinusZeroFails", [](FormRecord &f) { tick(f, "M16", "-0"); }, {slotOf("M16")}, false, true},
    {"ZeroXFails", [](FormRecord &f) { tick(f, "M16", "0x"); }, {slotOf("M16")}, false, true},
    {"LettersFail", [](FormRecord &f) { tick(f, "M16", "abc"); }, {slotOf("M16")}, false, true},
    {"LeadingNumberPasses", [](FormRecord &f) { tick(f, "M16", "3abc"); }, {}, true, true},
    {"NegativePasses", [](FormRecord &f) { tick(f, "M16", "-3"); }, {}, true, true},
    {"FractionPasses", [](FormRecord &f) { tick(f, "M16", "0.5"); }, {}, true, true},
    {"OutOfRangeIsNotANumber", [](FormRecord &f) { tick(f, "M16", "1e999"); }, {slotOf("M16")}, false, true},
    {"UntickedNeverReported", [](FormRecord &f) { f.counts[slotOf("M16")] = "abc"; }, {}, true, true},
    {"GreyedCountsAsUnticked",
     [](FormRecord &f) {
         f.setValue(wep(slotOf("M16")), greyed);
         f.counts[slotOf("M16")] = "abc";
     },
     {},
     true,
     true},
    {"LoopGroupStopsAtItsFirstFailure",
     [](FormRecord &f) {
         tick(f, "HK", "x");
         tick(f, "HKG3", "x");
     },
     {slotOf("HK")},
     false,
     true},
    {"EachFirstPassGroupReports",
     [](FormRecord &f) {
         tick(f, "M21", "x");
         tick(f, "Binocular", "x");
         tick(f, "CZ75", "x");
     },
     {slotOf("M21"), slotOf("Binocular"), slotOf("CZ75")},
     false,
     true},
    {"AmmoBoxJudgedByItsWeapon",
     [](FormRecord &f) {
         tick(f, "FAL", "1");
         f.counts[ammoBoxOf("FAL")] = "x";
     },
     {ammoBoxOf("FAL")},
     true,
     false},
    {"AmmoBoxOfUntickedWeaponNotReported", [](FormRecord &f) { f.counts[ammoBoxOf("FAL")] = "x"; }, {}, true, true},
    {"SingleChecksDoNotStopEachOther",
     [](FormRecord &f) {
         tick(f, "Kozliceshell", "x");
         tick(f, "Kozliceball", "x");
     },
     {slotOf("Kozliceshell"), slotOf("Kozliceball")},
     true,
     false},
    {"CzAmmoBoxesJudgedByTheirOwnWeapons",
     [](FormRecord &f) {
         tick(f, "AK47CZ", "1");
         tick(f, "CZ75", "1");
         f.counts[ammoBoxOf("AK47CZ")] = "";
         f.counts[ammoBoxOf("CZ75")] = "";
     },
     {ammoBoxOf("AK47CZ"), ammoBoxOf("CZ75")},
     true,
     false},
    {"NineGroupsNineMessagesInGroupOrder",
     [](FormRecord &f) {
         for (int slot :
              {slotOf("M4"), slotOf("M16"), slotOf("LaserDesignator"), slotOf("NVGoggles"), slotOf("AK47CZ"),
               slotOf("CZ75"), slotOf("HandGrenade"), slotOf("Mortar"), slotOf("Kozliceshell"), slotOf("Kozliceball")})
             tick(f, slot, "x");
         f.counts[ammoBoxOf("M4")] = "x";
         f.counts[ammoBoxOf("M16")] = "x";
         f.counts[ammoBoxOf("AK47CZ")] = "x";
         f.counts[ammoBoxOf("CZ75")] = "x";
     },
     {slotOf("M4"), slotOf("LaserDesignator"), slotOf("AK47CZ"), slotOf("HandGrenade"), ammoBoxOf("M4"),
      slotOf("Kozliceshell"), slotOf("Kozliceball"), ammoBoxOf("AK47CZ"), ammoBoxOf("CZ75")},
     false,
     false},
};

INSTANTIATE_TEST_SUITE_P(Table, Checks, ::testing::ValuesIn(checkCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Checks, FocusRestsOnTheLastFailure)
{
    FormRecord form;
    tick(form, "M21", "x");
    tick(form, "HandGrenade", "x");
    press(form);
    EXPECT_EQ(form.focus, cant(slotOf("HandGrenade")));
}

TEST(Checks, AnEmptiedBoxFailsAgainUntilANumberIsTyped)
{
    FormRecord form;
    tick(form, "LAWLauncher", "many");
    press(form);
    EXPECT_EQ(form.counts[slotOf("LAWLauncher")], "");
    press(form);
    EXPECT_EQ(form.messages.size(), 2u);
    form.counts[slotOf("LAWLauncher")] = "2";
    const std::string file = press(form);
    EXPECT_EQ(form.messages.size(), 2u);
    EXPECT_NE(file.find("class LAWLauncher\r\n{\r\n         count = 2;\r\n"), std::string::npos);
}

TEST(Checks, ValidEndsEachPassAsItsOutcome)
{
    FormRecord form;
    WindowFields fields;
    fields.valid = validTrue;
    tick(form, "M16", "x");
    std::vector<int> failed;
    firstCheckPass(form, fields, failed);
    EXPECT_EQ(fields.valid, validFalse);
    fields.valid = validTrue;
    secondCheckPass(form, fields, failed);
    EXPECT_EQ(fields.valid, validTrue);
}

} // namespace
} // namespace qor
