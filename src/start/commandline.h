#pragma once
// What the command line asks of a start, on every platform: show the window
// (optionally in a given folder), print help or the version, or refuse. It
// is read before any window system is touched, so none of this needs a
// display, and it knows no toolkit: the options a toolkit reads itself are
// handed in as data, taken only so that they and their values are no FOLDER.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qor
{

struct PassedOption {
    std::string_view name; // without dashes
    bool takesValue;
};

// The options QGuiApplication and QApplication take on every platform, and
// those of X11: a session manager's restart adds "-session <id>", and users
// pass "-style" or "-platform" as to any Qt program.
inline constexpr PassedOption qtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"reverse", false},
    {"session", true},         {"style", true},
    {"stylesheet", true},      {"widgetcount", false},
    {"display", true},         {"geometry", true},
    {"nograb", false},         {"dograb", false},
    {"sync", false},
};

struct Dialect {
    // Windows: "/?" asks for help too, and since no name there holds a '"',
    // an argument ending in one was typed ending in \" (see folderMeant).
    bool windows = false;
    // Options the window's toolkit reads, passed on to it as typed.
    std::span<const PassedOption> passOn;
};

struct StartRequest {
    enum class Action { ShowWindow, Print, Refuse };
    Action action = Action::ShowWindow;
    // Print: text for standard output. Refuse: the message for standard error.
    std::string text;
    // ShowWindow: the folder to work in, as the argument means it; empty
    // keeps the current one.
    std::string folder;
    bool hasFolder = false;
    // Where the folder stands among the arguments, for a caller that keeps
    // them in another encoding.
    std::size_t folderArgument = 0;
    // ShowWindow: keep the start values; the folder's file is not read.
    bool startValues = false;
    // ShowWindow: the program's name, then the toolkit's own options and
    // their values; never the program's own arguments nor anything after "--".
    std::vector<std::string> passedOn;
};

// Exit status of a start refused for a bad argument or folder.
inline constexpr int usageStatus = 2;

// `args` as the system gives them, the program's name first.
StartRequest readCommandLine(const std::vector<std::string> &args, const Dialect &dialect);

// "qorgenerator: <message>\n", as the program says what it refuses.
std::string refusal(std::string_view message);

// The folder an argument names. Windows splits `"C:\"` (a drive's root as
// Explorer passes it) into C:" because \" stands for a quote there; a name
// cannot hold one, so a final quote was the closing backslash.
template <class Char> std::basic_string<Char> folderMeant(std::basic_string_view<Char> arg, const Dialect &dialect)
{
    std::basic_string<Char> folder(arg);
    if (dialect.windows && !folder.empty() && folder.back() == Char('"'))
        folder.back() = Char('\\');
    return folder;
}

} // namespace qor
