#pragma once
// Count boxes hold free text; a count is a double read from it and written
// back as the text after "count = ".

#include <cstdint>
#include <string>
#include <string_view>

namespace qor
{

namespace detail
{
double readAnyCount(std::string_view text);    // all the rules of readCount
double writtenAnyCount(std::string_view text); // all the rules of writtenCount

// A count as typed or written most of the time, up to 15 digits and nothing
// else, read inline: a double holds it exactly, and a press or a read meets
// some 100 of them. -1 for any other text.
inline std::int64_t plainDigits(std::string_view text)
{
    if (text.empty() || text.size() > 15)
        return -1;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}
} // namespace detail

// Never fails: blanks, tabs and line feeds are ignored anywhere; "&H"/"&O"
// read hexadecimal/octal (16-bit signed when the value fits 16 bits, else
// 32-bit signed); otherwise the longest leading decimal number with optional
// exponent. Only "." separates decimals. Text with no leading number, or a
// number that no double (or no 32 bits) can hold, reads as 0.
inline double readCount(std::string_view text)
{
    const std::int64_t v = detail::plainDigits(text);
    return v >= 0 ? static_cast<double>(v) : detail::readAnyCount(text);
}

// The value of a number written exactly as a file writes one, with nothing
// around it: [+-]digits[.digits][E[+-]digits], within a double's range.
// NaN for "1O", " 5" or "&H10", which the count reader would still read: a
// plain double, as an optional one came back through memory and stalled the
// read of every entry.
inline double writtenCount(std::string_view text)
{
    const std::int64_t v = detail::plainDigits(text);
    return v >= 0 ? static_cast<double>(v) : detail::writtenAnyCount(text);
}

// Whole numbers below 1e15 in magnitude as plain digits; anything else with
// at most 15 significant digits, "." as separator whatever the locale, and an
// exponent ("1E+15", "1.5E-07") where plain digits would mislead.
std::string writeCount(double value);
// The same text appended to `out`, without a string of its own.
void appendCount(std::string &out, double value);

} // namespace qor
