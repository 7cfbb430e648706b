#pragma once
// Count checks: a ticked item whose count box holds text that is not exactly
// "0" and yet reads as 0 is "not a number". Each failure is reported, the box
// is emptied and focused, and the pass's section is left out.

#include "catalogue/catalogue.h"
#include "command.h"
#include "form.h"

#include <array>
#include <span>

namespace qor
{

// A run of count boxes checked in slot order, each judged by its check box
// (checkBoxOf). A loop group stops at its first failure; single checks are
// groups of one box and never stop another.
struct CheckGroup {
    SlotRun boxes;
    bool endsAtFailure = true;
};

namespace detail
{
constexpr CheckGroup single(int box)
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
    detail::single(kozliceMagazines.first),
    detail::single(kozliceMagazines.last),
    detail::single(otherAmmoBoxes.first),
    detail::single(otherAmmoBoxes.last),
}};

// Runs the groups in order; sets fields.valid to validFalse on any failure
// and leaves it untouched otherwise.
void checkPass(std::span<const CheckGroup> groups, FormView &form, WindowFields &fields);

inline void firstCheckPass(FormView &form, WindowFields &fields)
{
    checkPass(firstPassGroups, form, fields);
}

inline void secondCheckPass(FormView &form, WindowFields &fields)
{
    checkPass(secondPassGroups, form, fields);
}

} // namespace qor
