// The Windows program: reads its command line, enters the folder, and runs
// the one window until it is closed.
#include "ui/win32/start.h"
#include "ui/win32/text.h"
#include "ui/win32/window.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    // The manifest says the same; this covers a copy started without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    using qor::StartRequest;
    const qor::win32::Start start = qor::win32::readCommandLine(GetCommandLineW());
    if (start.request.action != StartRequest::Action::ShowWindow) {
        const bool printed = start.request.action == StartRequest::Action::Print;
        qor::win32::report(qor::win32::wide(start.request.text), !printed);
        return printed ? 0 : qor::usageStatus;
    }
    if (start.request.hasFolder) {
        const std::wstring refused = qor::win32::enterFolder(start.folder);
        if (!refused.empty()) {
            qor::win32::report(refused, true);
            return qor::usageStatus;
        }
    }

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    qor::win32::MainWindow *window = qor::win32::MainWindow::create(instance);
    if (!window)
        return 1;
    window->quitOnClose();
    window->openMission(qor::win32::currentFolder(), start.request.startValues);
    if (start.request.hasFolder)
        window->rememberFolder();
    ShowWindow(window->handle(), show);
    UpdateWindow(window->handle());

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return static_cast<int>(message.wParam);
}
