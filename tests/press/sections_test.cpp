// What each section lists for a given form: whole files compared.
#include "format/countformat.h"
#include "press/sections.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <functional>
#include <optional>

namespace qor
{
namespace
{

using namespace test;
using Entries = std::vector<Lines>;

struct SectionCase {
    const char *name;
    std::function<void(FormRecord &)> setup;
    std::optional<Entries> weapons;   // nullopt: section left out
    std::optional<Entries> magazines; // nullopt: section left out
};

Lines sectionLines(const char *title, const std::optional<Entries> &entries)
{
    return entries ? section(title, *entries) : Lines{};
}

void PrintTo(const SectionCase &c, std::ostream *os)
{
    *os << c.name;
}

class Sections : public ::testing::TestWithParam<SectionCase>
{
};

TEST_P(Sections, FileIsExactlyAsExpected)
{
    const auto &c = GetParam();
    FormRecord form;
    c.setup(form);
    const auto expected =
        concat({headerLines(), sectionLines("Weapons", c.weapons), sectionLines("Magazines", c.magazines)});
    EXPECT_EQ(press(form), crlf(expected));
}

const SectionCase sectionCases[] = {
    {"WeaponsInSlotOrderWhateverTheTickingOrder",
     [](FormRecord &f) {
         tick(f, "AK47", "2");
         tick(f, "M16", "4");
     },
     Entries{entry("M16", "4"), entry("AK47", "2")}, Entries{}},
    {"WeaponRunsJoinAfterSlot31And47",
     [](FormRecord &f) {
         tick(f, "CZ75", "1");
         tick(f, "LaserDesignator", "1");
         tick(f, "Skorpion", "1");
         tick(f, "Kozlice", "1");
         tick(f, "AK47CZ", "1");
     },
     Entries{entry("Skorpion", "1"), entry("LaserDesignator", "1"), entry("Kozlice", "1"), entry("AK47CZ", "1"),
             entry("CZ75", "1")},
     Entries{}},
    {"ZeroNegativeGreyedAndUntickedGiveNoEntry",
     [](FormRecord &f) {
         tick(f, "M4", "0");
         tick(f, "M60", "-2");
         f.setValue(wep(slotOf("HK")), greyed);
         f.counts[slotOf("HK")] = "5";
         f.counts[slotOf("M21")] = "5";
     },
     Entries{}, Entries{}},
    {"CountsReadTheLeadingNumber",
     [](FormRecord &f) {
         tick(f, "G36a", "3 rifles");
         tick(f, "HKG3", " 3");
         tick(f, "FAL", "2.5");
         tick(f, "Steyr", "&H10");
     },
     Entries{entry("G36a", "3"), entry("HKG3", "3"), entry("FAL", "2.5"), entry("Steyr", "16")}, Entries{}},
    {"MagazineItemsNeverListedAsWeapons",
     [](FormRecord &f) {
         tick(f, "HandGrenade", "5");
         tick(f, "Kozliceshell", "1");
         tick(f, "Kozliceball", "1");
     },
     Entries{}, Entries{entry("HandGrenade", "5")}},
    {"EquipmentAndOwnMagazines",
     [](FormRecord &f) {
         tick(f, "HandGrenade", "5");
         tick(f, "M16", "1");
         f.counts[ammoBoxOf("M16")] = "10";
     },
     Entries{entry("M16", "1")}, Entries{entry("HandGrenade", "5"), entry("M16", "10")}},
    {"AmmoJudgedByTheWeaponsTickNotItsCount",
     [](FormRecord &f) {
         tick(f, "M60", "0");
         f.counts[ammoBoxOf("M60")] = "6";
     },
     Entries{}, Entries{entry("M60", "6")}},
    {"AmmoOfUntickedOrGreyedWeaponIsLeftOut",
     [](FormRecord &f) {
         f.counts[ammoBoxOf("M60")] = "6";
         f.setValue(wep(slotOf("AT4Launcher")), greyed);
         f.counts[ammoBoxOf("AT4Launcher")] = "2";
     },
     Entries{}, Entries{}},
    {"Box75ComesAfter73AndBefore78",
     [](FormRecord &f) {
         tick(f, "AT4Launcher", "0");
         f.counts[ammoBoxOf("AT4Launcher")] = "2";
         tick(f, "SVDDragunov", "0");
         f.counts[ammoBoxOf("SVDDragunov")] = "1";
         tick(f, "Bizon", "0");
         f.counts[ammoBoxOf("Bizon")] = "4";
     },
     Entries{}, Entries{entry("BizonMag", "4"), entry("SVDDragunov", "1"), entry("AT4Launcher", "2")}},
    {"SharedM4CountsUntickedBoxToo",
     [](FormRecord &f) {
         tick(f, "M4", "0");
         f.counts[ammoBoxOf("M4")] = "6";
         f.counts[ammoBoxOf("XMS")] = "4";
     },
     Entries{}, Entries{entry("M4", "10")}},
    {"SharedM4WithNegativeBox",
     [](FormRecord &f) {
         tick(f, "M4", "0");
         f.counts[ammoBoxOf("M4")] = "3";
         f.counts[ammoBoxOf("XMS")] = "-5";
     },
     Entries{}, Entries{entry("M4", "-2")}},
    {"SharedM4NeedsAnActivePair",
     [](FormRecord &f) {
         tick(f, "M4", "0");
         tick(f, "XMS", "0");
     },
     Entries{}, Entries{}},
    {"GrenadeLauncherOnceWithTheSumOfThree",
     [](FormRecord &f) {
         tick(f, "M16GrenadeLauncher", "0");
         tick(f, "AK74GrenadeLauncher", "0");
         tick(f, "AK47GrenadeLauncher", "0");
         f.counts[ammoBoxOf("M16GrenadeLauncher")] = "1";
         f.counts[ammoBoxOf("AK74GrenadeLauncher")] = "2";
         f.counts[ammoBoxOf("AK47GrenadeLauncher")] = "3";
     },
     Entries{}, Entries{entry("GrenadeLauncher", "6")}},
    {"GrenadeLauncherSumsLeftToRight",
     // (1e16 + -1e16) + 0.5 is 0.5; 1e16 + (-1e16 + 0.5) would not be.
     [](FormRecord &f) {
         tick(f, "M16GrenadeLauncher", "0");
         f.counts[ammoBoxOf("M16GrenadeLauncher")] = "1e16";
         f.counts[ammoBoxOf("AK74GrenadeLauncher")] = "-1e16";
         f.counts[ammoBoxOf("AK47GrenadeLauncher")] = "0.5";
     },
     Entries{}, Entries{entry("GrenadeLauncher", "0.5")}},
    {"AK47FromTheCzOnly",
     [](FormRecord &f) {
         tick(f, "AK47CZ", "0");
         f.counts[ammoBoxOf("AK47CZ")] = "3";
     },
     Entries{}, Entries{entry("AK47", "3")}},
    {"AK74SharedBySuAndPlain",
     [](FormRecord &f) {
         tick(f, "AK74", "0");
         f.counts[ammoBoxOf("AK74Su")] = "2";
         f.counts[ammoBoxOf("AK74")] = "5";
     },
     Entries{}, Entries{entry("AK74", "7")}},
    {"KozliceAmmoNeedsTheKozliceTicked", [](FormRecord &f) { tick(f, "Kozliceshell", "5"); }, Entries{}, Entries{}},
    {"KozliceAmmoNeedsTheKozliceCounted",
     [](FormRecord &f) {
         tick(f, "Kozlice", "0");
         tick(f, "Kozliceshell", "5");
     },
     Entries{}, Entries{}},
    {"KozliceAmmoBetweenM4AndAK74",
     [](FormRecord &f) {
         tick(f, "Kozlice", "1");
         tick(f, "Kozliceshell", "5");
         tick(f, "Kozliceball", "7");
         tick(f, "M4", "0");
         f.counts[ammoBoxOf("M4")] = "2";
         tick(f, "AK74Su", "0");
         f.counts[ammoBoxOf("AK74Su")] = "3";
     },
     Entries{entry("Kozlice", "1")},
     Entries{entry("M4", "2"), entry("Kozliceshell", "5"), entry("Kozliceball", "7"), entry("AK74", "3")}},
    {"CZ75MagLast",
     [](FormRecord &f) {
         tick(f, "CZ75", "0");
         f.counts[ammoBoxOf("CZ75")] = "4";
         tick(f, "AK47", "0");
         f.counts[ammoBoxOf("AK47")] = "1";
     },
     Entries{}, Entries{entry("AK47", "1"), entry("CZ75Mag", "4")}},
    {"SameNameInBothSections",
     [](FormRecord &f) {
         tick(f, "HK", "1");
         f.counts[ammoBoxOf("HK")] = "2";
     },
     Entries{entry("HK", "1")}, Entries{entry("HK", "2")}},
    {"EquipmentWeaponsListedOnceAsWeapons",
     [](FormRecord &f) {
         tick(f, "LaserDesignator", "1");
         tick(f, "Binocular", "2");
         tick(f, "NVGoggles", "3");
     },
     Entries{entry("LaserDesignator", "1"), entry("Binocular", "2"), entry("NVGoggles", "3")}, Entries{}},
};

INSTANTIATE_TEST_SUITE_P(Table, Sections, ::testing::ValuesIn(sectionCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Every item ticked and counted: the whole file against the one kept in tests/.
// QOR_UPDATE_KEPT=1 writes the file anew, after a change to the catalogue.
TEST(Sections, FullestFormMatchesTheKeptFile)
{
    FormRecord form = fullestForm();
    if (std::getenv("QOR_UPDATE_KEPT")) {
        ASSERT_TRUE(writeFile(QOR_TEST_DATA "/fullest.ext", press(form)));
    }
    const std::string kept = readFile(QOR_TEST_DATA "/fullest.ext");
    ASSERT_NE(kept, "<missing>");
    EXPECT_EQ(press(form), kept);
}

// Whether a box's own value reaches the file: two presses that differ only
// in it (both above 0, so no condition changes) write different files.
bool boxCounts(const FormRecord &form, int box)
{
    FormRecord a = form, b = form;
    a.counts[static_cast<std::size_t>(box)] = "1000";
    b.counts[static_cast<std::size_t>(box)] = "2000";
    return press(a) != press(b);
}

bool conditionHolds(const std::vector<CountCondition> &alternatives, const FormRecord &form)
{
    return std::any_of(alternatives.begin(), alternatives.end(), [&](const CountCondition &c) {
        return std::all_of(c.ticked.begin(), c.ticked.end(), [&](int w) { return form.value(wep(w)) == ticked; }) &&
               std::all_of(c.aboveZero.begin(), c.aboveZero.end(),
                           [&](int box) { return readCount(form.text(cant(box))) > 0; });
    });
}

// Forms around `base`: itself, and each check box and each count box but
// `box` turned to the other state in turn.
std::vector<FormRecord> oneControlAway(const FormRecord &base, int box, bool on)
{
    std::vector<FormRecord> forms{base};
    for (int w = 0; w < checkBoxCount; ++w) {
        forms.push_back(base);
        forms.back().setValue(wep(w), on ? ticked : unticked);
    }
    for (int other = 0; other < slotCount; ++other)
        if (other != box) {
            forms.push_back(base);
            forms.back().counts[static_cast<std::size_t>(other)] = on ? "1" : "0";
        }
    return forms;
}

// The description's condition for each of the 86 boxes against what presses
// write: from everything ticked and counted with one control turned off,
// from nothing with one turned on, and from each alternative alone with one
// of its parts taken away.
TEST(CountDescriptions, EveryBoxCountsExactlyWhenItsConditionHolds)
{
    FormRecord allOn;
    for (int w = 0; w < checkBoxCount; ++w)
        allOn.setValue(wep(w), ticked);
    allOn.counts.fill("1");
    const FormRecord allOff;

    for (int box = 0; box < slotCount; ++box) {
        SCOPED_TRACE("box " + std::to_string(box) + ": " + countedWhen(box));
        const auto alternatives = whenCounted(box);
        ASSERT_FALSE(alternatives.empty());
        std::vector<FormRecord> forms = oneControlAway(allOn, box, false);
        for (const FormRecord &f : oneControlAway(allOff, box, true))
            forms.push_back(f);
        for (const CountCondition &c : alternatives) {
            FormRecord alone;
            for (int w : c.ticked)
                alone.setValue(wep(w), ticked);
            for (int other : c.aboveZero)
                alone.counts[static_cast<std::size_t>(other)] = "1";
            for (const FormRecord &f : oneControlAway(alone, box, false))
                forms.push_back(f);
        }
        int counted = 0;
        for (const FormRecord &form : forms) {
            const bool counts = boxCounts(form, box);
            counted += counts ? 1 : 0;
            ASSERT_EQ(counts, conditionHolds(alternatives, form));
        }
        EXPECT_GT(counted, 0);
    }
}

struct DescriptionCase {
    int box;
    const char *text;
};

class CountedWhen : public ::testing::TestWithParam<DescriptionCase>
{
};

TEST_P(CountedWhen, SaysItInWords)
{
    EXPECT_EQ(countedWhen(GetParam().box), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CountedWhen,
    ::testing::Values(
        DescriptionCase{slotOf("M16"), "Counted only when M 16 is ticked."},
        DescriptionCase{ammoBoxOf("M16"), "Counted only when M 16 is ticked."},
        DescriptionCase{slotOf("Kozlice"), "Counted only when Kozlice is ticked."},
        DescriptionCase{slotOf("Kozliceshell"),
                        "Counted only when Kozlice and Kozlice Shell are ticked and the number of Kozlice is "
                        "above 0."},
        DescriptionCase{ammoBoxOf("M4"),
                        "Counted only when M 4 is ticked, or when M 4 XMS Scoped is ticked with its magazines "
                        "above 0."},
        DescriptionCase{ammoBoxOf("AK74GrenadeLauncher"),
                        "Counted only when M 16 Grenade Launcher is ticked with its magazines above 0, or when "
                        "AK 74 Grenade Launcher is ticked, or when AK 47 Grenade Launcher is ticked with its "
                        "magazines above 0."}));

} // namespace
} // namespace qor
