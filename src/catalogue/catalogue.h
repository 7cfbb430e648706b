#pragma once
// The 86 items a mission's weapon pool can offer, one row per slot.
//
// A slot indexes both item arrays of the window: the check box wep(slot)
// (slots 0..51) and the count box cant(slot) (slots 0..85). The table is the
// only place where captions, class names and ammo-box pairings are written
// down; the window builds its rows from it and the generator reads class names
// through the window, which hands back these same strings.

#include <array>
#include <string_view>

namespace qor
{

enum class Group { Nato, Russian, Equipment, Other };

enum class Kind {
    Weapon,   // check box + count box; listed under "class Weapons"
    Magazine, // check box + count box; listed under "class Magazines"
    AmmoBox,  // count box only, judged by the check box of its weapon slot
};

struct Item {
    int slot;
    Group group;
    Kind kind;
    std::string_view caption;       // shown beside wep(slot); empty for ammo boxes
    std::string_view itemClass;     // Tag of wep(slot); empty where there is none
    std::string_view magazineClass; // Tag of cant(slot); empty where there is none
    int weaponSlot;                 // the weapon an ammo box or the Kozlice's magazines feed; -1 elsewhere
};

inline constexpr int slotCount = 86;     // cant(0..85)
inline constexpr int checkBoxCount = 52; // wep(0..51)

namespace detail
{
inline constexpr int none = -1; // no weapon slot: every row but those that feed a weapon

constexpr std::array<Item, slotCount> catalogueRows()
{
    using enum Group;
    using enum Kind;
    // clang-format off
    return {{
        {0,  Nato, Weapon, "M 4", "M4", "", none},
        {1,  Nato, Weapon, "M 16", "M16", "", none},
        {2,  Nato, Weapon, "M 60", "M60", "", none},
        {3,  Nato, Weapon, "MP5 SD6", "HK", "", none},
        {4,  Nato, Weapon, "M 16 Grenade Launcher", "M16GrenadeLauncher", "", none},
        {5,  Nato, Weapon, "M 21 (Sniper)", "M21", "", none},
        {6,  Nato, Weapon, "HK G36A", "G36a", "", none},
        {7,  Nato, Weapon, "HK G3", "HKG3", "", none},
        {8,  Nato, Weapon, "FAL", "FAL", "", none},
        {9,  Nato, Weapon, "STEYR", "Steyr", "", none},
        {10, Nato, Weapon, "UZI", "UZI", "", none},
        {11, Nato, Weapon, "M 4 XMS Scoped", "XMS", "", none},
        {12, Nato, Weapon, "LAW Launcher", "LAWLauncher", "", none},
        {13, Nato, Weapon, "Carl Gustav Launcher", "CarlGustavLauncher", "", none},
        {14, Nato, Weapon, "AA Launcher", "AALauncher", "", none},
        {15, Nato, Weapon, "MM1 Barrel Grenade Launcher", "MM1", "", none},
        {16, Nato, Weapon, "Beretta", "Beretta", "", none},
        {17, Nato, Weapon, "Glock", "Glock", "", none},
        {18, Russian, Weapon, "AK 74 SU", "AK74Su", "", none},
        {19, Russian, Weapon, "AK 74", "AK74", "", none},
        {20, Russian, Weapon, "PK", "PK", "", none},
        {21, Russian, Weapon, "Bizon (SD)", "Bizon", "", none},
        {22, Russian, Weapon, "AK 74 Grenade Launcher", "AK74GrenadeLauncher", "", none},
        {23, Russian, Weapon, "SVD Dragunov (Sniper)", "SVDDragunov", "", none},
        {24, Russian, Weapon, "AK 47", "AK47", "", none},
        {25, Russian, Weapon, "AK 47 Grenade Launcher", "AK47GrenadeLauncher", "", none},
        {26, Russian, Weapon, "AT4 Launcher", "AT4Launcher", "", none},
        {27, Russian, Weapon, "9K32 Launcher", "9K32Launcher", "", none},
        {28, Russian, Weapon, "RPG Launcher", "RPGLauncher", "", none},
        {29, Russian, Weapon, "6G30 Barrel Grenade Launcher", "6G30", "", none},
        {30, Russian, Weapon, "Tokarev", "Tokarev", "", none},
        {31, Russian, Weapon, "Skorpion (Machine Pistol)", "Skorpion", "", none},
        {32, Equipment, Magazine, "Hand Grenade", "", "HandGrenade", none},
        {33, Equipment, Magazine, "Mortar", "", "Mortar", none},
        {34, Equipment, Magazine, "SmokeShell", "", "SmokeShell", none},
        {35, Equipment, Magazine, "SmokeShell Red", "", "SmokeShellRed", none},
        {36, Equipment, Magazine, "SmokeShell Green", "", "SmokeShellGreen", none},
        {37, Equipment, Magazine, "Flare", "", "Flare", none},
        {38, Equipment, Magazine, "Flare Red", "", "FlareRed", none},
        {39, Equipment, Magazine, "Flare Green", "", "FlareGreen", none},
        {40, Equipment, Magazine, "Flare Yellow", "", "FlareYellow", none},
        {41, Equipment, Magazine, "Pipe Bomb", "", "PipeBomb", none},
        {42, Equipment, Magazine, "Time Bomb", "", "TimeBomb", none},
        {43, Equipment, Magazine, "Mine", "", "Mine", none},
        {44, Equipment, Weapon, "Laser Designator", "LaserDesignator", "LaserDesignator", none},
        {45, Equipment, Weapon, "Binocular", "Binocular", "Binocular", none},
        {46, Equipment, Weapon, "NV Googles", "NVGoggles", "NVGoggles", none},
        {47, Other, Weapon, "Kozlice", "Kozlice", "", none},
        {48, Other, Magazine, "Kozlice Shell", "Kozliceshell", "Kozliceshell", 47},
        {49, Other, Magazine, "Kozlice Ball", "Kozliceball", "Kozliceball", 47},
        {50, Other, Weapon, "AK 47 CZ", "AK47CZ", "", none},
        {51, Other, Weapon, "CZ 75", "CZ75", "", none},
        {52, Nato, AmmoBox, "", "", "M4", 0},
        {53, Nato, AmmoBox, "", "", "M16", 1},
        {54, Nato, AmmoBox, "", "", "M60", 2},
        {55, Nato, AmmoBox, "", "", "HK", 3},
        {56, Nato, AmmoBox, "", "", "GrenadeLauncher", 4},
        {57, Nato, AmmoBox, "", "", "M21", 5},
        {58, Nato, AmmoBox, "", "", "G36aMag", 6},
        {59, Nato, AmmoBox, "", "", "HKG3Mag", 7},
        {60, Nato, AmmoBox, "", "", "FALMag", 8},
        {61, Nato, AmmoBox, "", "", "SteyrMag", 9},
        {62, Nato, AmmoBox, "", "", "UZIMag", 10},
        {63, Nato, AmmoBox, "", "", "M4", 11},
        {64, Nato, AmmoBox, "", "", "LAWLauncher", 12},
        {65, Nato, AmmoBox, "", "", "CarlGustavLauncher", 13},
        {66, Nato, AmmoBox, "", "", "AALauncher", 14},
        {67, Nato, AmmoBox, "", "", "MM1Magazine", 15},
        {68, Nato, AmmoBox, "", "", "BerettaMag", 16},
        {69, Nato, AmmoBox, "", "", "GlockMag", 17},
        {70, Russian, AmmoBox, "", "", "AK74", 18},
        {71, Russian, AmmoBox, "", "", "AK74", 19},
        {72, Russian, AmmoBox, "", "", "PK", 20},
        {73, Russian, AmmoBox, "", "", "BizonMag", 21},
        {74, Russian, AmmoBox, "", "", "GrenadeLauncher", 22},
        {75, Russian, AmmoBox, "", "", "SVDDragunov", 23},
        {76, Russian, AmmoBox, "", "", "AK47", 24},
        {77, Russian, AmmoBox, "", "", "GrenadeLauncher", 25},
        {78, Russian, AmmoBox, "", "", "AT4Launcher", 26},
        {79, Russian, AmmoBox, "", "", "9K32Launcher", 27},
        {80, Russian, AmmoBox, "", "", "RPGLauncher", 28},
        {81, Russian, AmmoBox, "", "", "6G30Magazine", 29},
        {82, Russian, AmmoBox, "", "", "TokarevMag", 30},
        {83, Russian, AmmoBox, "", "", "SkorpionMag", 31},
        {84, Other, AmmoBox, "", "", "AK47", 50},
        {85, Other, AmmoBox, "", "", "CZ75Mag", 51},
    }};
    // clang-format on
}
} // namespace detail

inline constexpr std::array<Item, slotCount> catalogue = detail::catalogueRows();

namespace detail
{
// What the rest of the program takes for granted of every row: rows in slot
// order; check boxes exactly on the rows that are not ammo boxes; a class
// name wherever something is written under one; a weapon slot exactly where
// a box feeds a weapon, and that slot a weapon's.
constexpr bool rowsAreWellFormed()
{
    for (std::size_t n = 0; n < catalogue.size(); ++n) {
        const Item &item = catalogue[n];
        const bool ammo = item.kind == Kind::AmmoBox;
        if (item.slot != static_cast<int>(n) || ammo != (item.slot >= checkBoxCount) || ammo == !item.caption.empty())
            return false;
        if (item.kind == Kind::Weapon ? item.itemClass.empty() : item.magazineClass.empty())
            return false;
        const bool feeds = ammo || (item.kind == Kind::Magazine && item.group == Group::Other);
        if (feeds != (item.weaponSlot != none))
            return false;
        if (feeds && catalogue[static_cast<std::size_t>(item.weaponSlot)].kind != Kind::Weapon)
            return false;
    }
    return true;
}
static_assert(rowsAreWellFormed());
} // namespace detail

// The weapon a box feeds: for an ammo box the item on the same row, whose
// check box decides it; for the Kozlice's magazines the Kozlice.
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

// The runs as the game's item list lays them out; a row moved into another
// run stops the compilation here.
static_assert(weaponRuns[0].first == 0 && weaponRuns[0].last == 31 && weaponRuns[1].first == 44 &&
              weaponRuns[1].last == 47 && weaponRuns[2].first == 50 && weaponRuns[2].last == 51);
static_assert(equipmentMagazines.first == 32 && equipmentMagazines.last == 43);
static_assert(kozliceMagazines.first == 48 && kozliceMagazines.last == 49);
static_assert(rowAmmoBoxes.first == 52 && rowAmmoBoxes.last == 83);
static_assert(otherAmmoBoxes.first == 84 && otherAmmoBoxes.last == 85);
// Each row's ammo box lies one row's width below its weapon.
static_assert(weaponSlotOf(rowAmmoBoxes.first) == 0 && weaponSlotOf(rowAmmoBoxes.last) == 31);
static_assert(weaponSlotOf(84) == 50 && weaponSlotOf(85) == 51 && weaponSlotOf(48) == 47 && weaponSlotOf(49) == 47);

} // namespace qor
