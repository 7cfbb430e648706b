#include "format/plaintext.h"

#include <algorithm>
#include <cstdint>

namespace qor
{

namespace
{

constexpr char32_t replacement = 0xFFFD;

bool hidden(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x00AD || c == 0x061C || c == 0x180E ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
           c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

void append(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendVisible(std::string &out, char32_t c)
{
    if (!hidden(c)) {
        append(out, c);
        return;
    }
    static constexpr char hex[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += hex[c >> shift & 0xF];
}

} // namespace

std::size_t utf8Character(std::string_view s, char32_t &code)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    if (lead < 0x80)
        length = 1, code = lead;
    else if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1Fu;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0Fu;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07u;
    else
        return 0;
    if (length > s.size())
        return 0;
    for (std::size_t n = 1; n < length; ++n) {
        const auto c = static_cast<unsigned char>(s[n]);
        if ((c & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (c & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

std::string plainText(std::string_view text, std::size_t characters)
{
    std::string out;
    out.reserve(std::min(text.size(), characters * 4) + 8);
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        if (count == characters) {
            out += "\xE2\x80\xA6"; // …
            break;
        }
        char32_t c = 0;
        const std::size_t length = utf8Character(text.substr(at), c);
        appendVisible(out, length ? c : replacement);
        at += length ? length : 1;
    }
    return out;
}

std::string plainText(std::string_view text)
{
    return plainText(text, text.size());
}

std::string plainLines(std::string_view text)
{
    std::string out;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        out += plainText(text.substr(at, end - at));
        if (end < text.size())
            out += '\n';
        at = end + 1;
    }
    return out;
}

} // namespace qor
