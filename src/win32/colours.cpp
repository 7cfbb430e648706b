#include "colours.h"

#include <algorithm>
#include <cmath>

namespace qor::win32
{

namespace
{

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(COLORREF c)
{
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}

double contrastRatio(COLORREF a, COLORREF b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

COLORREF focusColour(COLORREF behind, COLORREF face)
{
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    auto weakest = [&](COLORREF c) { return std::min(contrastRatio(c, behind), contrastRatio(c, face)); };
    return weakest(black) >= weakest(white) ? black : white;
}

} // namespace qor::win32
