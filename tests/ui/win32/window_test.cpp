// The window as built: every control where the window description puts it,
// at 96 and at 144 dpi, fonts included; stacking where boxes overlap; the
// Tab order; colours under a high-contrast theme; the message box; what
// screen readers are told.
#include "layout/contrast.h"
#include "layout/layout.h"
#include "layout/texts.h"
#include "testutil.h"
#include "ui/win32/look.h"
#include "ui/win32/text.h"
#include "windowfixture.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>

namespace qor::win32::test
{
namespace
{

struct Placed {
    ControlId id;
    layout::Twips box;
    layout::Font font;
};

std::vector<Placed> everyControl()
{
    std::vector<Placed> all;
    for (int s = 0; s < checkBoxCount; ++s)
        all.push_back({wep(s), layout::items.check[static_cast<std::size_t>(s)], layout::Font::Default});
    for (int s = 0; s < slotCount; ++s)
        all.push_back({cant(s), layout::items.count[static_cast<std::size_t>(s)], layout::Font::Default});
    for (std::size_t n = 0; n < layout::briefing.size(); ++n)
        all.push_back(
            {chki(static_cast<int>(n) + 1), layout::briefingBox(layout::briefing[n]), layout::Font::Briefing});
    all.push_back({txti1, layout::txti1Box, layout::Font::Default});
    all.push_back({txti2, layout::txti2Box, layout::Font::Default});
    all.push_back({txtt, layout::txttBox, layout::Font::Default});
    return all;
}

class Scaled : public WindowTest, public ::testing::WithParamInterface<UINT>
{
  protected:
    Scaled() : WindowTest(GetParam()) {}

    // Twips to pixels, rounded to nearest, computed apart from the window.
    static long px(int twips) { return std::lround(twips * static_cast<double>(GetParam()) / 1440.0); }

