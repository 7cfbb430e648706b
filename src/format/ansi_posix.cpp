#include "format/ansi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iconv.h>
#include <unordered_map>

namespace qor
{

namespace
{

// UTF-8 bytes of a character packed into one key; at most four bytes.
std::uint32_t pack(std::string_view sequence)
{
    std::uint32_t key = 0;
    for (unsigned char c : sequence)
        key = key << 8 | c;
    return key;
}

// The code page's own mapping, asked of iconv once: for each byte 0x80..0xFF
// the UTF-8 sequence it stands for. Bytes the code page leaves undefined have
// none, so nothing maps to them.
// Index: byte - 0x80; empty where the code page defines no character.
using HighBytes = std::array<std::string, 0x80>;

const HighBytes &highBytes()
{
    static const HighBytes bytes = [] {
        HighBytes table;
        const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return table; // no converter here: everything beyond ASCII becomes "?"
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            char in = static_cast<char>(byte);
            char out[8];
            char *src = &in;
            char *dst = out;
            std::size_t srcLeft = 1, dstLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1))
                table[static_cast<std::size_t>(byte - 0x80)].assign(out, static_cast<std::size_t>(dst - out));
        }
        iconv_close(cd);
        return table;
    }();
    return bytes;
}

std::unordered_map<std::uint32_t, char> buildTable()
{
    std::unordered_map<std::uint32_t, char> table;
    const HighBytes &bytes = highBytes();
    for (std::size_t n = 0; n < bytes.size(); ++n)
        if (!bytes[n].empty())
            table.emplace(pack(bytes[n]), static_cast<char>(n + 0x80));
    return table;
}

// Length of the character at s: its lead byte and the continuation bytes that
// follow it, so that a broken sequence becomes one "?" and never swallows the
// valid text after it.
std::size_t sequenceLength(std::string_view s)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t n = 1;
    while (n < expected && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

} // namespace

std::string toAnsi(std::string_view utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    static const std::unordered_map<std::uint32_t, char> table = buildTable();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            out += utf8[at++];
            continue;
        }
        const std::size_t n = sequenceLength(utf8.substr(at));
        const auto found = table.find(pack(utf8.substr(at, n)));
        out += found != table.end() ? found->second : '?';
        at += n;
    }
    return out;
}

std::optional<std::string> fromAnsi(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const std::string &character = highBytes()[c - 0x80u];
        if (character.empty())
            return std::nullopt;
        out += character;
    }
    return out;
}

} // namespace qor
