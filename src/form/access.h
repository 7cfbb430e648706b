#pragma once
// What screen readers are told about the window beyond the controls' names:
// the window's role, which nodes are shown at all, and what each count box
// counts, when it counts and what it accepts.

#include <QString>

namespace qor
{

// For count box `slot`: what it counts, the check boxes that must be ticked
// for it to count, and the accepted forms of a count, in one sentence each.
QString countDescription(int slot);

// Makes the window a window to assistive technology and leaves decoration
// and hidden controls out of its tree. Safe to call more than once.
void installAccessibility();

} // namespace qor
