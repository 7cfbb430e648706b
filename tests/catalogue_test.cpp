// The item table's own promises, which the window and the sections rely on.
#include "catalogue/catalogue.h"
#include "generate/sections.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace qor
{
namespace
{

TEST(Catalogue, RowsAreInSlotOrderWithKindsByRange)
{
    for (int slot = 0; slot < slotCount; ++slot) {
        const Item &item = catalogue[static_cast<std::size_t>(slot)];
        EXPECT_EQ(item.slot, slot);
        const Kind expected = slot >= 52                                               ? Kind::AmmoBox
                              : (slot >= 32 && slot <= 43) || slot == 48 || slot == 49 ? Kind::Magazine
                                                                                       : Kind::Weapon;
        EXPECT_EQ(item.kind, expected) << slot;
        EXPECT_EQ(item.caption.empty(), slot >= 52) << slot;
        EXPECT_EQ(item.weaponSlot != -1, slot >= 48 && slot != 50 && slot != 51) << slot;
        if (item.kind == Kind::Weapon)
            EXPECT_FALSE(item.itemClass.empty()) << slot;
        else
            EXPECT_FALSE(item.magazineClass.empty()) << slot;
    }
    EXPECT_EQ(weaponSlotOf(52), 0);
    EXPECT_EQ(weaponSlotOf(83), 31);
    EXPECT_EQ(weaponSlotOf(84), 50);
    EXPECT_EQ(weaponSlotOf(85), 51);
    EXPECT_EQ(weaponSlotOf(48), 47);
    EXPECT_EQ(weaponSlotOf(49), 47);
}

TEST(Catalogue, OnlyFourMagazineNamesAreShared)
{
    std::map<std::string_view, std::vector<int>> boxes;
    for (const Item &item : catalogue)
        if (item.kind == Kind::AmmoBox)
            boxes[item.magazineClass].push_back(item.slot);
    std::map<std::string_view, std::vector<int>> shared;
    for (const auto &[name, slots] : boxes)
        if (slots.size() > 1)
            shared[name] = slots;
    const std::map<std::string_view, std::vector<int>> expected = {
        {"M4", {52, 63}}, {"GrenadeLauncher", {56, 74, 77}}, {"AK74", {70, 71}}, {"AK47", {76, 84}}};
    EXPECT_EQ(shared, expected);
}

// Each ammo box and magazine item is written by exactly one magazine entry,
// and every weapon by exactly one weapon entry.
TEST(SectionTables, CoverEveryItemOnce)
{
    std::multiset<int> weapons, magazines;
    for (const SectionEntry &e : weaponEntries)
        weapons.insert(e.counted[0]);
    for (const SectionEntry &e : magazineEntries)
        for (std::size_t n = 0; n < e.countedCount; ++n)
            magazines.insert(e.counted[n]);
    for (const Item &item : catalogue) {
        EXPECT_EQ(weapons.count(item.slot), item.kind == Kind::Weapon ? 1u : 0u) << item.slot;
        EXPECT_EQ(magazines.count(item.slot), item.kind == Kind::Weapon ? 0u : 1u) << item.slot;
    }
}

} // namespace
} // namespace qor
