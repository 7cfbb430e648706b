#include "format/countformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace qor
{

namespace
{

bool ignored(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// "&H"/"&O" numbers: digits of the base, as many as follow.
double readRadix(std::string_view digits, unsigned base)
{
    std::uint64_t v = 0;
    for (char c : digits) {
        const auto d = static_cast<unsigned>(digitValue(c));
        if (d >= base)
            break;
        v = v * base + d;
        if (v > 0xFFFFFFFFu)
            return 0; // needs more than 32 bits: not a number we can hold
    }
    if (v <= 0xFFFFu)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// Length of the longest prefix of the form [+-]digits[.digits][E[+-]digits].
std::size_t decimalPrefix(std::string_view s, std::size_t &mantissaDigits)
{
    std::size_t n = 0;
    mantissaDigits = 0;
    if (n < s.size() && (s[n] == '+' || s[n] == '-'))
        ++n;
    while (n < s.size() && isDigit(s[n]))
        ++n, ++mantissaDigits;
    if (n < s.size() && s[n] == '.') {
        std::size_t m = n + 1;
        while (m < s.size() && isDigit(s[m]))
            ++m, ++mantissaDigits;
        n = m;
    }
    if (mantissaDigits == 0)
        return 0;
    if (n < s.size() && (s[n] == 'e' || s[n] == 'E')) {
        std::size_t m = n + 1;
        if (m < s.size() && (s[m] == '+' || s[m] == '-'))
            ++m;
        if (m < s.size() && isDigit(s[m])) {
            while (m < s.size() && isDigit(s[m]))
                ++m;
            n = m;
        }
    }
    return n;
}

} // namespace

namespace detail
{

double readAnyCount(std::string_view text)
{
    std::string stripped;
    std::string_view s = text;
    if (std::any_of(text.begin(), text.end(), ignored)) {
        stripped.reserve(text.size());
        std::copy_if(text.begin(), text.end(), std::back_inserter(stripped), [](char c) { return !ignored(c); });
        s = stripped;
    }

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readRadix(s.substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readRadix(s.substr(2), 8);
    }

    std::size_t digits = 0;
    const std::size_t length = decimalPrefix(s, digits);
    if (length == 0)
        return 0;
    const char *first = s.data();
    const char *last = s.data() + length;
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-')
        ++first;
    double v = 0;
    const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(v))
        return 0; // beyond a double's range
    return negative ? -v : v;
}

} // namespace detail

void appendCount(std::string &out, double value)
{
    // The usual count, a whole number: its digits straight into the file.
    if (value == std::trunc(value) && std::fabs(value) < 1e15 && value != 0) {
        char digits[24];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr);
        return;
    }
    out += writeCount(value);
}

double detail::writtenAnyCount(std::string_view text)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    std::size_t digits = 0;
    if (text.empty() || decimalPrefix(text, digits) != text.size())
        return none;
    const char *first = text.data() + (text[0] == '+' || text[0] == '-' ? 1 : 0);
    double v = 0;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return none; // beyond a double's range
    return text[0] == '-' ? -v : v;
}

std::string writeCount(double value)
{
    // Every value read is finite, but a shared magazine's sum can overflow;
    // the game cannot read "inf", so such a sum is written as the largest count.
    // That is the largest double at 15 digits rounded down: rounded up, it
    // would lie beyond every double and read back as no number at all.
    constexpr double largest = 1.79769313486231e308;
    if (std::isnan(value))
        return "0";
    if (std::fabs(value) > largest)
        value = std::copysign(largest, value);
    if (value == 0)
        return "0"; // also for -0
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));

    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string out(buffer, ec == std::errc() ? end : buffer);
    // Exponent as "E+15"/"E-07": upper case, sign, at least two digits.
    if (const auto e = out.find('e'); e != std::string::npos)
        out[e] = 'E';
    return out;
}

} // namespace qor
