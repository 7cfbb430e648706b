#include "format/ansi.h"

#include <algorithm>
#include <optional>
#include <string>
#include <windows.h>

namespace qor
{

namespace
{

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Keeps ASCII and marks everything else: for a conversion the system refused.
std::string asciiOnly(std::string_view s)
{
    std::string out;
    for (unsigned char c : s)
        if (c < 0x80 || (c & 0xC0) == 0xC0)
            out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Windows writes a character beyond the BMP as two "?", one per half of its
// surrogate pair; the file counts characters, on every platform, so the pair
// becomes one "?". No ANSI code page but UTF-8 holds such a character.
void markPairsOnce(std::wstring &wide)
{
    std::size_t to = 0;
    for (std::size_t at = 0; at < wide.size(); ++at, ++to) {
        const bool pair = IS_HIGH_SURROGATE(wide[at]) && at + 1 < wide.size() && IS_LOW_SURROGATE(wide[at + 1]);
        wide[to] = pair ? L'?' : wide[at];
        at += pair ? 1 : 0;
    }
    wide.resize(to);
}

} // namespace

std::string toAnsi(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    // Invalid UTF-8 becomes U+FFFD here, written as "?" below.
    const int size = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return asciiOnly(utf8);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideLength);

    const UINT codePage = GetACP();
    // With UTF-8 as the ANSI code page (a Windows 10 option) every character
    // fits, and Windows takes neither flags nor a default character for it.
    // Otherwise: no best-fit look-alikes, "?" for what the page lacks.
    const bool utf8Page = codePage == CP_UTF8;
    if (utf8Page)
        std::replace(wide.begin(), wide.end(), L'\xFFFD', L'?');
    else
        markPairsOnce(wide);
    const int units = static_cast<int>(wide.size());
    const DWORD flags = utf8Page ? 0 : WC_NO_BEST_FIT_CHARS;
    const char *fallback = utf8Page ? nullptr : "?";
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), units, nullptr, 0, fallback, nullptr);
    if (length <= 0)
        return asciiOnly(utf8);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), units, out.data(), length, fallback, nullptr);
    return out;
}

std::optional<std::string> fromAnsi(std::string_view ansi)
{
    if (isAscii(ansi))
        return std::string(ansi);
    // MB_ERR_INVALID_CHARS: a byte the code page leaves undefined fails the
    // whole conversion instead of turning into a look-alike.
    const UINT codePage = GetACP();
    const int size = static_cast<int>(ansi.size());
    const int wideLength = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), size, wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
}

} // namespace qor
