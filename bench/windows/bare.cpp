// The start-up floor for the program's window: the same controls (classes,
// count and places) in one top-level window, with the system's font and
// colours, no folder read, nothing drawn by the program itself and no
// subclassing. What the program's first frame costs beyond this is its own.
#include "catalogue/catalogue.h"
#include "layout/layout.h"
#include "layout/texts.h"

#include <windows.h>

#include <string>

namespace
{

using namespace qor;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring wide(std::string_view text)
{
    std::wstring out(text.size(), L'\0');
    out.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            out.data(), static_cast<int>(out.size()))));
    return out;
}

void child(HWND parent, const wchar_t *kind, std::string_view text, DWORD style, DWORD exStyle, layout::Twips at)
{
    CreateWindowExW(exStyle, kind, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, layout::toPixels(at.left),
                    layout::toPixels(at.top), layout::toPixels(at.width), layout::toPixels(at.height), parent, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"bare";
    if (!RegisterClassExW(&windowClass))
        return 1;

    // The canvas and a status band below it, as the program's window opens.
    const layout::Twips band{0, layout::clientArea.height, layout::clientArea.width, 480};
    RECT outer{0, 0, layout::toPixels(layout::clientArea.width),
               layout::toPixels(layout::clientArea.height + band.height)};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"bare", style, CW_USEDEFAULT, CW_USEDEFAULT,
                        outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;

    constexpr DWORD tick = WS_TABSTOP | BS_AUTOCHECKBOX;
    constexpr DWORD line = WS_TABSTOP | ES_AUTOHSCROLL;
    for (int slot = 0; slot < checkBoxCount; ++slot)
        child(window, L"BUTTON", catalogue[static_cast<std::size_t>(slot)].caption, tick, 0,
              layout::items.check[static_cast<std::size_t>(slot)]);
    for (const layout::BriefingRow &row : layout::briefing)
        child(window, L"BUTTON", row.caption, tick, 0, layout::briefingBox(row));
    // Each box with its empty-sized label, as the program names its boxes.
    for (int slot = 0; slot < slotCount; ++slot) {
        child(window, L"EDIT", "1", line, 0, layout::items.count[static_cast<std::size_t>(slot)]);
        child(window, L"STATIC", "count", 0, 0, {});
    }
    for (const layout::Twips &box : {layout::txti1Box, layout::txti2Box}) {
        child(window, L"EDIT", "", line, WS_EX_CLIENTEDGE, box);
        child(window, L"STATIC", "script", 0, 0, {});
    }
    child(window, L"EDIT", "\"", WS_DISABLED, WS_EX_CLIENTEDGE, layout::txttBox);
    child(window, L"BUTTON", layout::cmdCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, layout::cmdBox);
    child(window, L"STATIC", "", SS_NOPREFIX, 0,
          {band.left, band.top, band.width - layout::folderButtonWidth, band.height});
    child(window, L"BUTTON", layout::folderCaption, WS_TABSTOP | BS_PUSHBUTTON, 0,
          {band.width - layout::folderButtonWidth, band.top, layout::folderButtonWidth, band.height});
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
