#include "ui/win32/start.h"

#include "layout/texts.h"
#include "ui/win32/text.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

namespace qor::win32
{

namespace
{

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
    std::vector<std::string> words;
    for (int i = 0; argv && i < count; ++i)
        words.push_back(utf8(argv[i]));
    LocalFree(argv);
    return qor::readCommandLine(words, windowsDialect);
}

void report(std::string_view message, bool isError)
{
    const std::wstring text = wide(message);
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
