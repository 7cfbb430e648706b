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
#include "format/filewords.h"
#include "press/form.h"
#include "press/windowfields.h"
#include "press/writer.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace qor
{

struct CountPair {
    std::int16_t box;
    std::int16_t checkBox;
    bool summed = true; // whether the box's value is part of the count
};

enum class EntryRule : std::uint8_t { AnyPair, AllPairs };

// The class name the file gives a control: the catalogue's.
constexpr std::string_view classNameOf(ControlId control)
{
    const Item &item = catalogue[static_cast<std::size_t>(control.index)];
    return control.name == ControlName::wep ? item.itemClass : item.magazineClass;
}

struct SectionEntry {
    std::string_view name; // the class name
    EntryRule rule = EntryRule::AnyPair;
    std::array<CountPair, 3> pairs{}; // the summed boxes are added in this order
    std::uint8_t pairCount = 0;

    constexpr std::span<const CountPair> activePairs() const { return {pairs.data(), pairCount}; }
};

namespace detail
{

constexpr CountPair pairOf(int box)
{
    return {static_cast<std::int16_t>(box), static_cast<std::int16_t>(checkBoxOf(box))};
}

// One box, named by `name`, judged by the check box that governs it.
constexpr SectionEntry oneBoxEntry(ControlId name, int box)
{
    SectionEntry e{classNameOf(name)};
    e.pairs[0] = pairOf(box);
    e.pairCount = 1;
    return e;
}

// The ammo boxes that hold the magazine class `name`, in slot order: the one
// place that answers which boxes share a magazine.
template <typename Visit> constexpr int forEachAmmoBoxOf(std::string_view name, Visit visit)
{
    int n = 0;
    for (const Item &item : catalogue)
        if (item.kind == Kind::AmmoBox && item.magazineClass == name) {
            visit(item.slot);
            ++n;
        }
    return n;
}

constexpr bool magazineIsShared(int box)
{
    return forEachAmmoBoxOf(catalogue[static_cast<std::size_t>(box)].magazineClass, [](int) {}) > 1;
}

// Which of a shared magazine's ammo boxes gives the entry its class name.
// They all hold the same name, so the file is the same either way.
enum class NamedBy : std::uint8_t { firstBox, lastBox };

// A magazine several weapons share: written once, counting every ammo box
// that holds it, in slot order.
constexpr SectionEntry sharedMagazine(std::string_view name, NamedBy namedBy)
{
    SectionEntry e{};
    forEachAmmoBoxOf(name, [&](int box) {
        if (e.pairCount == e.pairs.size())
            throw "more boxes than an entry holds";
        if (e.pairCount == 0 || namedBy == NamedBy::lastBox)
            e.name = classNameOf(cant(box));
        e.pairs[e.pairCount++] = pairOf(box);
    });
    if (e.pairCount < 2)
        throw "not a shared magazine";
    return e;
}

// The Kozlice's own ammunition: only with the Kozlice itself ticked and
// counted; the Kozlice's count opens the entry but is not part of it.
constexpr SectionEntry kozliceAmmo(int slot)
{
    SectionEntry e{classNameOf(cant(slot)), EntryRule::AllPairs};
    e.pairs[0] = pairOf(weaponSlotOf(slot));
    e.pairs[0].summed = false;
    e.pairs[1] = pairOf(slot);
    e.pairCount = 2;
    return e;
}

// Shared magazines and the Other group's ammunition close the Magazines
// section, in this order.
inline constexpr std::array<SectionEntry, 7> closingMagazineEntries = {{
    sharedMagazine("GrenadeLauncher", NamedBy::firstBox),
    sharedMagazine("M4", NamedBy::firstBox),
    kozliceAmmo(kozliceMagazines.first),
    kozliceAmmo(kozliceMagazines.last),
    sharedMagazine("AK74", NamedBy::lastBox),
    sharedMagazine("AK47", NamedBy::lastBox),
    oneBoxEntry(cant(otherAmmoBoxes.last), otherAmmoBoxes.last),
}};

// Whether the entry's pairs are those of exactly these boxes, in this order.
constexpr bool pairsAre(const SectionEntry &entry, std::initializer_list<int> boxes)
{
    if (entry.pairCount != boxes.size())
        return false;
    std::size_t n = 0;
    for (int box : boxes)
        if (entry.pairs[n++].box != box)
            return false;
    return true;
}

// The ammo boxes each shared magazine adds up, as the game's item list pairs
// them: another box given one of these names stops the compilation here.
static_assert(pairsAre(closingMagazineEntries[0], {ammoBoxOf("M16GrenadeLauncher"), ammoBoxOf("AK74GrenadeLauncher"),
                                                   ammoBoxOf("AK47GrenadeLauncher")}));
static_assert(pairsAre(closingMagazineEntries[1], {ammoBoxOf("M4"), ammoBoxOf("XMS")}));
static_assert(pairsAre(closingMagazineEntries[4], {ammoBoxOf("AK74Su"), ammoBoxOf("AK74")}));
static_assert(pairsAre(closingMagazineEntries[5], {ammoBoxOf("AK47"), ammoBoxOf("AK47CZ")}));

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
            table[n++] = oneBoxEntry(wep(slot), slot);
    return table;
}

// Equipment (class name on the count box), then the ammo boxes whose
// magazine belongs to one weapon alone, then the closing entries.
constexpr std::array<SectionEntry, magazineEntryCount()> magazineTable()
{
    std::array<SectionEntry, magazineEntryCount()> table{};
    std::size_t n = 0;
    for (int slot = equipmentMagazines.first; slot <= equipmentMagazines.last; ++slot)
        table[n++] = oneBoxEntry(cant(slot), slot);
    for (int box = rowAmmoBoxes.first; box <= rowAmmoBoxes.last; ++box)
        if (!magazineIsShared(box))
            table[n++] = oneBoxEntry(cant(box), box);
    for (const SectionEntry &entry : closingMagazineEntries)
        table[n++] = entry;
    return table;
}

} // namespace detail

