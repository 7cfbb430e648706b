#include "ui/win32/text.h"

#include "io/systemreason.h"
#include "layout/layout.h"

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
    std::wstring out(text);
    std::erase_if(out, layout::isLineBreak<wchar_t>);
    return out;
}

} // namespace qor::win32
