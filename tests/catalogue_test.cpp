// The item table's own promises, which the window and the sections rely on.
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <map>

namespace qor
{
namespace
{

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

} // namespace
} // namespace qor
