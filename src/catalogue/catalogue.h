#pragma once
// The items a mission's weapon pool can offer, one row per item.
//
// Every row has a check box and a count box: wep(slot) and cant(slot), the
// slot being the row's place in the table. A weapon that has magazines of
// its own names them on its row; each such row gets an ammo box, a count box
// without a check box, numbered after every row's slot in row order. The
// table is the only place where captions, class names and ammo-box pairings
// are written down: the window builds its rows from it, and the press and
// the load read class names from it.

#include <algorithm>
#include <array>
#include <string_view>

namespace qor
{

enum class Group { Nato, Russian, Equipment, Other };

enum class Kind {
    Weapon,   // check box + count box; listed under "class Weapons"
    Magazine, // check box + count box; listed under "class Magazines"
    AmmoBox,  // count box only, judged by the check box of its weapon
};

// One row as written below.
struct Row {
    Group group;
    Kind kind;                      // Weapon or Magazine
    std::string_view caption;       // shown beside the check box
    std::string_view itemClass;     // the check box's class name; empty where there is none
    std::string_view magazineClass; // the count box's class name; empty where there is none
    std::string_view ammoClass{};   // the weapon's own magazines: the row gets an ammo box holding them
    std::string_view feeds{};       // the weapon (its class name) these magazines are written with
};

namespace detail
{
// clang-format off
inline constexpr auto rows = [] {
    using enum Group;
    using enum Kind;
    return std::to_array<Row>({
        {Nato, Weapon, "M 4", "M4", "", "M4"},
        {Nato, Weapon, "M 16", "M16", "", "M16"},
        {Nato, Weapon, "M 60", "M60", "", "M60"},
        {Nato, Weapon, "MP5 SD6", "HK", "", "HK"},
        {Nato, Weapon, "M 16 Grenade Launcher", "M16GrenadeLauncher", "", "GrenadeLauncher"},
        {Nato, Weapon, "M 21 (Sniper)", "M21", "", "M21"},
        {Nato, Weapon, "HK G36A", "G36a", "", "G36aMag"},
        {Nato, Weapon, "HK G3", "HKG3", "", "HKG3Mag"},
        {Nato, Weapon, "FAL", "FAL", "", "FALMag"},
        {Nato, Weapon, "STEYR", "Steyr", "", "SteyrMag"},
        {Nato, Weapon, "UZI", "UZI", "", "UZIMag"},
        {Nato, Weapon, "M 4 XMS Scoped", "XMS", "", "M4"},
        {Nato, Weapon, "LAW Launcher", "LAWLauncher", "", "LAWLauncher"},
        {Nato, Weapon, "Carl Gustav Launcher", "CarlGustavLauncher", "", "CarlGustavLauncher"},
        {Nato, Weapon, "AA Launcher", "AALauncher", "", "AALauncher"},
        {Nato, Weapon, "MM1 Barrel Grenade Launcher", "MM1", "", "MM1Magazine"},
        {Nato, Weapon, "Beretta", "Beretta", "", "BerettaMag"},
        {Nato, Weapon, "Glock", "Glock", "", "GlockMag"},
        {Russian, Weapon, "AK 74 SU", "AK74Su", "", "AK74"},
        {Russian, Weapon, "AK 74", "AK74", "", "AK74"},
        {Russian, Weapon, "PK", "PK", "", "PK"},
        {Russian, Weapon, "Bizon (SD)", "Bizon", "", "BizonMag"},
        {Russian, Weapon, "AK 74 Grenade Launcher", "AK74GrenadeLauncher", "", "GrenadeLauncher"},
        {Russian, Weapon, "SVD Dragunov (Sniper)", "SVDDragunov", "", "SVDDragunov"},
        {Russian, Weapon, "AK 47", "AK47", "", "AK47"},
        {Russian, Weapon, "AK 47 Grenade Launcher", "AK47GrenadeLauncher", "", "GrenadeLauncher"},
        {Russian, Weapon, "AT4 Launcher", "AT4Launcher", "", "AT4Launcher"},
        {Russian, Weapon, "9K32 Launcher", "9K32Launcher", "", "9K32Launcher"},
        {Russian, Weapon, "RPG Launcher", "RPGLauncher", "", "RPGLauncher"},
        {Russian, Weapon, "6G30 Barrel Grenade Launcher", "6G30", "", "6G30Magazine"},
        {Russian, Weapon, "Tokarev", "Tokarev", "", "TokarevMag"},
        {Russian, Weapon, "Skorpion (Machine Pistol)", "Skorpion", "", "SkorpionMag"},
        {Equipment, Magazine, "Hand Grenade", "", "HandGrenade"},
        {Equipment, Magazine, "Mortar", "", "Mortar"},
        {Equipment, Magazine, "SmokeShell", "", "SmokeShell"},
        {Equipment, Magazine, "SmokeShell Red", "", "SmokeShellRed"},
        {Equipment, Magazine, "SmokeShell Green", "", "SmokeShellGreen"},
        {Equipment, Magazine, "Flare", "", "Flare"},
        {Equipment, Magazine, "Flare Red", "", "FlareRed"},
        {Equipment, Magazine, "Flare Green", "", "FlareGreen"},
        {Equipment, Magazine, "Flare Yellow", "", "FlareYellow"},
        {Equipment, Magazine, "Pipe Bomb", "", "PipeBomb"},
        {Equipment, Magazine, "Time Bomb", "", "TimeBomb"},
        {Equipment, Magazine, "Mine", "", "Mine"},
        {Equipment, Weapon, "Laser Designator", "LaserDesignator", "LaserDesignator"},
        {Equipment, Weapon, "Binocular", "Binocular", "Binocular"},
        {Equipment, Weapon, "NV Googles", "NVGoggles", "NVGoggles"},
        {Other, Weapon, "Kozlice", "Kozlice", ""},
        {Other, Magazine, "Kozlice Shell", "Kozliceshell", "Kozliceshell", "", "Kozlice"},
        {Other, Magazine, "Kozlice Ball", "Kozliceball", "Kozliceball", "", "Kozlice"},
        {Other, Weapon, "AK 47 CZ", "AK47CZ", "", "AK47"},
        {Other, Weapon, "CZ 75", "CZ75", "", "CZ75Mag"},
    });
}();
// clang-format on

constexpr int ammoBoxCount()
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const Row &r) { return !r.ammoClass.empty(); }));
}
} // namespace detail

