#pragma once
// The process's working folder, through the platform's own calls. Names
// travel as the core's strings: bytes as given on POSIX, UTF-8 on Windows.

#include <string>

namespace qor
{

// Makes `folder` the working folder. Empty, or the system's reason.
std::string enterFolder(const std::string &folder);
// The working folder in full.
std::string workingFolder();
// Whether two folder names are one folder on this platform's file systems
// (Windows ignores case).
bool sameFolder(const std::string &a, const std::string &b);

} // namespace qor
