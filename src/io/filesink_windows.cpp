#include "io/filesink.h"

#include "io/filesink_windows.h"
#include "io/openedfile.h"
#include "io/systemreason.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>

namespace qor
{

namespace
{

// Owns one handle; close() returns CloseHandle's own result.
class Handle
{
  public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(Handle &&other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Handle &operator=(Handle &&other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~Handle() { close(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool close()
    {
        const BOOL closed = valid() ? CloseHandle(handle_) : TRUE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

  private:
    HANDLE handle_;
};

// For messages only: a lone surrogate in a name becomes U+FFFD here, while
// the system calls get the wide name itself.
std::string utf8(std::wstring_view wide)
{
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

// The name resolved against the working folder, the way the system resolves
// it in every call that takes a relative name. Empty on failure.
std::wstring fullPath(const std::wstring &name)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(name.c_str(), static_cast<DWORD>(path.size()), path.data(), nullptr);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length); // the size asked for, terminator included
    }
}

// A file of a new name beside the target, created exclusively: an existing
// file of that name is never opened, another name is tried instead.
Handle createTemporary(const std::wstring &target, std::wstring &temporary, DWORD flags)
{
    static std::mt19937_64 engine{std::random_device{}() ^ (std::uint64_t{GetCurrentProcessId()} << 32)};
    static constexpr wchar_t digits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + L'.';
        for (std::uint64_t z = engine(), n = 0; n < 10; ++n, z /= 36)
            temporary += digits[z % 36];
        temporary += L".tmp";
        Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW, flags,
                                nullptr));
        if (file.valid() || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS))
            return file;
    }
    return Handle();
}

// Attributes a user sets on the file and the new file carries on. Read-only
// is refused before this; the rest describe the new file itself.
constexpr DWORD carriedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Puts the written file in place. ReplaceFileW keeps the old file's
// attributes, owner, ACL and streams (it carries the attributes itself too,
// but Wine's stand-in for it does not, hence the copy before).
bool replaceWith(const std::wstring &target, const std::wstring &temporary, bool exists)
{
    if (exists && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return true;
    if (exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    // A new file; or the old one was removed meanwhile.
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
}

} // namespace

const SystemCalls &systemCalls()
{
    static constexpr SystemCalls calls = {::WriteFile, ::FlushFileBuffers};
    return calls;
}

struct FileSink::Impl {
    std::string name;
    const SystemCalls &calls;
    Versions &versions;
    std::wstring target; // full path, from open()
    std::string shownPath;
    std::string error;

    bool fail(DWORD errorCode)
    {
        error = systemReason(errorCode);
        return false;
    }
    bool fail(std::string reason)
    {
        error = std::move(reason);
        return false;
    }

    bool resolve();
    bool mayReplace(bool &exists, DWORD &attributes);
    bool writeAll(HANDLE file, std::string_view bytes);
    bool holdExpected(bool &exists, Handle &held);
    void adoptIdentity(std::string_view bytes);
};

// Opens the old file so that no other program can open it to write, delete
// it or rename another file over it from here to the replace, and checks it
// is the version the press may replace. A program that already holds it
// open for writing keeps that right: the check is then made through a
// handle that shares it.
bool FileSink::Impl::holdExpected(bool &exists, Handle &held)
{
    if (!versions.expected || !exists)
        return true;
    held = Handle(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held.valid() && GetLastError() == ERROR_SHARING_VIOLATION)
        held = Handle(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    Snapshot now;
    if (held.valid())
        now = detail::snapshotOfOpen(held.get(), Reading::Version);
    else if (GetLastError() == ERROR_FILE_NOT_FOUND)
        exists = false;
    else
        return fail(GetLastError());
    versions.changed = !stillReplaceable(now, *versions.expected);
    return !versions.changed || fail("Another program changed it while it was written");
}

// The replace may give the file in place an identity of the old file's
// (ReplaceFileW keeps some of it): the identity is taken from the file in
// place only where it holds exactly the bytes written, size and time.
void FileSink::Impl::adoptIdentity(std::string_view bytes)
{
    const Handle file(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return;
    const Snapshot now = detail::snapshotOfOpen(file.get(), Reading::Version);
    if (now.state == Snapshot::State::Read && now.size == bytes.size() && now.modified == versions.written.modified &&
        now.hash == versions.written.hash) {
        versions.written.device = now.device;
        versions.written.file = now.file;
    }
}

bool FileSink::Impl::resolve()
{
    const int size = static_cast<int>(name.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
    if (length <= 0)
        return fail(ERROR_NO_UNICODE_TRANSLATION);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, wide.data(), length);
    target = fullPath(wide);
    if (target.empty())
        return fail(GetLastError());
    shownPath = utf8(target);
    return true;
}

// Whether the file may be replaced, asked the way the replacement itself asks:
// a read-only file, a folder of that name, or a file that another program
// holds open without sharing write and delete is refused here, before anything
// is written.
bool FileSink::Impl::mayReplace(bool &exists, DWORD &attributes)
{
    attributes = GetFileAttributesW(target.c_str());
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        attributes = 0;
        return GetLastError() == ERROR_FILE_NOT_FOUND || fail(GetLastError());
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return fail("Is a folder, not a file");
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return fail(ERROR_ACCESS_DENIED);
    const Handle old(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!old.valid())
        return fail(GetLastError());
    return true;
}

bool FileSink::Impl::writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!calls.writeFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

FileSink::FileSink(std::string name, const SystemCalls *calls)
    : impl_(new Impl{std::move(name), calls ? *calls : systemCalls(), versions_, {}, {}, {}})
{
    impl_->shownPath = impl_->name;
}

FileSink::~FileSink() = default;

bool FileSink::open()
{
    Impl &d = *impl_;
    d.error.clear();
    bool exists = false;
    DWORD attributes = 0;
    if (!d.resolve() || !d.mayReplace(exists, attributes))
        return false;
    // Whether the folder takes a new file, asked by making one that the
    // system removes as it is closed, so nothing stays behind even if the
    // program is ended while a message is shown.
    std::wstring probe;
    if (!createTemporary(d.target, probe, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE).valid())
        return d.fail(GetLastError());
    return true;
}

bool FileSink::commit(std::string_view bytes)
{
    Impl &d = *impl_;
    d.versions.changed = false;
    d.versions.written = {};
    if (d.target.empty())
        return d.fail(ERROR_INVALID_HANDLE);
    // Asked again: the file may have changed while messages showed.
    bool exists = false;
    DWORD attributes = 0;
    Handle held;
    if (!d.mayReplace(exists, attributes) || !d.holdExpected(exists, held))
        return false;

    std::wstring temporary;
    Handle file = createTemporary(d.target, temporary, FILE_ATTRIBUTE_NORMAL);
    if (!file.valid())
        return d.fail(GetLastError());
    const DWORD carried = attributes & carriedAttributes;
    bool done = d.writeAll(file.get(), bytes) && d.calls.flushFileBuffers(file.get());
    // The version of these bytes is the written file's own, taken before it
    // has the name another program could put something else under.
    if (done)
        d.versions.written = writtenVersion(detail::snapshotOfOpen(file.get(), Reading::Identity), bytes);
    done = done && file.close() && (carried == 0 || SetFileAttributesW(temporary.c_str(), carried));
    held.close(); // the old file is let go only for the replace itself, which opens it
    done = done && replaceWith(d.target, temporary, exists);
    if (!done) {
        const DWORD failure = GetLastError();
        file.close();
        DeleteFileW(temporary.c_str());
        // A file made meanwhile where there was none is another program's.
        d.versions.changed = d.versions.expected && (failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS);
        return d.versions.changed ? d.fail("Another program changed it while it was written") : d.fail(failure);
    }
    d.adoptIdentity(bytes);
    return true;
}

std::string FileSink::path() const
{
    return impl_->shownPath;
}

std::string FileSink::errorString() const
{
    return impl_->error;
}

// No folder is synced here: putting the file in place is the last step, so
// nothing can fail once it is there.
std::string FileSink::notice() const
{
    return {};
}

} // namespace qor