inline constexpr int checkBoxCount = static_cast<int>(detail::rows.size()); // wep(0..checkBoxCount-1)
inline constexpr int slotCount = checkBoxCount + detail::ammoBoxCount();    // cant(0..slotCount-1)

// A slot as the rest of the program sees it: a row, or an ammo box.
struct Item {
    int slot;
    Group group;
    Kind kind;
    std::string_view caption;       // shown beside wep(slot); empty for ammo boxes
    std::string_view itemClass;     // class name of wep(slot); empty where there is none
    std::string_view magazineClass; // class name of cant(slot); empty where there is none
    int weaponSlot;                 // the weapon an ammo box or the Kozlice's magazines feed; -1 elsewhere
};

namespace detail
{
inline constexpr int none = -1; // no weapon slot: every row but those that feed a weapon

// The name a row goes by: its check box's class name, or where it has none
// its count box's.
constexpr std::string_view nameOf(const Row &r)
{
    return r.itemClass.empty() ? r.magazineClass : r.itemClass;
}

// The slot of the row that goes by `name`.
constexpr int rowOf(std::string_view name)
{
    for (std::size_t n = 0; n < rows.size(); ++n)
        if (!name.empty() && nameOf(rows[n]) == name)
            return static_cast<int>(n);
    throw "no row with this class name";
}

constexpr std::array<Item, slotCount> items()
{
    std::array<Item, slotCount> all{};
    int ammo = checkBoxCount;
    for (int slot = 0; slot < checkBoxCount; ++slot) {
        const Row &r = rows[static_cast<std::size_t>(slot)];
        all[static_cast<std::size_t>(slot)] = {
            slot, r.group, r.kind, r.caption, r.itemClass, r.magazineClass, r.feeds.empty() ? none : rowOf(r.feeds)};
        if (!r.ammoClass.empty()) {
            all[static_cast<std::size_t>(ammo)] = {ammo, r.group, Kind::AmmoBox, {}, {}, r.ammoClass, slot};
            ++ammo;
        }
    }
    return all;
}
} // namespace detail

inline constexpr std::array<Item, slotCount> catalogue = detail::items();

// The slot of the item whose check box carries the class name `name` (or,
// where it has none, whose count box does): for naming an item where its
// place is not the subject.
constexpr int slotOf(std::string_view name)
{
    return detail::rowOf(name);
}

// The ammo box of the weapon whose check box carries `weaponClass`.
constexpr int ammoBoxOf(std::string_view weaponClass)
{
    const int weapon = slotOf(weaponClass);
    for (const Item &item : catalogue)
        if (item.kind == Kind::AmmoBox && item.weaponSlot == weapon)
            return item.slot;
    throw "this weapon has no ammo box";
}

