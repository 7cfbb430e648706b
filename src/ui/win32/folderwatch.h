#pragma once
// The working folder watched for another program's changes, as the Qt
// window watches it: the system's change notification for the folder (a
// name made, removed or renamed over, a write, a new size) waited on by a
// thread of its own, which only posts folderChangedMessage to the window.
// The window gathers them on a timer and asks the core once.

#include <windows.h>

#include <string>

namespace qor::win32
{

inline constexpr UINT folderChangedMessage = WM_APP + 2;

class FolderWatch
{
  public:
    FolderWatch() = default;
    ~FolderWatch() { stop(); }
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    // Watches `folder` for `window` from now on; any earlier folder no more.
    // False where the system offers no notification for it (the window then
    // learns of changes at the next press, as before).
    bool start(HWND window, const std::wstring &folder);
    void stop();

  private:
    static DWORD WINAPI wait(void *self);

    HWND window_ = nullptr;
    HANDLE change_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

} // namespace qor::win32
