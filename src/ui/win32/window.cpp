#include "ui/win32/window.h"

#include "io/filesink.h"
#include "layout/layout.h"
#include "layout/texts.h"
#include "press/checks.h"
#include "press/startvalues.h"
#include "ui/win32/controls.h"
#include "ui/win32/look.h"
#include "ui/win32/text.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

namespace qor::win32
{

namespace
{

constexpr wchar_t windowClass[] = L"qorgenerator";

// The core's view of the controls, read and written straight from them, so
// every read sees what is on screen at that moment.
class Win32Form final : public FormView
{
  public:
    explicit Win32Form(MainWindow &window) : w_(window) {}

    std::string text(ControlId box) const override
    {
        HWND edit = textBox(box);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return utf8(text);
    }
    void setText(ControlId box, std::string_view text) override { SetWindowTextW(textBox(box), wide(text).c_str()); }
    void setFocus(ControlId box) override { SetFocus(textBox(box)); }
    std::int16_t value(ControlId checkBox) const override { return w_.value(checkBox); }
    void setValue(ControlId checkBox, std::int16_t value) override { w_.setValue(checkBox, value); }
    void showMessage(std::string_view text) override { presenter()(w_.handle(), wide(text)); }

    std::function<MessagePresenter()> presenter;

  private:
    HWND textBox(ControlId id) const
    {
        if (id.name == ControlName::chki || id.name == ControlName::wep)
            throw std::invalid_argument("not a text box");
        return w_.control(id);
    }
    MainWindow &w_;
};

} // namespace

void showMessageBox(HWND owner, std::wstring_view text)
{
    const std::wstring message(text);
    // The check's own message stands as it is; the disk's refusals warn.
    const UINT icon = text == wide(notANumber) ? 0 : MB_ICONWARNING;
    MessageBoxW(owner, message.c_str(), wide(layout::applicationTitle).c_str(), MB_OK | icon);
}

MainWindow *mainWindowOf(HWND window)
{
    return reinterpret_cast<MainWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Each message's handler: small, named, and reaching the state through the
// window handle.
struct Handlers {
    static void onPaint(HWND hwnd)
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        mainWindowOf(hwnd)->paintDecoration(dc);
        EndPaint(hwnd, &ps);
    }

    static void onCommand(HWND hwnd, int id, HWND control, UINT code)
    {
        MainWindow &w = *mainWindowOf(hwnd);
        if (code == EN_SETFOCUS || code == BN_SETFOCUS) {
            w.lastFocus_ = control;
            w.scrollIntoView(control);
            return;
        }
        if (code != BN_CLICKED)
            return;
        if (id == detail::buttonId) {
            w.cmd_Click();
            return;
        }
        if (id == detail::folderButtonId) {
            w.chooseFolder();
            return;
        }
        ControlId box{};
        if (detail::fromIdNumber(id, box) && (box.name == ControlName::wep || box.name == ControlName::chki))
            // A click toggles between unticked and ticked only; a greyed box
            // becomes ticked.
            w.setValue(box, w.value(box) == ticked ? unticked : ticked);
    }

    static void onDrawItem(HWND hwnd, const DRAWITEMSTRUCT *item) { mainWindowOf(hwnd)->drawItem(*item); }
    static LRESULT onNotify(HWND hwnd, int, NMHDR *header) { return mainWindowOf(hwnd)->customDraw(*header); }

    static void onScroll(HWND hwnd, int bar, UINT code, int)
    {
        MainWindow &w = *mainWindowOf(hwnd);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(hwnd, bar, &info);
        const int line = MulDiv(20, static_cast<int>(w.dpi_), USER_DEFAULT_SCREEN_DPI);
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
            w.scrollTo(pos, w.scroll_.y);
        else
            w.scrollTo(w.scroll_.x, pos);
    }
    static void onMouseWheel(HWND hwnd, int, int, int delta, UINT)
    {
        MainWindow &w = *mainWindowOf(hwnd);
        const int line = MulDiv(20, static_cast<int>(w.dpi_), USER_DEFAULT_SCREEN_DPI);
        w.scrollTo(w.scroll_.x, w.scroll_.y - MulDiv(delta, 3 * line, WHEEL_DELTA));
    }
    static void onHScroll(HWND hwnd, HWND, UINT code, int pos) { onScroll(hwnd, SB_HORZ, code, pos); }
    static void onVScroll(HWND hwnd, HWND, UINT code, int pos) { onScroll(hwnd, SB_VERT, code, pos); }

    static void onSize(HWND hwnd, UINT, int, int)
    {
        MainWindow &w = *mainWindowOf(hwnd);
        w.fitStatusBand();
        w.updateScrollBars();
    }

    static void onGetMinMaxInfo(HWND hwnd, MINMAXINFO *info)
    {
        // Never taller than the canvas (and a bar below it where it is
        // narrower): there is nothing to show beyond it. Wider, the status
        // band has the room.
        if (MainWindow *w = mainWindowOf(hwnd)) {
            const SIZE outer = w->outerSize();
            const LONG tallest = outer.cy + GetSystemMetricsForDpi(SM_CYHSCROLL, w->dpi_);
            info->ptMaxTrackSize.y = std::min(info->ptMaxTrackSize.y, tallest);
            info->ptMaxSize.y = std::min(info->ptMaxSize.y, outer.cy);
        }
    }
    static BOOL onEraseBackground(HWND hwnd, HDC dc)
    {
        mainWindowOf(hwnd)->eraseBackground(dc);
        return TRUE;
    }
    static HBRUSH onColourEdit(HWND hwnd, HDC dc, HWND, int) { return mainWindowOf(hwnd)->colourBox(dc); }

    static void onSetFocus(HWND hwnd, HWND)
    {
        // Coming back to the window: the control that had the focus gets it.
        MainWindow &w = *mainWindowOf(hwnd);
        SetFocus(w.lastFocus_ ? w.lastFocus_ : w.cmd_);
    }

    static void onSysColorChange(HWND hwnd) { mainWindowOf(hwnd)->followDesktop(); }

    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto *w = static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
            w->window_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
        }
        MainWindow *w = mainWindowOf(hwnd);
        if (!w)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        switch (message) {
            HANDLE_MSG(hwnd, WM_PAINT, Handlers::onPaint);
            HANDLE_MSG(hwnd, WM_COMMAND, Handlers::onCommand);
            HANDLE_MSG(hwnd, WM_DRAWITEM, Handlers::onDrawItem);
            HANDLE_MSG(hwnd, WM_NOTIFY, Handlers::onNotify);
            HANDLE_MSG(hwnd, WM_HSCROLL, Handlers::onHScroll);
            HANDLE_MSG(hwnd, WM_VSCROLL, Handlers::onVScroll);
            HANDLE_MSG(hwnd, WM_MOUSEWHEEL, Handlers::onMouseWheel);
            HANDLE_MSG(hwnd, WM_SIZE, Handlers::onSize);
            HANDLE_MSG(hwnd, WM_GETMINMAXINFO, Handlers::onGetMinMaxInfo);
            HANDLE_MSG(hwnd, WM_SETFOCUS, Handlers::onSetFocus);
            HANDLE_MSG(hwnd, WM_SYSCOLORCHANGE, Handlers::onSysColorChange);
            HANDLE_MSG(hwnd, WM_CLOSE, Handlers::onClose);
            HANDLE_MSG(hwnd, WM_DESTROY, Handlers::onDestroy);
            HANDLE_MSG(hwnd, WM_ERASEBKGND, Handlers::onEraseBackground);
            HANDLE_MSG(hwnd, WM_CTLCOLOREDIT, Handlers::onColourEdit);
        case WM_SETTINGCHANGE:
            // The apps' light or dark choice comes as "ImmersiveColorSet".
            if (wParam == SPI_SETHIGHCONTRAST ||
                (lParam && std::wstring_view(reinterpret_cast<const wchar_t *>(lParam)) == L"ImmersiveColorSet"))
                w->followDesktop();
            return 0;
        case moveFocusMessage:
            w->moveFocus(wParam != 0);
            return 0;
        case WM_DPICHANGED: {
            const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
            w->setDpi(HIWORD(wParam));
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            w->fitToWorkArea();
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            w->window_ = nullptr;
            if (!w->creating_) // else create() deletes it
                delete w;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        default:
            break;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    // Values not yet written are asked about first; the core decides.
    static void onClose(HWND hwnd)
    {
        if (mainWindowOf(hwnd)->mayClose())
            DestroyWindow(hwnd);
    }

    static void onDestroy(HWND hwnd)
    {
        MainWindow &w = *mainWindowOf(hwnd);
        // While the controls still exist.
        w.forgetScreenReaderTexts();
        if (w.quitOnClose_)
            PostQuitMessage(0);
    }
};

namespace
{

ATOM registerClass(HINSTANCE instance)
{
    static const ATOM atom = [instance] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = Handlers::proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // The window paints its own background: a form's button face, or
        // dark.
        wc.hbrBackground = nullptr;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.lpszClassName = windowClass;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

} // namespace

bool systemHighContrast()
{
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

MainWindow *MainWindow::create(HINSTANCE instance, UINT dpi)
{
    if (!registerClass(instance))
        return nullptr;
    auto *w = new MainWindow;
    w->highContrast_ = systemHighContrast();
    w->dark_ = appsUseDarkTheme();
    auto form = std::make_unique<Win32Form>(*w);
    form->presenter = [w] { return w->presenter_; };
    w->form_ = std::move(form);
    w->desk_ = registryDesk(*w);
    w->session_ = std::make_unique<Session>(*w->form_, *w->desk_, descriptionSink);
    const HWND hwnd = CreateWindowExW(0, windowClass, wide(layout::windowCaption).c_str(), windowStyle, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, w);
    w->creating_ = false;
    if (!hwnd) {
        delete w;
        return nullptr;
    }
    w->window_ = hwnd;
    w->dpi_ = dpi ? dpi : GetDpiForWindow(hwnd);
    // The fonts first: each control is made in its place and font.
    w->createFonts();
    w->createControls(instance);
    w->fitToWorkArea();
    w->describeForScreenReaders();
    if (w->dark_)
        setDarkTitleBar(hwnd, !w->highContrast_);
    SetFocus(w->cmd_);
    return w;
}

MainWindow::~MainWindow()
{
    if (window_) {
        // Deleted by its owner rather than by closing: the window goes too.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    releaseResources();
}

HWND MainWindow::control(ControlId id) const
{
    switch (id.name) {
    case ControlName::txti1:
        return txti1_;
    case ControlName::txti2:
        return txti2_;
    case ControlName::txtt:
        return txtt_;
    case ControlName::chki:
        return chki_.at(static_cast<std::size_t>(id.index - 1));
    case ControlName::wep:
        return wep_.at(static_cast<std::size_t>(id.index));
    case ControlName::cant:
        return cant_.at(static_cast<std::size_t>(id.index));
    }
    throw std::invalid_argument("no such control");
}

std::int16_t MainWindow::value(ControlId checkBox) const
{
    if (checkBox.name == ControlName::chki)
        return chkiValue_.at(static_cast<std::size_t>(checkBox.index - 1));
    if (checkBox.name == ControlName::wep)
        return wepValue_.at(static_cast<std::size_t>(checkBox.index));
    throw std::invalid_argument("not a check box");
}

void MainWindow::setValue(ControlId checkBox, std::int16_t value)
{
    std::int16_t &held = checkBox.name == ControlName::chki
                             ? chkiValue_.at(static_cast<std::size_t>(checkBox.index - 1))
                         : checkBox.name == ControlName::wep ? wepValue_.at(static_cast<std::size_t>(checkBox.index))
                                                             : throw std::invalid_argument("not a check box");
    held = value;
    HWND box = control(checkBox);
    announceTick(box, value);
    InvalidateRect(box, nullptr, FALSE);
}

void MainWindow::cmd_Click()
{
    session_->press();
    showStatus();
}

bool MainWindow::mayClose()
{
    return !session_ || session_->mayClose();
}

void MainWindow::openMission(const std::wstring &folder, bool blank)
{
    session_->open(blank, utf8(folder));
    showStatus();
}

bool MainWindow::switchFolder(const std::wstring &folder)
{
    const bool switched = session_->switchFolder(utf8(folder));
    showStatus();
    return switched;
}

std::vector<std::wstring> MainWindow::recentFolders() const
{
    std::vector<std::wstring> folders;
    for (const std::string &f : session_->recentFolders())
        folders.push_back(wide(f));
    return folders;
}

void MainWindow::rememberFolder()
{
    session_->rememberFolder();
}

void MainWindow::showStatus()
{
    // Changing the text of a static control tells screen readers its name
    // changed; the live-region event makes them read it out.
    SetWindowTextW(status_, wide(session_->status()).c_str());
    fitStatusBand();
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, status_, OBJID_CLIENT, CHILDID_SELF);
    InvalidateRect(status_, nullptr, TRUE);
}

void MainWindow::moveFocus(bool backwards)
{
    const auto at = std::find(tabOrder_.begin(), tabOrder_.end(), GetFocus());
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(tabOrder_.size());
    const std::ptrdiff_t from = at == tabOrder_.end() ? 0 : at - tabOrder_.begin();
    const std::ptrdiff_t to = at == tabOrder_.end() ? 0 : (from + (backwards ? n - 1 : 1)) % n;
    SetFocus(tabOrder_[static_cast<std::size_t>(to)]);
}

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

int MainWindow::statusBand() const
{
    return band_ ? band_ : layout::statusBandPixels(1, 0, static_cast<int>(dpi_));
}

void MainWindow::fitStatusBand()
{
    if (!status_ || fonts_.empty())
        return; // sized while the window is still being made
    RECT client;
    GetClientRect(window_, &client);
    const int band = neededBand(client.right);
    if (band == statusBand())
        return;
    // A window that showed the whole canvas keeps showing it, as far as the
    // screen allows.
    const bool whole = client.bottom - statusBand() >= canvasSize().cy;
    band_ = band;
    if (whole) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
        RECT now;
        GetWindowRect(window_, &now);
        const int height = std::min<int>(outerSize().cy, monitor.rcWork.bottom - monitor.rcWork.top);
        SetWindowPos(window_, nullptr, 0, 0, now.right - now.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    updateScrollBars();
    InvalidateRect(status_, nullptr, TRUE);
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

} // namespace qor::win32
