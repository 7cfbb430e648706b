#pragma once
// Count checks: a ticked item whose count box holds text that is not exactly
// "0" and yet reads as 0 is "not a number". Each failure is reported, the box
// is emptied and focused, and the pass's section is left out. The checks only
// say which boxes failed; the window is told by the press (press.h).

#include "catalogue/catalogue.h"
#include "press/form.h"
#include "press/windowfields.h"

#include <array>
#include <span>
#include <vector>

namespace qor
{

inline constexpr const char *notANumber = "error; not a number";

// A run of count boxes checked in slot order, each judged by its check box
// (checkBoxOf). A loop group stops at its first failure; single checks are
// groups of one box and never stop another.
struct CheckGroup {
    SlotRun boxes;
    bool endsAtFailure = true;
};

namespace detail
{
constexpr CheckGroup oneBoxCheck(int box)
{
    return {{box, box}, false};
}
} // namespace detail

// The boxes of the items the Weapons section can list.
inline constexpr std::array<CheckGroup, 3> firstPassGroups = {{
    {weaponRuns[0]},
    {weaponRuns[1]},
    {weaponRuns[2]},
}};

// The boxes of the items the Magazines section can list.
inline constexpr std::array<CheckGroup, 6> secondPassGroups = {{
    {equipmentMagazines},
    {rowAmmoBoxes},
    detail::oneBoxCheck(kozliceMagazines.first),
    detail::oneBoxCheck(kozliceMagazines.last),
    detail::oneBoxCheck(otherAmmoBoxes.first),
    detail::oneBoxCheck(otherAmmoBoxes.last),
}};

namespace detail
{
// Every count box is checked by exactly one group of one pass, so no box
// goes unchecked and none is reported twice in a press.
constexpr bool everyBoxCheckedOnce()
{
    std::array<int, slotCount> times{};
    for (const auto &pass :
         {std::span<const CheckGroup>(firstPassGroups), std::span<const CheckGroup>(secondPassGroups)})
        for (const CheckGroup &group : pass)
            for (int box = group.boxes.first; box <= group.boxes.last; ++box)
                ++times[static_cast<std::size_t>(box)];
    for (int t : times)
        if (t != 1)
            return false;
    return true;
}
} // namespace detail
static_assert(detail::everyBoxCheckedOnce());

// Runs the groups in order, adding each box that fails to `failed` in the
// order the user is told; sets fields.valid to validFalse on any failure and
// leaves it untouched otherwise.
void checkPass(std::span<const CheckGroup> groups, const Form &form, WindowFields &fields, std::vector<int> &failed);

inline void firstCheckPass(const Form &form, WindowFields &fields, std::vector<int> &failed)
{
    checkPass(firstPassGroups, form, fields, failed);
}

inline void secondCheckPass(const Form &form, WindowFields &fields, std::vector<int> &failed)
{
    checkPass(secondPassGroups, form, fields, failed);
}

} // namespace qor
