// Every press on many seeded random forms, against the rules worked out
// independently here.
#include "format/ansi.h"
#include "format/countformat.h"
#include "press/sections.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace qor
{
namespace
{

using namespace test;

// What a press must do, written from the rules of the checks and the
// sections directly (slot numbers as the game's item list gives them), not
// from the program's tables: a wrong table fails here.
struct Expected {
    std::vector<std::string> lines;
    std::vector<int> failed; // boxes reported, in order
    FormRecord after;        // the window after the press
};

struct Oracle {
    FormRecord f;
    std::vector<int> failed;

    double value(int box) const { return readCount(f.counts[static_cast<std::size_t>(box)]); }
    bool isTicked(int slot) const { return f.ticks[static_cast<std::size_t>(slot)] == ticked; }
    bool active(int box, int weapon) const { return isTicked(weapon) && value(box) > 0; }

    // One count check; true when it fails.
    bool check(int box, int weapon)
    {
        std::string &text = f.counts[static_cast<std::size_t>(box)];
        if (text == "0" || !isTicked(weapon) || readCount(text) != 0)
            return false;
        failed.push_back(box);
        text.clear();
        return true;
    }
    // A loop group: the boxes first..last, each judged by `judge` of it.
    template <typename Judge> bool loop(int first, int last, Judge judge)
    {
        for (int box = first; box <= last; ++box)
            if (check(box, judge(box)))
                return true;
        return false;
    }
    bool loop(const char *first, const char *last)
    {
        return loop(slotOf(first), slotOf(last), [](int box) { return box; });
    }

    void add(Lines &out, const std::string &name, double count) const
    {
        const Lines e = entry(name, writeCount(count));
        out.insert(out.end(), e.begin(), e.end());
    }
    void own(Lines &out, int box, int weapon, bool weaponName) const
    {
        if (active(box, weapon))
            add(out, std::string(classNameOf(weaponName ? wep(box) : cant(box))), value(box));
    }

    inline static const std::set<std::string_view> sharedMagazines = {"GrenadeLauncher", "M4", "AK74", "AK47"};

    // A weapon's ammo box, judged by the weapon.
    bool ammoActive(const char *weapon) const { return active(ammoBoxOf(weapon), slotOf(weapon)); }
    double ammo(const char *weapon) const { return value(ammoBoxOf(weapon)); }

    Lines weapons() const
    {
        Lines out;
        for (const Item &item : catalogue)
            if (item.kind == Kind::Weapon)
                own(out, item.slot, item.slot, true);
        return out;
    }

    Lines magazines() const
    {
        Lines out;
        for (const Item &item : catalogue)
            if (item.group == Group::Equipment && item.kind == Kind::Magazine)
                own(out, item.slot, item.slot, false);
        // The NATO and Russian weapons' magazines that no other weapon shares.
        for (const Item &item : catalogue)
            if (item.kind == Kind::AmmoBox && item.group != Group::Other &&
                !sharedMagazines.contains(item.magazineClass))
                own(out, item.slot, item.weaponSlot, false);
        if (ammoActive("M16GrenadeLauncher") || ammoActive("AK74GrenadeLauncher") || ammoActive("AK47GrenadeLauncher"))
            add(out, "GrenadeLauncher",
                (ammo("M16GrenadeLauncher") + ammo("AK74GrenadeLauncher")) + ammo("AK47GrenadeLauncher"));
        if (ammoActive("M4") || ammoActive("XMS"))
            add(out, "M4", ammo("M4") + ammo("XMS"));
        const int kozlice = slotOf("Kozlice");
        for (const char *name : {"Kozliceshell", "Kozliceball"}) {
            const int box = slotOf(name);
            if (isTicked(kozlice) && isTicked(box) && value(kozlice) > 0 && value(box) > 0)
                add(out, name, value(box));
        }
        if (ammoActive("AK74Su") || ammoActive("AK74"))
            add(out, "AK74", ammo("AK74Su") + ammo("AK74"));
        if (ammoActive("AK47") || ammoActive("AK47CZ"))
            add(out, "AK47", ammo("AK47") + ammo("AK47CZ"));
        own(out, ammoBoxOf("CZ75"), slotOf("CZ75"), false);
        return out;
    }
};

Expected expectedPress(const FormRecord &before)
{
    Oracle o{before, {}};
    std::vector<int> flags;
    for (int n = 1; n <= briefingCount; ++n)
        flags.push_back(before.value(chki(n)));
    Lines lines = headerLines(toAnsi(before.intro), toAnsi(before.mission), flags);

    bool firstFails = o.loop("M4", "Skorpion");
    firstFails = o.loop("LaserDesignator", "Kozlice") || firstFails;
    firstFails = o.loop("AK47CZ", "CZ75") || firstFails;
    if (!firstFails)
        lines = concat({lines, section("Weapons", {o.weapons()})});

    bool secondFails = o.loop("HandGrenade", "Mine");
    secondFails = o.loop(ammoBoxOf("M4"), ammoBoxOf("Skorpion"), weaponSlotOf) || secondFails;
    for (const char *item : {"Kozliceshell", "Kozliceball"})
        secondFails = o.check(slotOf(item), slotOf(item)) || secondFails;
    for (const char *weapon : {"AK47CZ", "CZ75"})
        secondFails = o.check(ammoBoxOf(weapon), slotOf(weapon)) || secondFails;
    if (!secondFails)
        lines = concat({lines, section("Magazines", {o.magazines()})});
    return {lines, o.failed, o.f};
}

TEST(Property, EveryRandomFormGivesTheFileTheRulesGive)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        FormRecord form = randomForm(rng);
        const Expected expected = expectedPress(form);
        const std::string file = press(form);
        SCOPED_TRACE("round " + std::to_string(round));

        ASSERT_EQ(file, crlf(expected.lines));
        EXPECT_EQ(form.messages, std::vector<std::string>(expected.failed.size(), "error; not a number"));
        std::vector<ControlId> focus;
        for (int box : expected.failed)
            focus.push_back(cant(box));
        EXPECT_EQ(form.focusMoves, focus);
        EXPECT_EQ(form.counts, expected.after.counts);
        EXPECT_EQ(form.ticks, expected.after.ticks);
    }
}

} // namespace
} // namespace qor