    void expectAt(HWND w, layout::Twips box, layout::Font font, const char *what)
    {
        // Where the canvas is scrolled, the controls move with it.
        RECT r = placeOf(w);
        OffsetRect(&r, window->scrollPosition().x, window->scrollPosition().y);
        EXPECT_EQ(r.left, px(box.left)) << what;
        EXPECT_EQ(r.top, px(box.top)) << what;
        EXPECT_EQ(r.right - r.left, px(box.width)) << what;
        EXPECT_EQ(r.bottom - r.top, px(box.height)) << what;
        LOGFONTW f{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof f, &f);
        const layout::FontFace face = layout::faceOf(font);
        EXPECT_EQ(f.lfHeight, -std::lround(face.points * GetParam() / 72.0)) << what;
        EXPECT_EQ(f.lfWeight, face.bold ? FW_BOLD : FW_NORMAL) << what;
        EXPECT_NE(std::find(layout::fontFamilies.begin(), layout::fontFamilies.end(), utf8(f.lfFaceName)),
                  layout::fontFamilies.end())
            << what;
    }
};

TEST_P(Scaled, EveryControlStandsWhereTheDescriptionPutsItInItsFont)
{
    EXPECT_EQ(window->dpi(), GetParam());
    for (const Placed &p : everyControl())
        expectAt(at(p.id), p.box, p.font, layout::accessibleName(p.id).c_str());
    expectAt(window->button(), layout::cmdBox, layout::Font::Button, "cmd");
    const SIZE canvas = window->canvasSize();
    EXPECT_EQ(canvas.cx, px(layout::clientArea.width));
    EXPECT_EQ(canvas.cy, px(layout::clientArea.height));
}

TEST_P(Scaled, MovingToAnotherMonitorRescalesEverything)
{
    // As WM_DPICHANGED does: built for one dpi, shown on a monitor of another.
    const UINT other = GetParam() == 144 ? 96 : 144;
    window->setDpi(other);
    window->setDpi(GetParam());
    expectAt(at(cant(slotCount - 1)), layout::items.count[slotCount - 1], layout::Font::Default, "the last cant");
    expectAt(window->button(), layout::cmdBox, layout::Font::Button, "cmd");
}

TEST_P(Scaled, OpensNoLargerThanTheWorkAreaAndScrollsEveryFocusIntoView)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window->handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT outer, client;
    GetWindowRect(window->handle(), &outer);
    EXPECT_LE(outer.right - outer.left, monitor.rcWork.right - monitor.rcWork.left);
    EXPECT_LE(outer.bottom - outer.top, monitor.rcWork.bottom - monitor.rcWork.top);
    GetClientRect(window->handle(), &client);
    // Wide enough for the canvas and a vertical bar: no horizontal bar.
    RECT frame{0, 0, window->canvasSize().cx + GetSystemMetricsForDpi(SM_CXVSCROLL, GetParam()), 0};
    AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, 0, GetParam());
    if (frame.right - frame.left <= monitor.rcWork.right - monitor.rcWork.left) {
        EXPECT_FALSE(GetWindowLongPtrW(window->handle(), GWL_STYLE) & WS_HSCROLL)
            << "work area " << monitor.rcWork.right << "x" << monitor.rcWork.bottom;
    }
    // Both ends of the Tab order, and the far corners of the canvas.
    for (HWND w : {at(chki(7)), at(cant(46)), at(txti2), at(wep(0)), window->button()}) {
        SetFocus(w);
        const RECT r = placeOf(w);
        EXPECT_GE(r.left, 0) << "work area " << monitor.rcWork.right << "x" << monitor.rcWork.bottom;
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, client.right);
        EXPECT_LE(r.bottom, client.bottom);
    }
    // Scrolled or not, a press reads the same controls.
    SendMessageW(window->button(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(qor::test::readFile("description.ext"), qor::test::readFile(QOR_TEST_DATA "/start.ext"));
}

INSTANTIATE_TEST_SUITE_P(Dpi, Scaled, ::testing::Values(96u, 144u, 192u));

TEST_F(WindowTest, StartsWithTheFocusOnTheButtonAndTheStartValues)
{
    EXPECT_EQ(GetFocus(), window->button());
    EXPECT_EQ(textOf(window->button()), wide(layout::cmdCaption));
    EXPECT_EQ(textOf(window->handle()), wide(layout::windowCaption));
    EXPECT_FALSE(IsWindowVisible(at(txtt)));
    EXPECT_FALSE(IsWindowEnabled(at(txtt)));
    EXPECT_EQ(textOf(at(txtt)), L"\"");
    EXPECT_EQ(textOf(at(wep(slotOf("6G30")))), L"6G30 Barrel Grenade Launcher");
    EXPECT_EQ(textOf(at(chki(6))), L"Show Debriefing");
}

TEST_F(WindowTest, WhereBoxesOverlapTheCountBoxLiesOnTopAndTakesTheClick)
{
    for (const int slot : {15, 47}) {
        const RECT count = placeOf(at(cant(slot)));
        const RECT check = placeOf(at(wep(slot)));
        RECT both;
        ASSERT_TRUE(IntersectRect(&both, &count, &check)) << slot;
        const POINT inside{both.left, (both.top + both.bottom) / 2};
        EXPECT_EQ(ChildWindowFromPointEx(window->handle(), inside, CWP_SKIPINVISIBLE), at(cant(slot))) << slot;
    }
}

void pressKey(UINT key)
{
    HWND focused = GetFocus();
    SendMessageW(focused, WM_KEYDOWN, key, 0);
    SendMessageW(focused, WM_KEYUP, key, 0);
}

void holdShift(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

TEST_F(WindowTest, TabAndShiftTabWalkTheTabOrderRoundAndBack)
{
    std::vector<HWND> expected;
    for (const layout::TabStop &stop : layout::tabStops)
        expected.push_back(window->control(stop));
    std::vector<HWND> forwards{GetFocus()};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        pressKey(VK_TAB);
        forwards.push_back(GetFocus());
    }
    expected.push_back(window->button()); // round to the start
    EXPECT_EQ(forwards, expected);

    holdShift(true);
    std::vector<HWND> backwards{GetFocus()};
    for (std::size_t k = 1; k < expected.size(); ++k) {
        pressKey(VK_TAB);
        backwards.push_back(GetFocus());
    }
    holdShift(false);
    EXPECT_EQ(std::vector<HWND>(backwards.rbegin(), backwards.rend()), expected);
}

COLORREF fakeSystem(int index)
{
    return RGB(index, 1, 2); // each system colour told apart by its index
}

TEST(Colours, HighContrastPutsTheSystemsColoursInPlaceOfEveryFixedOneAndDarkOnlyTheNeutralAreas)
{
    using layout::Scheme;
    struct Row {
        layout::Colour colour;
        Paint use;
        Scheme scheme;
        COLORREF expected;
    };
    const Row rows[] = {
        {layout::rgb(255, 128, 128), Paint::Fill, Scheme::Light, RGB(255, 128, 128)},
        {layout::highlight, Paint::Fill, Scheme::Light, fakeSystem(COLOR_HIGHLIGHT)},
        {layout::highlightText, Paint::Text, Scheme::Light, fakeSystem(COLOR_HIGHLIGHTTEXT)},
        {layout::windowBackground, Paint::Fill, Scheme::Light, fakeSystem(COLOR_BTNFACE)},
        {layout::windowText, Paint::Text, Scheme::Light, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::rgb(255, 128, 128), Paint::Fill, Scheme::HighContrast, fakeSystem(COLOR_WINDOW)},
        {layout::highlight, Paint::Fill, Scheme::HighContrast, fakeSystem(COLOR_WINDOW)},
        {layout::rgb(0, 0, 128), Paint::Text, Scheme::HighContrast, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::highlightText, Paint::Text, Scheme::HighContrast, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::lineColour, Paint::Text, Scheme::HighContrast, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::windowBackground, Paint::Fill, Scheme::Dark, RGB(53, 53, 53)},
        {layout::highlight, Paint::Fill, Scheme::Dark, fakeSystem(COLOR_HIGHLIGHT)},
        {layout::rgb(255, 128, 128), Paint::Fill, Scheme::Dark, RGB(255, 128, 128)},
    };
    for (const Row &r : rows)
        EXPECT_EQ(colourOf(r.colour, r.use, r.scheme, fakeSystem), r.expected)
            << static_cast<int>(r.colour.system) << " " << static_cast<int>(r.scheme);
}

COLORREF wineHighlight(int index)
{
    // A mid blue highlight, as Wine's default, under its white text.
    return index == COLOR_HIGHLIGHT ? RGB(0x33, 0x99, 0xff) : index == COLOR_HIGHLIGHTTEXT ? RGB(255, 255, 255) : 0;
}

TEST(Colours, ATextOnAFillKeepsItsColourWhereReadableElseTakesBlackOrWhite)
{
    using layout::Scheme;
    struct Row {
        COLORREF fill;
        layout::Colour text;
        Scheme scheme;
        COLORREF expected;
    };
    const Row rows[] = {
        {RGB(0x33, 0x99, 0xff), layout::highlightText, Scheme::Light, RGB(0, 0, 0)},        // 2.9:1 white
        {RGB(0, 0, 128), layout::creditText, Scheme::Light, RGB(255, 255, 255)},            // navy highlight
        {RGB(255, 255, 128), layout::rgb(0, 0, 128), Scheme::Light, RGB(0, 0, 128)},        // readable: kept
        {RGB(53, 53, 53), layout::windowText, Scheme::Dark, RGB(255, 255, 255)},            // dark neutral area
        {RGB(255, 128, 128), layout::windowText, Scheme::Dark, RGB(0, 0, 0)},               // a fill stays light
        {RGB(0x33, 0x99, 0xff), layout::highlightText, Scheme::HighContrast, RGB(0, 0, 0)}, // the user's pair
    };
    for (const Row &r : rows)
        EXPECT_EQ(textOn(r.fill, r.text, r.scheme, wineHighlight), r.expected) << std::hex << r.fill;
}

TEST(Colours, AppsInDarkModeAreReadFromTheUsersSettings)
{
    const wchar_t key[] = L"Software\\qorgenerator-test\\Personalize";
    struct Row {
        int light; // -1: no value
        bool dark;
    };
    for (const Row r : {Row{-1, false}, Row{1, false}, Row{0, true}}) {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\qorgenerator-test");
        if (r.light >= 0) {
            const DWORD value = static_cast<DWORD>(r.light);
            RegSetKeyValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme", REG_DWORD, &value, sizeof value);
        }
        EXPECT_EQ(appsUseDarkTheme(key), r.dark) << r.light;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\qorgenerator-test");
}

TEST_F(WindowTest, MessageBoxCarriesTheTitleAndOneOkButtonAndIsOwnedByTheWindow)
{
    window->setMessagePresenter(showMessageBox);
    const ShownBox seen =
        closeNextBox([this] { window->formView().showMessage("error; not a number", MessageKind::warning); });
    EXPECT_EQ(seen.owner, window->handle());
    EXPECT_EQ(seen.title, wide(layout::applicationTitle));
    EXPECT_EQ(seen.text, L"error; not a number");
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_NE(seen.icon, nullptr);
    const ShownBox notice =
        closeNextBox([this] { window->formView().showMessage("kept the old owner", MessageKind::notice); });
    EXPECT_EQ(notice.buttons, 1);
    // A notice tells; it does not warn.
    EXPECT_NE(notice.icon, nullptr);
    EXPECT_NE(notice.icon, seen.icon);
}

std::wstring accessibleName(HWND w)
{
    IAccessible *object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&object))))
        return L"<no object>";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result = SUCCEEDED(object->get_accName(self, &name)) && name ? name : L"<no name>";
    SysFreeString(name);
    object->Release();
    return result;
}

