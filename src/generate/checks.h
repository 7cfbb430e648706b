#pragma once
// Count checks: a ticked item whose count box holds text that is not exactly
// "0" and yet reads as 0 is "not a number". Each failure is reported, the box
// is emptied and focused, and the pass's section is left out.

#include "command.h"
#include "form.h"

#include <array>

namespace qor
{

struct CheckGroup {
    int firstBox;
    int lastBox;
    int firstCheckBox;  // box s is judged by wep(firstCheckBox + s - firstBox)
    bool endsAtFailure; // a loop group stops at its first failure; a single check does not
};

// Boxes of the items the Weapons section can list.
inline constexpr std::array<CheckGroup, 3> firstPassGroups = {{
    {0, 31, 0, true},
    {44, 47, 44, true},
    {50, 51, 50, true},
}};

// Boxes of the items the Magazines section can list; ammo boxes are judged by
// their weapon's check box.
inline constexpr std::array<CheckGroup, 6> secondPassGroups = {{
    {32, 43, 32, true},
    {52, 83, 0, true},
    {48, 48, 48, false},
    {49, 49, 49, false},
    {84, 84, 50, false},
    {85, 85, 51, false},
}};

// Runs the groups in order; sets fields.valid to False on any failure and
// leaves it untouched otherwise.
void checkPass(const CheckGroup *first, const CheckGroup *last, FormView &form, WindowFields &fields);

inline void firstCheckPass(FormView &form, WindowFields &fields)
{
    checkPass(firstPassGroups.begin(), firstPassGroups.end(), form, fields);
}

inline void secondCheckPass(FormView &form, WindowFields &fields)
{
    checkPass(secondPassGroups.begin(), secondPassGroups.end(), form, fields);
}

} // namespace qor
