#include "ui/qt/controls.h"

#include "layout/layout.h"
#include "ui/qt/access.h"
#include "ui/qt/scheme.h"
#include "ui/qt/widgetform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTextLayout>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace qor
{

namespace
{

// Decoration: never takes the mouse or the focus, so clicks reach whatever
// lies beneath and Tab never stops on it.
void makeDecoration(QWidget *w)
{
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setFocusPolicy(Qt::NoFocus);
}

// Two pixels wide just inside `frame`, black or white against the control's
// backdrop. The styles' own focus marks are faint on some fills (a darker
// highlight on the highlight) or missing after a mouse click.
// Without a backdrop set, `around` is what lies behind, looked up as it is
// painted so that it follows a change of the desktop's scheme.
void paintFocusFrame(QWidget *w, QRect frame, QPalette::ColorRole around, int t = 2)
{
    const QVariant backdrop = w->property(backdropProperty);
    const QColor behind = backdrop.isValid() ? backdrop.value<QColor>() : w->palette().color(around);
    const QColor c = outlineAgainst(behind);
    QPainter p(w);
    p.fillRect(QRect(frame.left(), frame.top(), frame.width(), t), c);
    p.fillRect(QRect(frame.left(), frame.bottom() - t + 1, frame.width(), t), c);
    p.fillRect(QRect(frame.left(), frame.top(), t, frame.height()), c);
    p.fillRect(QRect(frame.right() - t + 1, frame.top(), t, frame.height()), c);
}

// The style's painting of a button, less its own focus mark.
void paintWithoutFocus(QWidget *w, QStyleOptionButton opt, QStyle::ControlElement element)
{
    opt.state &= ~QStyle::State_HasFocus;
    QStylePainter(w).drawControl(element, opt);
}

} // namespace

FrameLine::FrameLine(QPoint from, QPoint to, int width, QColor colour, QWidget *parent)
    : QWidget(parent), from_(from), to_(to), width_(width), colour_(colour)
{
    makeDecoration(this);
    const QRect span = QRect(from, to).normalized();
    setGeometry(span.adjusted(-width, -width, width, width));
}

void FrameLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::SquareCap));
    const QPoint origin = geometry().topLeft();
    p.drawLine(from_ - origin, to_ - origin);
}

FilledShape::FilledShape(QColor fill, bool rounded, int outline, QWidget *parent)
    : QWidget(parent), fill_(fill), rounded_(rounded), outline_(outline)
{
    makeDecoration(this);
}

void FilledShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF area = rect();
    if (rounded_) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(fill_);
        const qreal radius = std::min(area.width(), area.height()) / 4;
        p.drawRoundedRect(area, radius, radius);
        return;
    }
    p.fillRect(area, fill_);
    if (outline_ > 0) {
        const qreal half = outline_ / 2.0;
        p.setPen(QPen(fill_, outline_));
        p.drawRect(area.adjusted(half, half, -half, -half));
    }
}

void PressButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PressButton::paintEvent(QPaintEvent *)
{
    QStyleOptionButton opt;
    initStyleOption(&opt);
    paintWithoutFocus(this, opt, QStyle::CE_PushButton);
    if (hasFocus())
        paintFocusFrame(this, rect().adjusted(3, 3, -3, -3), QPalette::Button); // on the face
}

void TickBox::nextCheckState()
{
    setTickValue(*this, clickedValue(tickValue(*this)));
}

bool TickBox::hitButton(const QPoint &pos) const
{
    // The whole rectangle, blank part right of the caption included.
    return rect().contains(pos);
}

void TickBox::paintEvent(QPaintEvent *)
{
    QStyleOptionButton opt;
    initStyleOption(&opt);
    paintWithoutFocus(this, opt, QStyle::CE_CheckBox);
    if (!hasFocus())
        return;
    // Around the caption and the blank part that a click reaches, clear of
    // the indicator, which lies at the box's left edge.
    const int left = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, this).right() + 3;
    paintFocusFrame(this, QRect(left, 0, width() - left, height()),
                    autoFillBackground() ? backgroundRole() : QPalette::Window);
}

