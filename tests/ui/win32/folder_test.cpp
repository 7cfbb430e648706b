// The window working on a mission folder: the form read from the folder's
// description.ext, the status line, the question before a press drops
// anything, and a change of folder.
#include "mission/messagetext.h"
#include "press/startvalues.h"
#include "testutil.h"
#include "ui/win32/text.h"
#include "windowfixture.h"

#include <algorithm>
#include <cstdio>

namespace qor::win32::test
{
namespace
{

using namespace qor::test;

class FolderTest : public WindowTest
{
  protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        window->setQuestionPresenter([this](HWND owner, const Question &q) {
            questions.push_back(q.text);
            EXPECT_EQ(owner, window->handle());
            return answer;
        });
    }

    std::string status() const { return utf8(textOf(window->statusLine())); }

    std::vector<std::string> questions;
    Answer answer = Answer::Cancel;
};

void pressReturn(MainWindow &window)
{
    SendMessageW(window.button(), WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(FolderTest, AFileThePressWroteComesBackIntoTheFormAndPressesAgainUnasked)
{
    const std::string fullest = readFile(QOR_TEST_DATA "/fullest.ext");
    ASSERT_TRUE(writeFile("description.ext", fullest));
    window->openWorkingFolder(false, L"C:\\mission");
    EXPECT_EQ(window->value(wep(0)), ticked);
    EXPECT_EQ(window->value(chki(2)), ticked);
    EXPECT_EQ(textOf(at(cant(0))), L"1");
    // The status names the folder as the system names it now, where the file is.
    EXPECT_NE(status().find(": Read description.ext"), std::string::npos) << status();

    pressReturn(*window);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(readFile("description.ext"), fullest);
    EXPECT_NE(status().find("Wrote description.ext"), std::string::npos) << status();
}

// A load sets only the boxes whose text it changes: the others keep their
// selection (and caret and undo) as the user left them.
TEST_F(FolderTest, ALoadLeavesTheBoxesItDoesNotChangeAsTheyWere)
{
    ASSERT_TRUE(writeFile("description.ext", readFile(QOR_TEST_DATA "/fullest.ext")));
    window->openWorkingFolder(false, L"C:\\mission");
    HWND kept = at(cant(0));
    HWND typedIn = at(cant(1));
    const std::wstring inFile = textOf(typedIn);
    ASSERT_NE(inFile, L"9");
    SendMessageW(kept, EM_SETSEL, 0, -1);
    SetWindowTextW(typedIn, L"9");

    window->openWorkingFolder(false, L"C:\\mission");
    EXPECT_EQ(textOf(typedIn), inFile);
    DWORD from = 1, to = 0;
    SendMessageW(kept, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, textOf(kept).size());
}

// Runs the window's messages until `done` or `longest` milliseconds; the
// milliseconds it took, or -1.
template <typename Done> long long pumpUntil(Done done, ULONGLONG longest = 5000)
{
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start > longest)
            return -1;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(2);
    }
    return static_cast<long long>(GetTickCount64() - start);
}

// Another program's save, renamed over the file or written into it: a form
// as read takes it and says so; a form with a change of the user's keeps it
// and says the file changed; the press's own write is no news.
TEST_F(FolderTest, AnotherProgramsSaveIsFollowed)
{
    FormRecord read, theirs;
    tick(read, "M16", "4");
    tick(theirs, "M16", "6");
    const std::string changedOnDisk = "description.ext changed on disk";
    for (const bool typedFirst : {false, true}) {
        for (const bool byRename : {true, false}) {
            SCOPED_TRACE(std::string(typedFirst ? "typed, " : "as read, ") + (byRename ? "renamed" : "in place"));
            ASSERT_TRUE(writeFile("description.ext", qor::test::press(read)));
            window->openWorkingFolder(false, L"C:\\mission");
            if (typedFirst)
                SetWindowTextW(at(txti2), L"typed.sqs");
            if (byRename) {
                ASSERT_TRUE(writeFile("theirs.tmp", qor::test::press(theirs)));
                ASSERT_TRUE(MoveFileExW(L"theirs.tmp", L"description.ext", MOVEFILE_REPLACE_EXISTING));
            } else {
                ASSERT_TRUE(writeFile("description.ext", qor::test::press(theirs)));
            }
            const long long took = pumpUntil([&] { return status().find(changedOnDisk) != std::string::npos; });
            std::printf("%s after %lld ms\n", status().c_str(), took);
            ASSERT_GE(took, 0) << status();
            EXPECT_EQ(textOf(at(cant(slotOf("M16")))), typedFirst ? L"4" : L"6");
            EXPECT_EQ(textOf(at(txti2)), typedFirst ? L"typed.sqs" : L"");
            EXPECT_NE(status().find(typedFirst ? "the form keeps the values you changed" : "loaded (M 16 (count)"),
                      std::string::npos)
                << status();
        }
    }
    answer = Answer::Replace;
    pressReturn(*window);
    ASSERT_NE(status().find("Wrote description.ext"), std::string::npos) << status();
    EXPECT_EQ(pumpUntil([&] { return status().find("Wrote") == std::string::npos; }, 500), -1) << status();
}

TEST_F(FolderTest, KeptLinesAskNothingAndClosingWithValuesNotWrittenAsks)
{
    const std::string handEdited = readFile(QOR_TEST_DATA "/start.ext") + "respawn = 3;\r\n";
    ASSERT_TRUE(writeFile("description.ext", handEdited));
    window->openWorkingFolder(false, L"C:\\mission");
    pressReturn(*window);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(readFile("description.ext"), handEdited);
    EXPECT_NE(status().find("Wrote description.ext, "), std::string::npos) << status();

    window->setValue(wep(5), ticked);
    SendMessageW(window->handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(IsWindow(window->handle())) << "Cancel keeps the window";
}

TEST_F(FolderTest, LinesThatContradictTheFormAreAskedAboutOnceAndCancelKeepsTheFile)
{
    const std::string handEdited = readFile(QOR_TEST_DATA "/start.ext") + "showMap=0;\r\n";
    ASSERT_TRUE(writeFile("description.ext", handEdited));
    window->openWorkingFolder(false, L"C:\\mission");
    EXPECT_NE(status().find("line"), std::string::npos) << status();

    answer = Answer::Cancel;
    pressReturn(*window);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(readFile("description.ext"), handEdited);

    answer = Answer::Replace;
    pressReturn(*window);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(readFile("description.ext"), readFile(QOR_TEST_DATA "/start.ext"));

    pressReturn(*window);
    EXPECT_EQ(questions.size(), 2u) << "asked again after a Replace";
}

TEST_F(FolderTest, StartValuesLeaveTheFileUnread)
{
    ASSERT_TRUE(writeFile("description.ext", readFile(QOR_TEST_DATA "/fullest.ext")));
    window->openWorkingFolder(true, L"C:\\mission");
    EXPECT_EQ(window->value(wep(0)), startTick);
    EXPECT_EQ(textOf(at(cant(0))), wide(startCount));
}

TEST_F(FolderTest, ValuesNotYetWrittenAreAskedAboutBeforeAnotherFolder)
{
    window->openWorkingFolder(false, L"here");
    wchar_t here[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, here);
    const std::wstring other = std::wstring(here) + L"\\other \u00e9";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(other.c_str()));
    ASSERT_TRUE(writeFile("description.ext", readFile(QOR_TEST_DATA "/fullest.ext")));
    ASSERT_TRUE(SetCurrentDirectoryW(here));

    window->setValue(wep(3), ticked); // not yet written
    answer = Answer::Cancel;
    EXPECT_FALSE(window->switchFolder(other));
    EXPECT_EQ(questions.size(), 1u);
    wchar_t now[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, now);
    EXPECT_EQ(std::wstring(now), std::wstring(here));
    EXPECT_EQ(window->value(wep(3)), ticked);

    answer = Answer::Replace;
    EXPECT_TRUE(window->switchFolder(other));
    EXPECT_EQ(textOf(at(cant(0))), L"1"); // the other folder's form
    EXPECT_EQ(status().rfind(utf8(other) + ": Read description.ext", 0), 0u) << status();
    // Offered first in the folder chooser next time.
    ASSERT_FALSE(window->recentFolders().empty());
    EXPECT_EQ(window->recentFolders().front(), other);
    DeleteFileW(L"description.ext");
    SetCurrentDirectoryW(here);
    RemoveDirectoryW(other.c_str());

    // A folder that cannot be entered changes nothing; the status says why.
    window->setValue(wep(3), ticked);
    EXPECT_FALSE(window->switchFolder(L"Z:\\no such folder"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(status().rfind("Z:\\no such folder cannot be opened (", 0), 0u) << status();
    EXPECT_EQ(window->value(wep(3)), ticked);
}

// A path longer than a line of the box, in the real box: fitted by the core
// (a break every so often, both ends kept), shown whole.
TEST_F(FolderTest, ALongMessageReachesTheBoxFitted)
{
    wchar_t here[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, here);
    const std::wstring deep = std::wstring(here) + L"\\" + std::wstring(150, L'x');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(deep.c_str()));
    ASSERT_TRUE(CreateDirectoryW(L"description.ext", nullptr)); // no file can replace it
    window->setMessagePresenter(showMessageBox);
    const ShownBox seen = closeNextBox([this] { pressReturn(*window); });
    RemoveDirectoryW(L"description.ext");
    SetCurrentDirectoryW(here);
    RemoveDirectoryW(deep.c_str());

    const std::string text = utf8(seen.text);
    EXPECT_EQ(text.rfind("Cannot write ", 0), 0u) << text;
    EXPECT_EQ(text, fitForMessageBox(text)); // no run left to break
    EXPECT_NE(text.find("\xE2\x80\x8B"), std::string::npos) << text;
    EXPECT_NE(text.find("description.ext: "), std::string::npos) << text;
}

TEST_F(FolderTest, TheStatusLineAndTheFolderButtonStayBelowTheCanvasInView)
{
    RECT client;
    GetClientRect(window->handle(), &client);
    for (HWND w : {window->statusLine(), window->folderButton()}) {
        const RECT r = placeOf(w);
        EXPECT_EQ(r.bottom, client.bottom);
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, client.right);
    }
    // Every control of the canvas lies above it once scrolled into view.
    SetFocus(at(chki(7)));
    EXPECT_LE(placeOf(at(chki(7))).bottom, placeOf(window->statusLine()).top);
    EXPECT_EQ(window->tabOrder().back(), window->folderButton());
}

std::wstring clipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<clipboard closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The keyboard reaches the status line to read it whole or copy it: the copy
// keys take its whole text, however many lines it wraps onto.
TEST_F(FolderTest, TheStatusLineIsAStopWhoseWholeTextTheCopyKeysTake)
{
    window->openWorkingFolder(false, L"C:\\mission");
    const std::wstring status = textOf(window->statusLine());
    ASSERT_FALSE(status.empty());
    const auto at = std::find(window->tabOrder().begin(), window->tabOrder().end(), window->statusLine());
    ASSERT_NE(at, window->tabOrder().end());
    EXPECT_EQ(at + 1, window->tabOrder().end() - 1); // just before the folder button
    SetFocus(window->statusLine());
    ASSERT_EQ(GetFocus(), window->statusLine());
    BYTE keys[256] = {};
    for (const UINT key : {UINT('C'), UINT(VK_INSERT)}) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(window->statusLine(), WM_KEYDOWN, key, 0);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(clipboardText(), status) << key;
    }
}

} // namespace
} // namespace qor::win32::test
