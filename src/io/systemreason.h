#pragma once
// Windows only: the system's own text for an error code from GetLastError(),
// in the user's language, as UTF-8 without the line end it comes with.

#include <string>

namespace qor
{

std::string systemReason(unsigned long error);

} // namespace qor
