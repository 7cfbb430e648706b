#include "ui/qt/fit.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace qor
{

QSize fittedSize(QSize content, QSize room, int bar)
{
    bool across = content.width() > room.width();
    bool down = content.height() > room.height();
    if (down && !across)
        across = content.width() + bar > room.width();
    if (across && !down)
        down = content.height() + bar > room.height();
    return {std::min(room.width(), content.width() + (down ? bar : 0)),
            std::min(room.height(), content.height() + (across ? bar : 0))};
}

QScrollArea *putOnCanvas(QWidget *window, QSize content)
{
    const QObjectList children = window->children();
    // The canvas is in place before the controls move, so they find the
    // window's font and palette there and need no second round of updates.
    auto *area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("scroller"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus); // Tab goes from control to control only
    auto *canvas = new Canvas;
    canvas->setObjectName(QStringLiteral("canvas"));
    canvas->setFixedSize(content);
    area->setWidget(canvas);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);

    for (QObject *o : children) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w)
            continue;
        const bool hidden = w->isHidden();
        w->setParent(canvas);
        w->setVisible(!hidden);
    }

    // Tab already scrolls to the next control; this covers the rest, such as
    // the count box a failed check gives the focus.
    QObject::connect(qApp, &QApplication::focusChanged, area, [area, canvas](QWidget *, QWidget *now) {
        if (now && canvas->isAncestorOf(now))
            area->ensureWidgetVisible(now, 0, 0);
    });
    return area;
}

void fitToScreen(QWidget *window, QScrollArea *area, QWidget *footer, bool keepWidth)
{
    const QSize below(0, footer ? footer->minimumHeight() : 0);
    const QSize content = area->widget()->size();
    QSize room = window->screen()->availableGeometry().size();
    // The desktop's frame around the window: known once it is shown; until
    // then allow for a title bar.
    const QSize frame = window->frameGeometry().size() - window->size();
    room -= frame.isNull() ? QSize(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight)) : frame;
    room -= below;
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize size = fittedSize(content, room, bar);
    // Wider than the canvas, the status line has the room; taller, nothing
    // would show.
    if (size == content) {
        window->setMinimumSize(content + below);
        window->setMaximumSize(QWIDGETSIZE_MAX, content.height() + below.height());
        window->resize(keepWidth ? std::max(window->width(), content.width()) : content.width(),
                       content.height() + below.height());
        return;
    }
    window->setMinimumSize(std::min(size.width(), 8 * bar), std::min(size.height(), 8 * bar) + below.height());
    window->setMaximumSize(QWIDGETSIZE_MAX, content.height() + bar + below.height());
    window->resize(keepWidth ? std::max(window->width(), size.width()) : size.width(), size.height() + below.height());
}

} // namespace qor
