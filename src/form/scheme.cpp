#include "scheme.h"

#include <algorithm>
#include <cmath>

namespace qor
{

namespace
{

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(QColor c)
{
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrastRatio(QColor a, QColor b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor outlineAgainst(QColor behind)
{
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(black, behind) >= contrastRatio(white, behind) ? black : white;
}

bool isDark(const QPalette &palette)
{
    return relativeLuminance(palette.color(QPalette::Window)) < relativeLuminance(palette.color(QPalette::WindowText));
}

QPalette fillPalette(const QPalette &desktop, const QPalette &standard)
{
    return isDark(desktop) ? standard : desktop;
}

} // namespace qor
