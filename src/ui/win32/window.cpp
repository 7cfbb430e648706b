#include "ui/win32/window.h"

#include "io/filesink.h"
#include "layout/layout.h"
#include "layout/texts.h"
#include "ui/win32/look.h"
#include "ui/win32/text.h"

#include <oleacc.h>

#include <algorithm>
#include <stdexcept>

namespace qor::win32
{

bool systemHighContrast()
{
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

MainWindow *MainWindow::create(HINSTANCE instance, UINT dpi)
{
    if (!detail::registerClass(instance))
        return nullptr;
    auto *w = new MainWindow;
    w->highContrast_ = systemHighContrast();
    w->dark_ = appsUseDarkTheme();
    w->form_ = detail::formViewOf(*w);
    w->desk_ = registryDesk(*w);
    w->session_ = std::make_unique<Session>(*w->form_, *w->desk_, descriptionSink);
    const HWND hwnd =
        CreateWindowExW(0, detail::windowClass(), wide(layout::windowCaption).c_str(), windowStyle, CW_USEDEFAULT,
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

void MainWindow::openWorkingFolder(bool startValues, const std::wstring &shownAs)
{
    session_->open(startValues, utf8(shownAs));
    watchWorkingFolder();
    showStatus();
}

bool MainWindow::switchFolder(const std::wstring &folder)
{
    const bool switched = session_->switchFolder(utf8(folder));
    if (switched)
        watchWorkingFolder();
    showStatus();
    return switched;
}

void MainWindow::watchWorkingFolder()
{
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    watch_.start(window_, folder);
}

// Waits for a quiet spell, but never longer than the latest: a stream of
// writes still shows the file as it goes.
void MainWindow::folderNoticed()
{
    const ULONGLONG now = GetTickCount64();
    if (!firstNotice_)
        firstNotice_ = now;
    const ULONGLONG waited = now - firstNotice_;
    const ULONGLONG left = waited < folderLatestMilliseconds ? folderLatestMilliseconds - waited : 0;
    SetTimer(window_, detail::folderTimerId, static_cast<UINT>(std::min<ULONGLONG>(left, folderQuietMilliseconds)),
             nullptr);
}

void MainWindow::folderSettled()
{
    KillTimer(window_, detail::folderTimerId);
    firstNotice_ = 0;
    if (session_->folderChanged())
        showStatus();
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

} // namespace qor::win32
