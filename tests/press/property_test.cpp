// Every press on many seeded random forms, against the rules worked out
// independently here.
#include "format/ansi.h"
#include "format/countformat.h"
#include "press/sections.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <random>

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
    // A loop group: boxes first..last against weapon slots from `weapon` on.
    bool loop(int first, int last, int weapon)
    {
        for (int box = first; box <= last; ++box)
            if (check(box, weapon + box - first))
                return true;
        return false;
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

    Lines weapons() const
    {
        Lines out;
        for (int slot = 0; slot <= 51; ++slot)
            if (slot <= 31 || (slot >= 44 && slot <= 47) || slot >= 50)
                own(out, slot, slot, true);
        return out;
    }

    Lines magazines() const
    {
        Lines out;
        for (int slot = 32; slot <= 43; ++slot)
            own(out, slot, slot, false);
        for (int box : {53, 54, 55, 57, 58, 59, 60, 61, 62, 64, 65, 66, 67, 68, 69, 72, 73, 75, 78, 79, 80, 81, 82, 83})
            own(out, box, box - 52, false);
        if (active(56, 4) || active(74, 22) || active(77, 25))
            add(out, "GrenadeLauncher", (value(56) + value(74)) + value(77));
        if (active(52, 0) || active(63, 11))
            add(out, "M4", value(52) + value(63));
        for (int ammo : {48, 49})
            if (isTicked(47) && isTicked(ammo) && value(47) > 0 && value(ammo) > 0)
                add(out, ammo == 48 ? "Kozliceshell" : "Kozliceball", value(ammo));
        if (active(70, 18) || active(71, 19))
            add(out, "AK74", value(70) + value(71));
        if (active(76, 24) || active(84, 50))
            add(out, "AK47", value(76) + value(84));
        own(out, 85, 51, false);
        return out;
    }
};

Expected expectedPress(const FormRecord &before)
{
    Oracle o{before, {}};
    std::vector<int> flags;
    for (int n = 1; n <= 7; ++n)
        flags.push_back(before.value(chki(n)));
    Lines lines = headerLines(toAnsi(before.intro), toAnsi(before.mission), flags);

    bool firstFails = o.loop(0, 31, 0);
    firstFails = o.loop(44, 47, 44) || firstFails;
    firstFails = o.loop(50, 51, 50) || firstFails;
    if (!firstFails)
        lines = concat({lines, section("Weapons", {o.weapons()})});

    bool secondFails = o.loop(32, 43, 32);
    secondFails = o.loop(52, 83, 0) || secondFails;
    for (auto [box, weapon] : {std::pair{48, 48}, {49, 49}, {84, 50}, {85, 51}})
        secondFails = o.check(box, weapon) || secondFails;
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
