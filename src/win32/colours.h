#pragma once
// Colours that must stay readable: the keyboard focus frame, and the choice
// between the layout's fixed fills and the system's colours under a
// high-contrast theme. Pure functions of colours, so tests need no window.

#include <windows.h>

namespace qor::win32
{

// Relative luminance and contrast ratio as accessibility guidelines measure
// them: 1 for equal colours, 21 for black on white.
double relativeLuminance(COLORREF c);
double contrastRatio(COLORREF a, COLORREF b);

// Black or white, whichever stands out more against the weaker of the two
// colours it touches: the fill behind a control and the control's own face.
COLORREF focusColour(COLORREF behind, COLORREF face);

} // namespace qor::win32
