// The Windows program: reads its command line, enters the folder, and runs
// the one window until it is closed.
#include "start/launch.h"
#include "ui/win32/start.h"
#include "ui/win32/window.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    // The manifest says the same; this covers a copy started without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    const qor::Launch start = qor::launch(qor::win32::readCommandLine(GetCommandLineW()), qor::win32::report);
    if (start.exitStatus)
        return *start.exitStatus;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    qor::win32::MainWindow *window = qor::win32::MainWindow::create(instance);
    if (!window)
        return 1;
    window->quitOnClose();
    qor::openAtStart(*window, start);
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
