#pragma once
// Colours that must stay readable whatever the desktop's colour scheme.
//
// The group fills are part of the layout, so the texts drawn on them keep the
// colours they were chosen with under a light scheme. Where a fill is a
// system colour (the highlight), a dark desktop would turn it dark under those
// dark texts; such fills and their texts then come from the style's own light
// palette instead. Everything that is not on a fill follows the desktop.

#include <QColor>
#include <QPalette>

namespace qor
{

// The window description's contrast rules (layout/contrast.h) on Qt colours:
// 1 for equal colours, 21 for black on white.
double relativeLuminance(QColor c);
double contrastRatio(QColor a, QColor b);

// Black or white, whichever stands out more against `behind`: never less
// than 4.5:1.
QColor outlineAgainst(QColor behind);

// A scheme is dark when its window is darker than its text.
bool isDark(const QPalette &palette);

// The palette that system colours on the fills are taken from: the desktop's
// while it is light, else the style's light standard palette.
QPalette fillPalette(const QPalette &desktop, const QPalette &standard);

} // namespace qor
