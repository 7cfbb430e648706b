#pragma once
// The program's one window on Windows: a passive view like the Qt window. It
// builds its controls from the catalogue and the window description
// (layout/), hands them to the core as a FormView, and runs the core's
// command when "G E N E R A T E" is pressed. It decides nothing itself.
//
// One window class, one window procedure that only dispatches each message
// to a small named handler (windowproc.cpp); the state lives in a MainWindow
// reached through GWLP_USERDATA, which the window owns and deletes when it is
// destroyed. Scrolling is in scrolling.cpp, the core's view of the controls
// in win32form.cpp, the folder and the status band in folder.cpp.

#include "catalogue/catalogue.h"
#include "layout/layout.h"
#include "mission/session.h"
#include "press/command.h"
#include "ui/win32/folderwatch.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct IAccPropServices;

namespace qor::win32
{

// Shows a message and returns once the user has dismissed it: by default a
// modal box owned by the window; tests put a recorder in its place.
using MessagePresenter = std::function<void(HWND owner, std::wstring_view text, MessageKind kind)>;

// The default presenter: the application's title, one OK button, the
// kind's icon.
void showMessageBox(HWND owner, std::wstring_view text, MessageKind kind);

// Asks a question before a press or a change of folder, and returns the
// answer: by default a task dialog owned by the window; tests answer it.
using QuestionPresenter = std::function<Answer(HWND owner, const Question &question)>;
Answer askInTaskDialog(HWND owner, const Question &question);

class MainWindow;
// The session's side of the platform: the recently used folders with the
// user's settings in the registry (never in a mission folder), and the
// window's asker.
std::unique_ptr<Desk> registryDesk(const MainWindow &window);

// The status's lines at `width` pixels in the font selected into `dc`.
std::vector<std::wstring> statusLines(HDC dc, const std::wstring &text, int width);

// Whether the user has turned a high-contrast theme on.
bool systemHighContrast();

// A window that scrolls where the monitor is too small for it, and widens
// (the status band takes the width) but grows no taller than its canvas.
inline constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;

class MainWindow
{
  public:
    // Builds the window, hidden, for `dpi` (0: the dpi of the monitor it
    // opens on) with every control at its start value and the focus on the
    // button. Returns nullptr when Windows refuses to make it.
    static MainWindow *create(HINSTANCE instance, UINT dpi = 0);

    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;
    ~MainWindow();

    HWND handle() const { return window_; }
    FormView &formView() { return *form_; }
    void setMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
    // A message from the core, through the presenter.
    void showMessage(std::string_view text, MessageKind kind);
    void setQuestionPresenter(QuestionPresenter asker) { asker_ = std::move(asker); }

    // Works in the current folder, shown as `shownAs` (empty: in full):
    // reads its description.ext into the form, or keeps the start values.
    void openWorkingFolder(bool startValues, const std::wstring &shownAs = {});
    // Makes `folder` the working folder and opens it, after asking when the
    // form holds values not yet written. False when the user or the system
    // said no (the status line says why).
    bool switchFolder(const std::wstring &folder);
    // The folders the program worked in lately, most recent first; and the
    // working folder put first (a start on a named folder).
    std::vector<std::wstring> recentFolders() const;
    void rememberFolder();
    // The system's folder chooser, then switchFolder.
    void chooseFolder();
    // Whether the window may close: values not yet written are asked about.
    bool mayClose();
    HWND statusLine() const { return status_; }
    // The status band as tall as the status line's text needs now; the
    // window grows where the screen has room, else the canvas scrolls.
    void fitStatusBand();
    HWND folderButton() const { return folderButton_; }

    HWND control(ControlId id) const;
    HWND control(layout::TabStop stop) const;
    HWND button() const { return cmd_; }
    // Every control that takes the focus, in Tab order from the button.
    const std::vector<HWND> &tabOrder() const { return tabOrder_; }
    UINT dpi() const { return dpi_; }
    bool highContrast() const { return highContrast_; }
    std::int16_t value(ControlId checkBox) const;
    void setValue(ControlId checkBox, std::int16_t value);

