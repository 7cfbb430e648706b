#pragma once
// A window built in-process for one test, in a scratch folder of its own,
// with its message boxes recorded instead of shown.

#include "ui/win32/window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qor::win32::test
{

// What a modal message box showed.
struct ShownBox {
    HWND owner = nullptr;
    std::wstring title, text;
    int buttons = 0;
    HICON icon = nullptr;
};

// Runs `show`, which opens a modal box on this thread; a timer finds the
// box, reads it and presses its OK button.
inline ShownBox closeNextBox(const std::function<void()> &show)
{
    static ShownBox seen;
    seen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM found) {
                wchar_t kind[32] = {};
                GetClassNameW(w, kind, 32);
                if (std::wstring_view(kind) == L"#32770" && IsWindowVisible(w))
                    *reinterpret_cast<HWND *>(found) = w;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&box));
        if (!box)
            return;
        KillTimer(nullptr, id);
        seen.owner = GetWindow(box, GW_OWNER);
        seen.title.resize(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1);
        seen.title.resize(
            static_cast<std::size_t>(GetWindowTextW(box, seen.title.data(), static_cast<int>(seen.title.size()))));
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t kind[32] = {};
            GetClassNameW(c, kind, 32);
            if (std::wstring_view(kind) == L"Button") {
                ++seen.buttons;
            } else if (IsWindowVisible(c) && SendMessageW(c, STM_GETICON, 0, 0)) {
                seen.icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
            } else if (GetDlgCtrlID(c) == 0xFFFF) {
                seen.text.resize(static_cast<std::size_t>(GetWindowTextLengthW(c)) + 1);
                seen.text.resize(
                    static_cast<std::size_t>(GetWindowTextW(c, seen.text.data(), static_cast<int>(seen.text.size()))));
            }
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    show();
    KillTimer(nullptr, timer);
    return seen;
}

class WindowTest : public ::testing::Test
{
  protected:
    explicit WindowTest(UINT dpi = USER_DEFAULT_SCREEN_DPI) : dpi_(dpi) {}

    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        // Wine hands out the same few process ids again and again.
        folder_ = std::wstring(temp) + L"qor win32 \u00e9\u4e2d " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++made_);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        GetCurrentDirectoryW(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
        window = MainWindow::create(GetModuleHandleW(nullptr), dpi_);
        ASSERT_NE(window, nullptr) << "no window (error " << GetLastError()
                                   << "): is a Wine display driver (or Graphics=null) set up?";
        window->setMessagePresenter([this](HWND owner, std::wstring_view text, MessageKind) {
            messages.emplace_back(text);
            owners.push_back(owner);
        });
    }

    void TearDown() override
    {
        if (window)
            DestroyWindow(window->handle());
        SetCurrentDirectoryW(previous_);
        DeleteFileW((folder_ + L"\\description.ext").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    HWND at(ControlId id) const { return window->control(id); }

    // The control's rectangle in the window's client coordinates.
    static RECT placeOf(HWND control)
    {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&r), 2);
        return r;
    }

    static std::wstring textOf(HWND control)
    {
        wchar_t text[512] = {};
        GetWindowTextW(control, text, 512);
        return text;
    }

    MainWindow *window = nullptr;
    std::vector<std::wstring> messages;
    std::vector<HWND> owners;

  private:
    UINT dpi_;
    std::wstring folder_;
    wchar_t previous_[MAX_PATH] = {};
    static inline int made_ = 0;
};

} // namespace qor::win32::test
