// The window procedure: each message to a small named handler, which reaches
// the window's state through its handle; and the window class it serves.
#include "ui/win32/window.h"

#include "ui/win32/controls.h"
#include "ui/win32/text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace qor::win32
{

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
            w.setValue(box, clickedValue(w.value(box)));
    }

    static void onDrawItem(HWND hwnd, const DRAWITEMSTRUCT *item) { mainWindowOf(hwnd)->drawItem(*item); }
    static LRESULT onNotify(HWND hwnd, int, NMHDR *header) { return mainWindowOf(hwnd)->customDraw(*header); }

    static void onMouseWheel(HWND hwnd, int, int, int delta, UINT) { mainWindowOf(hwnd)->scrollWheel(delta); }
    static void onHScroll(HWND hwnd, HWND, UINT code, int) { mainWindowOf(hwnd)->scrollBar(SB_HORZ, code); }
    static void onVScroll(HWND hwnd, HWND, UINT code, int) { mainWindowOf(hwnd)->scrollBar(SB_VERT, code); }

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
        case folderChangedMessage:
            w->folderNoticed();
            return 0;
        case WM_TIMER:
            if (wParam != detail::folderTimerId)
                break;
            w->folderSettled();
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
        w.watch_.stop(); // nothing more is posted to a window that is going
        // While the controls still exist.
        w.forgetScreenReaderTexts();
        if (w.quitOnClose_)
            PostQuitMessage(0);
    }
};

const wchar_t *detail::windowClass()
{
    static const std::wstring name = wide(layout::windowName);
    return name.c_str();
}

ATOM detail::registerClass(HINSTANCE instance)
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
        wc.lpszClassName = windowClass();
        return RegisterClassExW(&wc);
    }();
    return atom;
}

} // namespace qor::win32
