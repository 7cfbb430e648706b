#pragma once
// What screen readers are told about the window's structure: the window's
// role and which nodes are shown at all. The controls' names and the count
// boxes' descriptions are the window description's (layout/texts.h).

namespace qor
{

// Makes the window a window to assistive technology and leaves decoration
// and hidden controls out of its tree. Safe to call more than once.
void installAccessibility();

} // namespace qor
