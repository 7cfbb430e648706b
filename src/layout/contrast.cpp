#include "layout/contrast.h"

#include <algorithm>
#include <cmath>

namespace qor::layout
{

namespace
{

double linear(std::uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(Rgb c)
{
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double contrastRatio(Rgb a, Rgb b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb outlineAgainst(Rgb behind)
{
    return contrastRatio(black, behind) >= contrastRatio(white, behind) ? black : white;
}

Rgb textOn(Rgb fill, Rgb wanted)
{
    return contrastRatio(wanted, fill) >= readableContrast ? wanted : outlineAgainst(fill);
}

} // namespace qor::layout
