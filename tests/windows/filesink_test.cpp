// The Windows sink on a real disk. Each row puts something at description.ext,
// presses the fullest form through the real sink, and checks the message,
// the file on disk and that nothing else is left in the folder. The folder's
// name holds characters no ANSI code page has, so a lossy path fails every row.
#include "io/filesink.h"
#include "io/filesink_windows.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <memory>
#include <set>
#include <windows.h>

namespace qor
{
namespace
{

using namespace test;

const wchar_t fileName[] = L"description.ext";
const std::string oldBytes = "old file\r\n";

std::string utf8(std::wstring_view wide)
{
    const int size = static_cast<int>(wide.size());
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, {}, {})),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), static_cast<int>(out.size()), {}, {});
    return out;
}

std::string systemText(DWORD error)
{
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    std::wstring s = text;
    while (!s.empty() && (std::iswspace(s.back()) || s.back() == L'.'))
        s.pop_back();
    return utf8(s);
}

void writeOld(DWORD attributes)
{
    ASSERT_TRUE(writeFile("description.ext", oldBytes));
    ASSERT_TRUE(SetFileAttributesW(fileName, attributes));
}

std::set<std::wstring> folderNames()
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(L"*", &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (std::wstring_view(found.cFileName) != L"." && std::wstring_view(found.cFileName) != L"..")
            names.insert(found.cFileName);
    FindClose(search);
    return names;
}

// Another program holding description.ext open for reading and sharing only
// reading, as an editor or the game may: this test program started again with
// --hold. It lets go when its input is closed.
class Holder
{
  public:
    Holder()
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE childOut = nullptr, childIn = nullptr;
        CreatePipe(&fromChild_, &childOut, &inherit, 0);
        CreatePipe(&childIn, &toChild_, &inherit, 0);
        SetHandleInformation(fromChild_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(toChild_, HANDLE_FLAG_INHERIT, 0);
        wchar_t self[MAX_PATH * 4];
        GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --hold";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn;
        startup.hStdOutput = childOut;
        startup.hStdError = childOut;
        started_ =
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process_);
        CloseHandle(childOut);
        CloseHandle(childIn);
        char answer = 0;
        DWORD got = 0;
        held_ = started_ && ::ReadFile(fromChild_, &answer, 1, &got, nullptr) && answer == '1';
    }
    ~Holder()
    {
        CloseHandle(toChild_);
        if (started_) {
            WaitForSingleObject(process_.hProcess, INFINITE);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        CloseHandle(fromChild_);
    }
    bool held() const { return held_; }

  private:
    HANDLE fromChild_ = nullptr, toChild_ = nullptr;
    PROCESS_INFORMATION process_ = {};
    BOOL started_ = FALSE;
    bool held_ = false;
};

// The holder's side, in the started program.
int holdFile()
{
    const HANDLE file = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD n = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), file != INVALID_HANDLE_VALUE ? "1" : "0", 1, &n, nullptr);
    char ignored;
    while (::ReadFile(GetStdHandle(STD_INPUT_HANDLE), &ignored, 1, &n, nullptr) && n > 0) {
    }
    CloseHandle(file);
    return 0;
}

// What a row has set up and must last until the press is over.
struct Scene {
    std::unique_ptr<Holder> holder;
    void hold()
    {
        holder = std::make_unique<Holder>();
        ASSERT_TRUE(holder->held());
    }
};

// A disk that fills after the first ten bytes.
BOOL WINAPI fullAfterTenBytes(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    LARGE_INTEGER at = {};
    SetFilePointerEx(file, at, &at, FILE_CURRENT);
    if (at.QuadPart >= 10) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return WriteFile(file, bytes, std::min<DWORD>(size, 10), written, overlapped);
}

BOOL WINAPI flushFails(HANDLE)
{
    SetLastError(ERROR_IO_DEVICE);
    return FALSE;
}

// Runs a step between the sink's open() and its commit(), where a press
// shows its count messages and the world may change.
class Between final : public OutputFile
{
  public:
    Between(OutputFile &inner, std::function<void()> step) : inner_(inner), step_(std::move(step)) {}
    bool open() override
    {
        opened = inner_.open();
        if (opened)
            step_();
        return opened;
    }
    bool commit(std::string_view bytes) override { return inner_.commit(bytes); }
    std::string path() const override { return inner_.path(); }
    std::string errorString() const override { return inner_.errorString(); }
    void expect(const Snapshot &version) override { inner_.expect(version); }
    bool changed() const override { return inner_.changed(); }
    Snapshot written() const override { return inner_.written(); }
    bool opened = false;

  private:
    OutputFile &inner_;
    std::function<void()> step_;
};

using Step = std::function<void(Scene &)>;

struct SinkCase {
    const char *name;
    Step before;          // what stands at description.ext when the press starts
    Step between;         // what changes while count messages would show
    SystemCalls calls;    // the system's, or one that fails
    std::string reason;   // Windows' reason in the message; empty: the press writes
    bool oldFile = true;  // whether description.ext is a file that must be kept
    DWORD attributes = 0; // attributes the file keeps
    bool opens = true;    // false: refused at open(), before any count message
};

void nothing(Scene &) {}
Step oldWith(DWORD attributes)
{
    return [attributes](Scene &) { writeOld(attributes); };
}
void readOnly(Scene &)
{
    ASSERT_TRUE(SetFileAttributesW(fileName, FILE_ATTRIBUTE_READONLY));
}
void held(Scene &scene)
{
    scene.hold();
}
const SystemCalls real = systemCalls();
const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

