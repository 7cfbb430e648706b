#pragma once
// Thin behaviour over Windows' own controls, kept apart from the window's
// logic: single-line boxes that never hold a line break, check boxes that a
// click anywhere in their rectangle toggles, a button that Enter presses, and
// a keyboard focus frame that stands out against every fill.
//
// Tab and Shift+Tab are not left to the system's dialog navigation, which
// follows the stacking order of the controls; the window's tab order differs
// from it. Each control hands the keys to its parent as moveFocusMessage.

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qor::win32
{

// Sent to the parent by a control that got Tab; wParam is TRUE for Shift+Tab.
inline constexpr UINT moveFocusMessage = WM_APP + 1;

// Frame width in pixels at 96 dpi.
inline constexpr int focusFrameWidth = 2;

// An EDIT control made a single-line box: CR and LF are dropped whether they
// are typed, pasted (WM_PASTE) or set (WM_SETTEXT, EM_REPLACESEL), instead
// of cutting the text at the first line break. `focus` colours its border
// while it has the keyboard focus.
void makeLineBox(HWND edit, COLORREF focus);

// A line box for a count: a one-pixel frame of its own in place of the
// system's two-pixel sunken edge, and no inner margins, so that three digits
// fit a box the width of the design's. Its focus frame lies outside it, on
// the fill around it (drawn by the parent with drawCountFocus), so no frame
// covers a digit. `frame` colours its own frame.
void makeCountBox(HWND edit, COLORREF frame);
void setFrameColour(HWND countBox, COLORREF frame);
bool isCountBox(HWND w);
// The focus frame round a focused count box, in its parent's client
// coordinates, on `dc`.
void drawCountFocus(HDC dc, HWND countBox);
// The part of the parent that drawCountFocus paints.
RECT countFocusArea(HWND countBox);

// The status line, an owner-drawn STATIC, made a stop of the tab order: the
// keyboard reaches it to read it or to copy its whole text (Ctrl+C or
// Ctrl+Insert), and a click gives it the focus. It is drawn again as the
// focus comes and goes; the parent draws its focus frame in focusColour().
void makeStatusLine(HWND status, COLORREF focus);

// The whole text of a window.
std::wstring windowText(HWND w);

// A BS_OWNERDRAW button that the parent draws with drawTickBox() and toggles
// on BN_CLICKED, which a click anywhere in it or Space sends.
void makeTickBox(HWND button);

// A push button that Enter and Return press as well as Space; while focused
// it shows a frame in `focus` inside its face.
void makePressButton(HWND button, COLORREF focus);

// Recolours the focus frame of a control made by makeLineBox or
// makePressButton, after a change of theme.
void setFocusColour(HWND control, COLORREF focus);
COLORREF focusColour(HWND control);

// Where the window draws a button or check mark itself: a box's fill (and a
// pressed button's), a button's face (and a pressed or greyed box's), the
// fill under the pointer, and the frames, marks and captions.
struct OwnLook {
    COLORREF box, face, hot, ink;
};

struct TickBoxLook {
    COLORREF background;
    COLORREF text;
    COLORREF focus;
    HFONT font;
    UINT dpi;
    int visibleHeight = 0;       // where a later box covers the bottom; 0: the whole
    std::optional<OwnLook> mark; // none: the system draws the tick mark
};

// A check box: the tick mark (unticked, ticked or greyed) at the left, the
// caption beside it, and while focused a frame round the caption and the
// blank part that a click reaches.
void drawTickBox(const DRAWITEMSTRUCT &item, std::int16_t value, const TickBoxLook &look);

// A push button made by makePressButton drawn whole in `look`'s colours at
// NM_CUSTOMDRAW's prepaint stage: face (hot or pressed as the button is),
// frame, caption and focus frame.
void drawPushButton(const NMCUSTOMDRAW &draw, const OwnLook &look);

// A frame `width` pixels wide just inside `r`.
void drawFrame(HDC dc, RECT r, int width, COLORREF colour);

} // namespace qor::win32
