// The window as the core sees it: a FormView over its controls, and the
// messages the core sends it.
#include "ui/win32/window.h"

#include "layout/texts.h"
#include "ui/win32/controls.h"
#include "ui/win32/text.h"

#include <stdexcept>

namespace qor::win32
{

namespace
{

// The core's view of the controls, read and written straight from them, so
// every read sees what is on screen at that moment.
class Win32Form final : public FormView
{
  public:
    explicit Win32Form(MainWindow &window) : w_(window) {}

    std::string text(ControlId box) const override { return utf8(windowText(textBox(box))); }
    void setText(ControlId box, std::string_view text) override { SetWindowTextW(textBox(box), wide(text).c_str()); }
    void setFocus(ControlId box) override { SetFocus(textBox(box)); }
    std::int16_t value(ControlId checkBox) const override { return w_.value(checkBox); }
    void setValue(ControlId checkBox, std::int16_t value) override { w_.setValue(checkBox, value); }
    void showMessage(std::string_view text, MessageKind kind) override { w_.showMessage(text, kind); }

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

std::unique_ptr<FormView> detail::formViewOf(MainWindow &window)
{
    return std::make_unique<Win32Form>(window);
}

void MainWindow::showMessage(std::string_view text, MessageKind kind)
{
    presenter_(window_, wide(text), kind);
}

void showMessageBox(HWND owner, std::wstring_view text, MessageKind kind)
{
    const std::wstring message(text);
    const UINT icon = kind == MessageKind::warning ? MB_ICONWARNING : MB_ICONINFORMATION;
    MessageBoxW(owner, message.c_str(), wide(layout::applicationTitle).c_str(), MB_OK | icon);
}

} // namespace qor::win32