TEST_F(WindowTest, ScreenReadersHearTheSameNamesAsOnLinux)
{
    for (const ControlId id : {cant(0), cant(17), cant(52), cant(85), txti1, txti2})
        EXPECT_EQ(utf8(accessibleName(at(id))), layout::accessibleName(id));
}

} // namespace
} // namespace qor::win32::test

namespace qor::win32::test
{
namespace
{

// A control's own drawing, into a bitmap where every pixel can be read.
class Canvas
{
  public:
    Canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void *bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

double contrast(COLORREF a, COLORREF b)
{
    auto rgb = [](COLORREF c) { return layout::Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; };
    return layout::contrastRatio(rgb(a), rgb(b));
}

// The check box as the window draws it for WM_DRAWITEM.
void drawCheckBox(MainWindow &window, HWND box, const Canvas &canvas, bool focused)
{
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(box));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = focused ? ODS_FOCUS : 0;
    item.hwndItem = box;
    item.hDC = canvas.dc();
    GetClientRect(box, &item.rcItem);
    SendMessageW(window.handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

TEST_F(WindowTest, TheFocusFrameOfACheckBoxStandsOutAgainstEveryFillAndHighContrastTakesTheSystemsFill)
{
    for (const bool highContrast : {false, true}) {
        window->setHighContrast(highContrast);
        // One box on each group's fill, and one on the window's background.
        for (const ControlId id : {wep(0), wep(18), wep(32), wep(47), chki(1)}) {
            RECT r;
            GetClientRect(at(id), &r);
            const Canvas plain(r.right, r.bottom), focused(r.right, r.bottom);
            drawCheckBox(*window, at(id), plain, false);
            drawCheckBox(*window, at(id), focused, true);
            // The top left corner is fill (the tick mark is centred below
            // it); the frame runs along the box's right edge.
            const COLORREF fill = plain.at(0, 0);
            const COLORREF frame = focused.at(r.right - 1, r.bottom / 2);
            EXPECT_EQ(plain.at(r.right - 1, r.bottom / 2), fill) << layout::accessibleName(id);
            EXPECT_GE(contrast(frame, fill), 3.0) << layout::accessibleName(id) << " " << highContrast;
            if (highContrast) {
                EXPECT_EQ(fill, GetSysColor(COLOR_WINDOW)) << layout::accessibleName(id);
            }
        }
    }
}

// The highest contrast any pixel of `r` reaches against `fill`: the text's
// own colour where its strokes are solid.
double strongestAgainst(const Canvas &canvas, RECT r, COLORREF fill)
{
    double best = 1;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            best = std::max(best, contrast(canvas.at(x, y), fill));
    return best;
}

TEST_F(WindowTest, EveryCheckBoxCaptionIsReadableOnItsFillInEveryScheme)
{
    for (const layout::Scheme scheme : {layout::Scheme::Light, layout::Scheme::Dark, layout::Scheme::HighContrast}) {
        window->setHighContrast(scheme == layout::Scheme::HighContrast);
        window->setDarkMode(scheme == layout::Scheme::Dark);
        ASSERT_EQ(window->scheme(), scheme);
        std::vector<ControlId> boxes;
        for (int s = 0; s < checkBoxCount; ++s)
            boxes.push_back(wep(s));
        for (int n = 1; n <= 7; ++n)
            boxes.push_back(chki(n));
        for (const ControlId id : boxes) {
            RECT r;
            GetClientRect(at(id), &r);
            const Canvas drawn(r.right, r.bottom);
            drawCheckBox(*window, at(id), drawn, false);
            const COLORREF fill = drawn.at(0, 0);
            // Right of the tick mark: the caption only.
            const RECT caption{MulDiv(18, static_cast<int>(window->dpi()), 96), 0, r.right, r.bottom};
            EXPECT_GE(strongestAgainst(drawn, caption, fill), 4.5)
                << layout::accessibleName(id) << " scheme " << static_cast<int>(scheme);
            if (scheme == layout::Scheme::Dark && id.name == ControlName::chki) {
                EXPECT_LT(layout::relativeLuminance({GetRValue(fill), GetGValue(fill), GetBValue(fill)}), 0.1);
            }
        }
    }
}

TEST_F(WindowTest, ADarkDesktopDarkensTheBoxesButHighContrastComesFirst)
{
    window->setDarkMode(true);
    HDC dc = GetDC(at(cant(0)));
    SendMessageW(window->handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(at(cant(0))));
    const COLORREF fill = GetBkColor(dc), text = GetTextColor(dc);
    EXPECT_EQ(fill, RGB(35, 35, 35));
    EXPECT_GE(contrast(fill, text), 4.5);
    window->setHighContrast(true);
    SendMessageW(window->handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(at(cant(0))));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    ReleaseDC(at(cant(0)), dc);
}

// Tick marks, and the push buttons as the program makes them (common
// controls 6, from its manifest): dark with light ink only when dark.
TEST_F(WindowTest, InTheDarkSchemeMarksAndButtonsAreDarkWithLightInkElseTheSystemDrawsThem)
{
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.lpSource = QOR_WIDE_MANIFEST;
    HANDLE controls6 = CreateActCtxW(&context);
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(controls6, &cookie)) << GetLastError();
    MainWindow *program = MainWindow::create(GetModuleHandleW(nullptr), window->dpi());
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(controls6);
    ASSERT_NE(program, nullptr);
    auto px = [&](int at96) { return MulDiv(at96, static_cast<int>(program->dpi()), 96); };
    auto isDark = [](COLORREF c) {
        return layout::relativeLuminance({GetRValue(c), GetGValue(c), GetBValue(c)}) < 0.1;
    };
    for (const layout::Scheme scheme : {layout::Scheme::Light, layout::Scheme::Dark, layout::Scheme::HighContrast}) {
        program->setHighContrast(scheme == layout::Scheme::HighContrast);
        program->setDarkMode(scheme == layout::Scheme::Dark);
        const bool dark = scheme == layout::Scheme::Dark;
        for (const ControlId id : {wep(0), chki(1)}) {
            for (const std::int16_t value : {unticked, ticked}) {
                program->setValue(id, value);
                RECT r;
                GetClientRect(program->control(id), &r);
                const Canvas drawn(r.right, r.bottom);
                drawCheckBox(*program, program->control(id), drawn, false);
                const int top = (r.bottom - px(13)) / 2;
                const COLORREF inside = drawn.at(px(2), top + px(2));
                const RECT within{px(2), top + px(2), px(11), top + px(11)};
                const bool inked = strongestAgainst(drawn, within, inside) >= 4.5;
                EXPECT_TRUE(dark ? isDark(inside) && inked == (value == ticked) : inside == GetSysColor(COLOR_WINDOW))
                    << layout::accessibleName(id) << " scheme " << static_cast<int>(scheme) << " value " << value;
            }
        }
        for (HWND button : {program->button(), program->folderButton()}) {
            RECT r;
            GetClientRect(button, &r);
            const Canvas drawn(r.right, r.bottom);
            SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.dc()), PRF_CLIENT);
            const COLORREF face = drawn.at(px(8), r.bottom / 2); // left of the caption, clear of the frames
            const RECT caption{r.right / 4, r.bottom / 4, r.right * 3 / 4, r.bottom * 3 / 4};
            EXPECT_TRUE(dark ? isDark(face) && strongestAgainst(drawn, caption, face) >= 4.5 : !isDark(face))
                << utf8(textOf(button)) << " scheme " << static_cast<int>(scheme);
        }
    }
    DestroyWindow(program->handle());
}

TEST_F(WindowTest, AFocusedBriefingBoxShowsItsFrameAboveTheNextBox)
{
    HWND box = at(chki(1));
    RECT r, next;
    GetClientRect(box, &r);
    const Canvas focused(r.right, r.bottom);
    drawCheckBox(*window, box, focused, true);
    const COLORREF frame = focused.at(r.right - 1, r.bottom / 4);
    // The bottom edge runs just above where chki2 starts.
    next = placeOf(at(chki(2)));
    const int visible = next.top - placeOf(box).top;
    ASSERT_LT(visible, r.bottom);
    EXPECT_EQ(focused.at(r.right / 2, visible - 1), frame);
    EXPECT_NE(focused.at(r.right / 2, visible - 4), frame);
}

class CountBoxes : public WindowTest, public ::testing::WithParamInterface<UINT>
{
  protected:
    CountBoxes() : WindowTest(GetParam()) {}
};

TEST_P(CountBoxes, ShowThreeDigitsWholeInTheirOwnFont)
{
    for (int slot = 0; slot < slotCount; ++slot) {
        HWND box = at(cant(slot));
        SetWindowTextW(box, L"250");
        RECT text{};
        SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
        HDC dc = GetDC(box);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
        SIZE needed{};
        GetTextExtentPoint32W(dc, L"250", 3, &needed);
        SelectObject(dc, old);
        ReleaseDC(box, dc);
        EXPECT_GE(text.right - text.left, needed.cx) << "cant(" << slot << ") at " << GetParam();
        // Not scrolled: the first digit stands at the rectangle's left.
        EXPECT_EQ(static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, 0, 0))), text.left) << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, CountBoxes, ::testing::Values(96u, 120u, 144u, 192u));

