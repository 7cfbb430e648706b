#include "ui/qt/scheme.h"

#include "layout/contrast.h"

namespace qor
{

namespace
{

layout::Rgb rgbOf(QColor c)
{
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

} // namespace

double relativeLuminance(QColor c)
{
    return layout::relativeLuminance(rgbOf(c));
}

double contrastRatio(QColor a, QColor b)
{
    return layout::contrastRatio(rgbOf(a), rgbOf(b));
}

QColor outlineAgainst(QColor behind)
{
    const layout::Rgb o = layout::outlineAgainst(rgbOf(behind));
    return {o.red, o.green, o.blue};
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
