#pragma once
// Windows only: the system's own text for an error code from GetLastError(),
// in the user's language, as UTF-8 without the line end and the full stop it
// comes with, so that it reads as the POSIX reasons do inside a sentence.

#include <string>
#include <string_view>

namespace qor
{

std::string systemReason(unsigned long error);

// UTF-16 from the system as UTF-8, and back.
std::string utf8Of(std::wstring_view text);
std::wstring wideOf(std::string_view utf8);

} // namespace qor
