#include "ui/win32/controls.h"

#include "press/formview.h"
#include "ui/win32/text.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace qor::win32
{

namespace
{

enum Subclass : UINT_PTR { lineBox = 1, tickBox, pressButton, countBox, statusLine };

// The focus frame's colour, kept with the control.
constexpr wchar_t focusProperty[] = L"qor.focus";
// A count box's own frame colour, and the mark that it is one.
constexpr wchar_t frameProperty[] = L"qor.frame";
constexpr wchar_t countProperty[] = L"qor.count";

COLORREF focusOf(HWND w)
{
    return static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(GetPropW(w, focusProperty)));
}

bool forgetOnDestroy(HWND w, UINT message, SUBCLASSPROC proc, UINT_PTR id)
{
    if (message != WM_NCDESTROY)
        return false;
    RemovePropW(w, focusProperty);
    RemovePropW(w, frameProperty);
    RemovePropW(w, countProperty);
    RemoveWindowSubclass(w, proc, id);
    return true;
}

int scaled(int pixels, HWND w)
{
    return MulDiv(pixels, static_cast<int>(GetDpiForWindow(w)), USER_DEFAULT_SCREEN_DPI);
}

bool handOnTab(HWND w, UINT message, WPARAM wParam)
{
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        SendMessageW(GetParent(w), moveFocusMessage, (GetKeyState(VK_SHIFT) & 0x8000) ? TRUE : FALSE, 0);
        return true;
    }
    // The character Tab produces: the key has been dealt with.
    return message == WM_CHAR && wParam == L'\t';
}

void pasteWithoutBreaks(HWND edit)
{
    if (!OpenClipboard(edit))
        return;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    const std::wstring kept = withoutBreaks(text);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
}

// What every control does alike: hands Tab to the window, and forgets its
// focus colour and subclass when it goes. True when the message is dealt with.
bool common(HWND w, UINT message, WPARAM wParam, LPARAM lParam, SUBCLASSPROC proc, UINT_PTR id, LRESULT &done)
{
    if (forgetOnDestroy(w, message, proc, id)) {
        done = DefSubclassProc(w, message, wParam, lParam);
        return true;
    }
    done = 0;
    return handOnTab(w, message, wParam);
}

LRESULT CALLBACK lineBoxProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (LRESULT done = 0; common(w, message, wParam, lParam, lineBoxProc, lineBox, done))
        return done;
    switch (message) {
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L'\n')
            return 0;
        break;
    case WM_PASTE:
        pasteWithoutBreaks(w);
        return 0;
    case WM_SETTEXT:
    case EM_REPLACESEL:
        if (lParam) {
            const std::wstring kept = withoutBreaks(reinterpret_cast<const wchar_t *>(lParam));
            return DefSubclassProc(w, message, wParam, reinterpret_cast<LPARAM>(kept.c_str()));
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        if (GetFocus() == w && !isCountBox(w)) {
            // The border, where the frame touches both the box and the fill
            // behind it, and covers no character.
            HDC dc = GetWindowDC(w);
            RECT r;
            GetWindowRect(w, &r);
            OffsetRect(&r, -r.left, -r.top);
            drawFrame(dc, r, scaled(focusFrameWidth, w), focusOf(w));
            ReleaseDC(w, dc);
        }
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(w, message, wParam, lParam);
}

// None: at 96 dpi three digits take every pixel inside the frame.
constexpr LPARAM countMargins = MAKELPARAM(0, 0);

int countFrameWidth(HWND w)
{
    return std::max(1, scaled(1, w));
}

// Above the line box's own handling, which it passes everything else to.
LRESULT CALLBACK countBoxProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_NCDESTROY:
        RemoveWindowSubclass(w, countBoxProc, countBox);
        break;
    case WM_NCCALCSIZE: {
        auto *r = reinterpret_cast<RECT *>(lParam); // the first of three when wParam is TRUE
        const int frame = countFrameWidth(w);
        InflateRect(r, -frame, -frame);
        // A single-line box writes at its top: the rest of the height goes
        // above the digits too, so they stand in the middle.
        HDC dc = GetDC(w);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        r->top += std::max(0, static_cast<int>(r->bottom - r->top - metrics.tmHeight) / 2);
        return 0;
    }
    case WM_NCPAINT: {
        HDC dc = GetWindowDC(w);
        RECT r, client;
        GetWindowRect(w, &r);
        GetClientRect(w, &client);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT *>(&client), 2);
        OffsetRect(&client, -r.left, -r.top);
        OffsetRect(&r, -r.left, -r.top);
        // The room above and below the digits in the box's own colour.
        const auto fill = reinterpret_cast<HBRUSH>(
            SendMessageW(GetParent(w), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w)));
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        FillRect(dc, &r, fill ? fill : GetSysColorBrush(COLOR_WINDOW));
        drawFrame(dc, r, countFrameWidth(w),
                  static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(GetPropW(w, frameProperty))));
        ReleaseDC(w, dc);
        return 0;
    }
    case WM_SETFONT: {
        // A new font brings the font's own margins back.
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        SendMessageW(w, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, countMargins);
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        const RECT area = countFocusArea(w);
        InvalidateRect(GetParent(w), &area, TRUE);
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(w, message, wParam, lParam);
}