namespace detail
{
// What the rest of the program takes for granted of every row: rows are
// weapons or magazines; a class name wherever something is written under
// one, each row's name its own; a weapon named wherever magazines feed one,
// and only magazines feed one; ammo boxes only on weapons' rows.
constexpr bool rowsAreWellFormed()
{
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const Row &r = rows[n];
        if (r.kind == Kind::AmmoBox || r.caption.empty())
            return false;
        if (r.kind == Kind::Weapon ? r.itemClass.empty() : r.magazineClass.empty())
            return false;
        for (std::size_t m = 0; m < n; ++m)
            if (nameOf(rows[m]) == nameOf(r))
                return false;
        if (!r.ammoClass.empty() && r.kind != Kind::Weapon)
            return false;
        if (!r.feeds.empty() &&
            (r.kind != Kind::Magazine || rows[static_cast<std::size_t>(rowOf(r.feeds))].kind != Kind::Weapon))
            return false;
    }
    return true;
}
static_assert(rowsAreWellFormed());
} // namespace detail

// The weapon a box feeds: for an ammo box the weapon on its row, whose check
// box decides it; for the Kozlice's magazines the Kozlice.
constexpr int weaponSlotOf(int box)
{
    return catalogue[static_cast<std::size_t>(box)].weaponSlot;
}

// The check box that judges count box `box`: its own row's, or for an ammo
// box that of its weapon.
constexpr int checkBoxOf(int box)
{
    const Item &item = catalogue[static_cast<std::size_t>(box)];
    return item.kind == Kind::AmmoBox ? item.weaponSlot : box;
}

// Consecutive slots, first to last.
struct SlotRun {
    int first;
    int last;
};

namespace detail
{
// The runs of consecutive rows that `belongs` picks, in slot order. N is
// their number; any other number stops the compilation.
template <std::size_t N, typename Predicate> constexpr std::array<SlotRun, N> runsOf(Predicate belongs)
{
    std::array<SlotRun, N> runs{};
    std::size_t n = 0;
    for (const Item &item : catalogue) {
        if (!belongs(item))
            continue;
        if (n > 0 && runs[n - 1].last == item.slot - 1)
            runs[n - 1].last = item.slot;
        else if (n < N)
            runs[n++] = {item.slot, item.slot};
        else
            throw "more runs than declared";
    }
    if (n != N)
        throw "fewer runs than declared";
    return runs;
}
} // namespace detail

// The runs the count checks and the sections walk, read off the kinds and
// groups above.

inline constexpr std::array<SlotRun, 3> weaponRuns =
    detail::runsOf<3>([](const Item &i) { return i.kind == Kind::Weapon; });
inline constexpr SlotRun equipmentMagazines =
    detail::runsOf<1>([](const Item &i) { return i.group == Group::Equipment && i.kind == Kind::Magazine; })[0];
inline constexpr SlotRun kozliceMagazines =
    detail::runsOf<1>([](const Item &i) { return i.group == Group::Other && i.kind == Kind::Magazine; })[0];
// On the NATO and Russian weapons' rows, one per weapon.
inline constexpr SlotRun rowAmmoBoxes =
    detail::runsOf<1>([](const Item &i) { return i.kind == Kind::AmmoBox && i.group != Group::Other; })[0];
inline constexpr SlotRun otherAmmoBoxes =
    detail::runsOf<1>([](const Item &i) { return i.kind == Kind::AmmoBox && i.group == Group::Other; })[0];

// The runs as the game's item list lays them out, named by their first and
// last items; a row moved into another run stops the compilation here.
constexpr bool runIs(SlotRun run, std::string_view first, std::string_view last)
{
    return run.first == slotOf(first) && run.last == slotOf(last);
}
static_assert(runIs(weaponRuns[0], "M4", "Skorpion") && runIs(weaponRuns[1], "LaserDesignator", "Kozlice") &&
              runIs(weaponRuns[2], "AK47CZ", "CZ75"));
static_assert(runIs(kozliceMagazines, "Kozliceshell", "Kozliceball"));
static_assert(equipmentMagazines.first == slotOf("Skorpion") + 1 &&
              equipmentMagazines.last == slotOf("LaserDesignator") - 1);
static_assert(rowAmmoBoxes.first == checkBoxCount && rowAmmoBoxes.first == ammoBoxOf("M4") &&
              rowAmmoBoxes.last == ammoBoxOf("Skorpion"));
static_assert(otherAmmoBoxes.first == ammoBoxOf("AK47CZ") && otherAmmoBoxes.last == ammoBoxOf("CZ75") &&
              otherAmmoBoxes.last == slotCount - 1);

} // namespace qor
