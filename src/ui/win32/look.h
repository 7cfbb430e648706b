#pragma once
// The window description's colours as Windows colours. Under a high-contrast
// theme the system's own colours replace every fixed fill and text, so the
// user's chosen pair holds everywhere; otherwise a fixed colour stays what
// the layout says and a named one follows the desktop.

#include "layout/layout.h"

#include <windows.h>

namespace qor::win32
{

enum class Paint { Fill, Text };

// GetSysColor, or a stand-in in tests.
using SystemColours = COLORREF (*)(int index);

COLORREF colourOf(layout::Colour colour, Paint use, bool highContrast, SystemColours system = GetSysColor);

// Twips as pixels at `dpi`, less how far the window has scrolled.
RECT toPixels(layout::Twips t, UINT dpi, POINT scroll);

// The focus frame's colour against `behind`: black or white, at least 4.5:1.
COLORREF focusFrameAgainst(COLORREF behind);

} // namespace qor::win32
