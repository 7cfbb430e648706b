#pragma once
// A start on Windows, before any window exists: the command line as the
// program's one grammar reads it (start/commandline.h), names in UTF-8, and
// where to say what the start prints.

#include "start/commandline.h"

#include <string_view>

namespace qor::win32
{

// The grammar of every platform, in Windows' dialect.
inline constexpr Dialect windowsDialect{true, {}};

// `commandLine` as GetCommandLineW gives it, the program's own name first.
StartRequest readCommandLine(const wchar_t *commandLine);

// Shows `text` (UTF-8) where the user started the program from: the
// standard stream if it leads somewhere (a file, a pipe, a console), else
// the console of the parent process, else a message box.
void report(std::string_view text, bool isError);

} // namespace qor::win32
