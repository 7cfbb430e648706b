#pragma once
// What the command line asks of a start: show the window (optionally in a
// given folder), print help or the version, or refuse. It is read before
// QApplication exists, so none of this needs a display.

#include <string>
#include <vector>

namespace qor
{

struct StartRequest {
    enum class Action { ShowWindow, Print, Refuse };
    Action action = Action::ShowWindow;
    // Print: text for standard output. Refuse: the message for standard error.
    std::string text;
    // ShowWindow: the folder to work in, byte for byte as given; empty keeps
    // the current one.
    std::string folder;
    bool hasFolder = false;
    // ShowWindow: keep the start values; the folder's file is not read.
    bool startValues = false;
    // ShowWindow: the arguments for QApplication, the program's name first:
    // only Qt's own options and their values, never the program's own
    // arguments nor anything after "--".
    std::vector<std::string> qtArguments;
};

// Exit status of a start refused for a bad argument or folder.
inline constexpr int usageStatus = 2;

StartRequest readCommandLine(int argc, const char *const argv[]);

// Makes folder the working folder. Returns the message to print when the
// system refuses ("qorgenerator: <folder>: <reason>"), or an empty string.
std::string enterFolder(const std::string &folder);

} // namespace qor
