#include "ui/win32/text.h"

#include "io/systemreason.h"

namespace qor::win32
{

std::wstring wide(std::string_view utf8)
{
    return wideOf(utf8);
}

std::string utf8(std::wstring_view wide)
{
    return utf8Of(wide);
}

std::wstring withoutBreaks(std::wstring_view text)
{
    // U+2028 and U+2029 stay: they end no line of the file.
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n')
            out.push_back(c);
    return out;
}

} // namespace qor::win32