class StatusBand : public WindowTest, public ::testing::WithParamInterface<UINT>
{
  protected:
    StatusBand() : WindowTest(GetParam()) {}

    // The status's lines as the status line shows them, measured in the
    // line's own font: how wide the widest, how tall all of them, and how
    // tall one; and whether they are the whole text.
    struct Laid {
        long width, height, line;
        bool whole;
    };
    Laid laidOut() const
    {
        const RECT status = placeOf(window->statusLine());
        const int margin = MulDiv(layout::statusMarginTwips, static_cast<int>(GetParam()), 1440);
        const std::wstring text = textOf(window->statusLine());
        HDC dc = GetDC(window->statusLine());
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window->statusLine(), WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        Laid laid{0, 0, metrics.tmHeight, false};
        std::wstring joined;
        for (const std::wstring &line : statusLines(dc, text, status.right - status.left - 2 * margin)) {
            SIZE size{};
            GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
            laid.width = std::max<long>(laid.width, size.cx);
            laid.height += metrics.tmHeight;
            joined += line;
        }
        laid.whole = joined == text;
        SelectObject(dc, old);
        ReleaseDC(window->statusLine(), dc);
        return laid;
    }
    void resizeBy(int dx)
    {
        RECT r;
        GetWindowRect(window->handle(), &r);
        SetWindowPos(window->handle(), nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
};

TEST_P(StatusBand, ALongStatusIsShownWholeOnAsManyLinesAsItNeeds)
{
    const RECT lowest = placeOf(window->statusLine());
    const std::wstring whole = L"C:\\Missions\\" + std::wstring(260, L'x') +
                               L": Read description.ext: 23 items, 2 script names, 7 briefing options; 4 lines the "
                               L"form does not hold (lines 3-6) are kept by the next press";
    SetWindowTextW(window->statusLine(), whole.c_str());
    const RECT button = placeOf(window->button());
    window->fitStatusBand(); // as a new status does
    RECT client;
    GetClientRect(window->handle(), &client);
    const int margin = MulDiv(layout::statusMarginTwips, static_cast<int>(GetParam()), 1440);
    RECT status = placeOf(window->statusLine());
    Laid laid = laidOut();
    const long lines = laid.height / laid.line;
    EXPECT_GE(lines, 3) << GetParam();
    EXPECT_TRUE(laid.whole);
    // Every line within the control, all of them within its height.
    EXPECT_LE(laid.width, status.right - status.left - 2 * margin);
    EXPECT_GE(status.bottom - status.top, laid.height + 2 * margin);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(placeOf(window->folderButton()).top, status.top);
    EXPECT_EQ(placeOf(window->button()).left, button.left); // the form keeps its place

    // Narrower, more lines, as the user's drag leaves them; a short status
    // gives the height back.
    resizeBy(-200);
    status = placeOf(window->statusLine());
    laid = laidOut();
    EXPECT_GT(laid.height / laid.line, lines);
    EXPECT_TRUE(laid.whole);
    EXPECT_GE(status.bottom - status.top, laid.height + 2 * margin);
    SetWindowTextW(window->statusLine(), L"short");
    window->fitStatusBand();
    EXPECT_EQ(placeOf(window->statusLine()).bottom - placeOf(window->statusLine()).top, lowest.bottom - lowest.top);
}

INSTANTIATE_TEST_SUITE_P(Dpi, StatusBand, ::testing::Values(96u, 144u, 192u));

} // namespace
} // namespace qor::win32::test