void copyText(HWND w)
{
    const std::wstring text = windowText(w);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!data)
        return;
    if (auto *chars = static_cast<wchar_t *>(GlobalLock(data))) {
        std::copy(text.begin(), text.end(), chars);
        chars[text.size()] = L'\0';
        GlobalUnlock(data);
    }
    // The clipboard owns the text once it takes it; else it is ours to free.
    if (!OpenClipboard(w)) {
        GlobalFree(data);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, data))
        GlobalFree(data);
    CloseClipboard();
}

LRESULT CALLBACK statusLineProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (LRESULT done = 0; common(w, message, wParam, lParam, statusLineProc, statusLine, done))
        return done;
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        InvalidateRect(w, nullptr, FALSE);
        return result;
    }
    case WM_LBUTTONDOWN:
        SetFocus(w);
        break;
    case WM_KEYDOWN:
        if ((wParam == 'C' || wParam == VK_INSERT) && (GetKeyState(VK_CONTROL) & 0x8000)) {
            copyText(w);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(w, message, wParam, lParam);
}

LRESULT CALLBACK tickBoxProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (LRESULT done = 0; common(w, message, wParam, lParam, tickBoxProc, tickBox, done))
        return done;
    // An owner-drawn button would take a double click as a second kind of
    // click; a quick second click toggles the box again.
    if (message == WM_LBUTTONDBLCLK)
        message = WM_LBUTTONDOWN;
    return DefSubclassProc(w, message, wParam, lParam);
}

// Inside the face, clear of its edges.
void drawButtonFocus(HWND button, HDC dc)
{
    RECT r;
    GetClientRect(button, &r);
    const int inset = scaled(3, button);
    InflateRect(&r, -inset, -inset);
    drawFrame(dc, r, scaled(focusFrameWidth, button), focusOf(button));
}

void fillWith(HDC dc, const RECT &r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void drawOwnMark(HDC dc, RECT box, std::int16_t value, bool pressed, const OwnLook &look, UINT dpi)
{
    auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); };
    fillWith(dc, box, pressed ? look.hot : value == greyed ? look.face : look.box);
    drawFrame(dc, box, std::max(1, px(1)), look.ink);
    if (value == unticked)
        return;
    LOGBRUSH ink{BS_SOLID, look.ink, 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER,
                            static_cast<DWORD>(std::max(2, px(2))), &ink, 0, nullptr);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const POINT tick[] = {
        {box.left + px(3), box.top + px(6)}, {box.left + px(5), box.top + px(8)}, {box.left + px(9), box.top + px(4)}};
    Polyline(dc, tick, 3);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

LRESULT CALLBACK pressButtonProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (LRESULT done = 0; common(w, message, wParam, lParam, pressButtonProc, pressButton, done))
        return done;
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            SendMessageW(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), BN_CLICKED),
                         reinterpret_cast<LPARAM>(w));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r')
            return 0;
        break;
    case WM_PAINT: {
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        if (GetFocus() == w) {
            HDC dc = GetDC(w);
            drawButtonFocus(w, dc);
            ReleaseDC(w, dc);
        }
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
        InvalidateRect(w, nullptr, TRUE);
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(w, message, wParam, lParam);
}

} // namespace

void makeLineBox(HWND edit, COLORREF focus)
{
    // Edit boxes stop at 32,767 characters unless told otherwise; keep all.
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(edit, lineBoxProc, lineBox, 0);
    setFocusColour(edit, focus);
}

