// The scenario table against the Win32 window under Wine, driven through its
// controls as found by their ids, with the keyboard as a user reaches them.
#include "layout/texts.h"
#include "scenarios.h"
#include "ui/win32/start.h"
#include "ui/win32/text.h"
#include "ui/win32/window.h"

#include <gtest/gtest.h>

namespace qor::win32::test
{
namespace
{

class Win32Driver final : public scenario::Driver
{
  public:
    Win32Driver() : window_(MainWindow::create(GetModuleHandleW(nullptr), USER_DEFAULT_SCREEN_DPI))
    {
        if (!window_)
            throw std::runtime_error("no window: is a Wine display driver set up?");
        window_->setMessagePresenter(
            [this](HWND, std::wstring_view text, MessageKind) { messages.push_back(utf8(text)); });
        window_->setQuestionPresenter([this](HWND, const Question &q) { return nextAnswer(q); });
    }
    ~Win32Driver() override { DestroyWindow(window_->handle()); }

    void open(bool startValues) override { window_->openWorkingFolder(startValues); }
    void click(ControlId box) override
    {
        SetFocus(window_->control(box));
        SendMessageW(window_->control(box), WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(window_->control(box), WM_KEYUP, VK_SPACE, 0);
    }
    void type(ControlId id, const std::string &text) override
    {
        HWND box = window_->control(id);
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 0, -1);
        for (wchar_t c : wide(text))
            SendMessageW(box, WM_CHAR, c, 0);
    }
    void press() override
    {
        SetFocus(window_->button());
        SendMessageW(window_->button(), WM_KEYDOWN, VK_RETURN, 0);
    }
    // The system's chooser cannot be driven here: its answer goes where the
    // chooser's would.
    void chooseFolder(const std::string &folder) override
    {
        SetFocus(window_->folderButton());
        window_->switchFolder(wide(folder));
    }
    std::string status() override
    {
        wchar_t text[1024] = {};
        GetWindowTextW(window_->statusLine(), text, 1024);
        return utf8(text);
    }
    std::string focus() override
    {
        for (const layout::TabStop &stop : layout::tabStops)
            if (window_->control(stop) == GetFocus())
                return layout::stopName(stop);
        return "<none>";
    }

  private:
    MainWindow *window_;
};

TEST(Scenario, TheWin32Window)
{
    scenario::runAll([]() -> std::unique_ptr<scenario::Driver> { return std::make_unique<Win32Driver>(); });
}

} // namespace
} // namespace qor::win32::test
