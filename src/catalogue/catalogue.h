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
    int weaponSlot;                 // ammo boxes only; -1 elsewhere
};

inline constexpr int slotCount = 86;     // cant(0..85)
inline constexpr int checkBoxCount = 52; // wep(0..51)

namespace detail
{
using G = Group;
using K = Kind;
inline constexpr int none = -1;
} // namespace detail

// clang-format off
inline constexpr std::array<Item, slotCount> catalogue = {{
    {0,  detail::G::Nato, detail::K::Weapon, "M 4", "M4", "", detail::none},
    {1,  detail::G::Nato, detail::K::Weapon, "M 16", "M16", "", detail::none},
    {2,  detail::G::Nato, detail::K::Weapon, "M 60", "M60", "", detail::none},
    {3,  detail::G::Nato, detail::K::Weapon, "MP5 SD6", "HK", "", detail::none},
    {4,  detail::G::Nato, detail::K::Weapon, "M 16 Grenade Launcher", "M16GrenadeLauncher", "", detail::none},
    {5,  detail::G::Nato, detail::K::Weapon, "M 21 (Sniper)", "M21", "", detail::none},
    {6,  detail::G::Nato, detail::K::Weapon, "HK G36A", "G36a", "", detail::none},
    {7,  detail::G::Nato, detail::K::Weapon, "HK G3", "HKG3", "", detail::none},
    {8,  detail::G::Nato, detail::K::Weapon, "FAL", "FAL", "", detail::none},
    {9,  detail::G::Nato, detail::K::Weapon, "STEYR", "Steyr", "", detail::none},
    {10, detail::G::Nato, detail::K::Weapon, "UZI", "UZI", "", detail::none},
    {11, detail::G::Nato, detail::K::Weapon, "M 4 XMS Scoped", "XMS", "", detail::none},
    {12, detail::G::Nato, detail::K::Weapon, "LAW Launcher", "LAWLauncher", "", detail::none},
    {13, detail::G::Nato, detail::K::Weapon, "Carl Gustav Launcher", "CarlGustavLauncher", "", detail::none},
    {14, detail::G::Nato, detail::K::Weapon, "AA Launcher", "AALauncher", "", detail::none},
    {15, detail::G::Nato, detail::K::Weapon, "MM1 Barrel Grenade Launcher", "MM1", "", detail::none},
    {16, detail::G::Nato, detail::K::Weapon, "Beretta", "Beretta", "", detail::none},
    {17, detail::G::Nato, detail::K::Weapon, "Glock", "Glock", "", detail::none},
    {18, detail::G::Russian, detail::K::Weapon, "AK 74 SU", "AK74Su", "", detail::none},
    {19, detail::G::Russian, detail::K::Weapon, "AK 74", "AK74", "", detail::none},
    {20, detail::G::Russian, detail::K::Weapon, "PK", "PK", "", detail::none},
    {21, detail::G::Russian, detail::K::Weapon, "Bizon (SD)", "Bizon", "", detail::none},
    {22, detail::G::Russian, detail::K::Weapon, "AK 74 Grenade Launcher", "AK74GrenadeLauncher", "", detail::none},
    {23, detail::G::Russian, detail::K::Weapon, "SVD Dragunov (Sniper)", "SVDDragunov", "", detail::none},
    {24, detail::G::Russian, detail::K::Weapon, "AK 47", "AK47", "", detail::none},
    {25, detail::G::Russian, detail::K::Weapon, "AK 47 Grenade Launcher", "AK47GrenadeLauncher", "", detail::none},
    {26, detail::G::Russian, detail::K::Weapon, "AT4 Launcher", "AT4Launcher", "", detail::none},
    {27, detail::G::Russian, detail::K::Weapon, "9K32 Launcher", "9K32Launcher", "", detail::none},
    {28, detail::G::Russian, detail::K::Weapon, "RPG Launcher", "RPGLauncher", "", detail::none},
    {29, detail::G::Russian, detail::K::Weapon, "6G30 Barrel Grenade Launcher", "6G30", "", detail::none},
    {30, detail::G::Russian, detail::K::Weapon, "Tokarev", "Tokarev", "", detail::none},
    {31, detail::G::Russian, detail::K::Weapon, "Skorpion (Machine Pistol)", "Skorpion", "", detail::none},
    {32, detail::G::Equipment, detail::K::Magazine, "Hand Grenade", "", "HandGrenade", detail::none},
    {33, detail::G::Equipment, detail::K::Magazine, "Mortar", "", "Mortar", detail::none},
    {34, detail::G::Equipment, detail::K::Magazine, "SmokeShell", "", "SmokeShell", detail::none},
    {35, detail::G::Equipment, detail::K::Magazine, "SmokeShell Red", "", "SmokeShellRed", detail::none},
    {36, detail::G::Equipment, detail::K::Magazine, "SmokeShell Green", "", "SmokeShellGreen", detail::none},
    {37, detail::G::Equipment, detail::K::Magazine, "Flare", "", "Flare", detail::none},
    {38, detail::G::Equipment, detail::K::Magazine, "Flare Red", "", "FlareRed", detail::none},
    {39, detail::G::Equipment, detail::K::Magazine, "Flare Green", "", "FlareGreen", detail::none},
    {40, detail::G::Equipment, detail::K::Magazine, "Flare Yellow", "", "FlareYellow", detail::none},
    {41, detail::G::Equipment, detail::K::Magazine, "Pipe Bomb", "", "PipeBomb", detail::none},
    {42, detail::G::Equipment, detail::K::Magazine, "Time Bomb", "", "TimeBomb", detail::none},
    {43, detail::G::Equipment, detail::K::Magazine, "Mine", "", "Mine", detail::none},
    {44, detail::G::Equipment, detail::K::Weapon, "Laser Designator", "LaserDesignator", "LaserDesignator", detail::none},
    {45, detail::G::Equipment, detail::K::Weapon, "Binocular", "Binocular", "Binocular", detail::none},
    {46, detail::G::Equipment, detail::K::Weapon, "NV Googles", "NVGoggles", "NVGoggles", detail::none},
    {47, detail::G::Other, detail::K::Weapon, "Kozlice", "Kozlice", "", detail::none},
    {48, detail::G::Other, detail::K::Magazine, "Kozlice Shell", "Kozliceshell", "Kozliceshell", detail::none},
    {49, detail::G::Other, detail::K::Magazine, "Kozlice Ball", "Kozliceball", "Kozliceball", detail::none},
    {50, detail::G::Other, detail::K::Weapon, "AK 47 CZ", "AK47CZ", "", detail::none},
    {51, detail::G::Other, detail::K::Weapon, "CZ 75", "CZ75", "", detail::none},
    {52, detail::G::Nato, detail::K::AmmoBox, "", "", "M4", 0},
    {53, detail::G::Nato, detail::K::AmmoBox, "", "", "M16", 1},
    {54, detail::G::Nato, detail::K::AmmoBox, "", "", "M60", 2},
    {55, detail::G::Nato, detail::K::AmmoBox, "", "", "HK", 3},
    {56, detail::G::Nato, detail::K::AmmoBox, "", "", "GrenadeLauncher", 4},
    {57, detail::G::Nato, detail::K::AmmoBox, "", "", "M21", 5},
    {58, detail::G::Nato, detail::K::AmmoBox, "", "", "G36aMag", 6},
    {59, detail::G::Nato, detail::K::AmmoBox, "", "", "HKG3Mag", 7},
    {60, detail::G::Nato, detail::K::AmmoBox, "", "", "FALMag", 8},
    {61, detail::G::Nato, detail::K::AmmoBox, "", "", "SteyrMag", 9},
    {62, detail::G::Nato, detail::K::AmmoBox, "", "", "UZIMag", 10},
    {63, detail::G::Nato, detail::K::AmmoBox, "", "", "M4", 11},
    {64, detail::G::Nato, detail::K::AmmoBox, "", "", "LAWLauncher", 12},
    {65, detail::G::Nato, detail::K::AmmoBox, "", "", "CarlGustavLauncher", 13},
    {66, detail::G::Nato, detail::K::AmmoBox, "", "", "AALauncher", 14},
    {67, detail::G::Nato, detail::K::AmmoBox, "", "", "MM1Magazine", 15},
    {68, detail::G::Nato, detail::K::AmmoBox, "", "", "BerettaMag", 16},
    {69, detail::G::Nato, detail::K::AmmoBox, "", "", "GlockMag", 17},
    {70, detail::G::Russian, detail::K::AmmoBox, "", "", "AK74", 18},
    {71, detail::G::Russian, detail::K::AmmoBox, "", "", "AK74", 19},
    {72, detail::G::Russian, detail::K::AmmoBox, "", "", "PK", 20},
    {73, detail::G::Russian, detail::K::AmmoBox, "", "", "BizonMag", 21},
    {74, detail::G::Russian, detail::K::AmmoBox, "", "", "GrenadeLauncher", 22},
    {75, detail::G::Russian, detail::K::AmmoBox, "", "", "SVDDragunov", 23},
    {76, detail::G::Russian, detail::K::AmmoBox, "", "", "AK47", 24},
    {77, detail::G::Russian, detail::K::AmmoBox, "", "", "GrenadeLauncher", 25},
    {78, detail::G::Russian, detail::K::AmmoBox, "", "", "AT4Launcher", 26},
    {79, detail::G::Russian, detail::K::AmmoBox, "", "", "9K32Launcher", 27},
    {80, detail::G::Russian, detail::K::AmmoBox, "", "", "RPGLauncher", 28},
    {81, detail::G::Russian, detail::K::AmmoBox, "", "", "6G30Magazine", 29},
    {82, detail::G::Russian, detail::K::AmmoBox, "", "", "TokarevMag", 30},
    {83, detail::G::Russian, detail::K::AmmoBox, "", "", "SkorpionMag", 31},
    {84, detail::G::Other, detail::K::AmmoBox, "", "", "AK47", 50},
    {85, detail::G::Other, detail::K::AmmoBox, "", "", "CZ75Mag", 51},
}};
// clang-format on

// The weapon whose check box decides an ammo box: the item on the same row.
constexpr int weaponSlotOf(int ammoBox)
{
    return catalogue[ammoBox].weaponSlot;
}

} // namespace qor
