// The command line: what each start asks for, and the built program started
// with its output going to a pipe, as a console or a script reads it.
#include "ui/win32/start.h"
#include "ui/win32/text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace qor::win32::test
{
namespace
{

using Action = StartRequest::Action;

// Windows' own splitting, then the one grammar: quoting, UTF-16 names kept
// whole, and a drive's or a share's root as Explorer passes it.
TEST(CommandLine, EachStartAsksForOneThing)
{
    struct Row {
        const wchar_t *line;
        Action action;
        const wchar_t *folder; // for ShowWindow
        const char *textStart;
    };
    const Row rows[] = {
        {L"qorgenerator.exe", Action::ShowWindow, L"", ""},
        {L"\"C:\\Program Files\\q\\qorgenerator.exe\" \"C:\\Missions\\M\u00e9\u4e2d 1\"", Action::ShowWindow,
         L"C:\\Missions\\M\u00e9\u4e2d 1", ""},
        {L"qorgenerator.exe -- -dash", Action::ShowWindow, L"-dash", ""},
        {L"\"C:\\q\\qorgenerator.exe\" \"C:\\\"", Action::ShowWindow, L"C:\\", ""},
        {L"qorgenerator.exe \"D:\\Missions\\One\\\"", Action::ShowWindow, L"D:\\Missions\\One\\", ""},
        {L"qorgenerator.exe \"\\\\server\\share\\\"", Action::ShowWindow, L"\\\\server\\share\\", ""},
        {L"qorgenerator.exe \\\\server\\share\\", Action::ShowWindow, L"\\\\server\\share\\", ""},
        {L"qorgenerator.exe --help", Action::Print, nullptr, "Usage: qorgenerator [options] [FOLDER]\n"},
        {L"qorgenerator.exe /?", Action::Print, nullptr, "Usage: qorgenerator"},
        {L"qorgenerator.exe x -v", Action::Print, nullptr, "qorgenerator " QOR_VERSION "\n"},
        {L"qorgenerator.exe a b", Action::Refuse, nullptr, "qorgenerator: one FOLDER at most."},
        {L"qorgenerator.exe --bogus", Action::Refuse, nullptr, "qorgenerator: Unknown option '--bogus'."},
    };
    for (const Row &r : rows) {
        const StartRequest s = readCommandLine(r.line);
        EXPECT_EQ(s.action, r.action) << r.line;
        if (r.folder) {
            EXPECT_EQ(s.hasFolder, *r.folder != L'\0') << r.line;
            EXPECT_EQ(wide(s.folder), r.folder) << r.line;
        }
        EXPECT_EQ(s.text.substr(0, std::string_view(r.textStart).size()), r.textStart) << r.line;
    }
}

struct Outcome {
    DWORD status = 0;
    std::string out, err;
};

std::string drain(HANDLE pipe)
{
    std::string all;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        all.append(buffer, got);
    return all;
}

Outcome runProgram(const std::wstring &arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = outWrite;
    start.hStdError = errWrite;
    std::wstring line = L"\"" QOR_WIDE_PROGRAM L"\" " + arguments;
    PROCESS_INFORMATION process{};
    Outcome run;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) {
        run.status = 0xFFFF;
        return run;
    }
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    run.out = drain(outRead);
    run.err = drain(errRead);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.status);
    for (HANDLE h : {outRead, errRead, process.hProcess, process.hThread})
        CloseHandle(h);
    return run;
}

TEST(Program, PrintsToItsStreamsAndRefusesABadFolderWithItsReason)
{
    const Outcome version = runProgram(L"--version");
    EXPECT_EQ(version.status, 0u);
    EXPECT_EQ(version.out, "qorgenerator " QOR_VERSION "\n");

    const Outcome help = runProgram(L"--help");
    EXPECT_EQ(help.status, 0u);
    EXPECT_NE(help.out.find("FOLDER"), std::string::npos) << help.out;

    const Outcome missing = runProgram(L"\"C:\\no such folder \u00e9\"");
    EXPECT_EQ(missing.status, static_cast<DWORD>(usageStatus));
    EXPECT_EQ(missing.out, "");
    // The folder as given, in UTF-8, then the system's reason.
    EXPECT_EQ(missing.err.rfind("qorgenerator: C:\\no such folder \xc3\xa9: ", 0), 0u) << missing.err;
    EXPECT_GT(missing.err.size(), std::string_view("qorgenerator: C:\\no such folder \xc3\xa9: \n").size());

    const Outcome twoFolders = runProgram(L"a b");
    EXPECT_EQ(twoFolders.status, static_cast<DWORD>(usageStatus));
    EXPECT_NE(twoFolders.err.find("one FOLDER at most"), std::string::npos) << twoFolders.err;
}

} // namespace
} // namespace qor::win32::test
