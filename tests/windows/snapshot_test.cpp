// description.ext as the Windows reader finds it: each way the system can
// refuse it, told apart, with the system's reason where there is one.
#include "io/snapshot.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

namespace qor
{
namespace
{

using State = Snapshot::State;

struct Case {
    const char *name;
    std::function<HANDLE()> make; // what stands at the name; a handle to keep open, or null
    State state;
    bool reason;
};

HANDLE nothingHeld()
{
    return nullptr;
}

const Case cases[] = {
    {"Missing", nothingHeld, State::Missing, false},
    {"APlainFile",
     [] {
         test::writeFile("description.ext", "class Weapons\r\n");
         return nullptr;
     },
     State::Read, false},
    {"AFolder",
     [] {
         CreateDirectoryW(L"description.ext", nullptr);
         return nullptr;
     },
     State::NotAFile, false},
    // Another program holds it open and shares nothing.
    {"HeldWithoutSharing",
     [] {
         test::writeFile("description.ext", "x");
         return CreateFileW(L"description.ext", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
     },
     State::Unreadable, true},
    // Larger than any mission file: refused by its size, before a byte is read.
    {"LargerThanTheLimit",
     [] {
         HANDLE f =
             CreateFileW(L"description.ext", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
         LARGE_INTEGER end;
         end.QuadPart = static_cast<LONGLONG>(maxFileSize) + 1;
         SetFilePointerEx(f, end, nullptr, FILE_BEGIN);
         SetEndOfFile(f);
         CloseHandle(f);
         return nullptr;
     },
     State::TooLarge, false},
};

TEST(SnapshotOnWindows, EachRefusalToldApart)
{
    wchar_t previous[MAX_PATH], temp[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    GetTempPathW(MAX_PATH, temp);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring folder = std::wstring(temp) + L"qor snapshot " + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
        const HANDLE held = c.make();
        const Snapshot s = readSnapshot("description.ext");
        EXPECT_EQ(s.state, c.state);
        EXPECT_EQ(!s.reason.empty(), c.reason) << s.reason;
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
