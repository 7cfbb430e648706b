#pragma once
// The file is written in the ANSI code page the game reads: the system's
// ANSI code page on Windows, Windows-1252 elsewhere.

#include <optional>
#include <string>
#include <string_view>

namespace qor
{

// UTF-8 in, ANSI bytes out. A character the code page cannot hold, or a byte
// that is not valid UTF-8, becomes "?". ASCII passes through unchanged.
std::string toAnsi(std::string_view utf8);

// ANSI bytes in, UTF-8 out: the inverse of toAnsi. Nothing when a byte is one
// the code page leaves undefined, so that a reader never guesses a character.
std::optional<std::string> fromAnsi(std::string_view ansi);

} // namespace qor