    // Re-places and re-fonts every control for another dpi, as a move to
    // another monitor does.
    void setDpi(UINT dpi);
    // Takes the system's high-contrast setting (or `on`, in tests) again.
    void setHighContrast(bool on);
    // Follows a dark desktop (or `on`, in tests): a high-contrast theme
    // still comes first.
    void setDarkMode(bool on);
    bool darkMode() const { return dark_; }
    // Both settings again, as the desktop has them now.
    void followDesktop();
    layout::Scheme scheme() const;
    // The status line's colours for WM_CTLCOLOREDIT: the boxes' brush.
    HBRUSH colourBox(HDC dc) const;
    void eraseBackground(HDC dc) const;
    // Writes description.ext into the current folder from what is on screen.
    void cmd_Click();
    // The folder watcher's news: gathered on a timer, then the core asked
    // once (folderSettled).
    void folderNoticed();
    void folderSettled();
    // The program ends when this window closes.
    void quitOnClose() { quitOnClose_ = true; }
    // The layout's client area in pixels at the current dpi.
    SIZE canvasSize() const;
    POINT scrollPosition() const { return scroll_; }

  private:
    friend struct Handlers;
    friend class RegistryDesk;
    MainWindow() = default;

    void createControls(HINSTANCE instance);
    void createFonts();
    void placeControls(bool withFonts);
    void describeForScreenReaders();
    void paintDecoration(HDC dc) const;
    void drawItem(const DRAWITEMSTRUCT &item) const;
    void drawStatus(const DRAWITEMSTRUCT &item) const;
    LRESULT customDraw(const NMHDR &header) const;
    // Where the status's lines stand in a status line `lineWidth` wide; the
    // band's height for a client area so wide.
    RECT statusTextRect(int lineWidth) const;
    int neededBand(int clientWidth) const;
    COLORREF fillOf(layout::Colour colour) const;
    void moveFocus(bool backwards);
    void scrollTo(int x, int y);
    int scrollLine() const;             // one arrow step, in pixels at the window's dpi
    void scrollBar(int bar, UINT code); // a scroll bar's request
    void scrollWheel(int delta);
    void scrollIntoView(HWND control);
    void fitToWorkArea();
    int statusBand() const;
    RECT viewport() const; // the client area less the status band
    void placeStatusBand();
    void showStatus();
    void watchWorkingFolder();
    void updateScrollBars();
    SIZE outerSize() const;
    void announceTick(HWND box, std::int16_t value);
    void releaseResources();
    void forgetScreenReaderTexts();
    HFONT font(layout::Font which) const;
    void recolour();

    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool highContrast_ = false;
    bool dark_ = false;
    POINT scroll_{0, 0};
    bool quitOnClose_ = false;
    bool creating_ = true;
    HWND lastFocus_ = nullptr;

    std::array<HWND, checkBoxCount> wep_{};
    std::array<HWND, slotCount> cant_{};
    std::array<HWND, layout::briefing.size()> chki_{};
    HWND txti1_ = nullptr, txti2_ = nullptr, txtt_ = nullptr, cmd_ = nullptr;
    HWND status_ = nullptr, folderButton_ = nullptr;
    int band_ = 0; // the status band's height; 0 until the first status
    HBRUSH boxBrush_ = nullptr;
    std::array<std::int16_t, checkBoxCount> wepValue_{};
    std::array<std::int16_t, layout::briefing.size()> chkiValue_{};
    std::vector<HWND> tabOrder_;

    std::vector<HFONT> fonts_; // by layout font, for dpi_
    IAccPropServices *access_ = nullptr;

    std::unique_ptr<FormView> form_;
    MessagePresenter presenter_ = showMessageBox;
    QuestionPresenter asker_ = askInTaskDialog;
    std::unique_ptr<Desk> desk_;
    std::unique_ptr<Session> session_;
    FolderWatch watch_;         // stopped before the window goes
    ULONGLONG firstNotice_ = 0; // the first of the changes not yet looked at
};

// The window's state, as its procedure finds it.
MainWindow *mainWindowOf(HWND window);

} // namespace qor::win32

namespace qor::win32::detail
{

// Child-window ids: the control's name in the thousands, its index below.
constexpr int idNumber(ControlId id)
{
    return 1000 * (static_cast<int>(id.name) + 1) + id.index;
}
inline constexpr int buttonId = 100;
inline constexpr int folderButtonId = 101;
inline constexpr int statusId = 102;
inline constexpr UINT_PTR folderTimerId = 1;

// The core's view of the window's controls (win32form.cpp); the window
// class, registered once, and its procedure (windowproc.cpp).
std::unique_ptr<FormView> formViewOf(MainWindow &window);
const wchar_t *windowClass();
ATOM registerClass(HINSTANCE instance);

constexpr bool fromIdNumber(int number, ControlId &id)
{
    const int name = number / 1000 - 1;
    if (name < 0 || name > static_cast<int>(ControlName::cant))
        return false;
    id = {static_cast<ControlName>(name), number % 1000};
    return true;
}

} // namespace qor::win32::detail
