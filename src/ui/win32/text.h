#pragma once
// The window speaks UTF-16 to Windows and UTF-8 to the core.

#include <string>
#include <string_view>

namespace qor::win32
{

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// The text with every CR and LF taken out: what a single-line box keeps of
// typed, pasted or set text.
std::wstring withoutBreaks(std::wstring_view text);

} // namespace qor::win32
