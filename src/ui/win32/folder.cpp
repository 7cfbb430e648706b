// The mission folder from the window: the status band below the canvas, the
// system's folder chooser, and the question before a press or a change of
// folder.
#include "ui/win32/window.h"

#include "io/workfolder.h"
#include "layout/texts.h"
#include "ui/win32/controls.h"
#include "ui/win32/text.h"

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
    const int top = client.bottom - band;
    // The status line reaches the button: its margin is inside it. The
    // button keeps the band's lowest height, at its top.
    MoveWindow(status_, 0, top, std::max<int>(0, client.right - button), band, TRUE);
    MoveWindow(folderButton_, client.right - button, top, button,
               layout::statusBandPixels(1, 0, static_cast<int>(dpi_)), TRUE);
}

class RegistryDesk final : public SystemDesk
{
  public:
    explicit RegistryDesk(const MainWindow &window) : w_(window) {}

    Answer ask(const Question &question) override { return w_.asker_(w_.handle(), question); }

    std::vector<std::string> storedFolders() const override
    {
        std::vector<std::string> folders;
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, settingsKey, recentValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS)
            return folders;
        std::wstring all(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegGetValueW(HKEY_CURRENT_USER, settingsKey, recentValue, RRF_RT_REG_MULTI_SZ, nullptr, all.data(),
                         &bytes) != ERROR_SUCCESS)
            return folders;
        for (std::size_t at = 0; at < all.size() && all[at] != L'\0';) {
            const std::size_t end = all.find(L'\0', at);
            folders.push_back(utf8(all.substr(at, end - at)));
            at = end + 1;
        }
        return folders;
    }

    void storeFolders(const std::vector<std::string> &folders) override
    {
        std::wstring all;
        for (const std::string &f : folders)
            all += wide(f) + L'\0';
        all += L'\0';
        RegSetKeyValueW(HKEY_CURRENT_USER, settingsKey, recentValue, REG_MULTI_SZ, all.data(),
                        static_cast<DWORD>(all.size() * sizeof(wchar_t)));
    }

  private:
    static constexpr wchar_t settingsKey[] = L"Software\\qorgenerator";
    static constexpr wchar_t recentValue[] = L"RecentFolders";

    const MainWindow &w_;
};

std::unique_ptr<Desk> registryDesk(const MainWindow &window)
{
    return std::make_unique<RegistryDesk>(window);
}

void MainWindow::chooseFolder()
{
    IFileOpenDialog *dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return;
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(wide(layout::chooserTitle).c_str());
    // Opens where the window works now.
    IShellItem *here = nullptr;
    if (SUCCEEDED(SHCreateItemFromParsingName(wide(workingFolder()).c_str(), nullptr, IID_PPV_ARGS(&here)))) {
        dialog->SetFolder(here);
        here->Release();
    }
    // The folders worked in lately, most recent on top.
    const std::vector<std::wstring> recent = recentFolders();
    for (auto f = recent.rbegin(); f != recent.rend(); ++f) {
        IShellItem *place = nullptr;
        if (SUCCEEDED(SHCreateItemFromParsingName(f->c_str(), nullptr, IID_PPV_ARGS(&place)))) {
            dialog->AddPlace(place, FDAP_TOP);
            place->Release();
        }
    }
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
    // However the chooser closed, the keys come back to the button that opened it.
    SetFocus(folderButton_);
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
        message += L"\n\n" + wide(layout::buttonsInWords(question.acceptLabel, loadLabel, cancelLabel));
        const int pressed = MessageBoxW(owner, message.c_str(), title.c_str(), MB_YESNOCANCEL | MB_DEFBUTTON3);
        return pressed == IDYES ? Answer::Replace : pressed == IDNO ? Answer::Load : Answer::Cancel;
    }
    message += L"\n\n" + wide(layout::buttonsInWords(question.acceptLabel, {}, cancelLabel));
    return MessageBoxW(owner, message.c_str(), title.c_str(), MB_OKCANCEL | MB_DEFBUTTON2) == IDOK ? Answer::Replace
                                                                                                   : Answer::Cancel;
}

} // namespace qor::win32
