// The mission folder from the window: the status band below the canvas, the
// system's folder chooser, and the question before a press or a change of
// folder.
#include "window.h"

#include "controls.h"
#include "layout/texts.h"
#include "text.h"

#include <commctrl.h>
#include <shobjidl.h>

namespace qor::win32
{

void MainWindow::placeStatusBand()
{
    RECT client;
    GetClientRect(window_, &client);
    const int band = statusBand();
    const int button = MulDiv(layout::folderButtonWidth, static_cast<int>(dpi_), 1440);
    const int margin = MulDiv(4, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    const int top = client.bottom - band;
    MoveWindow(status_, margin, top, std::max<int>(0, client.right - button - 2 * margin), band, TRUE);
    MoveWindow(folderButton_, client.right - button, top, button, band, TRUE);
}

void MainWindow::chooseFolder()
{
    IFileOpenDialog *dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return;
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    std::wstring chosen;
    if (SUCCEEDED(dialog->Show(window_))) {
        IShellItem *item = nullptr;
        if (SUCCEEDED(dialog->GetResult(&item))) {
            wchar_t *path = nullptr;
            if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
                chosen = path;
                CoTaskMemFree(path);
            }
            item->Release();
        }
    }
    dialog->Release();
    if (!chosen.empty())
        switchFolder(chosen);
}

namespace
{

enum : int { replaceButton = 100, loadButton = 101 };

using TaskDialogFunction = HRESULT(WINAPI *)(const TASKDIALOGCONFIG *, int *, int *, BOOL *);

// Task dialogs come with common controls 6, which only a manifest brings;
// without one the plain message box asks instead.
TaskDialogFunction taskDialog()
{
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    FARPROC f = controls ? GetProcAddress(controls, "TaskDialogIndirect") : nullptr;
    return reinterpret_cast<TaskDialogFunction>(reinterpret_cast<void (*)()>(f));
}

} // namespace

Answer askInTaskDialog(HWND owner, const Question &question)
{
    const std::wstring title = wide(layout::applicationTitle), text = wide(question.text),
                       details = wide(question.details), accept = wide(question.acceptLabel), load = wide(loadLabel);
    if (TaskDialogFunction show = taskDialog()) {
        std::vector<TASKDIALOG_BUTTON> buttons{{replaceButton, accept.c_str()}};
        if (question.offerLoad)
            buttons.push_back({loadButton, load.c_str()});
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = owner;
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
        config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
        config.pszWindowTitle = title.c_str();
        config.pszContent = text.c_str();
        config.pszExpandedInformation = details.empty() ? nullptr : details.c_str();
        config.cButtons = static_cast<UINT>(buttons.size());
        config.pButtons = buttons.data();
        config.nDefaultButton = IDCANCEL;
        int pressed = IDCANCEL;
        if (SUCCEEDED(show(&config, &pressed, nullptr, nullptr)))
            return pressed == replaceButton ? Answer::Replace : pressed == loadButton ? Answer::Load : Answer::Cancel;
    }
    std::wstring message = text + (details.empty() ? L"" : L"\n\n" + details);
    if (question.offerLoad) {
        message += L"\n\nYes: " + accept + L". No: " + load + L". Cancel: " + wide(cancelLabel) + L".";
        const int pressed = MessageBoxW(owner, message.c_str(), title.c_str(), MB_YESNOCANCEL | MB_DEFBUTTON3);
        return pressed == IDYES ? Answer::Replace : pressed == IDNO ? Answer::Load : Answer::Cancel;
    }
    message += L"\n\nOK: " + accept + L". Cancel: " + wide(cancelLabel) + L".";
    return MessageBoxW(owner, message.c_str(), title.c_str(), MB_OKCANCEL | MB_DEFBUTTON2) == IDOK ? Answer::Replace
                                                                                                   : Answer::Cancel;
}

} // namespace qor::win32
