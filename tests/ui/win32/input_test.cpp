// What a user does to the window: clicks on check boxes, text typed, pasted
// or set into the boxes, and presses of the button by mouse or key, each
// press writing through the real sink into the test's own folder.
#include "layout/texts.h"
#include "press/startvalues.h"
#include "testutil.h"
#include "ui/win32/text.h"
#include "windowfixture.h"

#include <oleacc.h>

#include <functional>

namespace qor::win32::test
{
namespace
{

using namespace qor::test;

void click(HWND w, POINT at)
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(w, WM_LBUTTONUP, 0, where);
}

TEST_F(WindowTest, AClickAnywhereInACheckBoxTogglesItBetweenUntickedAndTicked)
{
    struct Row {
        const char *what;
        ControlId box;
        std::int16_t start;
        bool blankPart; // far right, clear of the caption
        std::vector<std::int16_t> after;
    };
    const Row rows[] = {
        {"unticked item, on the caption", wep(slotOf("M4")), unticked, false, {ticked, unticked, ticked}},
        {"wide item, blank part", wep(slotOf("6G30")), unticked, true, {ticked, unticked, ticked}},
        {"ticked briefing, blank part", chki(1), ticked, true, {unticked, ticked, unticked}},
        {"greyed item", wep(slotOf("Kozliceshell")), greyed, true, {ticked, unticked, ticked}},
    };
    for (const Row &r : rows) {
        window->setValue(r.box, r.start);
        RECT size;
        GetClientRect(at(r.box), &size);
        const POINT where{r.blankPart ? size.right - 2 : size.right / 3, size.bottom / 2};
        std::vector<std::int16_t> seen;
        for (std::size_t k = 0; k < r.after.size(); ++k) {
            click(at(r.box), where);
            seen.push_back(window->value(r.box));
        }
        EXPECT_EQ(seen, r.after) << r.what;
    }
}

TEST_F(WindowTest, SpaceTogglesTheFocusedCheckBox)
{
    SetFocus(at(chki(2)));
    SendMessageW(at(chki(2)), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(at(chki(2)), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(window->value(chki(2)), ticked);
}

void typeText(HWND w, std::wstring_view keys)
{
    SetFocus(w);
    for (wchar_t c : keys)
        SendMessageW(w, WM_CHAR, c, 0);
}

void paste(HWND w, std::wstring_view text)
{
    ASSERT_TRUE(OpenClipboard(w));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto *chars = static_cast<wchar_t *>(GlobalLock(data));
    text.copy(chars, text.size());
    chars[text.size()] = L'\0';
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
    SetFocus(w);
    SendMessageW(w, WM_PASTE, 0, 0);
}

// What voice control and other assistive tools do to type into a box: set
// its value through the accessibility interface.
HRESULT setByAssistiveTool(HWND w, std::wstring_view text)
{
    IAccessible *object = nullptr;
    if (const HRESULT found = AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                         reinterpret_cast<void **>(&object));
        FAILED(found))
        return found;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    const HRESULT result = object->put_accValue(self, value);
    SysFreeString(value);
    object->Release();
    return result;
}

TEST_F(WindowTest, LineBreaksAreDroppedHoweverTheyArriveNotCutAtTheFirst)
{
    using Way = std::function<void(HWND, std::wstring_view)>;
    const Way typed = typeText;
    const Way pasted = paste;
    const Way assisted = [](HWND w, std::wstring_view t) { EXPECT_EQ(setByAssistiveTool(w, t), S_OK); };
    const Way set = [](HWND w, std::wstring_view t) { SetWindowTextW(w, std::wstring(t).c_str()); };
    const Way replaced = [](HWND w, std::wstring_view t) {
        SendMessageW(w, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(std::wstring(t).c_str()));
    };
    struct Row {
        const char *how;
        Way way;
        ControlId box;
        std::wstring in, kept;
    };
    const Row rows[] = {
        {"pasted count", pasted, cant(slotOf("M4")), L"12\r\n", L"12"},
        {"pasted script", pasted, txti1, L"intro\r\n.sqs\nx\r", L"intro.sqsx"},
        {"pasted separators", pasted, txti2, L"a\u2028b\u2029c", L"a\u2028b\u2029c"},
        {"typed", typed, cant(slotOf("M21")), L"1\r2\n3", L"123"},
        {"typed script", typed, txti2, L"mission\r.sqs", L"mission.sqs"},
        {"set", set, cant(ammoBoxOf("FAL")), L"\n4\r\n5\r", L"45"},
        {"replaced", replaced, txti1, L"\r\nend", L"end"},
        {"count set by an assistive tool", assisted, cant(slotOf("M16")), L"3\r\n0", L"30"},
        {"script set by an assistive tool", assisted, txti2, L"m\ni.sqs", L"mi.sqs"},
        {"long paste, beyond an edit box's default limit", pasted, txti2, std::wstring(40000, L'x') + L"\r\n",
         std::wstring(40000, L'x')},
    };
    for (const Row &r : rows) {
        SetWindowTextW(at(r.box), L"");
        r.way(at(r.box), r.in);
        std::wstring text(r.kept.size() + 2, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(at(r.box), text.data(), static_cast<int>(text.size()))));
        EXPECT_EQ(text, r.kept) << r.how;
    }
}

// Puts a form's values into the window's controls, as a user would leave them.
void fill(MainWindow &window, const FormRecord &form)
{
    SetWindowTextW(window.control(txti1), wide(form.intro).c_str());
    SetWindowTextW(window.control(txti2), wide(form.mission).c_str());
    for (int n = 1; n <= briefingCount; ++n)
        window.setValue(chki(n), form.option(n));
    for (int s = 0; s < checkBoxCount; ++s)
        window.setValue(wep(s), form.ticks[static_cast<std::size_t>(s)]);
    for (int s = 0; s < slotCount; ++s)
        SetWindowTextW(window.control(cant(s)), wide(form.counts[static_cast<std::size_t>(s)]).c_str());
}

TEST_F(WindowTest, APressWritesTheSameBytesAsTheCoreForEveryForm)
{
    struct Row {
        const char *what;
        std::function<FormRecord()> form;
    };
    const Row rows[] = {
        {"start", [] { return FormRecord(); }},
        {"fullest", fullestForm},
        {"names beyond ASCII, shared magazines, greyed and unticked counts",
         [] {
             FormRecord f;
             f.intro = "intro \xc3\xa9t\xc3\xa9.sqs"; // "été"
             f.mission = "say \"hi\"";
             f.briefing = {0, 1, 0, 1, 0, 1, 0};
             tick(f, "M4", "3");
             tick(f, "G36a", "2.5");
             f.counts[ammoBoxOf("M4")] = "4";
             f.counts[ammoBoxOf("M16")] = "1e3";
             tick(f, "AK74", "&H10");
             f.counts[ammoBoxOf("AK74")] = "7";
             f.setValue(wep(slotOf("AK47")), greyed);
             f.counts[slotOf("AK47")] = "9";
             f.counts[slotOf("FlareYellow")] = "5"; // unticked
             tick(f, "Kozlice", "2");
             return f;
         }},
        {"a count that is not a number",
         [] {
             FormRecord f;
             tick(f, "HK", "1O");
             tick(f, "Mortar", "x");
             return f;
         }},
    };
    for (const Row &r : rows) {
        FormRecord expected = r.form();
        fill(*window, expected);
        messages.clear();
        DeleteFileW(L"description.ext");

        SetFocus(window->button());
        SendMessageW(window->button(), WM_KEYDOWN, VK_RETURN, 0);

        const std::string written = readFile("description.ext");
        EXPECT_EQ(written, press(expected)) << r.what;
        std::vector<std::wstring> expectedMessages;
        for (const std::string &m : expected.messages)
            expectedMessages.push_back(wide(m));
        EXPECT_EQ(messages, expectedMessages) << r.what;
        for (HWND owner : owners)
            EXPECT_EQ(owner, window->handle()) << r.what;
        // A failed count is emptied in the window and the last one focused.
        for (int s = 0; s < slotCount; ++s)
            EXPECT_EQ(textOf(at(cant(s))), wide(expected.text(cant(s)))) << r.what << " cant(" << s << ")";
        if (expected.focus) {
            EXPECT_EQ(GetFocus(), at(*expected.focus)) << r.what;
        }
    }
}

TEST_F(WindowTest, TheStartFileIsTheCommittedOne)
{
    SendMessageW(window->button(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(readFile("description.ext"), readFile(QOR_TEST_DATA "/start.ext"));
}

TEST_F(WindowTest, ACountSetByAnAssistiveToolIsWrittenByThePress)
{
    window->setValue(wep(slotOf("M4")), ticked);
    ASSERT_EQ(setByAssistiveTool(at(cant(slotOf("M4"))), L"7\r\n"), S_OK);
    SendMessageW(window->button(), WM_KEYDOWN, VK_RETURN, 0);
    const std::string written = readFile("description.ext");
    EXPECT_NE(written.find("count = 7;"), std::string::npos) << written;
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, SpaceAndAClickPressTheButtonToo)
{
    SetFocus(window->button());
    SendMessageW(window->button(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(window->button(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(readFile("description.ext"), readFile(QOR_TEST_DATA "/start.ext"));
    DeleteFileW(L"description.ext");
    click(window->button(), {5, 5});
    EXPECT_EQ(readFile("description.ext"), readFile(QOR_TEST_DATA "/start.ext"));
}

} // namespace
} // namespace qor::win32::test
