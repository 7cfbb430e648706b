#pragma once
// Which class entries the two sections hold, as tables: one row per entry the
// file can contain, in file order.
//
// A count pair is a count box and the check box that governs it (checkBoxOf);
// it is active when the box reads above 0 and the check box is ticked (greyed
// does not count). An entry is written when any of its pairs is active (or,
// for the Kozlice ammunition, when all are), with the sum of its counted
// boxes, active or not.

#include "catalogue/catalogue.h"
#include "command.h"
#include "fileformat.h"
#include "form.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qor
{

struct CountPair {
    std::int8_t box;
    std::int8_t checkBox;
};

enum class EntryRule : std::uint8_t { AnyPair, AllPairs };

struct SectionEntry {
    ControlId nameFrom; // whose Tag is the class name
    EntryRule rule = EntryRule::AnyPair;
    std::array<CountPair, 3> pairs{};
    std::uint8_t pairCount = 0;
    std::array<std::int8_t, 3> counted{}; // summed left to right
    std::uint8_t countedCount = 0;
};

namespace detail
{

constexpr CountPair pairOf(int box)
{
    return {static_cast<std::int8_t>(box), static_cast<std::int8_t>(checkBoxOf(box))};
}

// One box, named by `name`, judged by the check box that governs it.
constexpr SectionEntry single(ControlId name, int box)
{
    SectionEntry e{name};
    e.pairs[0] = pairOf(box);
    e.pairCount = 1;
    e.counted[0] = static_cast<std::int8_t>(box);
    e.countedCount = 1;
    return e;
}

// A magazine several weapons share: written once under the Tag of
// cant(nameBox), counting every ammo box that holds the same class name, in
// slot order.
constexpr SectionEntry shared(int nameBox)
{
    SectionEntry e{cant(nameBox)};
    for (const Item &item : catalogue) {
        if (item.kind != Kind::AmmoBox ||
            item.magazineClass != catalogue[static_cast<std::size_t>(nameBox)].magazineClass)
            continue;
        if (e.pairCount == e.pairs.size())
            throw "more boxes than an entry holds";
        e.pairs[e.pairCount++] = pairOf(item.slot);
        e.counted[e.countedCount++] = static_cast<std::int8_t>(item.slot);
    }
    return e;
}

// The Kozlice's own ammunition: only with the Kozlice itself ticked and counted.
constexpr SectionEntry kozliceAmmo(int slot)
{
    SectionEntry e = single(cant(slot), slot);
    e.rule = EntryRule::AllPairs;
    e.pairs[1] = e.pairs[0];
    e.pairs[0] = pairOf(weaponSlotOf(slot));
    e.pairCount = 2;
    return e;
}

// Whether another ammo box holds the same magazine class as `box`.
constexpr bool magazineIsShared(int box)
{
    for (const Item &other : catalogue)
        if (other.kind == Kind::AmmoBox && other.slot != box &&
            other.magazineClass == catalogue[static_cast<std::size_t>(box)].magazineClass)
            return true;
    return false;
}

// Shared magazines and the Other group's ammunition close the Magazines
// section, in this order.
inline constexpr std::array<SectionEntry, 7> closingMagazineEntries = {{
    shared(56),                                             // "GrenadeLauncher": 56, 74, 77
    shared(52),                                             // "M4": 52, 63
    kozliceAmmo(kozliceMagazines.first),                    // "Kozliceshell"
    kozliceAmmo(kozliceMagazines.last),                     // "Kozliceball"
    shared(71),                                             // "AK74": 70, 71
    shared(84),                                             // "AK47": 76, 84
    single(cant(otherAmmoBoxes.last), otherAmmoBoxes.last), // "CZ75Mag"
}};

constexpr std::size_t weaponEntryCount()
{
    std::size_t n = 0;
    for (const SlotRun &run : weaponRuns)
        n += static_cast<std::size_t>(run.last - run.first + 1);
    return n;
}

constexpr std::size_t magazineEntryCount()
{
    std::size_t n = static_cast<std::size_t>(equipmentMagazines.last - equipmentMagazines.first + 1);
    for (int box = rowAmmoBoxes.first; box <= rowAmmoBoxes.last; ++box)
        n += magazineIsShared(box) ? 0 : 1;
    return n + closingMagazineEntries.size();
}

// Weapons, under the class name of their check box.
constexpr std::array<SectionEntry, weaponEntryCount()> weaponTable()
{
    std::array<SectionEntry, weaponEntryCount()> table{};
    std::size_t n = 0;
    for (const SlotRun &run : weaponRuns)
        for (int slot = run.first; slot <= run.last; ++slot)
            table[n++] = single(wep(slot), slot);
    return table;
}

// Equipment (class name on the count box), then the ammo boxes whose
// magazine belongs to one weapon alone, then the closing entries.
constexpr std::array<SectionEntry, magazineEntryCount()> magazineTable()
{
    std::array<SectionEntry, magazineEntryCount()> table{};
    std::size_t n = 0;
    for (int slot = equipmentMagazines.first; slot <= equipmentMagazines.last; ++slot)
        table[n++] = single(cant(slot), slot);
    for (int box = rowAmmoBoxes.first; box <= rowAmmoBoxes.last; ++box)
        if (!magazineIsShared(box))
            table[n++] = single(cant(box), box);
    for (const SectionEntry &entry : closingMagazineEntries)
        table[n++] = entry;
    return table;
}

} // namespace detail

inline constexpr auto weaponEntries = detail::weaponTable();
inline constexpr auto magazineEntries = detail::magazineTable();

// The check boxes that must be ticked for count box `box` to count, in table
// order and each once: its own pair's in an entry that any pair opens, every
// pair's in one that needs all.
std::vector<int> checkBoxesCounting(int box);

// Writes the entries of one section whose pairs hold, in table order.
void writeEntries(std::span<const SectionEntry> entries, const FormView &form, FileWriter &out, WindowFields &fields);

} // namespace qor
