#pragma once
// A message as a message box shows it, for every front-end. Messages carry
// paths from outside, and a path can be longer than a screen holds and have
// no space to wrap at: shown as it is, it runs off the box's right edge and
// hides its end, which names the file and the reason.

#include <string>
#include <string_view>

namespace qor
{

// Code points of a run without whitespace before a line may break in it.
inline constexpr std::size_t messageLineLength = 80;
// Code points kept from each end of a longer message.
inline constexpr std::size_t messageEndLength = 400;

// Keeps the text as it is where it fits; a text longer than twice
// messageEndLength keeps both ends with "…" in the middle, and a zero-width
// space lets a line break every messageLineLength code points in a longer
// run without whitespace. Shown as plain text: nothing in it is markup.
std::string fitForMessageBox(std::string_view text);

} // namespace qor
