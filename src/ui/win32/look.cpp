#include "ui/win32/look.h"

#include "layout/contrast.h"

namespace qor::win32
{

namespace
{

layout::Rgb rgbOf(COLORREF c)
{
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

COLORREF colourRef(layout::Colour c)
{
    return RGB(c.red, c.green, c.blue);
}

} // namespace

COLORREF colourOf(layout::Colour colour, Paint use, layout::Scheme scheme, SystemColours system)
{
    if (scheme == layout::Scheme::HighContrast)
        return system(use == Paint::Fill ? COLOR_WINDOW : COLOR_WINDOWTEXT);
    const bool dark = scheme == layout::Scheme::Dark;
    switch (colour.system) {
    case layout::SystemColour::None:
        return colourRef(colour);
    case layout::SystemColour::Highlight:
        return system(COLOR_HIGHLIGHT);
    case layout::SystemColour::HighlightText:
        return system(COLOR_HIGHLIGHTTEXT);
    case layout::SystemColour::Window:
        // A form's background is the button face, as the window class's.
        return dark ? colourRef(layout::darkNeutrals.window) : system(COLOR_BTNFACE);
    case layout::SystemColour::WindowText:
        return system(COLOR_WINDOWTEXT);
    }
    return system(COLOR_WINDOWTEXT);
}

COLORREF textOn(COLORREF fill, layout::Colour text, layout::Scheme scheme, SystemColours system)
{
    const COLORREF wanted = colourOf(text, Paint::Text, scheme, system);
    if (scheme == layout::Scheme::HighContrast)
        return wanted;
    const layout::Rgb c = layout::textOn(rgbOf(fill), rgbOf(wanted));
    return RGB(c.red, c.green, c.blue);
}

COLORREF boxFill(layout::Scheme scheme, SystemColours system)
{
    return scheme == layout::Scheme::Dark ? colourRef(layout::darkNeutrals.box) : system(COLOR_WINDOW);
}

OwnLook darkControls()
{
    const layout::NeutralColours &n = layout::darkNeutrals;
    // The ink reads on the lightest fill it lies on, so on all of them.
    const layout::Rgb ink = layout::textOn(rgbOf(colourRef(n.buttonHot)), rgbOf(colourRef(n.text)));
    return {colourRef(n.box), colourRef(n.button), colourRef(n.buttonHot), RGB(ink.red, ink.green, ink.blue)};
}

RECT toPixels(layout::Twips t, UINT dpi, POINT scroll)
{
    auto px = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    const int left = px(t.left) - scroll.x, top = px(t.top) - scroll.y;
    return {left, top, left + px(t.width), top + px(t.height)};
}

COLORREF focusFrameAgainst(COLORREF behind)
{
    const layout::Rgb c = layout::outlineAgainst(rgbOf(behind));
    return RGB(c.red, c.green, c.blue);
}

double contrastBetween(COLORREF a, COLORREF b)
{
    return layout::contrastRatio(rgbOf(a), rgbOf(b));
}

bool appsUseDarkTheme(const wchar_t *key)
{
    DWORD light = 1, size = sizeof light;
    return RegGetValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) ==
               ERROR_SUCCESS &&
           light == 0;
}

void setDarkTitleBar(HWND window, bool dark)
{
    // Looked up rather than imported: only a dark desktop needs it, and the
    // attribute's number changed once (19 before Windows 10 20H1, then 20).
    using SetAttribute = HRESULT(WINAPI *)(HWND, DWORD, LPCVOID, DWORD);
    static const SetAttribute set = [] {
        HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        FARPROC f = dwm ? GetProcAddress(dwm, "DwmSetWindowAttribute") : nullptr;
        return reinterpret_cast<SetAttribute>(reinterpret_cast<void (*)()>(f));
    }();
    if (!set)
        return;
    const BOOL on = dark ? TRUE : FALSE;
    constexpr DWORD immersiveDarkMode = 20, immersiveDarkModeBefore20H1 = 19;
    if (FAILED(set(window, immersiveDarkMode, &on, sizeof on)))
        set(window, immersiveDarkModeBefore20H1, &on, sizeof on);
}

} // namespace qor::win32
