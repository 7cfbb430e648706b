#include "ui/win32/look.h"

#include "layout/contrast.h"

namespace qor::win32
{

COLORREF colourOf(layout::Colour colour, Paint use, bool highContrast, SystemColours system)
{
    if (highContrast)
        return system(use == Paint::Fill ? COLOR_WINDOW : COLOR_WINDOWTEXT);
    switch (colour.system) {
    case layout::SystemColour::None:
        return RGB(colour.red, colour.green, colour.blue);
    case layout::SystemColour::Highlight:
        return system(COLOR_HIGHLIGHT);
    case layout::SystemColour::HighlightText:
        return system(COLOR_HIGHLIGHTTEXT);
    case layout::SystemColour::Window:
        // A form's background is the button face, as the window class's.
        return system(COLOR_BTNFACE);
    case layout::SystemColour::WindowText:
        return system(COLOR_WINDOWTEXT);
    }
    return system(COLOR_WINDOWTEXT);
}

RECT toPixels(layout::Twips t, UINT dpi, POINT scroll)
{
    auto px = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    const int left = px(t.left) - scroll.x, top = px(t.top) - scroll.y;
    return {left, top, left + px(t.width), top + px(t.height)};
}

COLORREF focusFrameAgainst(COLORREF behind)
{
    const layout::Rgb c = layout::outlineAgainst({static_cast<std::uint8_t>(GetRValue(behind)),
                                                  static_cast<std::uint8_t>(GetGValue(behind)),
                                                  static_cast<std::uint8_t>(GetBValue(behind))});
    return RGB(c.red, c.green, c.blue);
}

} // namespace qor::win32
