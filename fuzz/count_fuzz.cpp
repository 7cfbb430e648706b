// The count reader on arbitrary bytes, against the C library's strtod, and
// the writer's text of whatever it read.
#include "format/countformat.h"
#include "invariant.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace
{

struct Reference {
    double value;
    bool outOfRange; // beyond a double: 0 or the nearest double are both fine
};

bool radixDigit(char c, int base)
{
    if (c >= '0' && c <= '7')
        return true;
    if (base == 8)
        return false;
    return (c >= '8' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Written apart from the reader: strtod scans the decimal number, and the
// "&H"/"&O" digits are judged by their count rather than by accumulation.
Reference reference(std::string_view text)
{
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        std::size_t end = 2;
        while (end < s.size() && radixDigit(s[end], base))
            ++end;
        std::size_t begin = 2;
        while (begin < end && s[begin] == '0')
            ++begin;
        const std::string digits = s.substr(begin, end - begin);
        if (digits.size() > (base == 16 ? 8u : 11u))
            return {0, false};
        const unsigned long long v = digits.empty() ? 0 : std::strtoull(digits.c_str(), nullptr, base);
        if (v > 0xFFFFFFFFull)
            return {0, false};
        if (v <= 0xFFFF)
            return {static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(v))), false};
        return {static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v))), false};
    }

    // strtod also knows "inf", "nan" and "0x1p3"; the count grammar does not,
    // so it only sees the characters a decimal number can hold.
    const std::size_t cut = s.find_first_not_of("0123456789+-.eE");
    const std::string number = s.substr(0, cut);
    errno = 0;
    char *end = nullptr;
    const double v = std::strtod(number.c_str(), &end);
    if (end == number.c_str())
        return {0, false};
    return {v, errno == ERANGE};
}

void checkWritten(double value)
{
    const std::string text = qor::writeCount(value);
    QOR_INVARIANT(!text.empty());
    QOR_INVARIANT(text.find_first_not_of("0123456789.E+-") == std::string::npos); // no "inf", "nan", ","
    const double back = qor::readCount(text);
    QOR_INVARIANT(std::isfinite(back));
    QOR_INVARIANT(qor::writeCount(back) == text); // stable after one round
    if (!std::isfinite(value))
        return;
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        QOR_INVARIANT(back == value);
    else
        QOR_INVARIANT(std::fabs(back - value) <= std::fabs(value) * 1e-14); // 15 digits
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double v = qor::readCount(text);
    QOR_INVARIANT(std::isfinite(v));

    const Reference expected = reference(text);
    if (expected.outOfRange)
        QOR_INVARIANT(v == 0 || v == expected.value);
    else
        QOR_INVARIANT(v == expected.value);

    checkWritten(v);
    // Shared magazines write sums, which can leave a double's range.
    checkWritten(v + v);
    checkWritten(v * 1e300);
    return 0;
}