inline constexpr auto weaponEntries = detail::weaponTable();
inline constexpr auto magazineEntries = detail::magazineTable();

// A section's table by its number in the file (weaponsSection, magazinesSection).
inline std::span<const SectionEntry> sectionTable(std::size_t section)
{
    return section == weaponsSection ? std::span<const SectionEntry>(weaponEntries)
                                     : std::span<const SectionEntry>(magazineEntries);
}

namespace detail
{
// How often each box is summed by the entries of one section.
template <std::size_t N> constexpr std::array<int, slotCount> timesSummed(const std::array<SectionEntry, N> &entries)
{
    std::array<int, slotCount> times{};
    for (const SectionEntry &entry : entries)
        for (const CountPair &pair : entry.activePairs())
            times[static_cast<std::size_t>(pair.box)] += pair.summed ? 1 : 0;
    return times;
}

// Every weapon's count is written in the Weapons section and nowhere else,
// every other box in the Magazines section: once each, so no count is lost
// or written twice.
constexpr bool everyBoxSummedOnce()
{
    const auto weapons = timesSummed(weaponEntries);
    const auto magazines = timesSummed(magazineEntries);
    for (const Item &item : catalogue) {
        const auto at = static_cast<std::size_t>(item.slot);
        const bool weapon = item.kind == Kind::Weapon;
        if (weapons[at] != (weapon ? 1 : 0) || magazines[at] != (weapon ? 0 : 1))
            return false;
    }
    return true;
}
} // namespace detail

static_assert(detail::everyBoxSummedOnce());

// When a count box's value reaches the file, given that it reads above 0:
// when any one of these holds. Each names the check boxes that must be
// ticked and the other count boxes that must read above 0.
struct CountCondition {
    std::vector<int> ticked;
    std::vector<int> aboveZero;
    friend bool operator==(const CountCondition &, const CountCondition &) = default;
};
std::vector<CountCondition> whenCounted(int box);

// The same in words, for the box's description to screen readers:
// "Counted only when Kozlice and Kozlice Shell are ticked and the number of
// Kozlice is above 0."
std::string countedWhen(int box);

// Writes the entries of one section whose pairs hold, in table order.
void writeEntries(std::span<const SectionEntry> entries, const Form &form, FileWriter &out, WindowFields &fields);

} // namespace qor
