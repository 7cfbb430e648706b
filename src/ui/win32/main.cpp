// The Windows program: reads its command line, enters the folder, and runs
// the one window until it is closed.
#include "start/commandline.h"
#include "ui/win32/start.h"
#include "ui/win32/window.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    // The manifest says the same; this covers a copy started without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    using qor::win32::StartRequest;
    const StartRequest start = qor::win32::readCommandLine(GetCommandLineW());
    if (start.action != StartRequest::Action::ShowWindow) {
        const bool printed = start.action == StartRequest::Action::Print;
        qor::win32::report(start.text, !printed);
        return printed ? 0 : qor::usageStatus;
    }
    if (start.hasFolder) {
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
    window->openMission(qor::win32::currentFolder(), start.startValues);
    if (start.hasFolder)
        qor::win32::rememberFolder(qor::win32::currentFolder());
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
