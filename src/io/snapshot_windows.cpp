#include "io/openedfile.h"
#include "io/readwhole.h"
#include "io/snapshot.h"
#include "io/systemreason.h"

#include <windows.h>

#include <utility>

namespace qor
{

namespace
{

std::wstring wide(const std::string &utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

Snapshot unreadable(Snapshot s, DWORD error)
{
    s.state = Snapshot::State::Unreadable;
    s.reason = systemReason(error);
    s.bytes.clear();
    return s;
}

std::string narrow(const std::wstring &text)
{
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string currentFolder()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(n, L'\0');
    folder.resize(GetCurrentDirectoryW(n, folder.data()));
    return narrow(folder);
}

// The path the system resolves an open handle to, without "\\?\".
std::wstring finalPath(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (n >= path.size()) {
        path.resize(n);
        n = GetFinalPathNameByHandleW(handle, path.data(), n, FILE_NAME_NORMALIZED);
    }
    path.resize(n < path.size() ? n : 0);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        path.erase(0, 4);
    return path;
}

// description.ext is a link (a reparse point): where the opened file lies,
// and whether that is another folder.
void followLink(HANDLE file, Snapshot &s)
{
    const std::wstring target = finalPath(file);
    s.linkTarget = narrow(target);
    const HANDLE here = CreateFileW(L".", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    std::wstring folder;
    if (here != INVALID_HANDLE_VALUE) {
        folder = finalPath(here);
        CloseHandle(here);
    }
    const std::size_t slash = target.rfind(L'\\');
    s.outsideFolder = slash == std::wstring::npos || folder.empty() ||
                      CompareStringOrdinal(target.data(), static_cast<int>(slash), folder.data(),
                                           static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL;
}

} // namespace

Snapshot readSnapshot(const std::string &name, Reading reading)
{
    const std::wstring path = wide(name);
    Snapshot s;
    s.folder = currentFolder();
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? s : unreadable(s, error);
    }
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        s.state = Snapshot::State::NotAFile;
        s.kind = Snapshot::Kind::Folder;
        return s;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return unreadable(s, GetLastError());
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        followLink(file, s);
    Snapshot opened = detail::snapshotOfOpen(file, reading);
    CloseHandle(file);
    // Where it was looked for stays the path's: the rest is the file's own.
    return placed(std::move(opened), s);
}

Snapshot detail::snapshotOfOpen(HANDLE file, Reading reading)
{
    Snapshot s;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info) || GetFileType(file) != FILE_TYPE_DISK) {
        const DWORD error = GetLastError();
        if (error == NO_ERROR) {
            s.state = Snapshot::State::NotAFile;
            s.kind = Snapshot::Kind::Device;
            return s;
        }
        return unreadable(s, error);
    }
    s.device = info.dwVolumeSerialNumber;
    s.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    s.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    s.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                           info.ftLastWriteTime.dwLowDateTime);
    if (s.size > maxFileSize) {
        s.state = Snapshot::State::TooLarge;
        return s;
    }
    DWORD error = NO_ERROR;
    const bool read = detail::readWhole(s, reading, [&](char *buffer, std::size_t room) -> long long {
        DWORD n = 0;
        if (::ReadFile(file, buffer, static_cast<DWORD>(room), &n, nullptr))
            return n;
        error = GetLastError();
        return -1;
    });
    if (!read)
        return unreadable(std::move(s), error);
    return s;
}

std::int64_t secondsSince1970(std::int64_t modified)
{
    // Hundreds of nanoseconds since 1601.
    return (modified - 116'444'736'000'000'000) / 10'000'000;
}

} // namespace qor
