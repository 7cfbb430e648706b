#pragma once
// The window on screens smaller than its layout: the controls stand on a
// canvas of the layout's fixed size inside a scroll area, and the window opens
// no larger than the screen's free area. Nothing in the layout moves or
// scales; where the screen has room, the window opens exactly round the canvas.

#include <QSize>
#include <QWidget>

class QScrollArea;

namespace qor
{

// What every control of the window stands on.
class Canvas final : public QWidget
{
    Q_OBJECT
  public:
    using QWidget::QWidget;
};

// The inside size of a window that shows `content` within `room`, scroll
// bars `bar` thick included where needed. A bar in one direction takes room
// from the other, which may then need a bar too.
QSize fittedSize(QSize content, QSize room, int bar);

// Moves every child of `window` onto a canvas of `content` size inside a
// scroll area that fills the window, keeping their order (their stacking)
// and their hidden or shown state. The focused control is kept in view.
QScrollArea *putOnCanvas(QWidget *window, QSize content);

// Sizes `window` around its scroll area and the footer below it for the
// screen it is on: at the content size where it fits, else as large as the
// screen allows; never taller than the content, but free to widen, which
// gives the footer's status line room. The footer always keeps its full
// (fixed) height. `keepWidth`: a window the user widened stays as wide.
void fitToScreen(QWidget *window, QScrollArea *area, QWidget *footer = nullptr, bool keepWidth = false);

} // namespace qor
