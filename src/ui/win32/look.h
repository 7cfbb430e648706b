#pragma once
// The window description's colours as Windows colours. Under a high-contrast
// theme the system's own colours replace every fixed fill and text, so the
// user's chosen pair holds everywhere; under a dark scheme the neutral areas
// turn dark; otherwise a fixed colour stays what the layout says and a named
// one follows the desktop. Texts are then checked against the fill they
// stand on.

#include "layout/layout.h"
#include "ui/win32/controls.h"

#include <windows.h>

namespace qor::win32
{

enum class Paint { Fill, Text };

// GetSysColor, or a stand-in in tests.
using SystemColours = COLORREF (*)(int index);

COLORREF colourOf(layout::Colour colour, Paint use, layout::Scheme scheme, SystemColours system = GetSysColor);

// A text's colour on a fill already resolved: the layout's own where it is
// readable there, else black or white. The user's high-contrast pair stays
// as it is.
COLORREF textOn(COLORREF fill, layout::Colour text, layout::Scheme scheme, SystemColours system = GetSysColor);

// Where the boxes' text stands: the system's box colour, or dark.
COLORREF boxFill(layout::Scheme scheme, SystemColours system = GetSysColor);

// The colours in which the window draws the buttons and check marks that
// the system draws light whatever the apps' mode.
OwnLook darkControls();

// Twips as pixels at `dpi`, less how far the window has scrolled.
RECT toPixels(layout::Twips t, UINT dpi, POINT scroll);

// The focus frame's colour against `behind`: black or white, at least 4.5:1.
COLORREF focusFrameAgainst(COLORREF behind);

double contrastBetween(COLORREF a, COLORREF b);

// Whether the user asked for dark apps (Windows 10 and later), read from
// `key` under HKEY_CURRENT_USER.
bool appsUseDarkTheme(const wchar_t *key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize");

// Tells the desktop to draw `window`'s title bar dark or light, where it can.
void setDarkTitleBar(HWND window, bool dark);

} // namespace qor::win32
