// description.ext as the Windows reader finds it: each way the system can
// refuse it, told apart, with the system's reason where there is one.
#include "io/snapshot.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace qor
{
namespace
{

using State = Snapshot::State;

// What stands at the name; a handle the test keeps open while reading.
HANDLE make(State state)
{
    switch (state) {
    case State::Missing:
        return nullptr;
    case State::Read:
        test::writeFile("description.ext", "class Weapons\r\n");
        return nullptr;
    case State::NotAFile:
        CreateDirectoryW(L"description.ext", nullptr);
        return nullptr;
    case State::Unreadable: // another program holds it and shares nothing
        test::writeFile("description.ext", "x");
        return CreateFileW(L"description.ext", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    case State::TooLarge: { // refused by its size, before a byte is read
        HANDLE f = CreateFileW(L"description.ext", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(maxFileSize) + 1;
        SetFilePointerEx(f, end, nullptr, FILE_BEGIN);
        SetEndOfFile(f);
        CloseHandle(f);
        return nullptr;
    }
    }
    return nullptr;
}

TEST(SnapshotOnWindows, EachRefusalToldApart)
{
    wchar_t previous[MAX_PATH], temp[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qor snapshot " + std::to_wstring(GetCurrentProcessId());
    for (const State state : {State::Missing, State::Read, State::NotAFile, State::Unreadable, State::TooLarge}) {
        SCOPED_TRACE(static_cast<int>(state));
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
        const HANDLE held = make(state);
        const Snapshot s = readSnapshot("description.ext", Reading::Whole);
        EXPECT_EQ(s.state, state);
        EXPECT_EQ(!s.reason.empty(), state == State::Unreadable) << s.reason;
        if (held && held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        DeleteFileW(L"description.ext");
        RemoveDirectoryW(L"description.ext");
        SetCurrentDirectoryW(previous);
        RemoveDirectoryW(folder.c_str());
    }
}

} // namespace
} // namespace qor
