#pragma once
// Count boxes hold free text; a count is a double read from it and written
// back as the text after "count = ".

#include <optional>
#include <string>
#include <string_view>

namespace qor
{

// Never fails: blanks, tabs and line feeds are ignored anywhere; "&H"/"&O"
// read hexadecimal/octal (16-bit signed when the value fits 16 bits, else
// 32-bit signed); otherwise the longest leading decimal number with optional
// exponent. Only "." separates decimals. Text with no leading number, or a
// number that no double (or no 32 bits) can hold, reads as 0.
double readCount(std::string_view text);

// The value of a number written exactly as a file writes one, with nothing
// around it: [+-]digits[.digits][E[+-]digits], within a double's range.
// Nothing for "1O", " 5" or "&H10", which the count reader would still read.
std::optional<double> writtenCount(std::string_view text);

// Whole numbers below 1e15 in magnitude as plain digits; anything else with
// at most 15 significant digits, "." as separator whatever the locale, and an
// exponent ("1E+15", "1.5E-07") where plain digits would mislead.
std::string writeCount(double value);

} // namespace qor