namespace
{

// QLineEdit keeps line breaks from setText(), insert() and paste() alike; a
// validator sees every one of those paths and may rewrite the text.
class NoBreaks final : public QValidator
{
  public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        // Dropped breaks before the cursor move it left.
        pos = static_cast<int>(LineBox::withoutBreaks(input.left(pos)).size());
        input = LineBox::withoutBreaks(input);
        return Acceptable;
    }
};

} // namespace

LineBox::LineBox(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new NoBreaks(this));
    // QLineEdit silently cuts text at 32,767 characters; keep all of it.
    setMaxLength(std::numeric_limits<int>::max());
}

QString LineBox::withoutBreaks(QString text)
{
    text.removeIf([](QChar c) { return layout::isLineBreak(c.unicode()); });
    return text;
}

void LineBox::focusInEvent(QFocusEvent *event)
{
    // Tab selects the text; heard before the focus, "12 selected" would
    // come before the box's name.
    const QuietForm quietly(this, true);
    QLineEdit::focusInEvent(event);
}

void LineBox::focusOutEvent(QFocusEvent *event)
{
    const QuietForm quietly(this, true); // no "text unselected" on the way out
    QLineEdit::focusOutEvent(event);
}

void LineBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (hasFocus())
        paintFocusFrame(this, rect(), QPalette::Window);
}

CountBox::CountBox(QWidget *parent) : LineBox(parent)
{
    // The frame's padding and QLineEdit's own margins would leave sixteen
    // of the box's twenty pixels for text; the digits take all but the
    // outermost pixel each side.
    setTextMargins(-2, 0, -2, 0);
}

void CountBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    // One pixel, on the frame only: two would cover a digit.
    if (hasFocus())
        paintFocusFrame(this, rect(), QPalette::Window, 1);
}

QRect CountBox::textRect() const
{
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
    return contents.marginsRemoved(textMargins()).adjusted(lineEditInnerMargin, 0, -lineEditInnerMargin, 0);
}

namespace
{

// Lays `text` out in lines of `width` pixels, each lineSpacing() below the
// last, and calls `each` with each line.
template <class Each> void layOutStatus(const QString &text, const QFont &font, int width, Each each)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const int spacing = QFontMetrics(font).lineSpacing();
    int y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        line.setPosition(QPointF(0, y));
        y += spacing;
    }
    layout.endLayout();
    each(layout);
}

} // namespace

// A widget of its own rather than a label: a label that takes the focus
// keeps a second copy of its text as a document, laid out again and
// announced again at each change.
StatusLine::StatusLine(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    // A stop of its own, so that the keyboard reaches it to read it or copy
    // it; the focus frame lies in its margin, round the text.
    setFocusPolicy(Qt::StrongFocus);
}

void StatusLine::setText(const QString &text)
{
    if (text == text_)
        return;
    text_ = text;
    updateGeometry();
    update();
}

QSize StatusLine::sizeHint() const
{
    const QMargins m = contentsMargins();
    const int width = fontMetrics().horizontalAdvance(text_) + m.left() + m.right();
    return {width, heightForWidth(width)};
}

void StatusLine::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(text());
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

int StatusLine::linesAt(int width) const
{
    int lines = 0;
    layOutStatus(text(), font(), width, [&](const QTextLayout &layout) { lines = layout.lineCount(); });
    return std::max(1, lines);
}

QStringList StatusLine::shownLines() const
{
    QStringList lines;
    layOutStatus(text(), font(), contentsRect().width(), [&](const QTextLayout &layout) {
        for (int n = 0; n < layout.lineCount(); ++n)
            lines << text().mid(layout.lineAt(n).textStart(), layout.lineAt(n).textLength());
    });
    return lines;
}

int StatusLine::heightForWidth(int width) const
{
    const QMargins m = contentsMargins();
    return linesAt(width - m.left() - m.right()) * fontMetrics().lineSpacing() + m.top() + m.bottom();
}

void StatusLine::paintEvent(QPaintEvent *)
{
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QRect room = contentsRect();
        layOutStatus(text(), font(), room.width(), [&](const QTextLayout &layout) {
            // Fewer lines than the band holds stand in its middle.
            const int height = layout.lineCount() * fontMetrics().lineSpacing();
            layout.draw(&painter, QPointF(room.left(), room.top() + std::max(0, (room.height() - height) / 2)));
        });
    }
    if (hasFocus())
        paintFocusFrame(this, rect(), QPalette::Window, focusRing);
}

} // namespace qor