const SinkCase sinkCases[] = {
    {"NewFile", nothing, nothing, real, "", false},
    {"ReplacedFileKeepsItsAttributes", oldWith(hiddenSystem), nothing, real, "", true, hiddenSystem},
    {"ReadOnlyFile", oldWith(FILE_ATTRIBUTE_READONLY), nothing, real, systemText(ERROR_ACCESS_DENIED), true,
     FILE_ATTRIBUTE_READONLY, false},
    {"MadeReadOnlyWhileMessagesShow", oldWith(FILE_ATTRIBUTE_NORMAL), readOnly, real, systemText(ERROR_ACCESS_DENIED),
     true, FILE_ATTRIBUTE_READONLY},
    {"HeldWithoutShareWrite",
     [](Scene &s) {
         writeOld(FILE_ATTRIBUTE_HIDDEN);
         held(s);
     },
     nothing, real, systemText(ERROR_SHARING_VIOLATION), true, FILE_ATTRIBUTE_HIDDEN, false},
    {"HeldWhileMessagesShow", oldWith(FILE_ATTRIBUTE_NORMAL), held, real, systemText(ERROR_SHARING_VIOLATION)},
    {"FolderOfThatName", [](Scene &) { ASSERT_TRUE(CreateDirectoryW(fileName, nullptr)); }, nothing, real,
     "Is a folder, not a file", false, 0, false},
    {"DiskFullMidWrite",
     oldWith(hiddenSystem),
     nothing,
     {fullAfterTenBytes, FlushFileBuffers},
     systemText(ERROR_DISK_FULL),
     true,
     hiddenSystem},
    {"FlushFails", oldWith(FILE_ATTRIBUTE_NORMAL), nothing, {WriteFile, flushFails}, systemText(ERROR_IO_DEVICE)},
};

void PrintTo(const SinkCase &c, std::ostream *os)
{
    *os << c.name;
}

class FileSinkOnDisk : public ::testing::TestWithParam<SinkCase>
{
  protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        static int counter = 0;
        folder_ = std::wstring(temp) + L"qor \x0416\xD83D\xDE00 " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    }
    void TearDown() override
    {
        scene_.holder.reset();
        for (const auto &name : folderNames()) {
            SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(name.c_str()))
                RemoveDirectoryW(name.c_str());
        }
        SetCurrentDirectoryW(L"..");
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring folder_;
    Scene scene_;
};

TEST_P(FileSinkOnDisk, PressWritesWholeOrKeepsTheOldFileAndSaysWhy)
{
    const SinkCase &c = GetParam();
    c.before(scene_);
    ASSERT_FALSE(HasFatalFailure());

    FormRecord form = fullestForm();
    FormRecord inMemory = fullestForm();
    FileSink sink(utf8(fileName), &c.calls);
    Between file(sink, [&] { c.between(scene_); });
    WindowFields fields;
    const bool written = cmd_Click(form, file, fields);
    scene_.holder.reset();
    EXPECT_EQ(file.opened, c.opens);

    // No temporary file, whatever happened.
    EXPECT_EQ(folderNames(), std::set<std::wstring>{fileName});
    if (c.reason.empty()) {
        EXPECT_TRUE(written);
        EXPECT_EQ(form.messages, std::vector<std::string>());
        EXPECT_EQ(readFile("description.ext"), press(inMemory));
    } else {
        wchar_t working[MAX_PATH * 4];
        GetCurrentDirectoryW(MAX_PATH * 4, working);
        const std::string path = utf8(working) + "\\description.ext"; // backslashes, as Windows names it
        EXPECT_FALSE(written);
        EXPECT_EQ(form.messages, std::vector<std::string>{"Cannot write " + path + ": " + c.reason});
        EXPECT_EQ(readFile("description.ext"), c.oldFile ? oldBytes : "<missing>");
    }
    if (c.oldFile) {
        EXPECT_EQ(GetFileAttributesW(fileName) & (hiddenSystem | FILE_ATTRIBUTE_READONLY), c.attributes);
    }
}

// Told the version the press may replace, the sink keeps another program's
// save made after that look, and a file made where there was none; the
// version it reports written is the one a reader then finds.
TEST_F(FileSinkOnDisk, OnlyTheVersionExpectedIsReplaced)
{
    const std::string theirs = "another program's\r\n";
    const auto version = [] { return snapshotOf("description.ext", Reading::Version); };
    const struct {
        const char *name;
        bool before; // a file there when the press looks
    } rows[] = {{"a save after the look", true}, {"a file made after the look", false}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        DeleteFileW(fileName);
        if (r.before)
            writeOld(FILE_ATTRIBUTE_NORMAL);
        FileSink sink("description.ext");
        ASSERT_TRUE(sink.open());
        sink.expect(version());
        ASSERT_TRUE(writeFile("description.ext", theirs));
        EXPECT_FALSE(sink.commit("ours\r\n"));
        EXPECT_TRUE(sink.changed());
        EXPECT_EQ(readFile("description.ext"), theirs);

        sink.expect(version());
        EXPECT_TRUE(sink.commit("ours\r\n"));
        EXPECT_FALSE(sink.changed());
        EXPECT_EQ(readFile("description.ext"), "ours\r\n");
        EXPECT_TRUE(sink.written().sameVersion(version()));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FileSinkOnDisk, ::testing::ValuesIn(sinkCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor

int main(int argc, char **argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "--hold")
        return qor::holdFile();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
