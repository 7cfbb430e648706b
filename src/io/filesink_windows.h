#pragma once
// The system calls through which the Windows sink writes and flushes, so that
// a test can make one of them fail for real (a full disk, a flush that reports
// an I/O error) while everything else runs as it does for the user.

#include <windows.h>

namespace qor
{

struct SystemCalls {
    BOOL(WINAPI *writeFile)(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
    BOOL(WINAPI *flushFileBuffers)(HANDLE file);
};

// The system's own calls.
const SystemCalls &systemCalls();

} // namespace qor
