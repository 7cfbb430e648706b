#include "ui/win32/folderwatch.h"

namespace qor::win32
{

bool FolderWatch::start(HWND window, const std::wstring &folder)
{
    stop();
    window_ = window;
    change_ = FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
    if (change_ == INVALID_HANDLE_VALUE)
        return false;
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = stop_ ? CreateThread(nullptr, 0, &FolderWatch::wait, this, 0, nullptr) : nullptr;
    if (!thread_) {
        stop();
        return false;
    }
    return true;
}

void FolderWatch::stop()
{
    if (thread_) {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (stop_) {
        CloseHandle(stop_);
        stop_ = nullptr;
    }
    if (change_ != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(change_);
        change_ = INVALID_HANDLE_VALUE;
    }
}

// The thread touches nothing of the window's but its message queue.
DWORD WINAPI FolderWatch::wait(void *self)
{
    auto &w = *static_cast<FolderWatch *>(self);
    const HANDLE events[] = {w.stop_, w.change_};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        PostMessageW(w.window_, folderChangedMessage, 0, 0);
        if (!FindNextChangeNotification(w.change_))
            break;
    }
    return 0;
}

} // namespace qor::win32
