#pragma once
// The file is written in the ANSI code page the game reads: the system's
// ANSI code page on Windows, Windows-1252 elsewhere.

#include <string>
#include <string_view>

namespace qor
{

// UTF-8 in, ANSI bytes out. A character the code page cannot hold, or a byte
// that is not valid UTF-8, becomes "?". ASCII passes through unchanged.
std::string toAnsi(std::string_view utf8);

} // namespace qor
