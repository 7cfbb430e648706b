// What screen readers hear of the window. Check boxes and the button carry
// their captions as window text; the boxes have none, so their names, and
// the count boxes' descriptions, are set through the accessibility property
// service. The tick boxes are drawn by the window, so their role and tick
// state are set there too.
#include "ui/win32/window.h"

#include "layout/texts.h"
#include "ui/win32/text.h"

// The GUIDs are defined here rather than taken from the import library.
#include <initguid.h>

#include <oleacc.h>

namespace qor::win32
{

namespace
{

// UI Automation's live-region setting, which mingw's headers lack; 1 is
// "polite": read out when the reader is idle.
constexpr GUID liveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG polite = 1;

void setText(IAccPropServices *access, HWND w, const GUID &property, const std::string &text)
{
    const std::wstring value = wide(text);
    access->SetHwndPropStr(w, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, value.c_str());
}

void setNumber(IAccPropServices *access, HWND w, const GUID &property, LONG number)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = number;
    access->SetHwndProp(w, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, v);
}

} // namespace

void MainWindow::describeForScreenReaders()
{
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void **>(&access_))))
        return; // no COM on this thread: the window works, unnamed
    for (int slot = 0; slot < slotCount; ++slot) {
        HWND box = cant_[static_cast<std::size_t>(slot)];
        setText(access_, box, PROPID_ACC_NAME, layout::accessibleName(cant(slot)));
        setText(access_, box, PROPID_ACC_DESCRIPTION, layout::countDescription(slot));
    }
    for (const ControlId id : {txti1, txti2, txtt})
        setText(access_, control(id), PROPID_ACC_NAME, layout::accessibleName(id));
    setText(access_, cmd_, PROPID_ACC_NAME, std::string(layout::cmdName));
    auto tickBox = [this](ControlId id) {
        setText(access_, control(id), PROPID_ACC_NAME, layout::accessibleName(id));
        setNumber(access_, control(id), PROPID_ACC_ROLE, ROLE_SYSTEM_CHECKBUTTON);
        announceTick(control(id), value(id));
    };
    for (int slot = 0; slot < checkBoxCount; ++slot)
        tickBox(wep(slot));
    for (int n = 1; n <= static_cast<int>(chki_.size()); ++n)
        tickBox(chki(n));
    // The status line is announced whenever it changes.
    setNumber(access_, status_, liveSetting, polite);
}

void MainWindow::announceTick(HWND box, std::int16_t value)
{
    if (!access_)
        return;
    const LONG state = STATE_SYSTEM_FOCUSABLE | (value == ticked   ? STATE_SYSTEM_CHECKED
                                                 : value == greyed ? STATE_SYSTEM_MIXED
                                                                   : 0);
    setNumber(access_, box, PROPID_ACC_STATE, state);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, box, OBJID_CLIENT, CHILDID_SELF);
}

void MainWindow::forgetScreenReaderTexts()
{
    if (!access_)
        return;
    const MSAAPROPID all[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE, PROPID_ACC_STATE};
    auto clear = [&](HWND w) { access_->ClearHwndProps(w, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, all, 4); };
    for (HWND w : wep_)
        clear(w);
    for (HWND w : cant_)
        clear(w);
    for (HWND w : chki_)
        clear(w);
    for (HWND w : {txti1_, txti2_, txtt_, cmd_})
        clear(w);
    const MSAAPROPID status[] = {liveSetting, PROPID_ACC_DESCRIPTION};
    access_->ClearHwndProps(status_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, status, 2);
    access_->Release();
    access_ = nullptr;
}

void MainWindow::releaseResources()
{
    forgetScreenReaderTexts();
    for (HFONT f : fonts_)
        DeleteObject(f);
    fonts_.clear();
    if (boxBrush_)
        DeleteObject(boxBrush_);
    boxBrush_ = nullptr;
}

} // namespace qor::win32
