// The window built from the window description: its controls, their places
// and fonts for a dpi, and the decoration it paints itself.
#include "ui/win32/window.h"

#include "layout/layout.h"
#include "layout/texts.h"
#include "press/startvalues.h"
#include "ui/win32/controls.h"
#include "ui/win32/look.h"
#include "ui/win32/text.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cmath>

namespace qor::win32
{

namespace
{

// Made where it stands and in its font, so that nothing is placed twice
// before the first frame: each window costs the most of a start.
HWND makeChild(HWND parent, HINSTANCE instance, const wchar_t *kind, std::string_view text, DWORD style, DWORD exStyle,
               int id, RECT at = {}, HFONT font = nullptr)
{
    // Every control goes on top of those before it: the order of creation is
    // the order of drawing, and where two overlap the later one takes the click.
    HWND w = CreateWindowExW(exStyle, kind, wide(text).c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, at.left, at.top,
                             at.right - at.left, at.bottom - at.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (font)
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return w;
}

struct Placement {
    layout::Twips box;
    layout::Font font;
};

Placement placementOf(ControlId id)
{
    const auto k = static_cast<std::size_t>(id.index);
    switch (id.name) {
    case ControlName::wep:
        return {layout::items.check[k], layout::Font::Default};
    case ControlName::chki:
        return {layout::briefingBox(layout::briefing[k - 1]), layout::Font::Briefing};
    case ControlName::cant:
        return {layout::items.count[k], layout::Font::Default};
    case ControlName::txti1:
        return {layout::txti1Box, layout::Font::Default};
    case ControlName::txti2:
        return {layout::txti2Box, layout::Font::Default};
    case ControlName::txtt:
        return {layout::txttBox, layout::Font::Default};
    }
    return {};
}

constexpr Placement cmdPlacement{layout::cmdBox, layout::Font::Button};

constexpr DWORD tickStyle = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY;
constexpr DWORD lineStyle = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;

layout::Colour backgroundOf(ControlId id)
{
    return id.name == ControlName::chki ? layout::windowBackground
                                        : layout::fillOf(catalogue[static_cast<std::size_t>(id.index)].group);
}

int CALLBACK noteFamily(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

// The first of the layout's families this system has: where Arial is
// missing, the system would put a wider face in its place, and three digits
// would no longer fit a count box.
std::wstring installedFamily()
{
    HDC dc = GetDC(nullptr);
    std::wstring chosen = wide(layout::fontFamilies.front());
    for (const std::string_view family : layout::fontFamilies) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        const std::wstring name = wide(family);
        wcsncpy(wanted.lfFaceName, name.c_str(), LF_FACESIZE - 1);
        bool found = false;
        EnumFontFamiliesExW(dc, &wanted, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = name;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return chosen;
}

} // namespace

void MainWindow::createControls(HINSTANCE instance)
{
    HWND parent = window_;
    auto made = [&](const wchar_t *kind, std::string_view text, DWORD style, DWORD exStyle, int id, Placement where) {
        return makeChild(parent, instance, kind, text, style, exStyle, id, toPixels(where.box, dpi_, scroll_),
                         font(where.font));
    };
    auto placed = [&](const wchar_t *kind, std::string_view text, DWORD style, DWORD exStyle, ControlId id) {
        return made(kind, text, style, exStyle, detail::idNumber(id), placementOf(id));
    };
    for (int slot = 0; slot < checkBoxCount; ++slot) {
        const Item &item = catalogue[static_cast<std::size_t>(slot)];
        wep_[static_cast<std::size_t>(slot)] = placed(L"BUTTON", item.caption, tickStyle, 0, wep(slot));
        wepValue_[static_cast<std::size_t>(slot)] = startTick;
    }
    for (std::size_t n = 0; n < layout::briefing.size(); ++n) {
        const int index = static_cast<int>(n) + 1;
        chki_[n] = placed(L"BUTTON", layout::briefing[n].caption, tickStyle, 0, chki(index));
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
        const DWORD edge = id.name == ControlName::cant ? 0 : WS_EX_CLIENTEDGE; // a count box frames itself
        HWND box = placed(L"EDIT", text, lineStyle, edge, id);
        makeChild(parent, instance, L"STATIC", layout::accessibleName(id), WS_VISIBLE | SS_NOPREFIX, 0, -1);
        return box;
    };
    for (int slot = 0; slot < slotCount; ++slot)
        cant_[static_cast<std::size_t>(slot)] = lineBox(cant(slot), startCount);
    txti1_ = lineBox(txti1, "");
    txti2_ = lineBox(txti2, "");
    // The source of the quote character round the script names: never seen,
    // focused or edited.
    txtt_ = placed(L"EDIT", quoteCharacter, WS_DISABLED, WS_EX_CLIENTEDGE, txtt);
    for (HWND box : cant_)
        makeCountBox(box, 0);
    for (HWND box : {txti1_, txti2_, txtt_})
        makeLineBox(box, 0);

    cmd_ = made(L"BUTTON", layout::cmdCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, detail::buttonId,
                cmdPlacement);
    makePressButton(cmd_, 0);

    // Outside the canvas, over whatever scrolls beneath: drawn by the
    // window, from the band's left edge to the folder button, so nothing
    // beneath shows through. Its text stays its window text, which screen
    // readers read.
    status_ = makeChild(parent, instance, L"STATIC", "", WS_VISIBLE | SS_OWNERDRAW | SS_NOPREFIX | SS_NOTIFY, 0,
                        detail::statusId, {}, font(layout::statusFont));
    makeStatusLine(status_, 0);
    folderButton_ = makeChild(parent, instance, L"BUTTON", layout::folderCaption,
                              WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, detail::folderButtonId, {},
                              font(layout::Font::Prompt));
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
    switch (stop.control) {
    case layout::Focusable::cmd:
        return cmd_;
    case layout::Focusable::status:
        return status_;
    default:
        return folderButton_;
    }
}

void MainWindow::createFonts()
{
    for (HFONT f : fonts_)
        DeleteObject(f);
    fonts_.clear();
    const std::wstring family = installedFamily();
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
    band_ = 0;
    placeControls(true);
    fitStatusBand();
    updateScrollBars();
    if (HWND focus = GetFocus(); focus && GetParent(focus) == window_)
        scrollIntoView(focus);
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::placeControls(bool withFonts)
{
    HDWP moves = BeginDeferWindowPos(static_cast<int>(slotCount + checkBoxCount + 11));
    auto place = [&](HWND w, Placement where) {
        const RECT r = toPixels(where.box, dpi_, scroll_);
        moves = DeferWindowPos(moves, w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
        if (withFonts)
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font(where.font)), FALSE);
    };
    for (int slot = 0; slot < checkBoxCount; ++slot)
        place(wep_[static_cast<std::size_t>(slot)], placementOf(wep(slot)));
    for (int n = 1; n <= static_cast<int>(layout::briefing.size()); ++n)
        place(chki_[static_cast<std::size_t>(n - 1)], placementOf(chki(n)));
    for (int slot = 0; slot < slotCount; ++slot)
        place(cant_[static_cast<std::size_t>(slot)], placementOf(cant(slot)));
    for (const ControlId id : {txti1, txti2, txtt})
        place(control(id), placementOf(id));
    place(cmd_, cmdPlacement);
    EndDeferWindowPos(moves);
    if (withFonts)
        for (HWND w : {status_, folderButton_})
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font(layout::statusFont)), FALSE);
}

void MainWindow::setHighContrast(bool on)
{
    highContrast_ = on;
    recolour();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::setDarkMode(bool on)
{
    // The title bar is the desktop's: it goes dark only when asked, so a
    // light desktop never loads what a dark one needs.
    if (on || dark_)
        setDarkTitleBar(window_, on && !highContrast_);
    dark_ = on;
    setHighContrast(highContrast_);
}

void MainWindow::followDesktop()
{
    highContrast_ = systemHighContrast();
    setDarkMode(appsUseDarkTheme());
}

layout::Scheme MainWindow::scheme() const
{
    return highContrast_ ? layout::Scheme::HighContrast : dark_ ? layout::Scheme::Dark : layout::Scheme::Light;
}

COLORREF MainWindow::fillOf(layout::Colour colour) const
{
    return colourOf(colour, Paint::Fill, scheme());
}

HBRUSH MainWindow::colourBox(HDC dc) const
{
    SetTextColor(dc, textOn(boxFill(scheme()), layout::windowText, scheme()));
    SetBkColor(dc, boxFill(scheme()));
    return boxBrush_;
}

void MainWindow::eraseBackground(HDC dc) const
{
    RECT r;
    GetClientRect(window_, &r);
    HBRUSH brush = CreateSolidBrush(fillOf(layout::windowBackground));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void MainWindow::recolour()
{
    // A count box's frame stands out against its group's fill, the others'
    // against the window's background.
    for (int slot = 0; slot < slotCount; ++slot) {
        const COLORREF fill = fillOf(layout::fillOf(catalogue[static_cast<std::size_t>(slot)].group));
        setFocusColour(cant_[static_cast<std::size_t>(slot)], focusFrameAgainst(fill));
        // Plain grey stands out on no fill in both schemes; the box's own
        // text colour does.
        setFrameColour(cant_[static_cast<std::size_t>(slot)],
                       scheme() == layout::Scheme::Light ? GetSysColor(COLOR_BTNSHADOW)
                                                         : textOn(boxFill(scheme()), layout::windowText, scheme()));
    }
    const COLORREF window = focusFrameAgainst(fillOf(layout::windowBackground));
    for (HWND w : {txti1_, txti2_, status_})
        setFocusColour(w, window);
    // The buttons' frames lie on their faces: the system's, or the window's
    // own dark ones.
    const COLORREF face = scheme() == layout::Scheme::Dark ? focusFrameAgainst(darkControls().face) : window;
    for (HWND w : {cmd_, folderButton_})
        setFocusColour(w, face);
    if (boxBrush_)
        DeleteObject(boxBrush_);
    boxBrush_ = CreateSolidBrush(boxFill(scheme()));
}

void MainWindow::drawItem(const DRAWITEMSTRUCT &item) const
{
    if (item.hwndItem == status_) {
        drawStatus(item);
        return;
    }
    ControlId id{};
    if (!detail::fromIdNumber(static_cast<int>(item.CtlID), id) ||
        (id.name != ControlName::wep && id.name != ControlName::chki))
        return;
    const bool briefingBox = id.name == ControlName::chki;
    const layout::Colour text =
        briefingBox ? layout::windowText : layout::groupStyle(catalogue[static_cast<std::size_t>(id.index)].group).text;
    TickBoxLook look{};
    look.background = fillOf(backgroundOf(id));
    look.text = textOn(look.background, text, scheme());
    look.focus = focusFrameAgainst(look.background);
    look.font = font(briefingBox ? layout::Font::Briefing : layout::Font::Default);
    look.dpi = dpi_;
    // The system draws its marks light whatever the apps' mode.
    if (scheme() == layout::Scheme::Dark)
        look.mark = darkControls();
    // Each briefing box but the last lies partly under the next.
    if (briefingBox && static_cast<std::size_t>(id.index) < layout::briefing.size()) {
        const auto n = static_cast<std::size_t>(id.index);
        look.visibleHeight = toPixels({0, layout::briefing[n].top, 0, 0}, dpi_, {0, 0}).top -
                             toPixels({0, layout::briefing[n - 1].top, 0, 0}, dpi_, {0, 0}).top;
    }
    drawTickBox(item, value(id), look);
}

LRESULT MainWindow::customDraw(const NMHDR &header) const
{
    // As the marks: the system's buttons stay light on a dark desktop.
    if (header.code != NM_CUSTOMDRAW || scheme() != layout::Scheme::Dark ||
        (header.hwndFrom != cmd_ && header.hwndFrom != folderButton_))
        return CDRF_DODEFAULT;
    const auto &draw = reinterpret_cast<const NMCUSTOMDRAW &>(header);
    if (draw.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    drawPushButton(draw, darkControls());
    return CDRF_SKIPDEFAULT;
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
        HBRUSH brush = CreateSolidBrush(fillOf(s.fill));
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
        const COLORREF behind = fillOf(layout::fillBehind(s));
        if (s.how == layout::LabelFill::Own) {
            HBRUSH brush = CreateSolidBrush(behind);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
        SetTextColor(dc, textOn(behind, s.how == layout::LabelFill::Window ? layout::windowText : s.text, scheme()));
        HGDIOBJ oldFont = SelectObject(dc, font(s.font));
        const UINT align = s.align == layout::Align::Centre ? DT_CENTER : DT_LEFT;
        DrawTextW(dc, wide(s.caption).c_str(), -1, &r, align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        SelectObject(dc, oldFont);
    }

    LOGBRUSH ink{BS_SOLID, colourOf(layout::lineColour, Paint::Text, scheme()), 0};
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
    SetViewportOrgEx(dc, 0, 0, nullptr);
    if (HWND focus = GetFocus(); isCountBox(focus) && GetParent(focus) == window_)
        drawCountFocus(dc, focus);
}

std::vector<std::wstring> statusLines(HDC dc, const std::wstring &text, int width)
{
    // As the band's rule has it: at spaces, and within a word wider than the
    // line (the system's own word break leaves such a word running on).
    std::vector<std::wstring> lines;
    auto fits = [&](std::size_t from, std::size_t count) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str() + from, static_cast<int>(count), &size);
        return size.cx <= width;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        int fit = 0;
        SIZE size{};
        GetTextExtentExPointW(dc, text.c_str() + start, static_cast<int>(text.size() - start), std::max(1, width), &fit,
                              nullptr, &size);
        std::size_t end = start + static_cast<std::size_t>(std::max(1, fit));
        if (end < text.size()) {
            // Back to the last space that ends a fitting run, where there is one.
            const std::size_t space = text.rfind(L' ', end);
            if (space != std::wstring::npos && space > start && fits(start, space - start))
                end = space + 1;
        }
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    if (lines.empty())
        lines.emplace_back();
    return lines;
}

void MainWindow::drawStatus(const DRAWITEMSTRUCT &item) const
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const COLORREF fill = fillOf(layout::windowBackground);
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textOn(fill, layout::windowText, scheme()));
    HGDIOBJ oldFont = SelectObject(dc, font(layout::statusFont));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // The whole text, in the lines the band was sized for; fewer lines than
    // the band holds stand in its middle.
    const RECT pad = statusTextRect(r.right - r.left);
    const std::vector<std::wstring> lines = statusLines(dc, windowText(status_), pad.right - pad.left);
    const int height = static_cast<int>(lines.size()) * metrics.tmHeight;
    int top = r.top + std::max<int>(pad.top, (r.bottom - r.top - height) / 2);
    for (const std::wstring &line : lines) {
        TextOutW(dc, r.left + pad.left, top, line.c_str(), static_cast<int>(line.size()));
        top += metrics.tmHeight;
    }
    SelectObject(dc, oldFont);
    // In the margin round the text, which is wider than the frame.
    if (GetFocus() == status_)
        drawFrame(dc, r, MulDiv(focusFrameWidth, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI),
                  focusColour(status_));
}

RECT MainWindow::statusTextRect(int lineWidth) const
{
    const int margin = MulDiv(layout::statusMarginTwips, static_cast<int>(dpi_), 1440);
    return {margin, margin, std::max(margin + 1, lineWidth - margin), margin};
}

int MainWindow::neededBand(int clientWidth) const
{
    const int button = MulDiv(layout::folderButtonWidth, static_cast<int>(dpi_), 1440);
    const RECT room = statusTextRect(std::max(0, clientWidth - button));
    HDC dc = GetDC(status_);
    HGDIOBJ oldFont = SelectObject(dc, font(layout::statusFont));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const auto lines = static_cast<int>(statusLines(dc, windowText(status_), room.right - room.left).size());
    SelectObject(dc, oldFont);
    ReleaseDC(status_, dc);
    return layout::statusBandPixels(lines, metrics.tmHeight, static_cast<int>(dpi_));
}

} // namespace qor::win32
