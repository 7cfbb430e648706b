// The window built from the window description: its controls, their places
// and fonts for a dpi, and the decoration it paints itself.
#include "ui/win32/window.h"

#include "layout/layout.h"
#include "layout/texts.h"
#include "press/startvalues.h"
#include "ui/win32/controls.h"
#include "ui/win32/look.h"
#include "ui/win32/text.h"

#include <cmath>

namespace qor::win32
{

namespace
{

HWND makeChild(HWND parent, HINSTANCE instance, const wchar_t *kind, std::string_view text, DWORD style, DWORD exStyle,
               int id)
{
    // Every control goes on top of those before it: the order of creation is
    // the order of drawing, and where two overlap the later one takes the click.
    HWND w = CreateWindowExW(exStyle, kind, wide(text).c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return w;
}

constexpr DWORD tickStyle = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY;
constexpr DWORD lineStyle = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;

layout::Colour backgroundOf(ControlId id)
{
    return id.name == ControlName::chki ? layout::windowBackground
                                        : layout::fillOf(catalogue[static_cast<std::size_t>(id.index)].group);
}

} // namespace

void MainWindow::createControls(HINSTANCE instance)
{
    HWND parent = window_;
    for (int slot = 0; slot < checkBoxCount; ++slot) {
        const Item &item = catalogue[static_cast<std::size_t>(slot)];
        wep_[static_cast<std::size_t>(slot)] =
            makeChild(parent, instance, L"BUTTON", item.caption, tickStyle, 0, detail::idNumber(wep(slot)));
        wepValue_[static_cast<std::size_t>(slot)] = startTick;
    }
    for (std::size_t n = 0; n < layout::briefing.size(); ++n) {
        const int index = static_cast<int>(n) + 1;
        chki_[n] = makeChild(parent, instance, L"BUTTON", layout::briefing[n].caption, tickStyle, 0,
                             detail::idNumber(chki(index)));
        chkiValue_[n] = briefingOptions[n].start;
    }
    for (HWND box : wep_)
        makeTickBox(box);
    for (HWND box : chki_)
        makeTickBox(box);

    // Each box is named by an empty-sized label right above it in the
    // stacking order, where screen readers look for an edit box's name
    // (the property service below names it too, where the system has one).
    auto lineBox = [&](ControlId id, std::string_view text) {
        HWND box = makeChild(parent, instance, L"EDIT", text, lineStyle, WS_EX_CLIENTEDGE, detail::idNumber(id));
        makeChild(parent, instance, L"STATIC", layout::accessibleName(id), WS_VISIBLE | SS_NOPREFIX, 0, -1);
        return box;
    };
    for (int slot = 0; slot < slotCount; ++slot)
        cant_[static_cast<std::size_t>(slot)] = lineBox(cant(slot), startCount);
    txti1_ = lineBox(txti1, "");
    txti2_ = lineBox(txti2, "");
    // The source of the quote character round the script names: never seen,
    // focused or edited.
    txtt_ = makeChild(parent, instance, L"EDIT", quoteCharacter, WS_DISABLED, WS_EX_CLIENTEDGE, detail::idNumber(txtt));
    for (HWND box : cant_)
        makeLineBox(box, 0);
    for (HWND box : {txti1_, txti2_, txtt_})
        makeLineBox(box, 0);

    cmd_ = makeChild(parent, instance, L"BUTTON", layout::cmdCaption,
                     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, detail::buttonId);
    makePressButton(cmd_, 0);

    // Outside the canvas, over whatever scrolls beneath.
    status_ = makeChild(parent, instance, L"STATIC", "",
                        WS_VISIBLE | SS_LEFT | SS_ENDELLIPSIS | SS_NOPREFIX | SS_CENTERIMAGE, 0, detail::statusId);
    folderButton_ = makeChild(parent, instance, L"BUTTON", layout::folderCaption,
                              WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, detail::folderButtonId);
    makePressButton(folderButton_, 0);

    tabOrder_.clear();
    for (const layout::TabStop &stop : layout::tabStops)
        tabOrder_.push_back(control(stop));
    recolour();
}

HWND MainWindow::control(layout::TabStop stop) const
{
    if (const std::optional<ControlId> id = layout::formControl(stop))
        return control(*id);
    return stop.control == layout::Focusable::cmd ? cmd_ : folderButton_;
}

void MainWindow::createFonts()
{
    for (HFONT f : fonts_)
        DeleteObject(f);
    fonts_.clear();
    const std::wstring family = wide(layout::fontFamilies.front());
    for (const layout::FontFace &face : layout::fontFaces) {
        const int height = -static_cast<int>(std::lround(face.points * dpi_ / 72.0));
        fonts_.push_back(CreateFontW(height, 0, 0, 0, face.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                     DEFAULT_PITCH | FF_SWISS, family.c_str()));
    }
}

HFONT MainWindow::font(layout::Font which) const
{
    for (std::size_t n = 0; n < layout::fontFaces.size(); ++n)
        if (layout::fontFaces[n].font == which)
            return fonts_.at(n);
    return fonts_.front();
}

void MainWindow::setDpi(UINT dpi)
{
    dpi_ = dpi;
    createFonts();
    // Pixels of the old dpi mean nothing at the new one: start from the top
    // left, then bring the focus back into view.
    scroll_ = {0, 0};
    placeControls(true);
    updateScrollBars();
    if (HWND focus = GetFocus(); focus && GetParent(focus) == window_)
        scrollIntoView(focus);
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::placeControls(bool withFonts)
{
    HDWP moves = BeginDeferWindowPos(static_cast<int>(slotCount + checkBoxCount + 11));
    auto place = [&](HWND w, layout::Twips box, layout::Font f) {
        const RECT r = toPixels(box, dpi_, scroll_);
        moves = DeferWindowPos(moves, w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
        if (withFonts)
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font(f)), FALSE);
    };
    for (int slot = 0; slot < checkBoxCount; ++slot)
        place(wep_[static_cast<std::size_t>(slot)], layout::items.check[static_cast<std::size_t>(slot)],
              layout::Font::Default);
    for (std::size_t n = 0; n < layout::briefing.size(); ++n)
        place(chki_[n], layout::briefingBox(layout::briefing[n]), layout::Font::Briefing);
    for (int slot = 0; slot < slotCount; ++slot)
        place(cant_[static_cast<std::size_t>(slot)], layout::items.count[static_cast<std::size_t>(slot)],
              layout::Font::Default);
    place(txti1_, layout::txti1Box, layout::Font::Default);
    place(txti2_, layout::txti2Box, layout::Font::Default);
    place(txtt_, layout::txttBox, layout::Font::Default);
    place(cmd_, layout::cmdBox, layout::Font::Button);
    EndDeferWindowPos(moves);
    if (withFonts)
        for (HWND w : {status_, folderButton_})
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font(layout::Font::Prompt)), FALSE);
}

