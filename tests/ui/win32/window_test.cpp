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

#include <oleacc.h>

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
        EXPECT_EQ(utf8(f.lfFaceName), layout::fontFamilies.front()) << what;
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

TEST(Colours, HighContrastPutsTheSystemsColoursInPlaceOfEveryFixedOne)
{
    struct Row {
        layout::Colour colour;
        Paint use;
        bool highContrast;
        COLORREF expected;
    };
    const Row rows[] = {
        {layout::rgb(255, 128, 128), Paint::Fill, false, RGB(255, 128, 128)},
        {layout::highlight, Paint::Fill, false, fakeSystem(COLOR_HIGHLIGHT)},
        {layout::highlightText, Paint::Text, false, fakeSystem(COLOR_HIGHLIGHTTEXT)},
        {layout::windowBackground, Paint::Fill, false, fakeSystem(COLOR_BTNFACE)},
        {layout::windowText, Paint::Text, false, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::rgb(255, 128, 128), Paint::Fill, true, fakeSystem(COLOR_WINDOW)},
        {layout::highlight, Paint::Fill, true, fakeSystem(COLOR_WINDOW)},
        {layout::rgb(0, 0, 128), Paint::Text, true, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::highlightText, Paint::Text, true, fakeSystem(COLOR_WINDOWTEXT)},
        {layout::lineColour, Paint::Text, true, fakeSystem(COLOR_WINDOWTEXT)},
    };
    for (const Row &r : rows)
        EXPECT_EQ(colourOf(r.colour, r.use, r.highContrast, fakeSystem), r.expected)
            << static_cast<int>(r.colour.system) << " " << r.highContrast;
}

TEST_F(WindowTest, MessageBoxCarriesTheTitleAndOneOkButtonAndIsOwnedByTheWindow)
{
    window->setMessagePresenter(showMessageBox);
    const ShownBox seen = closeNextBox([this] { window->formView().showMessage("error; not a number"); });
    EXPECT_EQ(seen.owner, window->handle());
    EXPECT_EQ(seen.title, wide(layout::applicationTitle));
    EXPECT_EQ(seen.text, L"error; not a number");
    EXPECT_EQ(seen.buttons, 1);
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

} // namespace
} // namespace qor::win32::test
