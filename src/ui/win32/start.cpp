#include "ui/win32/start.h"

#include "format/plaintext.h"
#include "layout/texts.h"
#include "start/usage.h"
#include "ui/win32/text.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

namespace qor::win32
{

namespace
{

StartRequest answer(StartRequest::Action action, std::wstring text)
{
    StartRequest request;
    request.action = action;
    request.text = std::move(text);
    return request;
}

std::wstring prefixed(const std::wstring &message)
{
    return wide(usage::programName) + L": " + message + L"\n";
}

std::wstring helpText()
{
    auto line = [](std::string_view options, std::string_view help) {
        std::string padded(options);
        padded.resize(16, ' ');
        return "  " + padded + std::string(help) + "\n";
    };
    return wide("Usage: " + std::string(usage::programName) + " [options] [FOLDER]\n" +
                std::string(usage::description) + "\n\nOptions:\n" + line("-h, --help", usage::helpHelp) +
                line("-v, --version", usage::versionHelp) + line(usage::startValuesOption, usage::startValuesHelp) +
                "\nArguments:\n" + line("FOLDER", usage::folderHelp));
}

bool writeTo(HANDLE out, const std::wstring &text)
{
    if (!out || out == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode))
        return WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    if (GetFileType(out) == FILE_TYPE_UNKNOWN)
        return false;
    const std::string bytes = utf8(text);
    return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

StartRequest readCommandLine(const wchar_t *commandLine)
{
    int count = 0;
    wchar_t **argv = CommandLineToArgvW(commandLine, &count);
    const std::vector<std::wstring> args(argv ? argv + 1 : nullptr, argv ? argv + count : nullptr);
    LocalFree(argv);

    StartRequest request;
    std::vector<std::wstring> folders;
    bool optionsEnd = false;
    for (const std::wstring &arg : args) {
        if (!optionsEnd && arg == L"--") {
            optionsEnd = true;
        } else if (!optionsEnd && (arg == L"-h" || arg == L"--help" || arg == L"/?")) {
            return answer(StartRequest::Action::Print, helpText());
        } else if (!optionsEnd && (arg == L"-v" || arg == L"--version")) {
            return answer(StartRequest::Action::Print, wide(usage::programName) + L" " + wide(QOR_VERSION) + L"\n");
        } else if (!optionsEnd && arg == wide(usage::startValuesOption)) {
            request.startValues = true;
        } else if (!optionsEnd && arg.size() > 1 && arg[0] == L'-') {
            return answer(StartRequest::Action::Refuse, prefixed(L"Unknown option '" + arg + L"'. See --help."));
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.size() > 1)
        return answer(StartRequest::Action::Refuse, prefixed(wide(usage::oneFolder)));
    if (!folders.empty()) {
        request.hasFolder = true;
        request.folder = folders.front();
    }
    return request;
}

std::wstring enterFolder(const std::wstring &folder)
{
    if (SetCurrentDirectoryW(folder.c_str()))
        return {};
    return prefixed(folder + L": " + systemReason(GetLastError()));
}

std::wstring currentFolder()
{
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

void report(const std::wstring &message, bool isError)
{
    // Options and folder names come from outside: shown as plain text.
    const std::wstring text = wide(plainLines(utf8(message)));
    const DWORD stream = isError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    if (writeTo(GetStdHandle(stream), text))
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool written = writeTo(console, text);
        CloseHandle(console);
        FreeConsole();
        if (written)
            return;
    }
    MessageBoxW(nullptr, text.c_str(), wide(layout::applicationTitle).c_str(),
                MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace qor::win32