void MainWindow::setHighContrast(bool on)
{
    highContrast_ = on;
    recolour();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::recolour()
{
    // A count box's frame stands out against its group's fill, the others'
    // against the window's background.
    for (int slot = 0; slot < slotCount; ++slot)
        setFocusColour(cant_[static_cast<std::size_t>(slot)],
                       focusFrameAgainst(colourOf(layout::fillOf(catalogue[static_cast<std::size_t>(slot)].group),
                                                  Paint::Fill, highContrast_)));
    const COLORREF window = focusFrameAgainst(colourOf(layout::windowBackground, Paint::Fill, highContrast_));
    for (HWND w : {txti1_, txti2_, cmd_, folderButton_})
        setFocusColour(w, window);
}

void MainWindow::drawItem(const DRAWITEMSTRUCT &item) const
{
    ControlId id{};
    if (!detail::fromIdNumber(static_cast<int>(item.CtlID), id) ||
        (id.name != ControlName::wep && id.name != ControlName::chki))
        return;
    const bool briefingBox = id.name == ControlName::chki;
    const layout::Colour text =
        briefingBox ? layout::windowText : layout::groupStyle(catalogue[static_cast<std::size_t>(id.index)].group).text;
    TickBoxLook look{};
    look.background = colourOf(backgroundOf(id), Paint::Fill, highContrast_);
    look.text = colourOf(text, Paint::Text, highContrast_);
    look.focus = focusFrameAgainst(look.background);
    look.font = font(briefingBox ? layout::Font::Briefing : layout::Font::Default);
    look.dpi = dpi_;
    drawTickBox(item, value(id), look);
}

void MainWindow::paintDecoration(HDC dc) const
{
    // Nothing of the canvas over the status band.
    const RECT view = viewport();
    IntersectClipRect(dc, view.left, view.top, view.right, view.bottom);
    SetViewportOrgEx(dc, -scroll_.x, -scroll_.y, nullptr);
    const POINT origin{0, 0};
    for (const layout::ShapeRow &s : layout::shapes) {
        const RECT r = toPixels(s.box, dpi_, origin);
        HBRUSH brush = CreateSolidBrush(colourOf(s.fill, Paint::Fill, highContrast_));
        if (s.rounded) {
            const int radius = std::min(r.right - r.left, r.bottom - r.top) / 4;
            HGDIOBJ oldBrush = SelectObject(dc, brush);
            HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
            RoundRect(dc, r.left, r.top, r.right + 1, r.bottom + 1, 2 * radius, 2 * radius);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
        } else {
            FillRect(dc, &r, brush);
        }
        DeleteObject(brush);
    }

    SetBkMode(dc, TRANSPARENT);
    for (const layout::LabelRow &s : layout::labels) {
        RECT r = toPixels(s.box, dpi_, origin);
        if (s.how == layout::LabelFill::Own) {
            HBRUSH brush = CreateSolidBrush(colourOf(s.background, Paint::Fill, highContrast_));
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
        SetTextColor(dc, colourOf(s.text, Paint::Text, highContrast_));
        HGDIOBJ oldFont = SelectObject(dc, font(s.font));
        const UINT align = s.align == layout::Align::Centre ? DT_CENTER : DT_LEFT;
        DrawTextW(dc, wide(s.caption).c_str(), -1, &r, align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        SelectObject(dc, oldFont);
    }

    LOGBRUSH ink{BS_SOLID, colourOf(layout::lineColour, Paint::Text, highContrast_), 0};
    for (const layout::LineRow &s : layout::lines) {
        const DWORD width = static_cast<DWORD>(MulDiv(s.widthPx, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI));
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE, width, &ink, 0, nullptr);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        const RECT from = toPixels({s.x1, s.y1, 0, 0}, dpi_, origin);
        const RECT to = toPixels({s.x2, s.y2, 0, 0}, dpi_, origin);
        MoveToEx(dc, from.left, from.top, nullptr);
        LineTo(dc, to.left, to.top);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
}

} // namespace qor::win32
