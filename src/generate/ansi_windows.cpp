#include "ansi.h"

#include <algorithm>
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
    const DWORD flags = utf8Page ? 0 : WC_NO_BEST_FIT_CHARS;
    const char *fallback = utf8Page ? nullptr : "?";
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, fallback, nullptr);
    if (length <= 0)
        return asciiOnly(utf8);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), wideLength, out.data(), length, fallback, nullptr);
    return out;
}

} // namespace qor