void makeCountBox(HWND edit, COLORREF frame)
{
    makeLineBox(edit, 0);
    SetPropW(edit, frameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(frame)));
    SetPropW(edit, countProperty, reinterpret_cast<HANDLE>(1));
    // Installed last, so it sees each message before the line box does.
    SetWindowSubclass(edit, countBoxProc, countBox, 0);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, countMargins);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void setFrameColour(HWND countBox, COLORREF frame)
{
    SetPropW(countBox, frameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(frame)));
}

bool isCountBox(HWND w)
{
    return w && GetPropW(w, countProperty);
}

RECT countFocusArea(HWND countBox)
{
    RECT r;
    GetWindowRect(countBox, &r);
    MapWindowPoints(nullptr, GetParent(countBox), reinterpret_cast<POINT *>(&r), 2);
    const int ring = scaled(focusFrameWidth, countBox);
    InflateRect(&r, ring, ring);
    return r;
}

void drawCountFocus(HDC dc, HWND countBox)
{
    drawFrame(dc, countFocusArea(countBox), scaled(focusFrameWidth, countBox), focusOf(countBox));
}

COLORREF focusColour(HWND control)
{
    return focusOf(control);
}

std::wstring windowText(HWND w)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

void makeStatusLine(HWND status, COLORREF focus)
{
    SetWindowSubclass(status, statusLineProc, statusLine, 0);
    setFocusColour(status, focus);
}

void makeTickBox(HWND button)
{
    SetWindowSubclass(button, tickBoxProc, tickBox, 0);
}

void makePressButton(HWND button, COLORREF focus)
{
    SetWindowSubclass(button, pressButtonProc, pressButton, 0);
    setFocusColour(button, focus);
}

void setFocusColour(HWND control, COLORREF focus)
{
    SetPropW(control, focusProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(focus)));
}

void drawFrame(HDC dc, RECT r, int width, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT sides[] = {
        {r.left, r.top, r.right, r.top + width},
        {r.left, r.bottom - width, r.right, r.bottom},
        {r.left, r.top, r.left + width, r.bottom},
        {r.right - width, r.top, r.right, r.bottom},
    };
    for (const RECT &side : sides)
        FillRect(dc, &side, brush);
    DeleteObject(brush);
}

void drawTickBox(const DRAWITEMSTRUCT &item, std::int16_t value, const TickBoxLook &look)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    fillWith(dc, r, look.background);

    auto px = [&](int at96) { return MulDiv(at96, static_cast<int>(look.dpi), USER_DEFAULT_SCREEN_DPI); };
    const int mark = px(13);
    const int markTop = r.top + (r.bottom - r.top - mark) / 2;
    RECT markBox{r.left, markTop, r.left + mark, markTop + mark};
    if (look.mark) {
        drawOwnMark(dc, markBox, value, (item.itemState & ODS_SELECTED) != 0, *look.mark, look.dpi);
    } else {
        UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
        if (value == ticked)
            state |= DFCS_CHECKED;
        else if (value == greyed)
            state = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
        DrawFrameControl(dc, &markBox, DFC_BUTTON, state);
    }

    RECT caption{markBox.right + px(3), r.top, r.right, r.bottom};
    wchar_t text[256] = {};
    GetWindowTextW(item.hwndItem, text, 256);
    HGDIOBJ oldFont = SelectObject(dc, look.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.text);
    RECT textBox = caption;
    textBox.left += px(focusFrameWidth + 1);
    DrawTextW(dc, text, -1, &textBox, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    if (item.itemState & ODS_FOCUS) {
        // All four sides where they can be seen.
        if (look.visibleHeight > 0)
            caption.bottom = std::min<LONG>(caption.bottom, caption.top + look.visibleHeight);
        drawFrame(dc, caption, px(focusFrameWidth), look.focus);
    }
}

void drawPushButton(const NMCUSTOMDRAW &draw, const OwnLook &look)
{
    HWND button = draw.hdr.hwndFrom;
    HDC dc = draw.hdc;
    RECT r;
    GetClientRect(button, &r);
    const bool pressed = draw.uItemState & CDIS_SELECTED;
    fillWith(dc, r, pressed ? look.box : (draw.uItemState & CDIS_HOT) ? look.hot : look.face);
    drawFrame(dc, r, std::max(1, scaled(1, button)), look.ink);
    wchar_t text[64] = {};
    GetWindowTextW(button, text, 64);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.ink);
    // Pressed, the caption moves down and right as the system's does.
    if (pressed)
        OffsetRect(&r, scaled(1, button), scaled(1, button));
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (GetFocus() == button)
        drawButtonFocus(button, dc);
}

} // namespace qor::win32
