#pragma once
// The window's description (layout/layout.h, layout/texts.h) in Qt's types.

#include "layout/layout.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

#include <string_view>

namespace qor
{

inline QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline QRect toPixels(layout::Twips t)
{
    using layout::toPixels;
    return {toPixels(t.left), toPixels(t.top), toPixels(t.width), toPixels(t.height)};
}

inline QPalette::ColorRole roleOf(layout::SystemColour c)
{
    switch (c) {
    case layout::SystemColour::Highlight:
        return QPalette::Highlight;
    case layout::SystemColour::HighlightText:
        return QPalette::HighlightedText;
    case layout::SystemColour::Window:
        return QPalette::Window;
    case layout::SystemColour::WindowText:
        return QPalette::WindowText;
    case layout::SystemColour::None:
        break;
    }
    return QPalette::NoRole;
}

// A fixed colour as it is; a system colour from `system`.
inline QColor colourOf(layout::Colour c, const QPalette &system)
{
    return c.system == layout::SystemColour::None ? QColor(c.red, c.green, c.blue) : system.color(roleOf(c.system));
}

inline QFont fontFor(layout::Font kind, const QFont &base)
{
    const layout::FontFace face = layout::faceOf(kind);
    QFont f = base;
    QStringList families;
    for (std::string_view family : layout::fontFamilies)
        families << qs(family);
    f.setFamilies(families);
    f.setPointSizeF(face.points);
    f.setBold(face.bold);
    return f;
}

} // namespace qor
