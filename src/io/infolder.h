#pragma once
// Whether a name the mission gives (a script) names a file in the mission
// folder, found as the game finds it: relative to the folder, "\" or "/"
// between folders, letters in any case.

#include <string>

namespace qor
{

// relative: UTF-8, as typed; the working folder is the mission folder.
bool isInFolder(const std::string &relative);

} // namespace qor
