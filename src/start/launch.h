#pragma once
// A start, the same on every platform: the command line read (by the
// platform, into a StartRequest); help, the version or a refusal said; a
// named folder entered or refused with the system's reason; then the window
// opened on the working folder, a named folder remembered as recently used.

#include "start/commandline.h"

#include <functional>
#include <optional>
#include <string_view>

namespace qor
{

// Says `text` where the user started the program from: standard output, or
// standard error for a refusal. The text is plain already.
using StartReport = std::function<void(std::string_view text, bool isError)>;

struct Launch {
    // Set: the start ends here, with this exit status, and no window opens.
    std::optional<int> exitStatus;
    bool startValues = false; // the folder's file left unread
    bool namedFolder = false; // the user named the folder: it counts as recent
};

// Everything before a window exists; enters the named folder.
Launch launch(const StartRequest &request, const StartReport &report);

// The window's first step. `Window` has openWorkingFolder(bool startValues)
// and rememberFolder().
template <class Window> void openAtStart(Window &window, const Launch &start)
{
    window.openWorkingFolder(start.startValues);
    if (start.namedFolder)
        window.rememberFolder();
}

} // namespace qor
