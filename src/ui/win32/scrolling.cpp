// Scrolling: the canvas as large as the layout, the window no larger than the
// screen's work area, and the bars, the wheel and the focus moving the
// controls over it where it does not fit.
#include "ui/win32/window.h"

#include "ui/win32/look.h"

#include <algorithm>

namespace qor::win32
{

SIZE MainWindow::canvasSize() const
{
    const RECT r = toPixels(layout::clientArea, dpi_, {0, 0});
    return {r.right - r.left, r.bottom - r.top};
}

SIZE MainWindow::outerSize() const
{
    const SIZE canvas = canvasSize();
    RECT r{0, 0, canvas.cx, canvas.cy + statusBand()};
    AdjustWindowRectExForDpi(&r, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE, 0, dpi_);
    return {r.right - r.left, r.bottom - r.top};
}

RECT MainWindow::viewport() const
{
    RECT client;
    GetClientRect(window_, &client);
    client.bottom = std::max<LONG>(0, client.bottom - statusBand());
    return client;
}

void MainWindow::fitToWorkArea()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &room = monitor.rcWork;
    const SIZE outer = outerSize();
    const int height = std::min<int>(outer.cy, room.bottom - room.top);
    // Too short for the canvas: the vertical bar needs room beside it, or a
    // horizontal one would appear although the screen is wide enough.
    const int bar = height < outer.cy ? GetSystemMetricsForDpi(SM_CXVSCROLL, dpi_) : 0;
    const int width = std::min<int>(outer.cx + bar, room.right - room.left);
    RECT now;
    GetWindowRect(window_, &now);
    const int left = std::clamp<int>(now.left, room.left, room.right - width);
    const int top = std::clamp<int>(now.top, room.top, room.bottom - height);
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    updateScrollBars();
}

void MainWindow::updateScrollBars()
{
    // Decided on the room without bars: bars shown earlier (while the window
    // was smaller) would otherwise take the room that makes them needed.
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    const int barWidth = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi_);
    const int barHeight = GetSystemMetricsForDpi(SM_CYHSCROLL, dpi_);
    RECT room = viewport();
    room.right += (style & WS_VSCROLL) ? barWidth : 0;
    room.bottom += (style & WS_HSCROLL) ? barHeight : 0;
    const SIZE canvas = canvasSize();
    bool horizontal = room.right < canvas.cx;
    bool vertical = room.bottom < canvas.cy;
    // A bar in one direction takes room from the other.
    vertical = vertical || (horizontal && room.bottom - barHeight < canvas.cy);
    horizontal = horizontal || (vertical && room.right - barWidth < canvas.cx);
    ShowScrollBar(window_, SB_HORZ, horizontal);
    ShowScrollBar(window_, SB_VERT, vertical);
    const RECT client = viewport();
    for (const int bar : {SB_HORZ, SB_VERT}) {
        const bool isHorizontal = bar == SB_HORZ;
        if (!(isHorizontal ? horizontal : vertical))
            continue;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMax = (isHorizontal ? canvas.cx : canvas.cy) - 1;
        info.nPage = static_cast<UINT>(isHorizontal ? client.right : client.bottom);
        SetScrollInfo(window_, bar, &info, TRUE);
    }
    scrollTo(scroll_.x, scroll_.y);
    placeStatusBand();
}

void MainWindow::scrollTo(int x, int y)
{
    const RECT client = viewport();
    const SIZE canvas = canvasSize();
    x = std::clamp<int>(x, 0, std::max<int>(0, canvas.cx - client.right));
    y = std::clamp<int>(y, 0, std::max<int>(0, canvas.cy - client.bottom));
    if (x == scroll_.x && y == scroll_.y)
        return;
    // The controls are moved to their places rather than scrolled with the
    // window's pixels, so where they stand never depends on what was drawn.
    scroll_ = {x, y};
    placeControls(false);
    InvalidateRect(window_, nullptr, TRUE);
    SetScrollPos(window_, SB_HORZ, x, TRUE);
    SetScrollPos(window_, SB_VERT, y, TRUE);
}

int MainWindow::scrollLine() const
{
    return MulDiv(layout::scrollLinePixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
}

void MainWindow::scrollIntoView(HWND control)
{
    const RECT client = viewport();
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT *>(&r), 2);
    int x = scroll_.x, y = scroll_.y;
    if (r.right > client.right)
        x += r.right - client.right;
    if (r.left < 0)
        x += r.left;
    if (r.bottom > client.bottom)
        y += r.bottom - client.bottom;
    if (r.top < 0)
        y += r.top;
    scrollTo(x, y);
}

void MainWindow::scrollBar(int bar, UINT code)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window_, bar, &info);
    const int line = scrollLine();
    int pos = info.nPos;
    switch (code) {
    case SB_LINEUP:
        pos -= line;
        break;
    case SB_LINEDOWN:
        pos += line;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    case SB_TOP:
        pos = info.nMin;
        break;
    case SB_BOTTOM:
        pos = info.nMax;
        break;
    default:
        return;
    }
    if (bar == SB_HORZ)
        scrollTo(pos, scroll_.y);
    else
        scrollTo(scroll_.x, pos);
}

void MainWindow::scrollWheel(int delta)
{
    scrollTo(scroll_.x, scroll_.y - MulDiv(delta, layout::wheelLines * scrollLine(), WHEEL_DELTA));
}

} // namespace qor::win32
