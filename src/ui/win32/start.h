#pragma once
// What the command line asks of a start on Windows, read before any window
// exists: show the window (optionally in a given folder), print help or the
// version, or refuse. Arguments and folders stay UTF-16 throughout, so any
// name the file system takes reaches SetCurrentDirectoryW unchanged.

#include <string>

namespace qor::win32
{

struct StartRequest {
    enum class Action { ShowWindow, Print, Refuse };
    Action action = Action::ShowWindow;
    std::wstring text; // Print: for standard output; Refuse: the reason
    std::wstring folder;
    bool hasFolder = false;
    bool startValues = false; // leave the folder's description.ext unread
};

// `commandLine` as GetCommandLineW gives it, the program's own name first.
StartRequest readCommandLine(const wchar_t *commandLine);

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
