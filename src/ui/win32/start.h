#pragma once
// A start on Windows, before any window exists: the command line as the
// program's one grammar reads it (start/commandline.h), the folder kept in
// UTF-16 so that any name the file system takes reaches
// SetCurrentDirectoryW unchanged, and where to say what the start prints.

#include "start/commandline.h"

#include <string>

namespace qor::win32
{

// The grammar of every platform, in Windows' dialect.
inline constexpr Dialect windowsDialect{true, {}};

struct Start {
    StartRequest request;
    std::wstring folder; // ShowWindow with a folder: as the argument means it
};

// `commandLine` as GetCommandLineW gives it, the program's own name first.
Start readCommandLine(const wchar_t *commandLine);

// Makes `folder` the working folder. Returns the message to show when the
// system refuses ("qorgenerator: <folder>: <reason>"), or an empty string.
std::wstring enterFolder(const std::wstring &folder);

// The working folder, in full.
std::wstring currentFolder();

// Shows `text` where the user started the program from: the standard stream
// if it leads somewhere (a file, a pipe, a console), else the console of the
// parent process, else a message box.
void report(const std::wstring &text, bool isError);

} // namespace qor::win32
